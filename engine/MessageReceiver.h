#pragma once

#include <cstdint>
#include <string>

// Base of everything that takes messages {sender, id, param} and answers data queries by id:
// scene objects, the scenes that take their events, and a few chunks.
class MessageReceiver {
public:
    // sender is whoever sends: an object or a scene (as its MessageReceiver part), or a System
    // that hands a message on (the keyboard and message systems). Receivers only compare it
    // with pointers they know, or ignore it. id is a four-character id.
    virtual void OnMessage(const void* sender, uint32_t id, uint32_t param) = 0;
    // The answer to the data query id; empty by default.
    virtual std::string GetData(uint32_t id);
    virtual void SetData(uint32_t first, uint32_t second);
    virtual ~MessageReceiver() = default;
};
