#pragma once

#include "platform/com/ComRef.h"
#include "platform/com/MessageWindows.h"
#include "services/ContentItem.h"
#include "services/VGUserContentService.h"
#include "tests/services/FakeDownloader.h"
#include "tests/services/HighScoreFixture.h"
#include "tests/support/ScopedEnvironment.h"
#include "tests/support/TempFolder.h"
#include "tools/soaptestserver/ServiceTestServer.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

// The content the server holds for game 7: item 1 with a data file and a logo, item 2 with a
// data file only, item 3 without file extension. "{server}" is the server's address.
extern const std::string kContentDocument;
extern const std::string kCryptLevel; // 35 bytes
extern const std::string kCryptLogo;  // 26 bytes
extern const std::string kTowerLevel; // 53 bytes

// What a host reads of an item.
struct ItemView {
    int32_t number = 0;
    std::string name;
    std::string file;
    std::string logo;
    bool downloaded = false;
    bool available = false;
};

// A user-content service pointed at a local server that knows game 7, its data folder and the
// temporary folder inside a test folder, and (while `downloader` is set) the fake download
// component serving the item files.
class UserContentFixture : public ::testing::Test {
public:
    static constexpr uint32_t kDone = 0x8002;

    void SetUp() override;
    void TearDown() override;

    // Replaces the content document the server answers with.
    void ServeContent(const std::string& document);
    // The fake serves the server's files under their URLs.
    void ServeFiles();

    Outcome Observe(HRESULT result) const;
    HRESULT Get(const std::string& certificate = kKey, int32_t game = kGame, int32_t count = 10);
    HRESULT Load(const std::string& certificate = kKey, int32_t game = kGame);
    HRESULT Download(int32_t number, const std::string& certificate = kKey, int32_t game = kGame);

    std::vector<ItemView> View(ContentView view) const;
    std::vector<int32_t> Numbers(ContentView view) const;

    std::string DataFolder() const { return folder / "share/Vostrel Games/crypt quest/"; }
    std::string TemporaryRoot() const { return folder / "tmp/"; }
    // Every path below the test folder that is neither in the data folder nor in the temporary
    // root: anything written outside them.
    std::vector<std::string> StrayFiles() const;
    // Every entry left in the temporary root.
    std::vector<std::string> TemporaryLeftovers() const;

protected:
    TempFolder folder;
    ServiceTestServer server;
    std::optional<ScopedEnvironment> connectTo;
    std::optional<ScopedEnvironment> commonData;
    std::optional<ScopedEnvironment> temporary;
    std::optional<ScopedEnvironment> registry;
    std::optional<FakeDownloader> downloader;
    WindowId window = 0;
    ComRef<VGUserContentService> service;
};
