#include "world/WorldHooks.h"

#include <utility>

namespace {

WorldHooks hooks;

} // namespace

void SetWorldHooks(WorldHooks newHooks) {
    hooks = std::move(newHooks);
}

const WorldHooks& GetWorldHooks() {
    return hooks;
}
