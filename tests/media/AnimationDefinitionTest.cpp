#include "media/AnimationDefinition.h"

#include "media/AnimPlayer.h"
#include "media/AnimationCache.h"
#include "tests/media/AnimationFixture.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestData.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <sstream>

namespace {

using ::testing::HasSubstr;

// A frame as the tests state it: the texture's rectangle, pivot and size.
struct Frame {
    float uLeft, vTop, uRight, vBottom;
    float pivotX, pivotY;
    float width, height;
};

void ExpectFrame(const AnimationFrame& actual, const Frame& expected) {
    EXPECT_FLOAT_EQ(actual.uLeft, expected.uLeft);
    EXPECT_FLOAT_EQ(actual.vTop, expected.vTop);
    EXPECT_FLOAT_EQ(actual.uRight, expected.uRight);
    EXPECT_FLOAT_EQ(actual.vBottom, expected.vBottom);
    EXPECT_FLOAT_EQ(actual.pivotX, expected.pivotX);
    EXPECT_FLOAT_EQ(actual.pivotY, expected.pivotY);
    EXPECT_FLOAT_EQ(actual.width, expected.width);
    EXPECT_FLOAT_EQ(actual.height, expected.height);
}

using AnimationDefinitionTest = AnimationTest;

// sheet.png is 256 x 128, pic.png 64 x 32.
constexpr const char* kDefinition = R"(
(defaultFile sheet.png 64 64)
(fileAnim walk (fps 12) (frame pic.png 8 4 16 20 3 5) (frame pic.png 0 0 64 32 0 0) (other 1))
(framedAnim cells sheet.png 64 64 (frames 0 5 3))
(framedAnim defaulted (frames 1))
(defaultFile pic.png 32 16)
(framedAnim later (frames 3))
(framedAnim shifted (fps 5) (frames 0 (10 20 30 40 1 2) [10 20 30 40 1 2]) (shift 7 9))
(emptyAnim nothing)
(fileAnim walk)
stray
(unknown 1 2)
)";

TEST_F(AnimationDefinitionTest, ListsBecomeAnimationsInFileOrder) {
    Write("a.ani", kDefinition);
    const std::unique_ptr<AnimationDefinition> definition = AnimationDefinition::Read("a.ani");
    const std::vector<AnimationRecord>& records = definition->records;
    ASSERT_EQ(records.size(), 7u);
    // A name given twice maps to the later animation; both stay.
    EXPECT_EQ(definition->nameIndex.at("walk"), 6);
    EXPECT_EQ(definition->nameIndex.at("cells"), 1);
    EXPECT_EQ(definition->nameIndex.at("nothing"), 5);
    EXPECT_EQ(definition->nameIndex.size(), 6u);

    SCOPED_TRACE("walk");
    EXPECT_FLOAT_EQ(records[0].fps, 12.0f);
    ASSERT_EQ(records[0].frames.size(), 2u);
    ExpectFrame(records[0].frames[0], {8 / 64.f, 4 / 32.f, 24 / 64.f, 24 / 32.f, 3, 5, 16, 20});
    ExpectFrame(records[0].frames[1], {0, 0, 1, 1, 0, 0, 64, 32});
    EXPECT_TRUE(records[0].frames[0].texture.valid);
    EXPECT_TRUE(records[6].frames.empty());

    SCOPED_TRACE("cells: 4 columns of 64 in 256, cell 5 is column 1 of row 1");
    EXPECT_FLOAT_EQ(records[1].fps, 30.0f);
    ASSERT_EQ(records[1].frames.size(), 3u);
    ExpectFrame(records[1].frames[0], {0, 0, 0.25f, 0.5f, 32, 32, 64, 64});
    ExpectFrame(records[1].frames[1], {0.25f, 0.5f, 0.5f, 1.0f, 32, 32, 64, 64});
    ExpectFrame(records[1].frames[2], {0.75f, 0, 1.0f, 0.5f, 32, 32, 64, 64});

    SCOPED_TRACE("the default file before it, not the one after");
    ExpectFrame(records[2].frames.at(0), {0.25f, 0, 0.5f, 0.5f, 32, 32, 64, 64});
    ExpectFrame(records[3].frames.at(0), {0.5f, 0.5f, 1.0f, 1.0f, 16, 8, 32, 16});

    SCOPED_TRACE("rectangles of six numbers, the shift moves every pivot");
    EXPECT_FLOAT_EQ(records[4].fps, 5.0f);
    ASSERT_EQ(records[4].frames.size(), 3u);
    ExpectFrame(records[4].frames[0], {0, 0, 0.5f, 0.5f, 7, 9, 32, 16});
    ExpectFrame(records[4].frames[1], {10 / 64.f, 20 / 32.f, 40 / 64.f, 60 / 32.f, 7, 9, 30, 40});
    ExpectFrame(records[4].frames[2], {10 / 64.f, 20 / 32.f, 40 / 64.f, 60 / 32.f, 7, 9, 30, 40});

    EXPECT_TRUE(records[5].frames.empty());
}

