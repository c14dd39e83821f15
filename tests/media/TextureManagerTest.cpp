#include "media/TextureManager.h"

#include "media/Renderer.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/LogCapture.h"

#include <gtest/gtest.h>

namespace {

class TextureManagerTest : public RecordingMediaTest {
protected:
    void SetUp() override {
        RecordingMediaTest::SetUp();
        InitRenderer();
    }

    // A 4 x 4 opaque grey image; its left column red 0x10, the rest red 0xF0.
    void WriteImage(const std::string& name) {
        folder.Write(name, PngFile(MakeImage(4, 4, [](uint32_t x, uint32_t) {
                         return x == 0 ? 0xFF108080u : 0xFFF08080u;
                     })));
    }

    // An alpha image whose red channel is `red` everywhere.
    void WriteAlpha(const std::string& name, uint32_t red) {
        const Image image = SolidImage(4, 4, 0xFF000000u | red << 16);
        folder.Write(name, name.ends_with(".png") ? PngFile(image) : JpegFile(image));
    }

    static int AlphaAt(const TextureHandle& handle, std::size_t index) {
        return Alpha(TexturePixels(*handle.Texture()).at(index));
    }
};

TEST_F(TextureManagerTest, SameImageIsSharedByReferenceCount) {
    WriteImage("a.png");
    TextureHandle first;
    TextureHandle second;
    ASSERT_TRUE(TextureManager::Load(first, "a.png"));
    ASSERT_TRUE(TextureManager::Load(second, "a.png"));
    EXPECT_EQ(first.entry, second.entry);
    EXPECT_EQ(first.entry->referenceCount, 2);
    EXPECT_EQ(script.CallsStartingWith("CreateTexture").size(), 1u);

    EXPECT_TRUE(second.Release());
    EXPECT_FALSE(second.valid);
    EXPECT_FALSE(second.Release());
    TextureManager::PurgeUnused();
    ASSERT_EQ(TextureManager::Entries().size(), 1u);
    EXPECT_EQ(first.entry->referenceCount, 1);
    EXPECT_NE(first.Texture(), nullptr);
}

TEST_F(TextureManagerTest, ReleasedEntryLivesUntilThePurgeAndIsReused) {
    WriteImage("a.png");
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "a.png"));
    TextureEntry* entry = handle.entry;
    handle.Release();
    EXPECT_EQ(TextureManager::Entries().size(), 1u);
    ASSERT_TRUE(TextureManager::Load(handle, "a.png"));
    EXPECT_EQ(handle.entry, entry);
    EXPECT_EQ(entry->referenceCount, 1);
    handle.Release();
    TextureManager::PurgeUnused();
    EXPECT_TRUE(TextureManager::Entries().empty());
    EXPECT_EQ(script.texturesAlive, 0);
}

TEST_F(TextureManagerTest, LoadIntoAValidHandleChangesNothing) {
    WriteImage("a.png");
    WriteImage("b.png");
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "a.png"));
    TextureEntry* entry = handle.entry;
    EXPECT_FALSE(TextureManager::Load(handle, "b.png"));
    EXPECT_EQ(handle.entry, entry);
    EXPECT_EQ(entry->referenceCount, 1);
    EXPECT_EQ(TextureManager::Entries().size(), 1u);
}

TEST_F(TextureManagerTest, EntryRecordsNamesAndPaddedSize) {
    folder.Write("gfx/odd.png", PngFile(SolidImage(5, 3, 0xFFFFFFFFu)));
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "gfx/odd.png"));
    EXPECT_EQ(handle.entry->imageName, "gfx/odd.png");
    EXPECT_EQ(handle.entry->alphaName, "");
    EXPECT_EQ(handle.entry->width, 8);
    EXPECT_EQ(handle.entry->height, 4);
    EXPECT_TRUE(handle.entry->hasAlpha);
}

TEST_F(TextureManagerTest, AlphaImageCompanionsInOrder) {
    struct Case {
        bool png;
        bool jpg;
        const char* alphaName;
        int alpha; // of the texture's pixel (1, 0)
    };
    // The PNG companion wins; the JPEG one serves alone; with neither the image keeps its own.
    const Case cases[] = {{true, true, "pic_alpha.png", 0x40},
                          {false, true, "pic_alpha.jpg", 0x90},
                          {false, false, "", 0xFF}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.alphaName);
        TextureManager::ReleaseAll();
        std::remove((folder / "pic_alpha.png").c_str());
        std::remove((folder / "pic_alpha.jpg").c_str());
        WriteImage("pic.jpg");
        if (c.png) {
            WriteAlpha("pic_alpha.png", 0x40);
        }
        if (c.jpg) {
            WriteAlpha("pic_alpha.jpg", 0x90);
        }
        LogCapture log;
        TextureHandle handle;
        ASSERT_TRUE(TextureManager::Load(handle, "pic.jpg"));
        EXPECT_EQ(handle.entry->alphaName, c.alphaName);
        EXPECT_NEAR(AlphaAt(handle, 1), c.alpha, 2); // JPEG is lossy
        EXPECT_EQ(log.Text(), "");                   // a missing alpha image is silent
    }
}

