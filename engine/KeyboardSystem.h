#pragma once

#include "engine/MessageReceiver.h"
#include "engine/System.h"

#include <cstdint>
#include <vector>

class KeyboardSystem;

// An object's part in 'KEYB': hands the keyboard system's messages on to its object with the id
// unchanged. Made without a definition section it passes only 'LMBD'; any section, even an empty
// one, makes it take everything.
class KeyboardChunk : public SystemChunk, public MessageReceiver {
public:
    // takeAll := true, whatever the section holds ("StoreList" is not read).
    void Init(const ParconCursor& cursor) override;
    // Writes nothing.
    bool Write(std::ostream& out) const override;
    void OnMessage(const void* sender, uint32_t id, uint32_t param) override;

    bool takeAll = false;
};

// 'KEYB': each step, turns the mouse buttons and keys of the step into messages, delivered at
// once to every receiver with the system as sender: the chunks it made, in the order made, and
// the scenes that asked for raw input. Receivers added during a step get messages from the next
// step on; those removed during a step get no more.
class KeyboardSystem : public System {
public:
    static constexpr uint32_t kPressed = 0x50524553; // 'PRES', the parameter of a first step

    explicit KeyboardSystem(ObjectsManager* owner);

    // 'LMBD' and 'RMBD' while a button is held ('PRES' in the step it went down, else 0), then
    // 'LMBU' and 'RMBU' in the step it went up, then every key code 0 to 255 that is down, in
    // ascending order ('PRES' in the step it went down, else 0).
    void Update(float dt) override;
    SystemChunk* CreateChunk(uint32_t index) override;
    void DestroyChunk(SystemChunk* chunk) override;
    // An object leaving the scene gets no more messages, although it is freed only later.
    void ObjectRemoved(Object* object) override;

    // A scene that wants raw input takes part beside the chunks. The receiver stays until it is
    // removed or the system goes.
    void AddReceiver(MessageReceiver* receiver);
    void RemoveReceiver(const MessageReceiver* receiver);

    // The receivers in delivery order.
    std::vector<MessageReceiver*> Receivers() const;

private:
    struct Receiver {
        MessageReceiver* receiver;
        KeyboardChunk* chunk; // null for a scene
        uint64_t serial;      // never reused, so a receiver made where a removed one lay is new
    };

    // Sends one message to the receivers of the step's snapshot that are still here.
    void Send(const std::vector<Receiver>& snapshot, uint32_t id, uint32_t param);
    // Removes the receivers that match; during a delivery they are noted as gone.
    template <typename Match>
    void RemoveWhere(Match match);
    bool RemovedDuringDelivery(uint64_t serial) const;

    std::vector<Receiver> receivers;
    uint64_t lastSerial = 0;
    int delivering = 0; // updates running, nested when a receiver runs a nested main loop
    std::vector<uint64_t> removedDuringDelivery;
};
