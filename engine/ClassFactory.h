#pragma once

#include "engine/Object.h"

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ObjectsManager;

// Tells the class name of an object (Object::GetClassName).
class BaseOCreator {
public:
    virtual std::string GetName() const = 0;

protected:
    ~BaseOCreator() = default;
};

// Second base of every creatable class T, which names itself with
//     static constexpr std::string_view kClassName = "...";
// and passes this part to Object::SetCreator in its constructor.
template <typename T>
class OCreator : public BaseOCreator {
public:
    std::string GetName() const override { return std::string(T::kClassName); }

protected:
    ~OCreator() = default;
};

// A registrar: makes objects of one class by name. Constructing one files it in
// ClassRegistry; registrars live for the whole run.
class BaseReg {
public:
    BaseReg();
    BaseReg(const BaseReg&) = delete;
    BaseReg& operator=(const BaseReg&) = delete;

    virtual std::string GetName() const = 0;
    // A new object owned by the scene owner (not yet added to it).
    virtual std::unique_ptr<Object> Create(ObjectsManager* owner) const = 0;

protected:
    ~BaseReg() = default;
};

template <typename T>
class Registerer final : public BaseReg {
public:
    std::string GetName() const override { return std::string(T::kClassName); }
    std::unique_ptr<Object> Create(ObjectsManager* owner) const override {
        return std::make_unique<T>(owner);
    }
};

// The registrars made since the last scene was constructed, in the order made; null when none.
extern std::unique_ptr<std::vector<const BaseReg*>> ClassRegistry;
// Class name to registrar, exact and case-sensitive.
extern std::map<std::string, const BaseReg*, std::less<>> ClassFactoryMap;

// Files every registrar of ClassRegistry in ClassFactoryMap, in registry order (a later one of a
// name replaces an earlier one, except that a pending one never replaces a built class), and
// drops the registry. Every scene's constructor calls it, so all classes registered before a
// scene is made are known to it.
void MoveClassRegistry();
