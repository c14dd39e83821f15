#include "engine/MessageReceiver.h"

std::string MessageReceiver::GetData(uint32_t) {
    return {};
}

void MessageReceiver::SetData(uint32_t, uint32_t) {}
