#include "tests/ui/UiFixture.h"

#include "engine/Input.h"
#include "engine/MouseState.h"
#include "mainloop/MainLoop.h"
#include "platform/os/Keys.h"
#include "ui/UiClasses.h"
#include "world/WorldClasses.h"

namespace {

// The definitions every test layer reads: buttons with a 100 x 50 click rectangle.
constexpr const char* kUiObjects = R"(
(Final
  (UIButton (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (Question UIButton (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (UISkipButton (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (Skip UISkipButton (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (UIStoneSymbol UISkipButton (POSI) (KEYB) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (UITutorial UISkipButton (POSI) (COLI))
  (Picture UIBitmapButton (POSI) (KEYB) (SPRT) (COLI (left 0) (right 100) (top 0) (bottom 50)))
  (Inert UISkipButton (POSI) (COLI))
  (UILabel (POSI) (TEXT))
  (GameTutorial UILabel (POSI) (TEXT))
  (Caption UILabel (POSI) (TEXT))
  (UIStatic (POSI) (SPRT))
  (UIAnimObject (POSI) (SPRT))
  (UISlider (POSI) (KEYB ()) (COLI (left 0) (right 200) (top 0) (bottom 20))
            (SPRT 1) (SPRT 2) (SPRT 3) (SPRT button))
  (UIInput (POSI) (TEXT))
  (UIMusic (POSI))
  (UISound (POSI))
  (UITimeTrigger (POSI))
  (GameVideoEvent (POSI))
  (Video UISkipButton (POSI) (COLI))
)
)";

bool IsRawInput(uint32_t id) {
    return id < 256 || id == FourCC("LMBD") || id == FourCC("RMBD") || id == FourCC("LMBU") ||
           id == FourCC("RMBU");
}

} // namespace

void UiTest::SetUp() {
    WorldTest::SetUp();
    RegisterWorldClasses();
    RegisterUiClasses();
    WriteData("scripts/ui_objects.txt", kUiObjects);
    UserInterface::SetEventTableStandIn(this);
    Mouse = MouseState();
    ReleaseKeys();
}

void UiTest::OnEvent(UserInterface& layer, uint32_t id) {
    if (IsRawInput(id)) {
        return;
    }
    events.push_back(FourCCText(id));
    if (onEvent) {
        onEvent(layer, id);
    }
}

std::string UiTest::AnswerData(UserInterface&, uint32_t id) {
    const auto answer = data.find(id);
    return answer != data.end() ? answer->second : std::string();
}

void UiTest::TearDown() {
    DeleteAllLayers();
    UserInterface::SetEventTableStandIn(nullptr);
    InGameMenuOpen = false;
    Mouse = MouseState();
    ReleaseKeys();
    WorldTest::TearDown();
}

void UiTest::WriteScreen(const std::string& name, const std::string& objects) {
    WriteData("menus/" + name + ".txt", "(Objects " + objects + ")");
}

UserInterface& UiTest::Layer(UserInterface*& global, const std::string& screen) {
    UserInterface& layer = EnsureLayer(global);
    layer.LoadScene("menus/" + screen + ".txt", true);
    return layer;
}

void UiTest::ClickAt(UserInterface& layer, float x, float y) {
    Mouse.x = x;
    Mouse.y = y;
    Mouse.leftHeld = true;
    Mouse.leftPressed = true;
    layer.Update(kStepTime);
    Mouse.leftHeld = false;
    Mouse.leftPressed = false;
}

void UiTest::MoveTo(UserInterface& layer, float x, float y) {
    Mouse.x = x;
    Mouse.y = y;
    layer.Update(kStepTime);
}

void UiTest::PressKey(int virtualKey) {
    SetKeyDown(virtualKey, true);
    Keyboard.Update();
}

void UiTest::ReleaseKeys() {
    for (int key = 0; key < 256; ++key) {
        SetKeyDown(key, false);
        TakeKeyPress(key);
    }
    Keyboard.Reset();
}
