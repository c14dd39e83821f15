#include "engine/FourCC.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "tests/ui/UiFixture.h"
#include "ui/ModalProcesses.h"

#include <memory>

namespace {

// A process below the modal screens that journals its drawing passes.
class Beneath : public XProcess {
public:
    explicit Beneath(std::vector<std::string>& journal) : journal(journal) {}
    void Render() override { journal.push_back("beneath.Render"); }
    void PreRender() override { journal.push_back("beneath.PreRender"); }
    void PostRender() override { journal.push_back("beneath.PostRender"); }
    std::vector<std::string>& journal;
};

class ModalProcesses : public UiTest {
protected:
    void SetUp() override {
        UiTest::SetUp();
        WriteScreen("message4", "(Question (POSI (position 100 300)) (Data (clickEvent BYES)))"
                                "(Question (POSI (position 600 300)) (Data (clickEvent BNO)))");
        // The game's answers to the question's buttons.
        onEvent = [](UserInterface& layer, uint32_t id) {
            if (id == FourCC("BYES")) {
                layer.state = 2;
            } else if (id == FourCC("BNO")) {
                layer.state = 3;
            }
        };
    }

    // Runs the process's update steps as the main loop does, the action before each; answers the
    // result once it ends, or -1 when it has not ended within the steps.
    template <typename Action>
    int32_t Run(XProcess& process, int steps, Action action) {
        for (int step = 0; step < steps; ++step) {
            action(step);
            process.Update(kStepTime);
            process.AfterUpdate();
            Mouse.leftHeld = Mouse.leftPressed = false;
            if (process.state == 0) {
                return process.result;
            }
        }
        return -1;
    }

    void PressLeftAt(float x, float y) {
        Mouse.x = x;
        Mouse.y = y;
        Mouse.leftHeld = Mouse.leftPressed = true;
    }

