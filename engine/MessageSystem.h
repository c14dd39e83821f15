#pragma once

#include "engine/System.h"

#include <cstdint>
#include <deque>

class MessageReceiver;

// 'MSGS': a scene's queue of messages, delivered first in, first out at the system's update,
// with the system itself as sender. Makes no chunks.
class MessageSystem : public System {
public:
    struct Message {
        MessageReceiver* receiver;
        uint32_t id;
        uint32_t param;
    };

    explicit MessageSystem(ObjectsManager* owner);

    // Queues a message. The receiver is an object of this system's scene or the scene itself,
    // so that the message goes when the object does.
    void Post(MessageReceiver* receiver, uint32_t id, uint32_t param);
    // Delivers until the queue is empty, messages posted meanwhile included; a null receiver is
    // skipped. Stops when the scene is being deleted.
    void Update(float dt) override;
    // Drops the object's queued messages.
    void ObjectRemoved(Object* object) override;
    // Drops every queued message to the receiver, keeping the others in order.
    void Cancel(const MessageReceiver* receiver);

    const std::deque<Message>& Queue() const { return queue; }

private:
    std::deque<Message> queue;
};
