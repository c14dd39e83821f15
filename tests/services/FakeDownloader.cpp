#include "tests/services/FakeDownloader.h"

#include "platform/com/CodePage.h"
#include "platform/com/ComObject.h"
#include "platform/com/ObjectCreation.h"
#include "services/OutsideDownloader.h"

#include <gtest/gtest.h>

#include <fstream>
#include <mutex>

namespace {

ModuleCount testModule;

// What the fake sees and does, shared by the objects of one FakeDownloader.
struct Script {
    std::mutex lock;
    std::map<std::string, std::string> served;
    int32_t runResult = 0;
    std::vector<Definition> definitions;
    std::vector<std::string> written;
    int runs = 0;
};

Script& TheScript() {
    static Script script;
    return script;
}

// The value of a key in a definition "Key=value;Key=value"; the URL is the rest of the text.
std::string ValueOf(const std::string& definition, const std::string& key) {
    const std::size_t at = definition.find(key + "=");
    if (at == std::string::npos) {
        return {};
    }
    const std::size_t start = at + key.size() + 1;
    if (key == "Url") {
        return definition.substr(start);
    }
    const std::size_t end = definition.find(';', start);
    return definition.substr(start, end == std::string::npos ? std::string::npos : end - start);
}

class Downloader final : public ComObject<IOutsideDownloader> {
public:
    Downloader() : ComObject<IOutsideDownloader>(testModule) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(
            iid, object,
            {{kIidUnknown, this}, {kIidDispatch, this}, {kIidOutsideDownloader, this}});
    }
    HRESULT GetTypeInfoCount(uint32_t*) override { return E_NOTIMPL; }
    HRESULT GetTypeInfo(uint32_t, uint32_t, void**) override { return E_NOTIMPL; }
    HRESULT GetIDsOfNames(const Guid&, const char16_t* const*, uint32_t, uint32_t,
                          DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT Invoke(DISPID, const Guid&, uint32_t, uint16_t, DispatchParams*, VARIANT*,
                   DispatchException*, uint32_t*) override {
        return E_NOTIMPL;
    }

    HRESULT DefineItem(BSTR name, BSTR type, BSTR definition) override {
        Script& script = TheScript();
        const std::lock_guard guard(script.lock);
        script.definitions.push_back({NarrowFromWide(BstrView(name)),
                                      NarrowFromWide(BstrView(type)),
                                      NarrowFromWide(BstrView(definition))});
        return S_OK;
    }
    HRESULT Cancel() override { return S_OK; }
    HRESULT Reserved3() override { return E_NOTIMPL; }
    HRESULT Reserved4() override { return E_NOTIMPL; }
    HRESULT Reserved5() override { return E_NOTIMPL; }
    HRESULT Reserved6() override { return E_NOTIMPL; }
    HRESULT Reserved7() override { return E_NOTIMPL; }

    HRESULT Run(int32_t* result) override {
        Script& script = TheScript();
        const std::lock_guard guard(script.lock);
        ++script.runs;
        script.written.clear();
        std::string folder;
        for (const Definition& definition : script.definitions) {
            if (definition.type == "APP") {
                folder = ValueOf(definition.definition, "AppDir");
            } else if (definition.type == "FILE") {
                const auto served = script.served.find(ValueOf(definition.definition, "Url"));
                if (served == script.served.end()) {
                    continue;
                }
                const std::string path = folder + ValueOf(definition.definition, "File");
                std::ofstream(path, std::ios::binary) << served->second;
                script.written.push_back(path);
            }
        }
        *result = script.runResult;
        return S_OK;
    }
};

} // namespace

FakeDownloader::FakeDownloader() {
    {
        Script& script = TheScript();
        const std::lock_guard guard(script.lock);
        script.served.clear();
        script.runResult = 0;
        script.definitions.clear();
        script.written.clear();
        script.runs = 0;
    }
    ObjectFactory* factory =
        new ObjectFactory(testModule, [] { return static_cast<IUnknown*>(new Downloader); });
    EXPECT_EQ(RegisterClassObject(kClsidOutsideDownloader, factory, &cookie), S_OK);
    factory->Release();
}

FakeDownloader::~FakeDownloader() {
    RevokeClassObject(cookie);
}

void FakeDownloader::Serve(const std::string& url, const std::string& bytes) {
    Script& script = TheScript();
    const std::lock_guard guard(script.lock);
    script.served[url] = bytes;
}

void FakeDownloader::SetRunResult(int32_t result) {
    Script& script = TheScript();
    const std::lock_guard guard(script.lock);
    script.runResult = result;
}

std::vector<Definition> FakeDownloader::Definitions() const {
    Script& script = TheScript();
    const std::lock_guard guard(script.lock);
    return script.definitions;
}

int FakeDownloader::Runs() const {
    Script& script = TheScript();
    const std::lock_guard guard(script.lock);
    return script.runs;
}

std::vector<std::string> FakeDownloader::Written() const {
    Script& script = TheScript();
    const std::lock_guard guard(script.lock);
    return script.written;
}
