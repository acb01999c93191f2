#pragma once
// Holder: a pair {owns, pointer}; destroying or resetting it deletes the
// object only when it owns it (a borrowed object is left alone).
#include "frame/Assert.h"

template <typename T>
struct Holder {
    bool owns = false;
    T* pointer = nullptr;

    Holder() = default;
    Holder(T* object, bool owned) : owns(owned), pointer(object) {}
    ~Holder() { Reset(); }
    Holder(const Holder&) = delete;
    Holder& operator=(const Holder&) = delete;

    // Deletes the held object when owned, then holds `object`.
    void Reset(T* object = nullptr, bool owned = false)
    {
        if (owns && pointer != nullptr && pointer != object) {
            delete pointer;
        }
        pointer = object;
        owns = object != nullptr && owned;
    }
    T* operator->() const
    {
        LANTERN_ASSERT(pointer != nullptr, "an empty holder dereferenced");
        return pointer;
    }
    T& operator*() const { return *operator->(); }
    T* get() const { return pointer; }
};
