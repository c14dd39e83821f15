#pragma once

#include <cstdlib>
#include <optional>
#include <string>

// Sets (or, with nothing, unsets) an environment variable while it lives, then puts the old
// value back.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const std::optional<std::string>& value) : name(name) {
        if (const char* old = std::getenv(name)) {
            previous = old;
        }
        Apply(value);
    }
    ~ScopedEnvironment() { Apply(previous); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    void Apply(const std::optional<std::string>& value) {
        if (value) {
            ::setenv(name.c_str(), value->c_str(), 1);
        } else {
            ::unsetenv(name.c_str());
        }
    }

    std::string name;
    std::optional<std::string> previous;
};
