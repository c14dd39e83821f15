#pragma once

#include <utility>

// Nothing thrown may cross into a host. The module's entry points and its classes' operations
// run their bodies through here, which answers `onThrow` instead: E_FAIL for a service
// operation, E_OUTOFMEMORY for a property or the registration, null for a class's Create.
template <typename Result, typename Body>
Result Guarded(Result onThrow, Body&& body) noexcept {
    try {
        return std::forward<Body>(body)();
    } catch (...) {
        return onThrow;
    }
}
