#include "game/DrawQueue.h"

CDrawQueue::CDrawQueue() : cursor_(entries_.end()) {}

CDrawQueue::~CDrawQueue() = default;

CDrawable* CDrawQueue::Find(int32_t key) const
{
    auto it = entries_.find(key);
    return it == entries_.end() ? nullptr : it->second;
}

int CDrawQueue::Insert(int32_t key, CDrawable* drawable)
{
    if (entries_.count(key) != 0)
        return kKeyPresent;
    entries_.emplace(key, drawable);
    return 0;
}

CDrawable* CDrawQueue::Remove(int32_t key)
{
    auto it = entries_.find(key);
    if (it == entries_.end())
        return nullptr;
    CDrawable* drawable = it->second;
    if (cursor_ == it)
        cursor_ = entries_.end();  // never leave the cursor on a freed entry
    entries_.erase(it);
    return drawable;
}

CDrawable* CDrawQueue::Replace(int32_t key, CDrawable* drawable)
{
    CDrawable* old = Remove(key);
    entries_.emplace(key, drawable);
    return old;
}

int CDrawQueue::Begin()
{
    cursor_ = entries_.begin();
    return 0;
}

CDrawable* CDrawQueue::Current() const
{
    return cursor_ == entries_.end() ? nullptr : cursor_->second;
}

int32_t CDrawQueue::CurrentKey() const
{
    return cursor_ == entries_.end() ? 0 : cursor_->first;
}

int CDrawQueue::Next()
{
    if (cursor_ != entries_.end())
        ++cursor_;
    return 0;
}
