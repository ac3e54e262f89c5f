#include "core/QuorvanArray.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "core/Common.h"
#include "core/CommonString.h"

namespace {

struct TGrowthCase {
    int growBy;
    int adds;
    std::vector<int> capacities;  // capacity after each Add
    const char* why;
};

TEST(QuorvanArrayTest, NewArrayHasNoBlock) {
    CQuorvanArray<int> a;
    EXPECT_EQ(a.data, nullptr);
    EXPECT_EQ(a.count, 0);
    EXPECT_EQ(a.capacity, 0);
    EXPECT_EQ(a.growBy, 1);
}

TEST(QuorvanArrayTest, GrowthIsLinearByTheStep) {
    const TGrowthCase cases[] = {
        {1, 4, {1, 2, 3, 4}, "step 1 grows one element at a time"},
        {5, 11, {5, 5, 5, 5, 5, 10, 10, 10, 10, 10, 15}, "step 5 runs 5, 10, 15"},
        {500, 3, {500, 500, 500}, "the pak index step"},
        {0, 3, {1, 2, 3}, "a step below 1 still makes room"},
    };
    for (const TGrowthCase& c : cases) {
        SCOPED_TRACE(c.why);
        CQuorvanArray<int> a;
        a.growBy = c.growBy;
        for (int i = 0; i < c.adds; ++i) {
            ASSERT_EQ(a.Add(i * 10 + 1), 1);
            EXPECT_EQ(a.capacity, c.capacities[static_cast<size_t>(i)]) << "after add " << i;
            EXPECT_EQ(a.count, i + 1);
        }
        // Every growth copied the earlier elements in order.
        for (int i = 0; i < c.adds; ++i) {
            EXPECT_EQ(a.data[i], i * 10 + 1);
        }
    }
}

TEST(QuorvanArrayTest, AddCopiesWholeRecords) {
    CQuorvanArray<TVector2D> points;
    for (int i = 0; i < 7; ++i) {
        ASSERT_EQ(points.Add(TVector2D{i * 256, -i * 256}), 1);
    }
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(points[i].x, i * 256);
        EXPECT_EQ(points[i].y, -i * 256);
    }
}

TEST(QuorvanArrayTest, AddOfOwnElementSurvivesGrowth) {
    CQuorvanArray<int> a;
    ASSERT_EQ(a.Add(42), 1);
    // The array is full, so this Add moves to a new block while reading data[0].
    ASSERT_EQ(a.Add(a.data[0]), 1);
    EXPECT_EQ(a.data[1], 42);
}

TEST(QuorvanArrayTest, AddRefusesAndChangesNothing) {
    // No block while the count is above 0: an inconsistent array is left alone.
    CQuorvanArray<int> broken;
    broken.count = 3;
    EXPECT_EQ(broken.Add(1), 0);
    EXPECT_EQ(broken.count, 3);
    EXPECT_EQ(broken.data, nullptr);
    broken.count = 0;

    // A block too large to allocate leaves the array as it was.
    CQuorvanArray<int> a;
    ASSERT_EQ(a.Add(5), 1);
    int* block = a.data;
    a.growBy = INT_MAX;
    EXPECT_EQ(a.Add(6), 0);
    EXPECT_EQ(a.data, block);
    EXPECT_EQ(a.count, 1);
    EXPECT_EQ(a.capacity, 1);
    EXPECT_EQ(a.data[0], 5);
}

TEST(QuorvanArrayTest, RemoveAtMovesLaterElementsDown) {
    CQuorvanArray<int> a;
    for (int v : {10, 20, 30, 40}) {
        ASSERT_EQ(a.Add(v), 1);
    }
    int* block = a.data;
    EXPECT_EQ(a.RemoveAt(1), 1);
    EXPECT_EQ(a.count, 3);
    EXPECT_EQ(a.data, block) << "the block stays";
    EXPECT_EQ(a.data[0], 10);
    EXPECT_EQ(a.data[1], 30);
    EXPECT_EQ(a.data[2], 40);
    EXPECT_EQ(a.RemoveAt(2), 1);
    EXPECT_EQ(a.count, 2);
    EXPECT_EQ(a.RemoveAt(2), 0);
    EXPECT_EQ(a.RemoveAt(-1), 0);
    EXPECT_EQ(a.count, 2);
}

