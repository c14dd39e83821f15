#pragma once

// Holds one reference on an interface and releases it when it goes; for hosts and tests.
template <typename Interface>
class ComRef {
public:
    ComRef() = default;
    // Takes over a reference the caller owns.
    explicit ComRef(Interface* adopted) : object(adopted) {}
    ~ComRef() { Reset(); }
    ComRef(ComRef&& other) noexcept : object(other.object) { other.object = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            object = other.object;
            other.object = nullptr;
        }
        return *this;
    }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;

    Interface* Get() const { return object; }
    Interface* operator->() const { return object; }
    explicit operator bool() const { return object != nullptr; }
    // Releases what is held and returns the place for a call to fill.
    Interface** Put() {
        Reset();
        return &object;
    }
    void** PutVoid() { return reinterpret_cast<void**>(Put()); }
    void Reset() {
        if (object != nullptr) {
            object->Release();
            object = nullptr;
        }
    }

private:
    Interface* object = nullptr;
};
