#include "engine/KeyboardSystem.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "platform/os/Keys.h"
#include "tests/engine/SceneFixture.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace {

using Strings = std::vector<std::string>;

// What a message to a receiver looks like in the journal.
std::string Delivered(const std::string& receiver, uint32_t id, bool pressed) {
    return receiver + ".OnMessage " + FourCCText(id) + " " +
           std::to_string(pressed ? KeyboardSystem::kPressed : 0u);
}

std::string Delivered(const std::string& receiver, const char* id, bool pressed) {
    return Delivered(receiver, FourCC(id), pressed);
}

// A scene's own part that takes raw input.
class SceneReceiver : public MessageReceiver {
public:
    void OnMessage(const void*, uint32_t id, uint32_t param) override {
        Journal.push_back("S.OnMessage " + FourCCText(id) + " " + std::to_string(param));
    }
};

class KeyboardSystemTest : public SceneTest {
protected:
    KeyboardSystemTest() {
        ResetInput();
        auto system = std::make_unique<KeyboardSystem>(scene.get());
        keyboard = system.get();
        scene->AddSystem(std::move(system));
        LoadDefinitionsText("(Final (A Probe (KEYB)) (B Probe (KEYB StoreList)) (N Probe)\n"
                            "       (Late Probe (KEYB)))");
        LoadSceneText("(Objects (A) (B))");
        ResetInput(); // the load left the mouse waiting for a release
        a = Find("A");
        b = Find("B");
        for (Probe* probe : {a, b}) {
            probe->journalUpdates = false;
        }
        Journal.clear();
    }
    ~KeyboardSystemTest() override { ResetInput(); }

    static void ResetInput() {
        ReleaseAllKeys();
        Keyboard.Reset();
        Mouse = MouseState();
    }

    // One step of input: mouse, keyboard, then the system.
    void Step() {
        Mouse.Update();
        Keyboard.Update();
        keyboard->Update(1.0f / 60.0f);
    }

    KeyboardSystem* keyboard = nullptr;
    Probe* a = nullptr;
    Probe* b = nullptr;
};

TEST_F(KeyboardSystemTest, ButtonsThenReleasesThenKeysInAscendingOrderToEveryReceiver) {
    SceneReceiver raw;
    keyboard->AddReceiver(&raw);
    SetKeyDown('B', true);
    Keyboard.Update();
    SetKeyDown('A', true);
    Keyboard.Update(); // A pressed in this step, B held
    Mouse.leftHeld = Mouse.leftPressed = true;
    Mouse.rightHeld = true;
    Mouse.leftReleased = Mouse.rightReleased = true;
    keyboard->Update(1.0f / 60.0f);

    Strings expected;
    const auto toAll = [&](uint32_t id, bool pressed) {
        for (const char* receiver : {"A", "B", "S"}) {
            expected.push_back(Delivered(receiver, id, pressed));
        }
    };
    toAll(FourCC("LMBD"), true);
    toAll(FourCC("RMBD"), false);
    toAll(FourCC("LMBU"), false);
    toAll(FourCC("RMBU"), false);
    toAll('A', true); // the key code itself is the id: no translation
    toAll('B', false);
    EXPECT_EQ(Journal, expected);
    EXPECT_EQ(a->lastSender, keyboard);
}

TEST_F(KeyboardSystemTest, ClickOfThreeStepsIsPressThenHeldTwiceThenRelease) {
    SetKeyDown(kKeyLeftButton, true);
    Step();
    Step();
    Step();
    SetKeyDown(kKeyLeftButton, false);
    Step();
    Step();
    EXPECT_EQ(Journal, (Strings{Delivered("A", "LMBD", true), Delivered("B", "LMBD", true),
                                Delivered("A", "LMBD", false), Delivered("B", "LMBD", false),
                                Delivered("A", "LMBD", false), Delivered("B", "LMBD", false),
                                Delivered("A", "LMBU", false), Delivered("B", "LMBU", false)}));
}

TEST_F(KeyboardSystemTest, SuppressedMouseSendsNoButtonMessages) {
    SetKeyDown(kKeyLeftButton, true);
    SetKeyDown(kKeyRightButton, true);
    Mouse.SuppressButtons();
    Step();
    Step();
    EXPECT_TRUE(Journal.empty());
}

