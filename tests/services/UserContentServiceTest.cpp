#include "platform/com/CodePage.h"
#include "services/ContentInstaller.h"
#include "services/ContentList.h"
#include "services/LocalFile.h"
#include "tests/services/UserContentFixture.h"

#include <filesystem>

namespace {

Bstr Wide(const std::string& text) {
    return Bstr::FromNarrow(text);
}

TEST(ContentListTest, ExtensionsAreShortPlainNames) {
    const struct {
        const char* extension;
        bool usable;
    } cases[] = {{"dat", true},
                 {"PNG", true},
                 {"0123456789abcdef", true},
                 {"", false},
                 {"0123456789abcdefg", false},
                 {"../x", false},
                 {"a/b", false},
                 {"a\\b", false},
                 {"d.t", false},
                 {"dät", false},
                 {" dat", false}};
    for (const auto& row : cases) {
        EXPECT_EQ(UsableExtension(row.extension), row.usable) << row.extension;
    }
}

TEST(ContentListTest, PathsMustStayInsideTheFolder) {
    const struct {
        const char* path;
        bool inside;
    } cases[] = {{"/data/7/data7.dat", true}, {"/data/x", true},
                 {"/data/", false},           {"/data", false},
                 {"/other/7", false},         {"/data/../x", false},
                 {"/data/7/../../x", false},  {"/data//x", false},
                 {"/data/./x", false},        {"/database/x", false}};
    for (const auto& row : cases) {
        EXPECT_EQ(PathInsideFolder(row.path, "/data/"), row.inside) << row.path;
    }
}

TEST(ContentListTest, HostileExtensionsLeaveAnItemWithoutPaths) {
    ContentItem item;
    item.number = 4;
    item.fileExtension = "dat";
    item.logoExtension = "png";
    RefreshLocalPaths(item, "/data/");
    EXPECT_EQ(item.file, "/data/4/data4.dat");
    EXPECT_EQ(item.logo, "/data/4/logo4.png");
    EXPECT_TRUE(item.isAvailable);

    for (const char* hostile : {"/../../etc/passwd", "x/../../y", "..", "toolongextension17"}) {
        ContentItem data = item;
        data.fileExtension = hostile;
        RefreshLocalPaths(data, "/data/");
        EXPECT_EQ(data.file, "") << hostile;
        EXPECT_EQ(data.logo, "") << hostile;
        EXPECT_FALSE(data.isAvailable || data.isDownloaded) << hostile;

        ContentItem logo = item;
        logo.logoExtension = hostile;
        RefreshLocalPaths(logo, "/data/");
        EXPECT_EQ(logo.file, "") << hostile;
        EXPECT_FALSE(logo.isAvailable || logo.isDownloaded) << hostile;
    }
}

TEST(ContentInstallerTest, DownloadNamesAreSanitised) {
    const std::string longName(65, 'a');
    const struct {
        std::string url;
        std::string name;
    } cases[] = {{"http://host/files/level.dat", "level.dat"},
                 {"http://host/files/level.dat?v=2", "level.dat"},
                 {"http://host/files/..", "data.download"},
                 {"http://host/files/.hidden", "data.download"},
                 {"http://host/files/", "data.download"},
                 {"http://host/a\\..\\..\\evil", "evil"},
                 {"http://host/files/na me", "data.download"},
                 {"http://host/" + longName, "data.download"},
                 {"http://host/" + longName.substr(1), longName.substr(1)}};
    for (const auto& row : cases) {
        EXPECT_EQ(ContentInstaller::DownloadName(row.url, ContentInstaller::kDataFallback),
                  row.name)
            << row.url;
    }
    EXPECT_TRUE(ContentInstaller::DownloadableUrl("http://host/x"));
    EXPECT_TRUE(ContentInstaller::DownloadableUrl("HTTPS://host/x"));
    for (const char* refused : {"file:///etc/passwd", "ftp://host/x", "", "/files/x", "http:/x"}) {
        EXPECT_FALSE(ContentInstaller::DownloadableUrl(refused)) << refused;
    }
}

using UserContentServiceTest = UserContentFixture;

TEST_F(UserContentServiceTest, ViewsBeforeAnyListAreEmpty) {
    EXPECT_TRUE(View(ContentView::All).empty());
    EXPECT_TRUE(View(ContentView::Downloaded).empty());
    EXPECT_TRUE(View(ContentView::Available).empty());
    EXPECT_EQ(service->UserContent(nullptr), E_FAIL);
}

TEST_F(UserContentServiceTest, TheListGivesItsItemsWithLocalPaths) {
    EXPECT_EQ(Observe(Get()), (Outcome{S_OK, 0, "error description not available"}));
    const std::vector<ItemView> all = View(ContentView::All);
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(all[0].name, "Flooded Crypt");
    EXPECT_EQ(all[0].file, DataFolder() + "1/data1.dat");
    EXPECT_EQ(all[0].logo, DataFolder() + "1/logo1.png");
    EXPECT_TRUE(all[0].available);
    EXPECT_EQ(all[1].logo, "");
    // Without file extension an item is in neither of the other views.
    EXPECT_EQ(all[2].file, "");
    EXPECT_FALSE(all[2].available || all[2].downloaded);
    EXPECT_EQ(Numbers(ContentView::Available), (std::vector<int32_t>{1, 2}));
    EXPECT_TRUE(Numbers(ContentView::Downloaded).empty());
    EXPECT_TRUE(std::filesystem::exists(DataFolder() + "content.xml"));

    ComRef<IVGUserContent> collection;
    ASSERT_EQ(service->UserContent(collection.Put()), S_OK);
    ComRef<IVGUserContentItem> item;
    EXPECT_EQ(collection->get_Item(0, item.Put()), E_FAIL);
    EXPECT_EQ(collection->get_Item(4, item.Put()), E_FAIL);
    EXPECT_EQ(collection->get_Item(3, item.Put()), S_OK);
    EXPECT_EQ(item->get_Number(nullptr), E_FAIL);
    EXPECT_EQ(item->get_name(nullptr), E_FAIL);
}

TEST_F(UserContentServiceTest, ChecksComeInTheirOrder) {
    const struct {
        std::string certificate;
        int32_t game;
        int32_t count;
        Outcome outcome;
    } cases[] = {
        {"", 0, 0, {E_INVALIDARG, 11, "certificate cannot be blank"}},
        {"short", 0, 0, {E_INVALIDARG, 11, "certificate needs to be sixteen bytes"}},
        {kKey, 0, 0, {E_INVALIDARG, 12, "game needs to be greater than zero"}},
        {kKey, kGame, 0, {E_INVALIDARG, 12, "count cannot be less than one"}},
    };
    for (const auto& row : cases) {
        EXPECT_EQ(Observe(Get(row.certificate, row.game, row.count)), row.outcome)
            << row.certificate;
    }
    ASSERT_EQ(service->put_CompanyName(Wide("").Get()), S_OK);
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 13, "company name needs to be set"}));
    EXPECT_EQ(Observe(Load()), (Outcome{E_FAIL, 13, "company name needs to be set"}));
    ASSERT_EQ(service->put_CompanyName(Wide("Vostrel Games").Get()), S_OK);
    ASSERT_EQ(service->put_GameFolder(Wide("").Get()), S_OK);
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 14, "game folder needs to be set"}));
    EXPECT_TRUE(server.Calls().empty());
}

