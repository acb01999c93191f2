// The draw queue: key order and the results of Insert, Replace and Remove.
#include <gtest/gtest.h>

#include <vector>

#include "game/DrawQueue.h"
#include "game/Drawable.h"

namespace {

std::vector<int32_t> Keys(CDrawQueue& q)
{
    std::vector<int32_t> keys;
    for (q.Begin(); q.Current(); q.Next())
        keys.push_back(q.CurrentKey());
    return keys;
}

TEST(DrawQueue, walks_keys_in_ascending_signed_order)
{
    CDrawQueue q;
    CDrawable a, b, c;
    EXPECT_EQ(q.Insert(10, &a), 0);
    EXPECT_EQ(q.Insert(-5, &b), 0);
    EXPECT_EQ(q.Insert(0, &c), 0);
    EXPECT_EQ(Keys(q), (std::vector<int32_t>{-5, 0, 10})) << "a negative key is drawn before key 0";
}

TEST(DrawQueue, insert_on_a_taken_key_fails_and_replace_returns_the_old_drawable)
{
    CDrawQueue q;
    CDrawable a, b;
    ASSERT_EQ(q.Insert(3, &a), 0);
    EXPECT_EQ(q.Insert(3, &b), CDrawQueue::kKeyPresent);
    EXPECT_EQ(q.Find(3), &a) << "a failed insert keeps the old drawable";
    EXPECT_EQ(q.Replace(3, &b), &a) << "replace hands back the old drawable";
    EXPECT_EQ(q.Find(3), &b);
    EXPECT_EQ(q.Replace(4, &a), nullptr) << "replace on an empty key returns null";
    EXPECT_EQ(q.Size(), 2u);
}

TEST(DrawQueue, remove_returns_the_drawable_and_null_for_an_absent_key)
{
    CDrawQueue q;
    CDrawable a;
    q.Insert(1, &a);
    EXPECT_EQ(q.Remove(2), nullptr);
    EXPECT_EQ(q.Size(), 1u) << "removing an absent key changes nothing";
    EXPECT_EQ(q.Remove(1), &a);
    EXPECT_EQ(q.Find(1), nullptr);
}

TEST(DrawQueue, empty_queue_walk_ends_at_once_with_key_zero)
{
    CDrawQueue q;
    q.Begin();
    EXPECT_EQ(q.Current(), nullptr);
    EXPECT_EQ(q.CurrentKey(), 0);
    EXPECT_EQ(q.Next(), 0) << "Next at the end does nothing";
    EXPECT_EQ(q.Current(), nullptr);
}

TEST(DrawQueue, null_drawable_reads_as_the_end_of_the_walk)
{
    CDrawQueue q;
    CDrawable a, b;
    q.Insert(1, &a);
    q.Insert(2, nullptr);
    q.Insert(3, &b);
    EXPECT_EQ(Keys(q), (std::vector<int32_t>{1})) << "the walk stops before the keys above a null entry";
}

TEST(DrawQueue, removing_the_entry_under_the_cursor_ends_the_walk_safely)
{
    CDrawQueue q;
    CDrawable a, b;
    q.Insert(1, &a);
    q.Insert(2, &b);
    q.Begin();
    q.Remove(1);
    EXPECT_EQ(q.Current(), nullptr) << "the cursor must never point at a freed entry";
}

}  // namespace
