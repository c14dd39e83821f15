#include "engine/KeyboardSystem.h"

#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/MouseState.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"

#include <algorithm>
#include <memory>
#include <optional>

namespace {

constexpr uint32_t kLeftDown = FourCC("LMBD");
constexpr uint32_t kRightDown = FourCC("RMBD");
constexpr uint32_t kLeftUp = FourCC("LMBU");
constexpr uint32_t kRightUp = FourCC("RMBU");

static_assert(KeyboardSystem::kPressed == FourCC("PRES"));

} // namespace

// ---------------------------------------------------------------------------------------------
// Chunk

void KeyboardChunk::Init(const ParconCursor&) {
    takeAll = true;
}

bool KeyboardChunk::Write(std::ostream&) const {
    return false;
}

void KeyboardChunk::OnMessage(const void* sender, uint32_t id, uint32_t param) {
    if (!takeAll && id != kLeftDown) {
        return;
    }
    if (object != nullptr) {
        object->OnMessage(sender, id, param);
    }
}

// ---------------------------------------------------------------------------------------------
// System

KeyboardSystem::KeyboardSystem(ObjectsManager* owner) : System(owner, FourCC("KEYB")) {}

void KeyboardSystem::Update(float) {
    // A receiver may let objects go or delete the scene: the scene frees nothing until this walk
    // ends, and the walk's end comes after the last use of this system.
    std::optional<ObjectsManager::WalkScope> walk;
    if (owner != nullptr) {
        walk.emplace(*owner);
    }
    const std::vector<Receiver> snapshot = receivers;
    ++delivering;
    struct DeliveryEnd {
        KeyboardSystem& system;
        ~DeliveryEnd() {
            if (--system.delivering == 0) {
                system.removedDuringDelivery.clear();
            }
        }
    } deliveryEnd{*this};

    if (Mouse.leftHeld) {
        Send(snapshot, kLeftDown, Mouse.leftPressed ? kPressed : 0);
    }
    if (Mouse.rightHeld) {
        Send(snapshot, kRightDown, Mouse.rightPressed ? kPressed : 0);
    }
    if (Mouse.leftReleased) {
        Send(snapshot, kLeftUp, 0);
    }
    if (Mouse.rightReleased) {
        Send(snapshot, kRightUp, 0);
    }
    for (int key = 0; key < 256; ++key) {
        if (Keyboard.KeyDown(key)) {
            Send(snapshot, static_cast<uint32_t>(key), Keyboard.KeyPressed(key) ? kPressed : 0);
        }
    }
}

void KeyboardSystem::Send(const std::vector<Receiver>& snapshot, uint32_t id, uint32_t param) {
    for (const Receiver& entry : snapshot) {
        if (owner != nullptr && owner->IsBeingDeleted()) {
            return;
        }
        if (!RemovedDuringDelivery(entry.serial)) {
            entry.receiver->OnMessage(this, id, param);
        }
    }
}

SystemChunk* KeyboardSystem::CreateChunk(uint32_t) {
    auto* chunk = static_cast<KeyboardChunk*>(KeepChunk(std::make_unique<KeyboardChunk>()));
    receivers.push_back({chunk, chunk, ++lastSerial});
    return chunk;
}

template <typename Match>
void KeyboardSystem::RemoveWhere(Match match) {
    std::erase_if(receivers, [&](const Receiver& entry) {
        if (!match(entry)) {
            return false;
        }
        if (delivering > 0) {
            removedDuringDelivery.push_back(entry.serial);
        }
        return true;
    });
}

void KeyboardSystem::DestroyChunk(SystemChunk* chunk) {
    RemoveWhere([chunk](const Receiver& entry) { return entry.chunk == chunk; });
    System::DestroyChunk(chunk);
}

void KeyboardSystem::ObjectRemoved(Object* object) {
    RemoveWhere([object](const Receiver& entry) {
        return entry.chunk != nullptr && entry.chunk->object == object;
    });
}

void KeyboardSystem::AddReceiver(MessageReceiver* receiver) {
    if (receiver != nullptr) {
        receivers.push_back({receiver, nullptr, ++lastSerial});
    }
}

void KeyboardSystem::RemoveReceiver(const MessageReceiver* receiver) {
    RemoveWhere([receiver](const Receiver& entry) {
        return entry.chunk == nullptr && entry.receiver == receiver;
    });
}

std::vector<MessageReceiver*> KeyboardSystem::Receivers() const {
    std::vector<MessageReceiver*> list;
    list.reserve(receivers.size());
    for (const Receiver& entry : receivers) {
        list.push_back(entry.receiver);
    }
    return list;
}

bool KeyboardSystem::RemovedDuringDelivery(uint64_t serial) const {
    return std::find(removedDuringDelivery.begin(), removedDuringDelivery.end(), serial) !=
           removedDuringDelivery.end();
}
