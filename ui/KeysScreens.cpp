#include "ui/KeysScreens.h"

#include "engine/FourCC.h"
#include "engine/ObjectsManager.h"

void KeysScreens::OnEvent(uint32_t id) {
    const char* screen = nullptr;
    switch (id) {
    case FourCC("KEYS"):
        screen = "menus/keys.txt";
        break;
    case FourCC("KEM1"):
        screen = "menus/keys_multi1.txt";
        break;
    case FourCC("KEM2"):
        screen = "menus/keys_multi2.txt";
        break;
    default:
        return;
    }
    words[0] = 0;
    words[1] = 0;
    scene->LoadScene(screen, false);
}