// Counts destructor runs through a virtual base, as the owning arrays' elements do.
struct TTracked {
    explicit TTracked(std::vector<int>* log, int id) : log(log), id(id) {}
    virtual ~TTracked() { log->push_back(id); }
    std::vector<int>* log;
    int id;
};

struct TTrackedChild : TTracked {
    TTrackedChild(std::vector<int>* log, int id, bool* childGone) : TTracked(log, id), childGone(childGone) {}
    ~TTrackedChild() override { *childGone = true; }
    bool* childGone;
};

TEST(QuorvanObjPtrArrayTest, DestructorDeletesEachNonNullElementOnce) {
    std::vector<int> deleted;
    bool childGone = false;
    {
        CQuorvanObjPtrArray<TTracked*> owned;
        ASSERT_EQ(owned.Add(new TTracked(&deleted, 1)), 1);
        ASSERT_EQ(owned.Add(nullptr), 1);
        ASSERT_EQ(owned.Add(new TTrackedChild(&deleted, 3, &childGone)), 1);
        ASSERT_EQ(owned.Add(nullptr), 1);
    }
    EXPECT_EQ(deleted, (std::vector<int>{1, 3}));
    EXPECT_TRUE(childGone) << "deletion goes through the virtual destructor";
}

TEST(QuorvanObjPtrArrayTest, RemoveAllEmptiesAndTheArrayStaysUsable) {
    std::vector<int> deleted;
    auto* owned = new CQuorvanObjPtrArray<TTracked*>();
    owned->growBy = 5;
    for (int id = 1; id <= 6; ++id) {
        ASSERT_EQ(owned->Add(id == 4 ? nullptr : new TTracked(&deleted, id)), 1);
    }
    owned->RemoveAll();
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3, 5, 6}));
    EXPECT_EQ(owned->data, nullptr);
    EXPECT_EQ(owned->count, 0);
    EXPECT_EQ(owned->capacity, 0);
    EXPECT_EQ(owned->growBy, 5);

    // A new block with capacity growBy; the destructor then deletes only the new element.
    ASSERT_EQ(owned->Add(new TTracked(&deleted, 7)), 1);
    EXPECT_EQ(owned->capacity, 5);
    delete owned;
    EXPECT_EQ(deleted, (std::vector<int>{1, 2, 3, 5, 6, 7}));
}

TEST(QuorvanObjPtrArrayTest, OwnsCommonStrings) {
    // The most common use: lists of names. ASan checks nothing leaks or is freed twice.
    CQuorvanObjPtrArray<CommonString*> names;
    ASSERT_EQ(names.Add(new CommonString("yard1")), 1);
    ASSERT_EQ(names.Add(new CommonString("yard2")), 1);
    EXPECT_TRUE(names[1]->IsEqual("yard2"));
}

TEST(QuorvanStackTest, PushPopIsLastInFirstOutAndDoesNotOwn) {
    std::vector<int> deleted;
    CQuorvanStack<TTracked*> stack;
    EXPECT_EQ(stack.Pop(), nullptr) << "pop on an empty stack hands back nothing";
    EXPECT_EQ(stack.count, 0);
    for (int id = 1; id <= 3; ++id) {
        ASSERT_EQ(stack.Push(new TTracked(&deleted, id)), 1);
    }
    for (int id = 3; id >= 1; --id) {
        TTracked* top = stack.Pop();
        ASSERT_NE(top, nullptr);
        EXPECT_EQ(top->id, id);
        EXPECT_EQ(stack.count, id - 1);
        delete top;
    }
    EXPECT_EQ(stack.Pop(), nullptr);
    EXPECT_EQ(stack.count, 0);
    EXPECT_EQ(deleted, (std::vector<int>{3, 2, 1}));

    // Popped elements are the popper's: the stack's destructor deletes nothing.
    TTracked kept(&deleted, 9);
    {
        CQuorvanStack<TTracked*> other;
        ASSERT_EQ(other.Push(&kept), 1);
    }
    EXPECT_EQ(deleted, (std::vector<int>{3, 2, 1}));
}

TEST(SafeDeleteTest, DeletesThroughTheVirtualDestructorAndNulls) {
    std::vector<int> deleted;
    bool childGone = false;
    TTracked* object = new TTrackedChild(&deleted, 5, &childGone);
    SafeDelete(object);
    EXPECT_EQ(object, nullptr);
    EXPECT_TRUE(childGone);
    EXPECT_EQ(deleted, (std::vector<int>{5}));
    SafeDelete(object);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(deleted, (std::vector<int>{5}));
}

}  // namespace