    std::vector<std::string> journal;
};

TEST_F(ModalProcesses, AQuestionAnswersByItsButtons) {
    struct Case {
        float x;
        int32_t result;
    };
    for (const Case c : {Case{150, 2}, Case{650, 3}}) {
        std::unique_ptr<ModalProc> process(
            ModalProc::Create("menus/message4.txt", "str.doyouwantto", {.drawBeneath = false}));
        EXPECT_EQ(mui->GetData(FourCC("MSGT")), "str.doyouwantto");
        const int32_t result = Run(*process, 10, [&](int step) {
            if (step == 3) {
                PressLeftAt(c.x, 320);
            }
        });
        EXPECT_EQ(result, c.result);
        EXPECT_EQ(mui->state, 0) << "the layer's word is cleared";
    }
}

TEST_F(ModalProcesses, AWordLeftFromAnEarlierScreenDoesNotAnswerTheNext) {
    EnsureLayer(mui).state = 3;
    std::unique_ptr<ModalProc> process(
        ModalProc::Create("menus/message4.txt", "", {.drawBeneath = false}));
    EXPECT_EQ(Run(*process, 5, [](int) {}), -1);
}

TEST_F(ModalProcesses, DrawOnceDrawsTheScreenBeneathAndEndsWithZero) {
    auto* below = new Beneath(journal);
    std::unique_ptr<ModalProc> process(
        ModalProc::Create("menus/message4.txt", "", {.drawOnce = true}));
    EXPECT_EQ(process->beneath, below);
    process->PreRender();
    process->Render();
    EXPECT_EQ(process->state, 1);
    process->PostRender();
    EXPECT_EQ(process->state, 0);
    EXPECT_EQ(process->result, 0);
    EXPECT_EQ(journal, (std::vector<std::string>{"beneath.PreRender", "beneath.Render",
                                                 "beneath.PostRender"}));
    process.reset();
    delete below;
}

TEST_F(ModalProcesses, WithoutDrawBeneathTheProcessBelowIsNotDrawn) {
    auto* below = new Beneath(journal);
    std::unique_ptr<ModalProc> process(
        ModalProc::Create("menus/message4.txt", "", {.drawBeneath = false}));
    process->PreRender();
    process->Render();
    process->PostRender();
    EXPECT_TRUE(journal.empty());
    EXPECT_EQ(process->state, 1);
    process.reset();
    delete below;
}

TEST_F(ModalProcesses, AProcessWhoseLayerIsDeletedOrReplacedEndsWithZero) {
    struct Case {
        const char* what;
        bool replace;
    };
    for (const Case c : {Case{"deleted", false}, Case{"replaced", true}}) {
        SCOPED_TRACE(c.what);
        std::unique_ptr<ModalProc> process(
            ModalProc::Create("menus/message4.txt", "", {.drawBeneath = false}));
        // The answer's handler throws the layer away while the layer delivers the click.
        onEvent = [&](UserInterface&, uint32_t) {
            DeleteLayer(mui);
            if (c.replace) {
                Layer(mui, "message4");
            }
        };
        EXPECT_EQ(Run(*process, 5,
                      [&](int step) {
                          if (step == 1) {
                              PressLeftAt(150, 320);
                          }
                      }),
                  0);
    }
}

TEST_F(ModalProcesses, ADialogueOpenedOverADialogueEndsTheFirstAndKeepsItsOwnLayer) {
    WriteScreen("dialogue", "(Question (POSI (position 0 0)) (Data (clickEvent DONE)))");
    auto first = DialogUiProc::Create("menus/dialogue.txt", "", {});
    UserInterface* firstLayer = DialogueUI;
    auto second = DialogUiProc::Create("menus/dialogue.txt", "", {});
    EXPECT_NE(DialogueUI, nullptr);
    EXPECT_NE(DialogueUI->Serial(), 0u);
    (void)firstLayer; // freed by now; only compared, never read

    // The second runs and ends; its layer goes with it.
    onEvent = [](UserInterface& layer, uint32_t) { layer.state = 1; };
    EXPECT_EQ(Run(*second, 5,
                  [&](int step) {
                      if (step == 1) {
                          PressLeftAt(10, 10);
                      }
                  }),
              1);
    second->End();
    second.reset();
    EXPECT_EQ(DialogueUI, nullptr);

    // The first finds its layer gone and ends at once, without touching anything.
    EXPECT_EQ(Run(*first, 1, [](int) {}), 0);
    first->End();
    first.reset();
    EXPECT_EQ(CurrentProcess, nullptr);
}

TEST_F(ModalProcesses, TutorialsEndWithOneOnEscape) {
    WriteScreen("tutorial", "(Inert)");
    std::unique_ptr<TutorialModalProc> process(
        TutorialModalProc::Create("menus/tutorial.txt", "", {}));
    EXPECT_EQ(Run(*process, 5,
                  [&](int step) {
                      if (step == 2) {
                          PressKey(27);
                      }
                  }),
              1);
    EXPECT_EQ(TutorialUI->state, 0);
}

TEST_F(ModalProcesses, AMiniGameWhoseLevelIsDroppedEndsWithZero) {
    WriteScene("game1", "puzzle");
    std::unique_ptr<GameModalProc> process(GameModalProc::Create("levels/game1.txt", {}));
    ASSERT_NE(ModalLevel, nullptr);
    EXPECT_EQ(Run(*process, 2, [](int) {}), -1);
    ModalLevel->state = 6;
    EXPECT_EQ(Run(*process, 1, [](int) {}), 6);
    EXPECT_EQ(ModalLevel->state, 6) << "the opener deletes the level";

    // A second mini-game reuses the level, and the word of the first does not end it.
    process.reset();
    Level* first = ModalLevel;
    process = GameModalProc::Create("levels/game1.txt", {});
    EXPECT_EQ(ModalLevel, first);
    EXPECT_EQ(ModalLevel->state, 0);
    ObjectsManager::Delete(ModalLevel);
    ModalLevel = nullptr;
    EXPECT_EQ(Run(*process, 1, [](int) {}), 0);
}

} // namespace
