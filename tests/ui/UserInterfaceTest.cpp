#include "ui/UserInterface.h"

#include "engine/FourCC.h"
#include "engine/KeyboardSystem.h"
#include "mainloop/MainLoop.h"
#include "media/SoundManager.h"
#include "media/SpriteRenderSystem.h"
#include "tests/ui/UiFixture.h"
#include "ui/UIButton.h"
#include "world/GameSettings.h"

#include <bit>
#include <cmath>
#include <limits>

namespace {

class Layers : public UiTest {};

TEST_F(Layers, InitAddsTheSystemsInOrderAndTakesRawInputFirst) {
    UserInterface& layer = EnsureLayer(mui);
    std::vector<uint32_t> ids;
    for (const auto& system : layer.Systems()) {
        ids.push_back(system->id);
    }
    // The last one keeps the page queue free of objects that have left.
    EXPECT_EQ(ids,
              (std::vector<uint32_t>{FourCC("KEYB"), FourCC("POSI"), FourCC("COLI"), FourCC("SPRT"),
                                     FourCC("TEXT"), FourCC("MSGS"), FourCC("PAGQ")}));
    auto* keyboard = dynamic_cast<KeyboardSystem*>(layer.FindSystem(FourCC("KEYB")));
    ASSERT_NE(keyboard, nullptr);
    WriteScreen("one", "(UIButton)");
    layer.LoadScene("menus/one.txt", true);
    const auto receivers = keyboard->Receivers();
    ASSERT_EQ(receivers.size(), 2u);
    EXPECT_EQ(receivers[0], static_cast<MessageReceiver*>(&layer));
}

TEST_F(Layers, AddObjectBindsByClassOrDefinitionName) {
    struct Case {
        const char* definition;
        bool bound;
    };
    const Case cases[] = {
        {"UIButton", true},      // class UIButton
        {"Question", true},      // class UIButton under another definition
        {"UISkipButton", true},  // bound by its definition name only
        {"Skip", false},         // the same class under another name stays unbound
        {"UIStoneSymbol", true}, // by definition name
        {"Picture", true},       // class UIBitmapButton
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.definition);
        WriteScreen("bind", std::string("(") + c.definition + ")");
        UserInterface& layer = Layer(mui, "bind");
        ASSERT_EQ(layer.Objects().size(), 1u);
        auto* button = dynamic_cast<UIButton*>(layer.Objects()[0].get());
        ASSERT_NE(button, nullptr);
        EXPECT_EQ(button->receiver, c.bound ? static_cast<MessageReceiver*>(&layer) : nullptr);
    }
}

TEST_F(Layers, TheBackpackIsHiddenOnlyOnTheQuicksand) {
    for (const char* location : {"z1-quicksand", "z1-wood"}) {
        SCOPED_TRACE(location);
        Level& level = MakeGameLevel();
        level.levelId = location;
        WriteScreen("hud", "(Picture (Name BPAK) (POSI (position 0 0)) (Data (clickEvent BPAK)))");
        UserInterface& layer = Layer(MainUI, "hud");
        auto* button = dynamic_cast<UIButton*>(layer.FindByCode(FourCC("BPAK")));
        ASSERT_NE(button, nullptr);
        auto* sprite = dynamic_cast<SpriteRenderChunk*>(button->GetChunk(FourCC("SPRT"), 0));
        ASSERT_NE(sprite, nullptr);
        const bool hidden = std::string(location) == "z1-quicksand";
        EXPECT_EQ(sprite->visible, !hidden);
        EXPECT_EQ(button->enabled, !hidden);
        // Hidden, it takes no click, also after its updates.
        events.clear();
        layer.Update(kStepTime);
        ClickAt(layer, 10, 10);
        EXPECT_EQ(events.size(), hidden ? 0u : 1u);
        StartAgain();
    }
}

TEST_F(Layers, TutorialPagesQueueInFileOrderAndLeaveWithTheirObjects) {
    WriteScreen("pages", "(UITutorial (Name PG1)) (Inert) (UITutorial (Name PG2))");
    UserInterface& layer = Layer(DialogueUI, "pages");
    ASSERT_EQ(layer.PageQueue().size(), 2u);
    EXPECT_EQ(layer.PageQueue()[0], layer.FindByCode(FourCC("PG1")));
    EXPECT_EQ(layer.PageQueue()[1], layer.FindByCode(FourCC("PG2")));

    // A page that dies leaves the queue when the dead are removed.
    layer.FindByCode(FourCC("PG1"))->dead = true;
    layer.RemoveDead();
    ASSERT_EQ(layer.PageQueue().size(), 1u);
    EXPECT_EQ(layer.PageQueue()[0], layer.FindByCode(FourCC("PG2")));

    // Reloading the layer leaves no pointer to a freed page behind.
    WriteScreen("empty", "");
    layer.LoadScene("menus/empty.txt", true);
    EXPECT_TRUE(layer.PageQueue().empty());
    Layer(DialogueUI, "pages");
    layer.Clear();
    EXPECT_TRUE(layer.PageQueue().empty());
}

