#pragma once
// CDrawQueue: the drawables of the scenario picture by draw-order key (signed,
// ascending = back to front). It does not own the drawables. One walk at a
// time runs through its cursor (Begin, Current, Next). It also carries the
// screen quake and flash state.
#include <cstdint>
#include <cstddef>
#include <map>

#include "game/ScreenQuake.h"

class CDrawable;

class CDrawQueue {
public:
    static constexpr int kKeyPresent = -1;

    CDrawQueue();
    // Frees the entries, never the drawables.
    virtual ~CDrawQueue();
    CDrawQueue(const CDrawQueue&) = delete;
    CDrawQueue& operator=(const CDrawQueue&) = delete;

    // The drawable under key, or null.
    CDrawable* Find(int32_t key) const;
    // kKeyPresent (nothing changes) when the key is taken; else stores and returns 0.
    int Insert(int32_t key, CDrawable* drawable);
    // Takes the key's entry out and returns its drawable (not deleted); null when absent.
    CDrawable* Remove(int32_t key);
    // Stores drawable under key and returns the drawable it held (not
    // deleted), or null.
    CDrawable* Replace(int32_t key, CDrawable* drawable);

    // Puts the cursor on the lowest key (the end when empty). 0.
    int Begin();
    // The drawable at the cursor; null at the end (a null entry reads as the end).
    CDrawable* Current() const;
    // The key at the cursor; 0 at the end.
    int32_t CurrentKey() const;
    // The next higher key; nothing at the end. 0.
    int Next();

    size_t Size() const { return entries_.size(); }
    CScreenQuake& Quake() { return quake_; }

private:
    std::map<int32_t, CDrawable*> entries_;
    std::map<int32_t, CDrawable*>::const_iterator cursor_;
    CScreenQuake quake_;
};
