#include "engine/MessageSystem.h"

#include "engine/FourCC.h"
#include "engine/MessageReceiver.h"
#include "engine/Object.h"
#include "engine/ObjectsManager.h"
#include "engine/profile.h"

#include <algorithm>
#include <cassert>
#include <optional>

MessageSystem::MessageSystem(ObjectsManager* owner) : System(owner, FourCC("MSGS")) {}

void MessageSystem::Post(MessageReceiver* receiver, uint32_t id, uint32_t param) {
    // Only the own scene's removals reach Cancel: a message to another scene's object could
    // outlive it.
    assert(owner == nullptr || dynamic_cast<Object*>(receiver) == nullptr ||
           dynamic_cast<Object*>(receiver)->owner == owner);
    queue.push_back({receiver, id, param});
}

void MessageSystem::Update(float) {
    // A receiver may let objects go, clear the scene or delete it: the scene keeps everything
    // alive until this walk ends, and the walk's end comes after the last use of this system.
    std::optional<ObjectsManager::WalkScope> walk;
    if (owner != nullptr) {
        walk.emplace(*owner);
    }
    ProfileScope profile("MessageSystem::Update");
    // Each message leaves the queue before it is delivered, so posts and cancels made during
    // delivery change only what is still waiting.
    while (!queue.empty() && (owner == nullptr || !owner->IsBeingDeleted())) {
        const Message message = queue.front();
        queue.pop_front();
        if (message.receiver != nullptr) {
            message.receiver->OnMessage(this, message.id, message.param);
        }
    }
}

void MessageSystem::ObjectRemoved(Object* object) {
    Cancel(object);
}

void MessageSystem::Cancel(const MessageReceiver* receiver) {
    std::erase_if(queue,
                  [receiver](const Message& message) { return message.receiver == receiver; });
}