TEST_F(AnimationDefinitionTest, EveryFrameHoldsItsOwnTextureReference) {
    Write("a.ani", "(framedAnim cells sheet.png 64 64 (frames 0 1 2))\n"
                   "(fileAnim one (frame sheet.png 0 0 8 8 0 0))\n");
    std::unique_ptr<AnimationDefinition> definition = AnimationDefinition::Read("a.ani");
    TextureEntry* sheet = definition->records[0].frames[0].texture.entry;
    EXPECT_EQ(sheet->referenceCount, 4);
    definition->ReleaseTextures();
    EXPECT_EQ(sheet->referenceCount, 0);
    EXPECT_FALSE(definition->records[1].frames[0].texture.valid);
}

struct SheetCase {
    const char* name;
    const char* definition;
    int frames;
};

void PrintTo(const SheetCase& c, std::ostream* out) {
    *out << c.name;
}

class SheetsThatCannotBeCut : public AnimationTest,
                              public testing::WithParamInterface<SheetCase> {};

TEST_P(SheetsThatCannotBeCut, LogOnceAndDrawUntextured) {
    const SheetCase& c = GetParam();
    Write("bad.ani", c.definition);
    const LogCapture log;
    AnimPlayer player;
    player.Load("bad.ani");
    const std::shared_ptr<AnimationDefinition> definition = AnimationCache::Definition("bad.ani");
    const std::vector<AnimationFrame>& frames = definition->records.at(0).frames;
    ASSERT_EQ(frames.size(), static_cast<std::size_t>(c.frames));
    for (const AnimationFrame& frame : frames) {
        EXPECT_FALSE(frame.texture.valid);
    }
    const std::string text = log.Text();
    const std::string line = "bad.ani: animation a: ";
    ASSERT_NE(text.find(line), std::string::npos) << text;
    EXPECT_EQ(text.find(line), text.rfind(line)) << "logged more than once:\n" << text;
    // Nothing is registered for a sheet that gave nothing.
    for (const std::unique_ptr<TextureEntry>& entry : TextureManager::Entries()) {
        if (entry->imageName != "sheet.png" && entry->imageName != "pic.png") {
            continue;
        }
        EXPECT_EQ(entry->referenceCount, 0) << entry->imageName;
    }

    // Drawn untextured, with every coordinate a number, also with a left cut.
    ASSERT_TRUE(player.Play("a", true, false, true, 0.0f));
    script.draws.clear();
    player.Draw(100, 100, 0, 0, 1, 1, 0.5f, 0.25f, 0xFFFFFFFFu);
    for (const RecordedDraw& draw : script.draws) {
        EXPECT_EQ(draw.texture, 0);
        for (const GfxVertex& vertex : draw.vertices) {
            EXPECT_TRUE(std::isfinite(vertex.x) && std::isfinite(vertex.u) &&
                        std::isfinite(vertex.v));
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SheetsThatCannotBeCut,
    testing::Values(
        SheetCase{"zero frame width", "(framedAnim a sheet.png 0 64 (frames 0 1))", 2},
        SheetCase{"frame wider than the image", "(framedAnim a pic.png 65 16 (frames 0 1))", 2},
        SheetCase{"frame taller than the image", "(framedAnim a pic.png 16 33 (frames 0))", 1},
        SheetCase{"frame width not a number", "(framedAnim a sheet.png nan 64 (frames 0))", 1},
        SheetCase{"frame narrower than a pixel", "(framedAnim a sheet.png 1e-30 64 (frames 0))", 1},
        SheetCase{"missing image", "(framedAnim a missing.png 16 16 (frames 0 1 2))", 3},
        SheetCase{"no image before any default file", "(framedAnim a (frames 0 1))", 2},
        SheetCase{"cells beyond the sheet", "(framedAnim a sheet.png 64 64 (frames 8 -1 9))", 3}));

TEST_F(AnimationDefinitionTest, AFileAnimFrameWithoutItsImageDrawsUntextured) {
    Write("a.ani", "(fileAnim a (frame missing.png 4 4 8 8 0 0))\n");
    const std::unique_ptr<AnimationDefinition> definition = AnimationDefinition::Read("a.ani");
    const AnimationFrame& frame = definition->records.at(0).frames.at(0);
    EXPECT_FALSE(frame.texture.valid);
    ExpectFrame(frame, {0, 0, 1, 1, 0, 0, 8, 8});
}

TEST_F(AnimationDefinitionTest, AFailedParseCachesNothingAndGivesItsTexturesBack) {
    Write("broken.ani", "(fileAnim a (frame pic.png 0 0 8 8 0 0))\n"
                        "(fileAnim b (frame sheet.png 0 0 8 8 0 0) (frame pic.png 1 2))\n");
    AnimPlayer player;
    EXPECT_THAT(ErrorOf([&] { player.Load("broken.ani"); }), HasSubstr("More data expected"));
    EXPECT_FALSE(AnimationCache::HasDefinition("broken.ani"));
    EXPECT_TRUE(player.GetFileName().empty());
    for (const std::unique_ptr<TextureEntry>& entry : TextureManager::Entries()) {
        EXPECT_EQ(entry->referenceCount, 0) << entry->imageName;
    }
    // The file mended, the next load parses it afresh.
    Write("broken.ani", "(fileAnim a (frame pic.png 0 0 8 8 0 0))\n");
    player.Load("broken.ani");
    EXPECT_EQ(player.GetFileName(), "broken.ani");
}

TEST_F(AnimationDefinitionTest, AMissingFileIsFatalAndLeavesThePlayerAsItWas) {
    Write("a.ani", "(emptyAnim idle)\n");
    AnimPlayer player;
    player.Load("a.ani");
    EXPECT_EQ(ErrorOf([&] { player.Load("none.ani"); }),
              "Parcon Error: Cannot find file none.ani!");
    EXPECT_FALSE(AnimationCache::HasDefinition("none.ani"));
    EXPECT_EQ(player.GetFileName(), "a.ani");
}

TEST_F(AnimationDefinitionTest, AFileIsReadOnceAndSharedByEveryPlayer) {
    Write("a.ani", "(framedAnim run sheet.png 64 64 (frames 0 1 2))\n");
    AnimPlayer first;
    first.Load("a.ani");
    std::filesystem::remove(folder / "a.ani");
    AnimPlayer second;
    second.Load("a.ani"); // from the cache: the file is gone
    EXPECT_TRUE(second.Play("run", true, false, true, 0.0f));
    EXPECT_EQ(AnimationCache::Definition("a.ani").get(), AnimationCache::Definition("a.ani").get());
    // The name is the key exactly as given.
    EXPECT_THROW(second.Load("./a.ani"), Exception);
}

TEST_F(AnimationDefinitionTest, CompanionNamesNeedRoomForAnExtension) {
    struct Case {
        const char* ani;
        const char* companion;
    };
    for (const Case& c :
         {Case{"gfx/objects/key.ani", "gfx/objects/key.snd"}, Case{"a.ani", "a.snd"},
          Case{".ani", ".snd"}, Case{"ani", ""}, Case{"ab", ""}, Case{"", ""}}) {
        EXPECT_EQ(SoundCompanionName(c.ani), c.companion) << c.ani;
    }
    // A player bound to so short a name looks for no companion at all.
    Write("ani", "(emptyAnim idle)\n");
    Write("snd", "(sound (anims idle) (files snd))\n");
    AnimPlayer player;
    player.Load("ani");
    EXPECT_EQ(AnimationCache::Sounds("ani"), nullptr);
    EXPECT_TRUE(player.Play("idle", true, false, true, 0.0f));
    EXPECT_TRUE(audio.Samples().empty());
}

TEST_F(AnimationDefinitionTest, CompanionSetsMapAnimationNames) {
    Write("step.wav", "step.wav");
    Write("idle.wav", "idle.wav");
    Write("jump.wav", "jump.wav");
    Write("a.snd", "(sound (anims walk run) (files step.wav) (loop 1))\n"
                   "(other (anims ignored))\n"
                   "(sound (anims idle walk) (files [idle.wav 3 1] (unused jump.wav 2)))\n"
                   "(sound (files jump.wav) (loop 0))\n");
    const std::unique_ptr<AnimationSoundDefinition> sounds =
        AnimationSoundDefinition::Read("a.snd");
    ASSERT_EQ(sounds->sets.size(), 3u);
    EXPECT_TRUE(sounds->sets[0]->Loop());
    EXPECT_FALSE(sounds->sets[1]->Loop());
    ASSERT_EQ(sounds->sets[1]->Samples().size(), 2u);
    EXPECT_EQ(sounds->sets[1]->Samples()[0]->Weight(), 3);
    EXPECT_TRUE(sounds->sets[1]->Samples()[0]->Exclusive());
    EXPECT_FALSE(sounds->sets[1]->Samples()[1]->Exclusive());
    EXPECT_EQ(sounds->SetFor("run"), sounds->sets[0].get());
    EXPECT_EQ(sounds->SetFor("walk"), sounds->sets[1].get()); // the later mapping wins
    EXPECT_EQ(sounds->SetFor("ignored"), nullptr);
    EXPECT_EQ(sounds->SetFor("jump"), nullptr);
}

TEST_F(AnimationDefinitionTest, ACompanionWhoseSoundIsMissingIsFatalAndNotCached) {
    Write("a.ani", "(emptyAnim idle)\n");
    Write("a.snd", "(sound (anims idle) (files gone.wav))\n");
    AnimPlayer player;
    EXPECT_EQ(ErrorOf([&] { player.Load("a.ani"); }), "Can't load a sound file: gone.wav!");
    EXPECT_TRUE(player.GetFileName().empty());
    Write("gone.wav", "gone.wav");
    player.Load("a.ani");
    EXPECT_NE(AnimationCache::Sounds("a.ani"), nullptr);
}

} // namespace