TEST_F(UserContentServiceTest, ServerStatusesAreStored) {
    const struct {
        int status;
        Outcome outcome;
    } cases[] = {{50, {E_FAIL, 50, "game not found"}},
                 {51, {E_FAIL, 51, "credentials not found"}},
                 {52, {E_FAIL, 52, "xml error"}},
                 {9, {E_FAIL, 9, "error description not available"}}};
    for (const auto& row : cases) {
        ServerFault fault;
        fault.kind = ServerFault::Kind::Status;
        fault.status = row.status;
        server.SetFault(fault);
        EXPECT_EQ(Observe(Get()), row.outcome) << row.status;
    }
    // A status answer still counts as a loaded list.
    server.SetFault({});
    EXPECT_EQ(Observe(Download(5)), (Outcome{E_FAIL, 19, kTextNumberNotFound}));
}

TEST_F(UserContentServiceTest, TransportFailuresAreReported) {
    ServerFault fault;
    fault.kind = ServerFault::Kind::SoapFault;
    server.SetFault(fault);
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 7, "The server returned a SOAP fault."}));
    fault.kind = ServerFault::Kind::EmptyResult;
    server.SetFault(fault);
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 16, "no response"}));
    fault.kind = ServerFault::Kind::WrongKey;
    server.SetFault(fault);
    EXPECT_EQ(Observe(Get()), (Outcome{E_FAIL, 0, "error description not available"}));
    EXPECT_TRUE(View(ContentView::All).empty());
}

TEST_F(UserContentServiceTest, LoadReadsTheLastList) {
    EXPECT_EQ(Observe(Load()), (Outcome{E_FAIL, 24, "the user content list is empty"}));
    EXPECT_TRUE(std::filesystem::exists(DataFolder() + "content.xml"));
    ASSERT_EQ(Get(), S_OK);

    ComRef<VGUserContentService> other(VGUserContentService::Create());
    ASSERT_TRUE(other);
    ASSERT_EQ(other->put_CompanyName(Wide("Vostrel Games").Get()), S_OK);
    ASSERT_EQ(other->put_GameFolder(Wide("Crypt Quest").Get()), S_OK);
    EXPECT_EQ(other->LoadUserContent(Wide(kKey).Get(), kGame), S_OK);
    ComRef<IVGUserContent> collection;
    ASSERT_EQ(other->AvailableContent(collection.Put()), S_OK);
    int32_t count = 0;
    EXPECT_EQ(collection->get_count(&count), S_OK);
    EXPECT_EQ(count, 2);
    EXPECT_EQ(other->LoadUserContent(Wide("ANOTHER-KEY-0000").Get(), kGame), E_FAIL);
    EXPECT_EQ(other->LoadUserContent(Wide(kKey).Get(), 8), E_FAIL);
}

TEST_F(UserContentServiceTest, DispatchReachesTheOperations) {
    const char16_t* names[] = {u"availablecontent"};
    DISPID id = 0;
    ASSERT_EQ(service->GetIDsOfNames(kGuidNull, names, 1, 0, &id), S_OK);
    EXPECT_EQ(id, 11);
    int32_t error = -1;
    Bstr version;
    EXPECT_EQ(service->get_Version(version.Put()), S_OK);
    EXPECT_EQ(NarrowFromWide(version.View()), "1.0.0.0");
    EXPECT_EQ(service->get_Error(&error), S_OK);
    EXPECT_EQ(service->InterfaceSupportsErrorInfo(kIidVGUserContentService), S_OK);
    EXPECT_EQ(service->InterfaceSupportsErrorInfo(kIidVGHighScoreService), S_FALSE);
}

} // namespace
