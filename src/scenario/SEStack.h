#pragma once
// SEStack: the executor's expression stack of 32-bit values. Arguments of
// instructions are pushed onto it too, so a save taken at a wait keeps them.
// Bounded so that a runaway scenario takes the error path instead of eating memory.
#include <cstddef>
#include <cstdint>
#include <vector>

class SEStack {
public:
    static constexpr size_t kMaxDepth = 1024;

    // false (stack unchanged) when the stack is full.
    bool push(int32_t value);
    // false (out untouched) when the stack is empty.
    bool pop(int32_t* out);
    // The value `depth` places below the top (0 = top); false when there are not that many.
    bool peek(size_t depth, int32_t* out) const;
    // Removes n values; false (nothing removed) when there are fewer.
    bool drop(size_t n);
    size_t size() const { return values_.size(); }
    void clear() { values_.clear(); }
    // Bottom first, as saved.
    const std::vector<int32_t>& values() const { return values_; }
    // Replaces the contents; false (unchanged) when more than kMaxDepth values.
    bool assign(std::vector<int32_t> values);

private:
    std::vector<int32_t> values_;
};
