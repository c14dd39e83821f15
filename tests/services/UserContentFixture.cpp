#include "tests/services/UserContentFixture.h"

#include "platform/com/CodePage.h"
#include "services/LocalFile.h"
#include "services/SoapClient.h"

#include <algorithm>
#include <filesystem>

const std::string kContentDocument =
    "<items><id>7</id>"
    "<item><number>1</number><name>Flooded Crypt</name>"
    "<description>A new location below the abbey</description>"
    "<file>{server}/files/crypt-level.dat</file><fileextension>dat</fileextension>"
    "<filesize>35</filesize><logo>{server}/files/crypt-logo.png</logo>"
    "<logoextension>png</logoextension><logosize>26</logosize></item>"
    "<item><number>2</number><name>Clock Tower</name>"
    "<file>{server}/files/tower-level.dat</file><fileextension>dat</fileextension>"
    "<filesize>53</filesize></item>"
    "<item><number>3</number><name>Notes</name><file>{server}/files/notes</file>"
    "<filesize>4</filesize></item>"
    "</items>";
const std::string kCryptLevel = "crypt level data, thirty-five bytes";
const std::string kCryptLogo = "PNG logo of twenty-six b.!";
const std::string kTowerLevel = "tower level data of fifty-three bytes, with its music";

namespace {

Bstr Wide(const std::string& text) {
    return Bstr::FromNarrow(text);
}

std::string Narrow(const Bstr& text) {
    return NarrowFromWide(text.View());
}

} // namespace

void UserContentFixture::SetUp() {
    ASSERT_EQ(kCryptLevel.size(), 35u);
    ASSERT_EQ(kCryptLogo.size(), 26u);
    ASSERT_EQ(kTowerLevel.size(), 53u);
    server.AddGame({kGame, kKey, kLogin, kPassword, "", kContentDocument});
    server.AddFile("crypt-level.dat", kCryptLevel);
    server.AddFile("crypt-logo.png", kCryptLogo);
    server.AddFile("tower-level.dat", kTowerLevel);
    ASSERT_TRUE(server.Start());
    std::filesystem::create_directories(folder / "tmp");
    connectTo.emplace(SoapClient::kConnectToVariable, server.Address());
    commonData.emplace(kCommonDataVariable, folder / "share");
    temporary.emplace("TMPDIR", folder / "tmp");
    registry.emplace("ORVEX_CLASSES_ROOT", folder / "classes-root.reg");
    window = CreateMessageWindow();
    ASSERT_NE(window, 0u);
    service = ComRef<VGUserContentService>(VGUserContentService::Create());
    ASSERT_TRUE(service);
    ASSERT_EQ(service->put_CompanyName(Wide("Vostrel Games").Get()), S_OK);
    ASSERT_EQ(service->put_GameFolder(Wide("Crypt Quest").Get()), S_OK);
    downloader.emplace();
    ServeFiles();
}

void UserContentFixture::TearDown() {
    service.Reset();
    downloader.reset();
    DestroyMessageWindow(window);
    server.Stop();
    const std::vector<std::string> problems = server.Problems();
    EXPECT_TRUE(problems.empty()) << problems.front();
}

void UserContentFixture::ServeContent(const std::string& document) {
    server.AddGame({kGame, kKey, kLogin, kPassword, "", document});
}

void UserContentFixture::ServeFiles() {
    downloader->Serve(server.BaseUrl() + "/files/crypt-level.dat", kCryptLevel);
    downloader->Serve(server.BaseUrl() + "/files/crypt-logo.png", kCryptLogo);
    downloader->Serve(server.BaseUrl() + "/files/tower-level.dat", kTowerLevel);
}

Outcome UserContentFixture::Observe(HRESULT result) const {
    Outcome outcome;
    outcome.result = result;
    EXPECT_EQ(service->get_Error(&outcome.error), S_OK);
    Bstr description;
    EXPECT_EQ(service->get_ErrorDescription(description.Put()), S_OK);
    outcome.description = Narrow(description);
    return outcome;
}

HRESULT UserContentFixture::Get(const std::string& certificate, int32_t game, int32_t count) {
    return service->GetUserContent(Wide(certificate).Get(), game, count, Wide(kLogin).Get(),
                                   Wide(kPassword).Get());
}

HRESULT UserContentFixture::Load(const std::string& certificate, int32_t game) {
    return service->LoadUserContent(Wide(certificate).Get(), game);
}

HRESULT UserContentFixture::Download(int32_t number, const std::string& certificate, int32_t game) {
    return service->DownloadUserContent(Wide(certificate).Get(), game, number, Wide(kLogin).Get(),
                                        Wide(kPassword).Get());
}

std::vector<ItemView> UserContentFixture::View(ContentView view) const {
    ComRef<IVGUserContent> collection;
    HRESULT got = E_UNEXPECTED;
    switch (view) {
    case ContentView::All:
        got = service->UserContent(collection.Put());
        break;
    case ContentView::Downloaded:
        got = service->DownloadedContent(collection.Put());
        break;
    case ContentView::Available:
        got = service->AvailableContent(collection.Put());
        break;
    }
    EXPECT_EQ(got, S_OK);
    int32_t count = 0;
    EXPECT_EQ(collection->get_count(&count), S_OK);
    std::vector<ItemView> items;
    for (int32_t index = 1; index <= count; ++index) {
        ComRef<IVGUserContentItem> item;
        EXPECT_EQ(collection->get_Item(index, item.Put()), S_OK);
        ItemView read;
        Bstr text;
        EXPECT_EQ(item->get_Number(&read.number), S_OK);
        EXPECT_EQ(item->get_name(text.Put()), S_OK);
        read.name = Narrow(text);
        EXPECT_EQ(item->get_File(text.Put()), S_OK);
        read.file = Narrow(text);
        EXPECT_EQ(item->get_Logo(text.Put()), S_OK);
        read.logo = Narrow(text);
        VARIANT_BOOL flag = 1;
        EXPECT_EQ(item->get_isDownloaded(&flag), S_OK);
        read.downloaded = flag == VARIANT_TRUE;
        EXPECT_EQ(item->get_isAvailable(&flag), S_OK);
        read.available = flag == VARIANT_TRUE;
        items.push_back(read);
    }
    return items;
}

std::vector<int32_t> UserContentFixture::Numbers(ContentView view) const {
    std::vector<int32_t> numbers;
    for (const ItemView& item : View(view)) {
        numbers.push_back(item.number);
    }
    return numbers;
}

std::vector<std::string> UserContentFixture::StrayFiles() const {
    std::vector<std::string> stray;
    const std::string data = DataFolder();
    const std::string temporaryRoot = TemporaryRoot();
    const std::string registryFile = folder / "classes-root.reg";
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder / "")) {
        const std::string path = entry.path().string();
        const bool inside = path.rfind(data, 0) == 0 || path.rfind(temporaryRoot, 0) == 0 ||
                            (data.rfind(path + "/", 0) == 0 && entry.is_directory()) ||
                            path + "/" == temporaryRoot || path.rfind(registryFile, 0) == 0;
        if (!inside) {
            stray.push_back(path);
        }
    }
    return stray;
}

std::vector<std::string> UserContentFixture::TemporaryLeftovers() const {
    std::vector<std::string> left;
    for (const auto& entry : std::filesystem::directory_iterator(TemporaryRoot())) {
        left.push_back(entry.path().string());
    }
    return left;
}
