#include "platform/com/CodePage.h"
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

using ContentDownloadTest = UserContentFixture;

TEST_F(ContentDownloadTest, ChecksComeInTheirOrder) {
    const struct {
        std::string certificate;
        int32_t game;
        int32_t number;
        Outcome outcome;
    } before[] = {
        {"", 0, 0, {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"0123456789abcdefX", 0, 0, {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {kKey, 0, 0, {E_INVALIDARG, 12, "game needs to be greater than zero"}},
        {kKey, kGame, 0, {E_INVALIDARG, 18, "number cannot be less than one"}},
        {kKey, kGame, 1, {E_FAIL, 23, "user content list has not been loaded/downloaded"}},
    };
    for (const auto& row : before) {
        EXPECT_EQ(Observe(Download(row.number, row.certificate, row.game)), row.outcome)
            << row.outcome;
    }
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(Observe(Download(9)), (Outcome{E_FAIL, 19, kTextNumberNotFound}));
    // The item folder cannot be made where a file stands.
    std::ofstream(DataFolder() + "2", std::ios::binary) << "in the way";
    EXPECT_EQ(Observe(Download(2)), (Outcome{E_FAIL, 21, "unable to create folders"}));
    // Only the list call reached the server.
    EXPECT_EQ(server.Calls().size(), 1u);
    EXPECT_EQ(downloader->Runs(), 0);
}

TEST_F(ContentDownloadTest, AnItemWithLogoIsInstalledAndRemoved) {
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(Observe(Download(1)), (Outcome{S_OK, 0, ""}));

    const std::vector<Definition> definitions = downloader->Definitions();
    ASSERT_EQ(definitions.size(), 4u);
    EXPECT_EQ(definitions[0].name, "MyApp");
    EXPECT_EQ(definitions[0].type, "APP");
    const std::string appDirectory = definitions[0].definition.substr(7);
    EXPECT_EQ(definitions[0].definition.substr(0, 7), "AppDir=");
    EXPECT_EQ(appDirectory.rfind(TemporaryRoot(), 0), 0u) << appDirectory;
    EXPECT_EQ(definitions[1], (Definition{"MyDlg", "PROGRESS_DIALOG",
                                          "Caption=Vostrel Games;Message=A new location below "
                                          "the abbey;Cancel=Cancel"}));
    EXPECT_EQ(definitions[2], (Definition{"MyFile1", "FILE",
                                          "File=crypt-level.dat;FileSize=35;Url=" +
                                              server.BaseUrl() + "/files/crypt-level.dat"}));
    EXPECT_EQ(definitions[3], (Definition{"MyFile2", "FILE",
                                          "File=crypt-logo.png;FileSize=26;Url=" +
                                              server.BaseUrl() + "/files/crypt-logo.png"}));

    EXPECT_EQ(ReadAll(DataFolder() + "1/data1.dat"), kCryptLevel);
    EXPECT_EQ(ReadAll(DataFolder() + "1/logo1.png"), kCryptLogo);
    EXPECT_EQ(Numbers(ContentView::Downloaded), (std::vector<int32_t>{1}));
    EXPECT_EQ(Numbers(ContentView::Available), (std::vector<int32_t>{2}));
    EXPECT_TRUE(TemporaryLeftovers().empty());
    EXPECT_TRUE(StrayFiles().empty());

    ComRef<IVGUserContent> downloaded;
    ASSERT_EQ(service->DownloadedContent(downloaded.Put()), S_OK);
    ComRef<IVGUserContentItem> item;
    ASSERT_EQ(downloaded->get_Item(1, item.Put()), S_OK);
    EXPECT_EQ(item->Remove(), S_OK);
    VARIANT_BOOL flag = VARIANT_TRUE;
    EXPECT_EQ(item->get_isDownloaded(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
    EXPECT_EQ(item->get_isAvailable(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "1/data1.dat"));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "1/logo1.png"));
    EXPECT_TRUE(std::filesystem::is_directory(DataFolder() + "1"));
    EXPECT_TRUE(Numbers(ContentView::Downloaded).empty());
    EXPECT_EQ(Numbers(ContentView::Available), (std::vector<int32_t>{1, 2}));
    // Removing again finds nothing to delete, which is no error.
    EXPECT_EQ(item->Remove(), S_OK);
}

TEST_F(ContentDownloadTest, ARemoveThatCannotDeleteFailsAndKeepsTheFlags) {
    ASSERT_EQ(Get(), S_OK);
    // Something that is no file stands where the data file goes.
    std::filesystem::create_directories(DataFolder() + "2/data2.dat/inside");
    ComRef<IVGUserContent> downloaded;
    ASSERT_EQ(service->DownloadedContent(downloaded.Put()), S_OK);
    ComRef<IVGUserContentItem> item;
    ASSERT_EQ(downloaded->get_Item(1, item.Put()), S_OK);
    EXPECT_EQ(item->Remove(), E_FAIL);
    VARIANT_BOOL flag = VARIANT_FALSE;
    EXPECT_EQ(item->get_isDownloaded(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_TRUE);
    EXPECT_EQ(item->get_isAvailable(&flag), S_OK);
    EXPECT_EQ(flag, VARIANT_FALSE);
}

TEST_F(ContentDownloadTest, AnItemWithoutLogoDefinesOneFile) {
    ASSERT_EQ(Get(), S_OK);
    EXPECT_EQ(Observe(Download(2)), (Outcome{S_OK, 0, ""}));
    const std::vector<Definition> definitions = downloader->Definitions();
    ASSERT_EQ(definitions.size(), 3u);
    EXPECT_EQ(definitions[1].definition,
              "Caption=Vostrel Games;Message=Please wait...;Cancel=Cancel");
    EXPECT_EQ(definitions[2].name, "MyFile1");
    EXPECT_EQ(ReadAll(DataFolder() + "2/data2.dat"), kTowerLevel);
    EXPECT_TRUE(TemporaryLeftovers().empty());
}

TEST_F(ContentDownloadTest, ADownloadAfterLoadingUsesFreshPaths) {
    ASSERT_EQ(Get(), S_OK);
    ASSERT_EQ(Load(), S_OK);
    EXPECT_EQ(Observe(Download(2)), (Outcome{S_OK, 0, ""}));
    EXPECT_TRUE(std::filesystem::exists(DataFolder() + "2/data2.dat"));
}

TEST_F(ContentDownloadTest, StagesThatFailNameThemselves) {
    ASSERT_EQ(Get(), S_OK);

    downloader->SetRunResult(1); // cancelled in the progress display, or a failed transfer
    EXPECT_EQ(Observe(Download(1)), (Outcome{E_FAIL, 20, "unable to download content"}));
    downloader->SetRunResult(0);

    // 94 per cent of the declared 53 bytes is too short (50 are needed).
    downloader->Serve(server.BaseUrl() + "/files/tower-level.dat", kTowerLevel.substr(0, 49));
    EXPECT_EQ(Observe(Download(2)), (Outcome{E_FAIL, 26, "download not complete (size to small)"}));
    downloader->Serve(server.BaseUrl() + "/files/tower-level.dat", kTowerLevel.substr(0, 50));
    EXPECT_EQ(Observe(Download(2)), (Outcome{S_OK, 0, ""}));
    std::filesystem::remove(DataFolder() + "2/data2.dat");

    // The data file arrives, the logo not: nothing is installed.
    downloader->Serve(server.BaseUrl() + "/files/crypt-logo.png", "");
    EXPECT_EQ(Observe(Download(1)), (Outcome{E_FAIL, 26, kTextDownloadNotCompleted}));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "1/data1.dat"));
    ServeFiles();

    // The logo's place is taken by a folder: the copy fails and takes the data file back.
    std::filesystem::create_directories(DataFolder() + "1/logo1.png/inside");
    EXPECT_EQ(Observe(Download(1)), (Outcome{E_FAIL, 22, "unable to copy content"}));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "1/data1.dat"));
    EXPECT_EQ(Numbers(ContentView::Downloaded), std::vector<int32_t>{});

    ServerFault fault;
    fault.kind = ServerFault::Kind::Status;
    fault.status = 51;
    server.SetFault(fault);
    EXPECT_EQ(Observe(Download(2)), (Outcome{E_FAIL, 51, "credentials not found"}));
    fault.kind = ServerFault::Kind::HttpError;
    server.SetFault(fault);
    EXPECT_EQ(Observe(Download(2)), (Outcome{E_FAIL, 6, "Server error."}));
    EXPECT_TRUE(TemporaryLeftovers().empty());
    EXPECT_TRUE(StrayFiles().empty());
}

