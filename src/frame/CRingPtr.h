#pragma once
// CRingPtr: an owning pointer whose copies are linked in a ring
// {object, next, previous}. A copy joins the source's ring; assigning leaves
// the old ring (deleting the old object when this was its last member) and
// joins the new one; the last member to go deletes the object through its
// (virtual, where the class has one) destructor. Not thread-safe: a ring
// belongs to one thread or is guarded by its user's lock.
#include <utility>

#include "frame/Assert.h"

template <typename T>
class CRingPtr {
public:
    CRingPtr() : object_(nullptr), next_(this), prev_(this) {}
    // Takes ownership of a new object: a ring of one.
    explicit CRingPtr(T* object) : object_(object), next_(this), prev_(this) {}
    CRingPtr(const CRingPtr& other) : object_(nullptr), next_(this), prev_(this) { Join(other); }
    CRingPtr& operator=(const CRingPtr& other)
    {
        if (this != &other && !InSameRing(other)) {
            Leave();
            Join(other);
        }
        return *this;
    }
    ~CRingPtr() { Leave(); }

    // Leaves the ring (deleting the object when this was its last member)
    // and takes ownership of `object` in a ring of one.
    void Reset(T* object = nullptr)
    {
        Leave();
        object_ = object;
    }

    T* get() const { return object_; }
    T* operator->() const
    {
        LANTERN_ASSERT(object_ != nullptr, "an empty ring pointer dereferenced");
        return object_;
    }
    T& operator*() const { return *operator->(); }
    explicit operator bool() const { return object_ != nullptr; }
    // Number of pointers in this ring (1 for a lone pointer).
    int RingSize() const
    {
        int n = 1;
        for (const CRingPtr* p = next_; p != this; p = p->next_) {
            ++n;
        }
        return n;
    }

private:
    bool InSameRing(const CRingPtr& other) const
    {
        for (const CRingPtr* p = next_; p != this; p = p->next_) {
            if (p == &other) {
                return true;
            }
        }
        return false;
    }
    // GCC's dangling-pointer check sees a temporary joining a ring and warns;
    // every member unlinks itself in its destructor, so no link outlives it.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdangling-pointer"
#endif
    void Join(const CRingPtr& other)
    {
        object_ = other.object_;
        next_ = other.next_;
        prev_ = &other;
        other.next_->prev_ = this;
        other.next_ = this;
    }
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic pop
#endif
    void Leave()
    {
        if (next_ == this) {
            delete object_;
        } else {
            prev_->next_ = next_;
            next_->prev_ = prev_;
            next_ = this;
            prev_ = this;
        }
        object_ = nullptr;
    }

    T* object_;
    // The links change when a copy joins or leaves, even through a const
    // source (a copy from a const member or a std::set element).
    mutable const CRingPtr* next_;
    mutable const CRingPtr* prev_;
};