TEST_F(KeyboardSystemTest, ChunkMadeWithoutASectionTakesOnlyTheLeftButton) {
    Probe* plain = nullptr;
    {
        std::unique_ptr<Object> object = scene->CreateObject("N", false);
        plain = static_cast<Probe*>(object.get());
        auto* chunk = static_cast<KeyboardChunk*>(object->AddToSystem(keyboard, 0));
        EXPECT_FALSE(chunk->takeAll);
        scene->AddObject(std::move(object));
    }
    plain->journalUpdates = false;
    Journal.clear();
    SetKeyDown(kKeyLeftButton, true);
    SetKeyDown(kKeyRightButton, true);
    SetKeyDown(kKeyEscape, true);
    Step();
    SetKeyDown(kKeyLeftButton, false);
    Step();
    Strings plainOnes;
    for (const std::string& entry : Journal) {
        if (entry.starts_with("N.")) {
            plainOnes.push_back(entry);
        }
    }
    EXPECT_EQ(plainOnes, (Strings{Delivered("N", "LMBD", true)}));
    EXPECT_TRUE(b->GetChunk(FourCC("KEYB"), 0) != nullptr);
    EXPECT_TRUE(static_cast<KeyboardChunk*>(b->GetChunk(FourCC("KEYB"), 0))->takeAll)
        << "any section, whatever it holds, takes everything";
    EXPECT_TRUE(b->GetChunk(FourCC("KEYB"), 0)->storeList.empty());
}

TEST_F(KeyboardSystemTest, TwoKeysHeldAreDeliveredInAscendingCodeOrder) {
    SetKeyDown(kKeyRight, true);
    SetKeyDown(kKeyLeft, true);
    Step();
    EXPECT_EQ(Journal, (Strings{Delivered("A", kKeyLeft, true), Delivered("B", kKeyLeft, true),
                                Delivered("A", kKeyRight, true), Delivered("B", kKeyRight, true)}));
}

TEST_F(KeyboardSystemTest, ReceiversChangedDuringAStepLeaveAtOnceAndJoinAtTheNextStep) {
    SceneReceiver raw;
    keyboard->AddReceiver(&raw);
    bool changed = false;
    a->onMessage = [&](Probe&, uint32_t, uint32_t) {
        if (changed) {
            return;
        }
        changed = true;
        scene->DestroyObject(b);
        keyboard->RemoveReceiver(&raw);
        std::unique_ptr<Object> late = scene->CreateObject("Late", false);
        static_cast<Probe*>(late.get())->journalUpdates = false;
        scene->AddObject(std::move(late));
        keyboard->AddReceiver(&raw); // back, as a new receiver
    };
    SetKeyDown(kKeyLeftButton, true);
    SetKeyDown(kKeySpace, true);
    // The system runs inside the scene's update, as in the game.
    Mouse.Update();
    Keyboard.Update();
    scene->Update(1.0f / 60.0f);
    EXPECT_EQ(Journal, (Strings{Delivered("A", "LMBD", true), Delivered("A", kKeySpace, true)}));
    EXPECT_EQ(Probe::alive, 2) << "B is freed once the step is over";

    Journal.clear();
    Mouse.Update();
    Keyboard.Update();
    scene->Update(1.0f / 60.0f);
    EXPECT_EQ(Journal, (Strings{Delivered("A", "LMBD", false), Delivered("Late", "LMBD", false),
                                "S.OnMessage LMBD 0", Delivered("A", kKeySpace, false),
                                Delivered("Late", kKeySpace, false),
                                "S.OnMessage " + FourCCText(kKeySpace) + " 0"}));
}

TEST_F(KeyboardSystemTest, SceneDeletedDuringDeliveryStopsIt) {
    auto* own = new ObjectsManager;
    auto system = std::make_unique<KeyboardSystem>(own);
    KeyboardSystem* ownKeyboard = system.get();
    own->AddSystem(std::move(system));
    own->LoadDefinitions("scripts/objects.txt");
    WriteData("levels/own.txt", "(Objects (A) (B))");
    own->LoadScene("levels/own.txt", false);
    ResetInput();
    static_cast<Probe*>(own->Objects()[0].get())->onMessage = [own](Probe&, uint32_t, uint32_t) {
        ObjectsManager::Delete(own);
    };
    Journal.clear();
    SetKeyDown(kKeyLeftButton, true);
    SetKeyDown(kKeySpace, true);
    Mouse.Update();
    Keyboard.Update();
    ownKeyboard->Update(1.0f / 60.0f);
    EXPECT_EQ(Journal, (Strings{Delivered("A", "LMBD", true)}));
    EXPECT_EQ(Probe::alive, 2) << "only the fixture's scene is left";
}

} // namespace