TEST_F(Layers, LayerTextsAnswerTheirDataIds) {
    UserInterface& layer = EnsureLayer(mui);
    layer.messageText = "str.doyouwantto";
    layer.secondText = "second";
    layer.thirdText = "third";
    data[FourCC("TASK")] = "find the key";
    EXPECT_EQ(layer.GetData(FourCC("MSGT")), "str.doyouwantto");
    EXPECT_EQ(layer.GetData(FourCC("MSG2")), "second");
    EXPECT_EQ(layer.GetData(FourCC("MSG3")), "third");
    EXPECT_EQ(layer.GetData(FourCC("TASK")), "find the key");
}

TEST_F(Layers, VolumesAreStoredClampedAndSaved) {
    struct Case {
        uint32_t id;
        float value;
        float stored;
        int soundLayer;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const Case cases[] = {
        {FourCC("SVOL"), 0.5f, 0.5f, 50},  {FourCC("MVOL"), 0.5f, 0.5f, 50},
        {FourCC("SVOL"), 0.08f, 0.0f, 0},  {FourCC("SVOL"), 0.09f, 0.09f, 9},
        {FourCC("MVOL"), 1.7f, 1.0f, 100}, {FourCC("MVOL"), -3.0f, 0.0f, 0},
        {FourCC("SVOL"), nan, 0.0f, 0},
    };
    UserInterface& layer = EnsureLayer(mui);
    for (const Case& c : cases) {
        SCOPED_TRACE(FourCCText(c.id) + " " + std::to_string(c.value));
        layer.SetData(c.id, std::bit_cast<uint32_t>(c.value));
        const bool sound = c.id == FourCC("SVOL");
        EXPECT_FLOAT_EQ(sound ? GameSettings.soundVolume : GameSettings.musicVolume, c.stored);
        EXPECT_EQ(sound ? Sounds.GetSampleVolume() : Sounds.GetStreamVolume(), c.soundLayer);
        EXPECT_TRUE(PlayerFileExists("settings.dat"));
    }
    layer.SetData(FourCC("OTHR"), std::bit_cast<uint32_t>(0.3f));
    EXPECT_FLOAT_EQ(GameSettings.soundVolume, 0.0f);
}

TEST_F(Layers, ALayerDeletedFromItsOwnEventHandlerFinishesTheStepSafely) {
    WriteScreen("question", "(Question (POSI (position 0 0)) (Data (clickEvent BYES)))"
                            "(Question (POSI (position 0 0)) (Data (clickEvent BNO)))");
    UserInterface& layer = Layer(mui, "question");
    onEvent = [](UserInterface& target, uint32_t id) {
        if (id == FourCC("BYES")) {
            ASSERT_EQ(&target, mui);
            DeleteLayer(mui);
        }
    };
    ClickAt(layer, 10, 10);
    EXPECT_EQ(mui, nullptr);
    // The layer stops delivering once it is being deleted: the second answer never arrives.
    EXPECT_EQ(events, (std::vector<std::string>{"BYES"}));
}

TEST_F(Layers, ALayerReloadedFromItsOwnEventHandlerKeepsRunning) {
    WriteScreen("first", "(Question (POSI (position 0 0)) (Data (clickEvent MSG1)))");
    WriteScreen("second", "(Question (POSI (position 0 0)) (Data (clickEvent NEXT)))");
    UserInterface& layer = Layer(LevelOverlayUI, "first");
    onEvent = [this](UserInterface& target, uint32_t id) {
        if (id == FourCC("MSG1")) {
            // 'MSG1' rebuilds the tip layer: the old one goes while its click is delivered.
            DeleteLayer(LevelOverlayUI);
            Layer(LevelOverlayUI, "second");
            target.Clear();
        }
    };
    ClickAt(layer, 10, 10);
    ASSERT_NE(LevelOverlayUI, nullptr);
    ClickAt(*LevelOverlayUI, 10, 10);
    EXPECT_EQ(events, (std::vector<std::string>{"MSG1", "NEXT"}));
}

TEST_F(Layers, DeletingTheLevelLayersLeavesTheGlobalsNull) {
    EnsureLayer(MapGameUI);
    EnsureLayer(TutorialUI);
    EnsureLayer(mui);
    DeleteLevelLayers();
    EXPECT_EQ(MapGameUI, nullptr);
    EXPECT_EQ(TutorialUI, nullptr);
    EXPECT_NE(mui, nullptr);
    EXPECT_NE(EnsureLayer(MapGameUI).Serial(), 0u);
}

} // namespace
