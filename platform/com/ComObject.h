#pragma once

#include "platform/com/Interfaces.h"

#include <atomic>
#include <cstdint>
#include <initializer_list>

// The live objects and server locks of one module. Each module keeps its own (a static object
// of the module), and its DllCanUnloadNow answers S_OK only while the count is zero.
class ModuleCount {
public:
    void Lock() noexcept { count.fetch_add(1, std::memory_order_relaxed); }
    void Unlock() noexcept { count.fetch_sub(1, std::memory_order_acq_rel); }
    bool InUse() const noexcept { return count.load(std::memory_order_acquire) != 0; }

private:
    std::atomic<long> count{0};
};

// Reference counting for an object offering the given interfaces. The object starts with one
// reference, owned by whoever created it, and deletes itself when the last one goes; while it
// lives it keeps its module loaded.
template <typename... Interfaces>
class ComObject : public Interfaces... {
public:
    ComObject(const ComObject&) = delete;
    ComObject& operator=(const ComObject&) = delete;

    uint32_t AddRef() override { return references.fetch_add(1, std::memory_order_relaxed) + 1; }

    uint32_t Release() override {
        const uint32_t left = references.fetch_sub(1, std::memory_order_acq_rel) - 1;
        if (left == 0) {
            delete this;
        }
        return left;
    }

protected:
    explicit ComObject(ModuleCount& module) : owningModule(module) { owningModule.Lock(); }
    virtual ~ComObject() { owningModule.Unlock(); }

private:
    std::atomic<uint32_t> references{1};
    ModuleCount& owningModule;
};

// One row of an object's interface table: the interface's id and the object seen through it.
struct InterfaceEntry {
    const Guid& iid;
    IUnknown* object;
};

// QueryInterface from a table: a match gets a new reference and is handed out.
inline HRESULT AnswerInterface(const Guid& iid, void** object,
                               std::initializer_list<InterfaceEntry> table) noexcept {
    if (object == nullptr) {
        return E_POINTER;
    }
    for (const InterfaceEntry& entry : table) {
        if (entry.iid == iid) {
            entry.object->AddRef();
            *object = entry.object;
            return S_OK;
        }
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

// The class object of a class whose objects a plain function makes (a new object with one
// reference, or null when memory runs out). A class whose maker takes the outer object can be
// aggregated: given an outer object, the maker makes the new object a part of it and returns the
// object's own unknown, the only interface an outer object may ask for. Other classes refuse
// every outer object.
class ObjectFactory final : public ComObject<IClassFactory> {
public:
    using Maker = IUnknown* (*)();
    using AggregatingMaker = IUnknown* (*)(IUnknown* outer);

    ObjectFactory(ModuleCount& module, Maker maker)
        : ComObject<IClassFactory>(module), module(module), maker(maker) {}
    ObjectFactory(ModuleCount& module, AggregatingMaker maker)
        : ComObject<IClassFactory>(module), module(module), aggregatingMaker(maker) {}

    HRESULT QueryInterface(const Guid& iid, void** object) override {
        return AnswerInterface(iid, object, {{kIidUnknown, this}, {kIidClassFactory, this}});
    }

    HRESULT CreateInstance(IUnknown* outer, const Guid& iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr && (aggregatingMaker == nullptr || iid != kIidUnknown)) {
            return CLASS_E_NOAGGREGATION;
        }
        IUnknown* made = nullptr;
        try {
            made = aggregatingMaker != nullptr ? aggregatingMaker(outer) : maker();
        } catch (...) {
            return E_OUTOFMEMORY; // nothing thrown may leave an interface's operation
        }
        if (made == nullptr) {
            return E_OUTOFMEMORY;
        }
        const HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }

    HRESULT LockServer(int32_t lock) override {
        if (lock != 0) {
            module.Lock();
        } else {
            module.Unlock();
        }
        return S_OK;
    }

private:
    ModuleCount& module;
    Maker maker = nullptr;
    AggregatingMaker aggregatingMaker = nullptr;
};
