#pragma once

#include <cstdint>

class MessageReceiver;
class ObjectsManager;

// The keys screens over the current screen, shared by the main menu and the in-game layer:
// 'KEYS', 'KEM1' and 'KEM2' load their screen file into the owning scene without clearing.
class KeysScreens {
public:
    KeysScreens(MessageReceiver* receiver, ObjectsManager* scene)
        : receiver(receiver), scene(scene) {}

    // Other ids are ignored.
    void OnEvent(uint32_t id);

    MessageReceiver* receiver;
    ObjectsManager* scene;
    uint32_t words[2] = {0, 0};
};
