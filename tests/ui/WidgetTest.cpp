#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "engine/PositionSystem.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "media/TextRenderSystem.h"
#include "platform/audio/RecordingAudio.h"
#include "platform/os/Keys.h"
#include "tests/support/TestData.h"
#include "tests/ui/UiFixture.h"
#include "ui/UIInput.h"
#include "ui/UILabel.h"
#include "ui/UISlider.h"
#include "ui/UISoundWidgets.h"
#include "ui/UIStatic.h"
#include "ui/UITriggers.h"
#include "world/GameSettings.h"

namespace {

class Widgets : public UiTest {
protected:
    template <typename T>
    T& Only(UserInterface& layer) {
        for (const auto& object : layer.Objects()) {
            if (auto* widget = dynamic_cast<T*>(object.get())) {
                return *widget;
            }
        }
        throw Exception("no such widget");
    }
    static TextRenderChunk& Text(Object& object) {
        return object.RequireChunk<TextRenderChunk>(FourCC("TEXT"));
    }
    static SpriteRenderChunk& Sprite(Object& object, std::string_view index = "") {
        return object.RequireChunk<SpriteRenderChunk>(FourCC("SPRT"), FourCC(index));
    }
};

TEST_F(Widgets, LabelsTakeTheirTextAndVisibilityFromTheLayer) {
    struct Case {
        const char* what;
        const char* visibility; // the answer to 'SHOW'
        const char* text;       // the text shown
    };
    const Case cases[] = {
        {"shown", "1", "Ann"},
        {"hidden by 0", "0", ""},
        {"hidden by nothing", "", ""},
        {"shown by a blank", " ", "Ann"},
    };
    WriteScreen("l", "(UILabel (TEXT (text fixed)) (Data (textSource NAME) (enabled SHOW)))");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        UserInterface& layer = Layer(mui, "l");
        data[FourCC("NAME")] = "Ann";
        data[FourCC("SHOW")] = c.visibility;
        layer.Update(kStepTime);
        EXPECT_EQ(Text(Only<UILabel>(layer)).text, c.text);
    }
}

TEST_F(Widgets, LabelsWithoutDataKeepTheirTextAndFadeOnlyWithFades) {
    WriteScreen("l", "(UILabel (TEXT (text fixed))) "
                     "(Caption (TEXT (text faded)) (Data (fadeInStart 0) (fadeInTime 1)))");
    UserInterface& layer = Layer(mui, "l");
    for (int step = 0; step < 30; ++step) {
        layer.Update(kStepTime);
    }
    auto& fixed = dynamic_cast<UILabel&>(*layer.Objects()[0]);
    auto& faded = dynamic_cast<UILabel&>(*layer.Objects()[1]);
    EXPECT_EQ(Text(fixed).text, "fixed");
    EXPECT_FLOAT_EQ(Text(fixed).alpha, 1.0f);
    EXPECT_NEAR(Text(faded).alpha, 0.5f, 0.01f);
}

TEST_F(Widgets, LabelsAndTutorialTextsAreBoundByTheirNames) {
    WriteScreen("l", "(UILabel) (GameTutorial) (Caption)");
    UserInterface& layer = Layer(mui, "l");
    MessageReceiver* self = &layer;
    EXPECT_EQ(dynamic_cast<UILabel&>(*layer.Objects()[0]).receiver, self);
    EXPECT_EQ(dynamic_cast<UILabel&>(*layer.Objects()[1]).receiver, self);
    // A label class under any other definition name is bound by its class.
    EXPECT_EQ(dynamic_cast<UILabel&>(*layer.Objects()[2]).receiver, self);
}

TEST_F(Widgets, AWidgetWithoutAChunkItNeedsFailsAtLoadNamingItsDefinition) {
    WriteData("scripts/ui_objects.txt", "(Final (Nameless UILabel (POSI)))");
    UserInterface& layer = EnsureLayer(mui);
    WriteScreen("l", "(Nameless)");
    EXPECT_EQ(ErrorOf([&] { layer.LoadScene("menus/l.txt", true); }), "Nameless has no TEXT chunk");
    EXPECT_TRUE(layer.Objects().empty());
}

