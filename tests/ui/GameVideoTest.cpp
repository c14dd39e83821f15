// The cut-scene object on the video screen: its fades, its clock, skipping, subtitles and its end,
// with the recording audio layer as the sound and the recording graphics device as the screen.

#include "ui/GameVideo.h"

#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "media/RenderChunk.h"
#include "media/Renderer.h"
#include "media/SoundManager.h"
#include "media/VideoStream.h"
#include "platform/audio/AudioLayer.h"
#include "platform/gfx/RecordingDevice.h"
#include "platform/os/Keys.h"
#include "platform/os/Seams.h"
#include "tests/media/MediaTestSupport.h"
#include "tests/support/AudioFixtures.h"
#include "tests/support/LogCapture.h"
#include "tests/support/TestData.h"
#include "tests/support/VideoFixtures.h"
#include "tests/ui/UiFixture.h"

#include <gmock/gmock.h>

#include <string>

namespace {

constexpr double kFrame = 1.0 / 15.0;

class GameVideoTest : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        ResetMedia();
        UseRecordingGraphics(script);
        Seams().desktop = DesktopMode{1920, 1080, false};
        Renderer::Init(1024, 768, PixelFormat::X8R8G8B8, nullptr, true);
        WriteData("scripts/ui_objects.txt",
                  "(Final (GameVideo (POSI) (KEYB ()) (SPRT)"
                  "                  (COLI (left 0) (right 1024) (top 100) (bottom 676))))");
        TheoraClip clip;
        clip.frames = 8;
        clip.pixel = [](int frame, int, int) {
            return YCbCr{static_cast<uint8_t>(40 + 20 * frame), 128, 128};
        };
        WriteData("video/clip.ogv", TheoraFile(clip).bytes);
        const std::vector<float> silence(44100, 0.0f);
        WriteData("snd/clip.wav", WavFile(silence, 1, 44100, 16));
        WriteData("sounds.txt", "(set global (clip_sound snd/clip.wav))");
        Sounds.LoadDefinitions("sounds.txt");
    }
    void TearDown() override {
        UiTest::TearDown();
        ResetMedia();
    }

    // The video screen with one video of these extra keys.
    GameVideo& Play(const std::string& keys) {
        WriteScreen("video", "(GameVideo (Name VIDE) (visName intro_video) (Data (aviFile "
                             "video/clip.ogv) " +
                                 keys + "))");
        UserInterface& layer = Layer(VideoUI, "video");
        return dynamic_cast<GameVideo&>(*layer.FindByCode(FourCC("VIDE")));
    }
    static void Update() { VideoUI->Update(kStepTime); }
    // The video's picture texture, read through a lock.
    static std::vector<uint32_t> PicturePixels(const GameVideo& video) {
        GfxTexture& texture = *video.Picture().Texture();
        LockedRect locked;
        EXPECT_EQ(texture.LockRect(0, locked, kLockReadOnly), kGfxOk);
        std::vector<uint32_t> pixels(static_cast<std::size_t>(texture.Width()) * texture.Height());
        for (uint32_t y = 0; y < texture.Height(); ++y) {
            const auto* row = reinterpret_cast<const uint32_t*>(
                static_cast<const uint8_t*>(locked.bits) + std::size_t{y} * locked.pitch);
            std::copy(row, row + texture.Width(), pixels.begin() + y * texture.Width());
        }
        texture.UnlockRect(0);
        return pixels;
    }
    static float SpriteAlpha(GameVideo& video) {
        return video.RequireChunk<RenderChunk>(FourCC("SPRT")).alpha;
    }
    // The sound's first sample has played this far.
    void SoundAt(double seconds) {
        ASSERT_FALSE(audio.Playbacks().empty());
        audio.SetPosition(audio.Playbacks().back().channel,
                          static_cast<uint64_t>(seconds * AudioLayer::kOutputRate + 0.5) *
                              AudioLayer::kBytesPerFrame);
    }
    // The quads the video's layer draws in its post-render pass.
    std::vector<RecordedDraw> Drawn() {
        script.draws.clear();
        VideoUI->PostRender();
        return script.draws;
    }

    RecordingScript script;
};

