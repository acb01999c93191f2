#include "frame/CRingPtr.h"

#include <gtest/gtest.h>

#include "frame/Holder.h"

namespace {

struct Counted {
    explicit Counted(int* deaths) : deaths_(deaths) {}
    virtual ~Counted() { ++*deaths_; }
    int* deaths_;
};

struct Derived : Counted {
    Derived(int* deaths, int* derivedDeaths) : Counted(deaths), derivedDeaths_(derivedDeaths) {}
    ~Derived() override { ++*derivedDeaths_; }
    int* derivedDeaths_;
};

TEST(CRingPtr, the_last_copy_deletes_the_object)
{
    int deaths = 0;
    {
        CRingPtr<Counted> a(new Counted(&deaths));
        EXPECT_EQ(a.RingSize(), 1) << "a new pointer must form a ring of one";
        {
            CRingPtr<Counted> b(a);
            CRingPtr<Counted> c(b);
            EXPECT_EQ(a.RingSize(), 3) << "copies must join the ring";
            EXPECT_EQ(c.get(), a.get()) << "copies must share the object";
        }
        EXPECT_EQ(deaths, 0) << "the object died while a copy remained";
        EXPECT_EQ(a.RingSize(), 1) << "destroyed copies must leave the ring";
    }
    EXPECT_EQ(deaths, 1) << "the last copy must delete the object exactly once";
}

TEST(CRingPtr, assignment_leaves_the_old_ring_and_joins_the_new)
{
    int deathsA = 0;
    int deathsB = 0;
    CRingPtr<Counted> a(new Counted(&deathsA));
    CRingPtr<Counted> a2(a);
    CRingPtr<Counted> b(new Counted(&deathsB));
    a = b;
    EXPECT_EQ(deathsA, 0) << "the old object died while a2 still held it";
    EXPECT_EQ(a.get(), b.get()) << "assignment must share the new object";
    EXPECT_EQ(b.RingSize(), 2);
    a2 = b;
    EXPECT_EQ(deathsA, 1) << "leaving as the last member must delete the old object";
    EXPECT_EQ(b.RingSize(), 3);
    a = a2;  // same ring: nothing changes
    a = a;
    EXPECT_EQ(b.RingSize(), 3) << "assigning within a ring must not change it";
    EXPECT_EQ(deathsB, 0);
    a.Reset();
    a2.Reset();
    b.Reset();
    EXPECT_EQ(deathsB, 1) << "resetting every member must delete the shared object once";
}

TEST(CRingPtr, deletes_through_the_virtual_destructor)
{
    int deaths = 0;
    int derivedDeaths = 0;
    {
        CRingPtr<Counted> p(new Derived(&deaths, &derivedDeaths));
    }
    EXPECT_EQ(derivedDeaths, 1) << "the derived destructor did not run";
}

TEST(Holder, deletes_only_what_it_owns)
{
    int deaths = 0;
    Counted borrowed(&deaths);
    {
        Holder<Counted> owned(new Counted(&deaths), true);
        Holder<Counted> lent(&borrowed, false);
    }
    EXPECT_EQ(deaths, 1) << "the owned object must die, the borrowed one live";
    Holder<Counted> h(new Counted(&deaths), true);
    h.Reset(&borrowed, false);
    EXPECT_EQ(deaths, 2) << "resetting must delete the owned object";
    EXPECT_FALSE(h.owns);
}

}  // namespace