TEST_F(Widgets, PicturesFadeOnTheirOwnClock) {
    WriteScreen("s", "(UIStatic (Data (fadeInStart 1) (fadeInTime 2)))"
                     "(UIStatic (Data (fadeOutStart 1) (fadeOutTime 1)))");
    UserInterface& layer = Layer(mui, "s");
    auto& in = Sprite(*layer.Objects()[0]);
    auto& out = Sprite(*layer.Objects()[1]);
    struct Step {
        int steps; // to run before the check, 60 a second
        float in;
        float out;
    };
    for (const Step s : {Step{30, 0.0f, 1.0f}, Step{90, 0.5f, 0.0f}, Step{120, 1.0f, 0.0f}}) {
        for (int i = 0; i < s.steps; ++i) {
            layer.Update(kStepTime);
        }
        EXPECT_NEAR(in.alpha, s.in, 0.02f);
        EXPECT_NEAR(out.alpha, s.out, 0.02f);
    }
}

TEST_F(Widgets, AnimatedObjectsWalkTheirPathAndLoop) {
    WriteScreen("a", "(UIAnimObject (POSI (position 100 100)) "
                     "(Data (points (0 0) (60 0) (60 30))))");
    UserInterface& layer = Layer(mui, "a");
    Object& object = *layer.Objects()[0];
    auto& position = object.RequireChunk<PositionChunk>(FourCC("POSI"));
    for (int step = 0; step < 30; ++step) {
        layer.Update(kStepTime);
    }
    EXPECT_NEAR(position.x, 130.0f, 0.5f);
    for (int step = 0; step < 30; ++step) {
        layer.Update(kStepTime);
    }
    EXPECT_NEAR(position.x, 160.0f, 0.01f) << "arrives exactly at the end of the segment";
    // The second segment ends on the last point, and the object jumps back to the first.
    int steps = 0;
    while (position.x > 101.0f && steps < 70) {
        layer.Update(kStepTime);
        ++steps;
        ASSERT_TRUE(std::isfinite(position.x) && std::isfinite(position.y));
    }
    EXPECT_NEAR(steps, 60, 2) << "one second, give or take the rounding of the steps";
    EXPECT_NEAR(position.x, 100.0f, 0.01f);
    EXPECT_NEAR(position.y, 100.0f, 0.01f);
}

TEST(SliderValues, AnswersAreReadAsNumbersAndHeldOffTheEnds) {
    struct Case {
        const char* answer;
        float value;
    };
    const Case cases[] = {{"0.5", 0.5f},   {"0", 0.07f}, {"1", 0.93f},
                          {"word", 0.07f}, {"", 0.07f},  {"nan", 0.07f}};
    for (const Case& c : cases) {
        EXPECT_FLOAT_EQ(UISlider::ShownValue(c.answer), c.value) << c.answer;
    }
}

TEST_F(Widgets, ASliderShowsItsValueAndWritesTheVolume) {
    WriteScreen("options", "(UISlider (POSI (position 100 400)) (Data (dataSource SVOL)))");
    UserInterface& layer = Layer(mui, "options");
    auto& slider = Only<UISlider>(layer);
    EXPECT_EQ(slider.receiver, static_cast<MessageReceiver*>(&layer));
    data[FourCC("SVOL")] = "0.5";
    layer.Update(kStepTime);
    EXPECT_FLOAT_EQ(Sprite(slider, "1").leftCut, 0.5f);
    EXPECT_FLOAT_EQ(Sprite(slider, "button").shiftX, 200.0f * 0.5f - 128.0f);

    // A press three quarters along writes 0.75 through the layer: stored and saved.
    ClickAt(layer, 250, 410);
    EXPECT_FLOAT_EQ(GameSettings.soundVolume, 0.75f);
    EXPECT_EQ(Sounds.GetSampleVolume(), 75);
    EXPECT_NE(PlayerBytes("settings.dat").find("0.75"), std::string::npos);
}

TEST_F(Widgets, TextInputTakesLettersAndDigitsThroughTheKeys) {
    struct Case {
        const char* what;
        std::vector<int> keys;
        bool shift;
        const char* text;
    };
    const Case cases[] = {
        {"lower case", {'A', 'N'}, false, "an"},  {"upper case with shift", {'A'}, true, "A"},
        {"digits", {'1', '2'}, false, "12"},      {"no digits with shift", {'1'}, true, ""},
        {"backspace", {'A', 'B', 8}, false, "a"}, {"backspace on nothing", {8}, false, ""},
    };
    WriteScreen("input", "(UIInput)");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ReleaseKeys();
        UserInterface& layer = Layer(mui, "input");
        for (int key : c.keys) {
            ReleaseKeys();
            if (c.shift) {
                SetKeyDown(kKeyLeftShift, true);
            }
            PressKey(key);
            layer.Update(kStepTime);
        }
        EXPECT_EQ(EnteredText, c.text);
        EXPECT_EQ(ActiveTextInput, &Only<UIInput>(layer));
    }
    DeleteLayer(mui);
    EXPECT_EQ(ActiveTextInput, nullptr);
}