TEST_F(GameVideoTest, TheFadeInHidesThePictureAndHoldsTheSound) {
    GameVideo& video = Play("(fadeInTime 0.5) (soundFile clip_sound)");
    for (int step = 0; step < 29; ++step) {
        Update();
        EXPECT_TRUE(Drawn().empty()) << step;
    }
    EXPECT_NEAR(SpriteAlpha(video), 29.0 / 30.0, 1e-4);
    EXPECT_TRUE(audio.Playbacks().empty());
    EXPECT_DOUBLE_EQ(video.FrameTime(), 0.0) << "the video stands still";
    Update(); // the fade-in's last step
    EXPECT_TRUE(audio.Playbacks().empty());
    Update();
    EXPECT_EQ(audio.Playbacks().size(), 1u) << "the sound starts once the fade-in is over";
    ASSERT_EQ(Drawn().size(), 1u);
    Update();
    EXPECT_EQ(audio.Playbacks().size(), 1u) << "and only once";
}

TEST_F(GameVideoTest, MakingTheVideoFadesTheMusicOut) {
    WriteData("music/theme.ogg", VorbisFile(SineWave(440.0, 0.5, 4410, 1, 22050), 1, 22050));
    Sounds.PlayMusic("music/theme.ogg", true);
    ASSERT_EQ(Sounds.MusicName(), "music/theme.ogg");
    Play("");
    EXPECT_EQ(Sounds.MusicName(), "");
}

TEST_F(GameVideoTest, FramesFollowTheSoundPositionOneAnUpdate) {
    GameVideo& video = Play("(soundFile clip_sound)");
    Update();
    SoundAt(0.3);
    std::vector<double> times;
    for (int step = 0; step < 6; ++step) {
        Update();
        times.push_back(video.FrameTime());
    }
    // The decoder catches up a frame an update until its frame is at the sound's position.
    EXPECT_THAT(times, testing::ElementsAre(testing::DoubleNear(2 * kFrame, 1e-9),
                                            testing::DoubleNear(3 * kFrame, 1e-9),
                                            testing::DoubleNear(4 * kFrame, 1e-9),
                                            testing::DoubleNear(5 * kFrame, 1e-9),
                                            testing::DoubleNear(5 * kFrame, 1e-9),
                                            testing::DoubleNear(5 * kFrame, 1e-9)));
    // The picture of the frame shown: frame 4 has luma 120.
    const std::vector<uint32_t> pixels = PicturePixels(video);
    EXPECT_NEAR(Red(pixels[0]), (298 * (120 - 16) + 128) >> 8, 2);
    EXPECT_EQ(pixels[static_cast<std::size_t>(360 * GameVideo::kTextureSide)], 0u)
        << "below the picture the texture stays blank";
}

TEST_F(GameVideoTest, WithoutSoundTheUpdatesAreTheClock) {
    GameVideo& video = Play("(soundFile no_such_set)");
    for (int step = 0; step < 30; ++step) {
        Update();
    }
    // Half a second of updates: the frame shown is the first that ends after it.
    EXPECT_NEAR(video.FrameTime(), 8 * kFrame, 1e-9);
}

TEST_F(GameVideoTest, SubtitlesShowOnTheirHalfOpenInterval) {
    GameVideo& video = Play("(soundFile clip_sound) (subtitles (sub one 0.1 0.3) (note x 0 9)"
                            " (sub two 0.3 0.5))");
    Update();
    struct Case {
        double clock;
        const char* shown;
    };
    for (const Case& c : {Case{0.1, "one"}, Case{0.2, "one"}, Case{0.3, "two"}, Case{0.5, ""}}) {
        SoundAt(c.clock);
        Update();
        const std::string* shown = video.CurrentSubtitle();
        EXPECT_EQ(shown != nullptr ? *shown : "", c.shown) << c.clock;
    }
}

TEST_F(GameVideoTest, APressInsideItsRectangleOrEscapeSkips) {
    struct Case {
        const char* name;
        float x, y;
        int key; // 0: a press of the left button at (x, y)
        bool skips;
    };
    const Case cases[] = {
        {"press above the picture", 500.0f, 50.0f, 0, false},
        {"press on the picture", 500.0f, 400.0f, 0, true},
        {"Escape", 500.0f, 50.0f, kKeyEscape, true},
        {"another key", 500.0f, 50.0f, 'A', false},
    };
    int slot = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MakeProfile(slot++, "Ann");
        MakeGameLevel().name = "barrow";
        GameVideo& video = Play("");
        Update();
        if (c.key == 0) {
            ClickAt(*VideoUI, c.x, c.y);
        } else {
            PressKey(c.key);
            ClickAt(*VideoUI, c.x, c.y - 1000.0f); // any message carries the key's step
            ReleaseKeys();
        }
        EXPECT_EQ(video.Skipped(), c.skips);
        EXPECT_EQ(video.Finished(), c.skips) << "the end runs in the same step";
        EXPECT_EQ(CurrentPlayer->GetFlag("barrow:intro_video_killed"), c.skips ? 1 : 0);
        DeleteAllLayers();
    }
}

