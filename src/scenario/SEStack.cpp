#include "scenario/SEStack.h"

#include <utility>

bool SEStack::push(int32_t value)
{
    if (values_.size() >= kMaxDepth)
        return false;
    values_.push_back(value);
    return true;
}

bool SEStack::pop(int32_t* out)
{
    if (values_.empty())
        return false;
    *out = values_.back();
    values_.pop_back();
    return true;
}

bool SEStack::peek(size_t depth, int32_t* out) const
{
    if (depth >= values_.size())
        return false;
    *out = values_[values_.size() - 1 - depth];
    return true;
}

bool SEStack::drop(size_t n)
{
    if (n > values_.size())
        return false;
    values_.resize(values_.size() - n);
    return true;
}

bool SEStack::assign(std::vector<int32_t> values)
{
    if (values.size() > kMaxDepth)
        return false;
    values_ = std::move(values);
    return true;
}