TEST_F(ContentDownloadTest, AMissingComponentIsAFailedDownload) {
    ASSERT_EQ(Get(), S_OK);
    downloader.reset();
    EXPECT_EQ(Observe(Download(1)), (Outcome{E_FAIL, 20, "unable to download content"}));
    EXPECT_FALSE(std::filesystem::exists(DataFolder() + "1/data1.dat"));
    EXPECT_TRUE(TemporaryLeftovers().empty());
}

// Server data that tries to reach out of the data folder or the private temporary folder.
TEST_F(ContentDownloadTest, HostileServerDataStaysInside) {
    const std::string base = "{server}/files/";
    const struct {
        std::string item;
        int32_t number;
        Outcome outcome;
    } cases[] = {
        {"<fileextension>../../../evil</fileextension><file>" + base + "crypt-level.dat</file>",
         1,
         {E_FAIL, 20, kTextUnableToDownload}},
        {"<fileextension>dat</fileextension><logoextension>/x</logoextension><file>" + base +
             "crypt-level.dat</file><logo>" + base + "crypt-logo.png</logo>",
         1,
         {E_FAIL, 20, kTextUnableToDownload}},
        {"<fileextension></fileextension><file>" + base + "crypt-level.dat</file>",
         1,
         {E_FAIL, 20, kTextUnableToDownload}},
        {"<fileextension>dat</fileextension><file>file:///etc/passwd</file>",
         1,
         {E_FAIL, 20, kTextUnableToDownload}},
        // The file name of the URL is only a name in the private folder.
        {"<fileextension>dat</fileextension><filesize>35</filesize><file>" + base +
             "..%2F..%2Fevil/../../crypt-level.dat</file>",
         1,
         {E_FAIL, 26, kTextDownloadNotCompleted}},
    };
    for (const auto& row : cases) {
        ServeContent("<items><id>7</id><item><number>" + std::to_string(row.number) + "</number>" +
                     row.item + "</item></items>");
        ASSERT_EQ(Get(), S_OK);
        EXPECT_EQ(Observe(Download(row.number)), row.outcome) << row.item;
        EXPECT_TRUE(StrayFiles().empty()) << row.item << ": " << StrayFiles().front();
        EXPECT_TRUE(TemporaryLeftovers().empty()) << row.item;
    }
}

