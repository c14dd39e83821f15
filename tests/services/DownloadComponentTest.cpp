#include "platform/com/ObjectCreation.h"
#include "services/OutsideDownloader.h"
#include "tests/services/UserContentFixture.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The service with our download component, registered as a host registers it.
class DownloadComponentTest : public UserContentFixture {
public:
    void SetUp() override {
        UserContentFixture::SetUp();
        downloader.reset();
        ASSERT_EQ(RegisterServerModule(std::filesystem::canonical(DOWNLOADER_MODULE).string()),
                  S_OK);
    }

    ComRef<IOutsideDownloader> NewComponent() const {
        ComRef<IOutsideDownloader> component;
        EXPECT_EQ(CreateInstance(kClsidOutsideDownloader, nullptr, kIidOutsideDownloader,
                                 component.PutVoid()),
                  S_OK);
        return component;
    }

    static HRESULT Define(IOutsideDownloader* on, const std::string& type,
                          const std::string& definition) {
        return on->DefineItem(Bstr::FromNarrow("MyFile1").Get(), Bstr::FromNarrow(type).Get(),
                              Bstr::FromNarrow(definition).Get());
    }

    std::string Into() const { return folder / "into/"; }
};

TEST_F(DownloadComponentTest, TheServiceInstallsThroughIt) {
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(Observe(Download(1)), (Outcome{S_OK, 0, ""}));
    EXPECT_EQ(Observe(Download(2)), (Outcome{S_OK, 0, ""}));
    EXPECT_EQ(ReadAll(DataFolder() + "1/data1.dat"), kCryptLevel);
    EXPECT_EQ(ReadAll(DataFolder() + "1/logo1.png"), kCryptLogo);
    EXPECT_EQ(ReadAll(DataFolder() + "2/data2.dat"), kTowerLevel);
    EXPECT_EQ(Numbers(ContentView::Downloaded), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(TemporaryLeftovers().empty());
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(DownloadComponentTest, AnErrorPageFailsTheDownload) {
    ServeContent("<items><id>7</id><item><number>4</number><fileextension>dat</fileextension>"
                 "<file>{server}/files/missing.dat</file><filesize>10</filesize></item></items>");
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(Observe(Download(4)), (Outcome{E_FAIL, 20, kTextUnableToDownload}));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "4/data4.dat"));
    EXPECT_TRUE(TemporaryLeftovers().empty());
}

TEST_F(DownloadComponentTest, UnusableDefinitionsAreRefused) {
    std::filesystem::create_directories(Into());
    ComRef<IOutsideDownloader> component = NewComponent();
    ASSERT_TRUE(component);
    const std::string url = server.BaseUrl() + "/files/tower-level.dat";
    const struct {
        const char* type;
        std::string definition;
        HRESULT result;
    } cases[] = {
        {"APP", "AppDir=" + Into(), S_OK},
        {"APP", "AppDir=relative/", E_INVALIDARG},
        {"PROGRESS_DIALOG", "Caption=c;Message=m;Cancel=Cancel", S_OK},
        {"FILE", "File=../escape.dat;FileSize=53;Url=" + url, E_INVALIDARG},
        {"FILE", "File=a/b.dat;FileSize=53;Url=" + url, E_INVALIDARG},
        {"FILE", "File=..;FileSize=53;Url=" + url, E_INVALIDARG},
        {"FILE", "File=;FileSize=53;Url=" + url, E_INVALIDARG},
        {"FILE", "File=x.dat;FileSize=1;Url=file:///etc/passwd", E_INVALIDARG},
        {"SOMETHING", "", E_INVALIDARG},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Define(component.Get(), row.type, row.definition), row.result) << row.definition;
    }
    EXPECT_EQ(component->Reserved3(), E_NOTIMPL);
    EXPECT_EQ(component->Reserved7(), E_NOTIMPL);
    int32_t result = -1;
    EXPECT_EQ(component->Run(&result), S_OK);
    EXPECT_EQ(result, 0); // nothing usable was defined
    EXPECT_TRUE(std::filesystem::is_empty(Into()));
}

TEST_F(DownloadComponentTest, AFileArrivesWholeOrNotAtAll) {
    const struct {
        std::string url;
        bool cancelFirst;
        int32_t result;
    } cases[] = {
        {server.BaseUrl() + "/files/tower-level.dat", false, 0},
        {server.BaseUrl() + "/files/missing.dat", false, 1},
        {"http://127.0.0.1:1/files/x", false, 1},
        {server.BaseUrl() + "/files/tower-level.dat", true, 1},
    };
    for (const auto& row : cases) {
        std::filesystem::remove_all(Into());
        std::filesystem::create_directories(Into());
        // A planted file where the part goes is replaced, not written through.
        std::ofstream(Into() + "level.dat.part") << "planted";
        ComRef<IOutsideDownloader> component = NewComponent();
        ASSERT_TRUE(component);
        ASSERT_EQ(Define(component.Get(), "APP", "AppDir=" + Into()), S_OK);
        ASSERT_EQ(Define(component.Get(), "FILE", "File=level.dat;FileSize=53;Url=" + row.url),
                  S_OK);
        if (row.cancelFirst) {
            EXPECT_EQ(component->Cancel(), S_OK);
        }
        int32_t result = -1;
        EXPECT_EQ(component->Run(&result), S_OK);
        EXPECT_EQ(result, row.result) << row.url;
        EXPECT_FALSE(std::filesystem::exists(Into() + "level.dat.part")) << row.url;
        EXPECT_EQ(std::filesystem::exists(Into() + "level.dat"), row.result == 0) << row.url;
        if (row.result == 0) {
            EXPECT_EQ(ReadAll(Into() + "level.dat"), kTowerLevel);
        }
    }
}

} // namespace