TEST_F(TextureManagerTest, SameNameWithADifferentAlphaCompanionIsNotShared) {
    WriteImage("a.png");
    WriteAlpha("a_alpha.png", 0x40);
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "a.png"));
    // An entry of the same image name but a foreign alpha name is passed over.
    handle.entry->alphaName = "other_alpha.png";
    TextureHandle second;
    ASSERT_TRUE(TextureManager::Load(second, "a.png"));
    EXPECT_NE(second.entry, handle.entry);
}

TEST_F(TextureManagerTest, MissingImageLeavesTheHandleEmptyAndLogs) {
    LogCapture log;
    TextureHandle handle;
    EXPECT_FALSE(TextureManager::Load(handle, "nowhere.png"));
    EXPECT_FALSE(handle.valid);
    EXPECT_TRUE(TextureManager::Entries().empty());
    EXPECT_EQ(log.Text(), "Could not load texture: nowhere.png\n");
}

TEST_F(TextureManagerTest, BlankTexturesAreNeverSharedByName) {
    TextureHandle blank;
    ASSERT_TRUE(TextureManager::CreateTexture(blank, 16, 8, false));
    EXPECT_EQ(blank.entry->referenceCount, 1);
    EXPECT_EQ(blank.entry->imageName, "");
    EXPECT_FALSE(blank.entry->hasAlpha);
    EXPECT_EQ(blank.Texture()->Format(), PixelFormat::X8R8G8B8);
    LogCapture log;
    TextureHandle byName;
    EXPECT_FALSE(TextureManager::Load(byName, ""));
}

TEST_F(TextureManagerTest, BlankTextureThatCannotBeMadeLeavesTheHandleUntouched) {
    script.failTextures = true;
    TextureHandle handle;
    EXPECT_FALSE(TextureManager::CreateTexture(handle, 16, 16, true));
    EXPECT_FALSE(handle.valid);
    EXPECT_TRUE(TextureManager::Entries().empty());
}

TEST_F(TextureManagerTest, DeviceLossReleasesAndResetRebuildsEveryTexture) {
    WriteImage("a.png");
    WriteAlpha("a_alpha.png", 0x40);
    TextureHandle image;
    TextureHandle blank;
    ASSERT_TRUE(TextureManager::Load(image, "a.png"));
    ASSERT_TRUE(TextureManager::CreateTexture(blank, 32, 16, true));
    LockedRect locked;
    blank.Texture()->LockRect(0, locked, 0);
    static_cast<uint32_t*>(locked.bits)[0] = 0xFFFFFFFFu;
    blank.Texture()->UnlockRect(0);
    Renderer::DrawImage(0, 0, 0, 4, 4, 0, 0, 1, 1, image.Texture(), 0, 1, 1, nullptr, 0, 0);

    script.calls.clear();
    TextureManager::OnDeviceLost();
    EXPECT_EQ(script.calls.front(), "SetTexture 0 #0");
    EXPECT_EQ(image.Texture(), nullptr);
    EXPECT_EQ(blank.Texture(), nullptr);
    EXPECT_EQ(script.texturesAlive, 0);
    EXPECT_EQ(TextureManager::Entries().size(), 2u);

    Renderer::Shutdown();
    InitRenderer();
    TextureManager::OnDeviceReset();
    ASSERT_NE(image.Texture(), nullptr);
    ASSERT_NE(blank.Texture(), nullptr);
    EXPECT_EQ(AlphaAt(image, 1), 0x40); // the alpha image merged again
    EXPECT_EQ(Red(TexturePixels(*image.Texture())[0]), 0x10);
    EXPECT_EQ(blank.Texture()->Width(), 32u);
    EXPECT_EQ(blank.Texture()->Height(), 16u);
    EXPECT_EQ(blank.Texture()->Format(), PixelFormat::A8R8G8B8);
    EXPECT_EQ(TexturePixels(*blank.Texture())[0], 0u); // blank again
}

TEST_F(TextureManagerTest, ReleaseAllEmptiesTheList) {
    WriteImage("a.png");
    TextureHandle handle;
    ASSERT_TRUE(TextureManager::Load(handle, "a.png"));
    TextureManager::ReleaseAll();
    EXPECT_TRUE(TextureManager::Entries().empty());
    EXPECT_EQ(script.texturesAlive, 0);
}

} // namespace
