#include "tools/downloader/DownloadComponent.h"

#include "platform/com/CodePage.h"
#include "platform/com/Dispatch.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <string_view>

namespace {

IOutsideDownloader* As(IDispatch* self) {
    return static_cast<IOutsideDownloader*>(self);
}

const DispatchMember kMembers[] = {
    {"DefineItem", 1, DISPATCH_METHOD, "sss",
     [](IDispatch* self, const DispatchArguments& a, VARIANT*) {
         return As(self)->DefineItem(a.String(0), a.String(1), a.String(2));
     }},
    {"Cancel", 2, DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT*) { return As(self)->Cancel(); }},
    {"Run", 8, DISPATCH_METHOD, "",
     [](IDispatch* self, const DispatchArguments&, VARIANT* result) {
         int32_t value = 1;
         const HRESULT got = As(self)->Run(&value);
         SetVariantInt32(result, value);
         return got;
     }},
};

// The value of a key in "Key=value;Key=value". The URL stands last and runs to the end, so
// that a ";" in it stays part of it.
std::string ValueOf(std::string_view definition, std::string_view key, bool toEnd = false) {
    std::size_t at = 0;
    while (at <= definition.size()) {
        const std::size_t end = definition.find(';', at);
        const std::string_view field = definition.substr(at, end - at);
        if (field.size() > key.size() && field.substr(0, key.size()) == key &&
            field[key.size()] == '=') {
            const std::size_t start = at + key.size() + 1;
            return std::string(toEnd ? definition.substr(start)
                                     : definition.substr(start, end - start));
        }
        if (end == std::string_view::npos) {
            break;
        }
        at = end + 1;
    }
    return {};
}

bool PlainFileName(const std::string& name) {
    return !name.empty() && name.size() <= 255 && name != "." && name != ".." &&
           name.find_first_of(std::string_view("/\\\0", 3)) == std::string::npos;
}

// The declared size, for progress only: 0 (unknown) when it is missing or not a number.
uint64_t DeclaredSize(const std::string& text) {
    uint64_t size = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), size);
    return error == std::errc() && end == text.data() + text.size() ? size : 0;
}

bool HttpUrl(const std::string& url) {
    return url.rfind("http://", 0) == 0 || url.rfind("https://", 0) == 0;
}

} // namespace

DownloadComponent::DownloadComponent(ModuleCount& module) : ComObject<IOutsideDownloader>(module) {
    limits.totalTimeout = std::chrono::milliseconds(0); // large files take their time
    limits.maxAnswerSize = std::numeric_limits<int32_t>::max();
}

HRESULT DownloadComponent::QueryInterface(const Guid& iid, void** object) {
    return AnswerInterface(
        iid, object, {{kIidUnknown, this}, {kIidDispatch, this}, {kIidOutsideDownloader, this}});
}

HRESULT DownloadComponent::GetTypeInfoCount(uint32_t* count) {
    if (count == nullptr) {
        return E_POINTER;
    }
    *count = 0;
    return S_OK;
}

HRESULT DownloadComponent::GetTypeInfo(uint32_t, uint32_t, void** typeInfo) {
    if (typeInfo != nullptr) {
        *typeInfo = nullptr;
    }
    return E_NOTIMPL;
}

HRESULT DownloadComponent::GetIDsOfNames(const Guid&, const char16_t* const* names, uint32_t count,
                                         uint32_t, DISPID* ids) {
    return DispatchIdsOfNames(kMembers, names, count, ids);
}

HRESULT DownloadComponent::Invoke(DISPID member, const Guid&, uint32_t, uint16_t flags,
                                  DispatchParams* params, VARIANT* result,
                                  DispatchException* exception, uint32_t* argumentError) {
    return DispatchInvoke(kMembers, this, member, flags, params, result, exception, argumentError);
}

HRESULT DownloadComponent::DefineItem(BSTR name, BSTR type, BSTR definition) {
    try {
        (void)name;
        const std::string kind = NarrowFromWide(BstrView(type));
        const std::string text = NarrowFromWide(BstrView(definition));
        const std::lock_guard guard(lock);
        if (kind == kDefineApp) {
            std::string appDir = ValueOf(text, "AppDir", true);
            if (appDir.empty() || appDir.front() != '/') {
                return E_INVALIDARG;
            }
            if (appDir.back() != '/') {
                appDir += '/';
            }
            folder = appDir;
            return S_OK;
        }
        if (kind == kDefineProgress) {
            return S_OK; // headless: there is no display
        }
        if (kind == kDefineFile) {
            File file{ValueOf(text, "File"), ValueOf(text, "Url", true),
                      DeclaredSize(ValueOf(text, "FileSize"))};
            if (!PlainFileName(file.name) || !HttpUrl(file.url)) {
                return E_INVALIDARG;
            }
            files.push_back(std::move(file));
            return S_OK;
        }
        return E_INVALIDARG;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}

HRESULT DownloadComponent::Cancel() {
    cancelled = true;
    const std::lock_guard guard(lock);
    if (running) {
        running->Cancel();
    }
    return S_OK;
}

void DownloadComponent::SetLimits(const HttpLimits& newLimits) {
    const std::lock_guard guard(lock);
    limits = newLimits;
}

void DownloadComponent::SetProgress(Progress newProgress) {
    const std::lock_guard guard(lock);
    progress = std::move(newProgress);
}

bool DownloadComponent::Fetch(const File& file, const std::string& into) {
    const std::string target = into + file.name;
    const std::string part = target + ".part";
    std::FILE* out = std::fopen(part.c_str(), "wbx");
    if (out == nullptr) {
        std::remove(part.c_str()); // a leftover of an earlier run, or something planted
        out = std::fopen(part.c_str(), "wbx");
        if (out == nullptr) {
            return false;
        }
    }
    HttpRequest request;
    request.url = file.url;
    request.followRedirects = true;
    Progress report;
    {
        const std::lock_guard guard(lock);
        report = progress;
        request.limits = limits;
        running = std::make_shared<HttpCancel>();
        request.cancel = running.get();
        if (cancelled) {
            running->Cancel();
        }
    }
    bool writeFailed = false;
    uint64_t received = 0;
    request.sink = [&](std::string_view bytes) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), out) != bytes.size()) {
            writeFailed = true;
            return false;
        }
        received += bytes.size();
        if (report) {
            report(file.name, received, file.size);
        }
        return true;
    };
    const HttpAnswer answer = SendHttpRequest(request);
    const bool closed = std::fclose(out) == 0;
    {
        const std::lock_guard guard(lock);
        running.reset();
    }
    const bool whole = answer.failure == HttpFailure::None && answer.status >= 200 &&
                       answer.status < 300 && !writeFailed && closed && !cancelled;
    if (!whole || std::rename(part.c_str(), target.c_str()) != 0) {
        std::remove(part.c_str());
        return false;
    }
    return true;
}

HRESULT DownloadComponent::Run(int32_t* result) {
    if (result == nullptr) {
        return E_POINTER;
    }
    *result = 1;
    try {
        std::string into;
        std::vector<File> wanted;
        {
            const std::lock_guard guard(lock);
            into = folder;
            wanted = files;
        }
        if (into.empty()) {
            return S_OK;
        }
        for (const File& file : wanted) {
            if (!Fetch(file, into)) {
                return S_OK;
            }
        }
        *result = 0;
        return S_OK;
    } catch (...) {
        return E_OUTOFMEMORY;
    }
}
