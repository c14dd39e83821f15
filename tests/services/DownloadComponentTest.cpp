#include "tools/downloader/DownloadComponent.h"

#include "platform/com/ObjectCreation.h"
#include "services/OutsideDownloader.h"
#include "tests/services/UserContentFixture.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <sstream>
#include <thread>
#include <tuple>
#include <vector>

namespace {

// A server of one answer whose body stops short of its Content-Length.
class ShortBodyServer {
public:
    ShortBodyServer() {
        listener = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof(address);
        if (::bind(listener, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            ::listen(listener, 1) != 0 ||
            ::getsockname(listener, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
            return;
        }
        port = ntohs(address.sin_port);
        thread = std::thread([this] {
            const int client = ::accept(listener, nullptr, nullptr);
            if (client < 0) {
                return;
            }
            char request[4096];
            (void)::recv(client, request, sizeof(request), 0);
            const std::string answer =
                "HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nshort";
            (void)::send(client, answer.data(), answer.size(), MSG_NOSIGNAL);
            ::close(client);
        });
    }
    ~ShortBodyServer() {
        ::shutdown(listener, SHUT_RDWR);
        if (thread.joinable()) {
            thread.join();
        }
        ::close(listener);
    }
    ShortBodyServer(const ShortBodyServer&) = delete;
    ShortBodyServer& operator=(const ShortBodyServer&) = delete;

    std::string Url() const { return "http://127.0.0.1:" + std::to_string(port) + "/x.dat"; }

private:
    int listener = -1;
    int port = 0;
    std::thread thread;
};

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

    // The component itself rather than through the module, for its progress callback.
    ComRef<DownloadComponent> DirectComponent() {
        ComRef<DownloadComponent> component(new DownloadComponent(module));
        std::filesystem::create_directories(Into());
        EXPECT_EQ(Define(component.Get(), "APP", "AppDir=" + Into()), S_OK);
        return component;
    }

    ModuleCount module;
};

using Report = std::tuple<std::string, uint64_t, uint64_t>;

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

TEST_F(DownloadComponentTest, AShortBodyFailsTheFile) {
    std::filesystem::create_directories(Into());
    ShortBodyServer shortBody;
    ComRef<IOutsideDownloader> component = NewComponent();
    ASSERT_TRUE(component);
    ASSERT_EQ(Define(component.Get(), "APP", "AppDir=" + Into()), S_OK);
    ASSERT_EQ(Define(component.Get(), "FILE", "File=x.dat;FileSize=100;Url=" + shortBody.Url()),
              S_OK);
    int32_t result = -1;
    EXPECT_EQ(component->Run(&result), S_OK);
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(std::filesystem::is_empty(Into()));
}

TEST_F(DownloadComponentTest, ProgressCountsTheBytesOfEachFile) {
    ComRef<DownloadComponent> component = DirectComponent();
    const std::string files = server.BaseUrl() + "/files/";
    ASSERT_EQ(
        Define(component.Get(), "FILE", "File=a.dat;FileSize=53;Url=" + files + "tower-level.dat"),
        S_OK);
    // A size that is no number is unknown: the download goes on, the total is 0.
    ASSERT_EQ(Define(component.Get(), "FILE",
                     "File=b.dat;FileSize=many;Url=" + files + "crypt-level.dat"),
              S_OK);
    std::vector<Report> reports;
    component->SetProgress([&](const std::string& name, uint64_t received, uint64_t total) {
        reports.emplace_back(name, received, total);
    });
    int32_t result = -1;
    EXPECT_EQ(component->Run(&result), S_OK);
    EXPECT_EQ(result, 0);
    ASSERT_FALSE(reports.empty());
    EXPECT_EQ(reports.back(), (Report{"b.dat", 35, 0}));
    uint64_t last = 0;
    std::string file = "a.dat";
    for (const Report& report : reports) {
        if (std::get<0>(report) != file) {
            EXPECT_EQ(last, 53u) << "a.dat ended short"; // a.dat's last report came whole
            file = std::get<0>(report);
            last = 0;
        }
        EXPECT_GT(std::get<1>(report), last) << file;
        last = std::get<1>(report);
        EXPECT_EQ(std::get<2>(report), file == "a.dat" ? 53u : 0u);
    }
    EXPECT_EQ(file, "b.dat");
}

TEST_F(DownloadComponentTest, ACancelFromAnotherThreadEndsATransferMidway) {
    ComRef<DownloadComponent> component = DirectComponent();
    ASSERT_EQ(
        Define(component.Get(), "FILE",
               "File=level.dat;FileSize=53;Url=" + server.BaseUrl() + "/files/tower-level.dat"),
        S_OK);
    server.SetFault({ServerFault::Kind::Hang});
    std::promise<void> started;
    bool signalled = false;
    component->SetProgress([&](const std::string&, uint64_t, uint64_t) {
        if (!signalled) {
            signalled = true;
            started.set_value();
        }
    });
    std::future<void> begun = started.get_future();
    std::thread canceller([&] {
        // The server sends half the file and then holds the transfer open.
        if (begun.wait_for(std::chrono::seconds(30)) == std::future_status::ready) {
            EXPECT_TRUE(std::filesystem::exists(Into() + "level.dat.part"));
        } else {
            ADD_FAILURE() << "no bytes arrived";
        }
        component->Cancel();
    });
    int32_t result = -1;
    EXPECT_EQ(component->Run(&result), S_OK);
    canceller.join();
    EXPECT_EQ(result, 1);
    EXPECT_TRUE(signalled);
    EXPECT_TRUE(std::filesystem::is_empty(Into()));
}

} // namespace