TEST_F(GameVideoTest, TheEndClosesTheScreensSilencesAndFadesOutForTwoSeconds) {
    MakeProfile(0, "Ann");
    MakeGameLevel().name = "barrow";
    WriteScreen("dialogue", "");
    Layer(DialogueUI, "dialogue");
    GameVideo& video = Play("(soundFile no_such_set)");
    int steps = 0;
    while (!video.Finished() && steps < 200) {
        Update();
        ++steps;
    }
    ASSERT_TRUE(video.Finished());
    EXPECT_NEAR(steps * kStepTime, 8 * kFrame, 2 * kStepTime) << "the end follows the last frame";
    EXPECT_EQ(CurrentPlayer->GetFlag("barrow:intro_video_killed"), 1);
    EXPECT_EQ(DialogueUI->state, 1);
    EXPECT_EQ(VideoUI->state, 1);
    EXPECT_THAT(audio.Calls(), testing::IsSupersetOf({"Stop", "Start"})) << "every sound stopped";
    EXPECT_TRUE(Drawn().empty()) << "the picture goes with the end";
    const std::size_t callsAtEnd = audio.Calls().size();
    // The end's own step began the fade-out: the tail lasts 2 s of updates in all.
    int tail = 1;
    for (; tail < 500; ++tail) {
        VideoUI->Update(kStepTime);
        VideoUI->RemoveDead();
        if (VideoUI->Objects().empty()) {
            break;
        }
    }
    EXPECT_NEAR(tail * kStepTime, 2.0, 2 * kStepTime);
    EXPECT_TRUE(VideoUI->Objects().empty()) << "then the scene removes it";
    EXPECT_EQ(audio.Calls().size(), callsAtEnd) << "the end runs once";
}

TEST_F(GameVideoTest, WithoutGameLevelOrPlayerTheEndSetsNoFlag) {
    const LogCapture log;
    GameVideo& video = Play("(soundFile no_such_set)");
    for (int step = 0; step < 60 && !video.Finished(); ++step) {
        Update();
    }
    EXPECT_TRUE(video.Finished());
    EXPECT_THAT(log.Text(), testing::HasSubstr("Flag intro_video_killed not set: no game level"));
}

TEST_F(GameVideoTest, APositiveFadeOutTimeKeepsThePictureHidden) {
    Play("(fadeOutTime 1.0)");
    for (int step = 0; step < 20; ++step) {
        Update();
        EXPECT_TRUE(Drawn().empty()) << step;
    }
}

TEST_F(GameVideoTest, ThePictureFillsTheScreensWidthBelowABand) {
    GameVideo& video = Play("");
    Update();
    const std::vector<RecordedDraw> draws = Drawn();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].texture, RecordedTextureId(video.Picture().Texture()));
    const GfxVertex& first = draws[0].vertices[0];
    const GfxVertex& third = draws[0].vertices[2];
    EXPECT_FLOAT_EQ(first.y + 0.5f, 100.0f);
    EXPECT_FLOAT_EQ(third.x - first.x, 1638.0f);
    EXPECT_FLOAT_EQ(first.z, 800.0f);
}

TEST_F(GameVideoTest, WithoutAPictureTextureTheVideoStillEnds) {
    script.failTextures = true;
    const LogCapture log;
    GameVideo& video = Play("");
    EXPECT_THAT(log.Text(), testing::HasSubstr("No picture texture for the video video/clip.ogv"));
    for (int step = 0; step < 60 && !video.Finished(); ++step) {
        Update();
        EXPECT_TRUE(Drawn().empty());
    }
    EXPECT_TRUE(video.Finished());
}

TEST_F(GameVideoTest, AMissingFileIsFatalAndAFileThatIsNoVideoEndsAtOnce) {
    WriteScreen("missing", "(GameVideo (Data (aviFile video/none.ogv)))");
    EXPECT_EQ(ErrorOf([this] { Layer(VideoUI, "missing"); }), "Can't find file video/none.ogv");
    DeleteAllLayers();
    WriteData("video/junk.ogv", RandomBytes(4000, 5));
    WriteScreen("junk", "(GameVideo (Name VIDE) (Data (aviFile video/junk.ogv)))");
    UserInterface& layer = Layer(VideoUI, "junk");
    auto& video = dynamic_cast<GameVideo&>(*layer.FindByCode(FourCC("VIDE")));
    Update();
    EXPECT_TRUE(video.Finished());
    EXPECT_EQ(VideoUI->state, 1);
}

} // namespace