TEST_F(ContentDownloadTest, TheWorkerDownloadsAndPosts) {
    ASSERT_EQ(service->BeginGetUserContent(Bstr::FromNarrow(kKey).Get(), kGame, 10,
                                           Bstr::FromNarrow(kLogin).Get(),
                                           Bstr::FromNarrow(kPassword).Get(), window, kDone),
              S_OK);
    WindowMessage message;
    ASSERT_TRUE(WaitWindowMessage(window, 10000, &message));
    EXPECT_EQ(message.message, kDone);
    EXPECT_EQ(Numbers(ContentView::Available), (std::vector<int32_t>{1, 2}));

    EXPECT_EQ(Observe(service->BeginDownloadUserContent(
                  Bstr::FromNarrow(kKey).Get(), kGame, 0, Bstr::FromNarrow(kLogin).Get(),
                  Bstr::FromNarrow(kPassword).Get(), window, kDone)),
              (Outcome{E_INVALIDARG, 18, kTextBadNumber}));
    ASSERT_EQ(service->BeginDownloadUserContent(Bstr::FromNarrow(kKey).Get(), kGame, 1,
                                                Bstr::FromNarrow(kLogin).Get(),
                                                Bstr::FromNarrow(kPassword).Get(), window, kDone),
              S_OK);
    ASSERT_TRUE(WaitWindowMessage(window, 10000, &message));
    EXPECT_EQ(Observe(S_OK), (Outcome{S_OK, 0, ""}));
    EXPECT_EQ(Numbers(ContentView::Downloaded), (std::vector<int32_t>{1}));
}

} // namespace