TEST_F(Widgets, TextInputStopsTakingLettersAtItsWidthButTakesBackspace) {
    WriteScreen("input", "(UIInput)");
    UserInterface& layer = Layer(mui, "input");
    auto& input = Only<UIInput>(layer);
    input.entered = "full";
    const uint32_t limit = TextInputWidthLimit;
    TextInputWidthLimit = 0; // the shown text is as wide as the limit already
    PressKey('X');
    layer.Update(kStepTime);
    EXPECT_EQ(input.entered, "full");
    ReleaseKeys();
    PressKey(8);
    layer.Update(kStepTime);
    EXPECT_EQ(input.entered, "ful");
    TextInputWidthLimit = limit;
}

TEST_F(Widgets, TimeTriggersFireOnceOrRepeatedly) {
    WriteScreen("t", "(UITimeTrigger (Data (time 0.5) (event ONCE)))"
                     "(UITimeTrigger (Data (time 0.5) (event REPT) (killOnEnd 0)))");
    UserInterface& layer = Layer(mui, "t");
    // 95 steps: about 1.6 s.
    for (int step = 0; step < 95; ++step) {
        layer.Update(kStepTime);
        layer.RemoveDead();
    }
    // At about 0.5 s both; at about 1 s and 1.5 s only the repeating one, the other has gone.
    EXPECT_EQ(events, (std::vector<std::string>{"ONCE", "REPT", "REPT", "REPT"}));
    EXPECT_EQ(layer.Objects().size(), 1u);
}

TEST_F(Widgets, VideoEventsPostWhenTheirVideoHasGone) {
    WriteScreen("v", "(Video (Name VID1)) (GameVideoEvent (Data (object VID1) (finishEvent DONE)))"
                     "(GameVideoEvent (Data (object NONE) (finishEvent GONE)))");
    UserInterface& layer = Layer(VideoUI, "v");
    layer.Update(kStepTime);
    layer.RemoveDead();
    layer.Update(kStepTime);
    EXPECT_EQ(events, (std::vector<std::string>{"GONE"})) << "a missing target posts at once";
    layer.FindByCode(FourCC("VID1"))->dead = true;
    for (int step = 0; step < 3; ++step) {
        layer.Update(kStepTime);
        layer.RemoveDead();
    }
    EXPECT_EQ(events, (std::vector<std::string>{"GONE", "DONE"}));
}

TEST_F(Widgets, MusicPlaysItsListAgainSoonAfterEachTrackEnds) {
    WriteData("music/a.ogg", "track a");
    WriteScreen("m", "(UIMusic (Data (file music/a.ogg)))");
    UserInterface& layer = Layer(mui, "m");
    auto steps = [&](int count) {
        for (int step = 0; step < count; ++step) {
            layer.Update(kStepTime);
        }
    };
    steps(19); // a little past the 0.3 s poll
    EXPECT_EQ(Sounds.MusicName(), "music/a.ogg");
    ASSERT_FALSE(audio.Streams().empty());
    const AudioId first = audio.Streams().back().id;
    audio.EndChannel(first);
    EXPECT_FALSE(Sounds.IsMusicPlaying());
    steps(19);
    EXPECT_TRUE(Sounds.IsMusicPlaying()) << "the one file plays again";
    EXPECT_NE(audio.Streams().back().id, first);
    DeleteLayer(mui);
    EXPECT_TRUE(Sounds.MusicName().empty()) << "the music fades out with the screen";
}

TEST_F(Widgets, SoundsPlayOnceAfterTheirStartTime) {
    WriteData("sounds/chime.wav", "chime");
    WriteScreen("s", "(UISound (Data (file sounds/chime.wav) (startTime 0)))");
    UserInterface& layer = Layer(mui, "s");
    EXPECT_TRUE(PlayedFiles().empty()) << "the step at load has no time";
    layer.Update(kStepTime);
    layer.Update(kStepTime);
    EXPECT_EQ(PlayedFiles(), (std::vector<std::string>{"chime"}));
}

} // namespace
