// The reference-counted holders, handles and list snapshots shared with the grabber library.
#include <memory>
#include <vector>

#include <gtest/gtest.h>

#include "grabber/refcount.h"
#include "grabber/smart_ptr.h"
#include "grabber/snapshot.h"

namespace {

using KapriLib::dvector;
using KapriLib::refcount_ptr;
using KapriLib::refcount_ptr_wrapper;
using KapriLib::smart_ptr;
using KapriLib::snapshotOf;

// Counts its live instances, so a test sees every copy made and destroyed.
struct Tracked {
    static int alive;
    int value;
    explicit Tracked(int v) : value(v) { ++alive; }
    Tracked(const Tracked& other) : value(other.value) { ++alive; }
    Tracked& operator=(const Tracked&) = default;
    ~Tracked() { --alive; }
};
int Tracked::alive = 0;

struct Base {
    virtual ~Base() = default;
    virtual int kind() const { return 0; }
};
struct Derived : Base {
    static int alive;
    Derived() { ++alive; }
    ~Derived() override { --alive; }
    int kind() const override { return 1; }
};
int Derived::alive = 0;

// A library list: a dvector over storage the "library" owns, behind a handle.
template <class T> struct LibraryList {
    std::vector<T> storage;
    dvector<T> list{nullptr, 0};
    smart_ptr<dvector<T>> handle() {
        list = dvector<T>{storage.data(), storage.size()};
        return smart_ptr<dvector<T>>(new refcount_ptr<dvector<T>>(new dvector<T>(list)));
    }
};

TEST(Holders, CountStartsAtOneAndTheHolderGoesWithTheLastReference) {
    Derived::alive = 0;
    auto* holder = new refcount_ptr<Derived>(new Derived());
    EXPECT_EQ(holder->use_count(), 1);
    {
        smart_ptr<Derived> first(holder);
        smart_ptr<Derived> second = first;
        EXPECT_EQ(holder->use_count(), 2);
        smart_ptr<Derived> third;
        third = second;
        const smart_ptr<Derived>& alias = third;
        third = alias; // self-assignment must not drop a reference
        EXPECT_EQ(holder->use_count(), 3);
        EXPECT_EQ(first->kind(), 1);
    }
    EXPECT_EQ(Derived::alive, 0);
}

TEST(Holders, EmptyHandleHoldsANullPointerNotANullHolder) {
    smart_ptr<Derived> empty;
    ASSERT_NE(empty.holder(), nullptr);
    EXPECT_EQ(empty.get(), nullptr);
}

TEST(Holders, WrapperKeepsTheInnerHolderAliveAndShowsTheBase) {
    Derived::alive = 0;
    auto* inner = new refcount_ptr<Derived>(new Derived());
    auto* wrapper = new refcount_ptr_wrapper<Base, Derived>(inner);
    EXPECT_EQ(inner->use_count(), 2);
    {
        smart_ptr<Derived> own(inner); // takes over the creation reference
    }
    EXPECT_EQ(Derived::alive, 1);
    smart_ptr<Base> shown(wrapper);
    ASSERT_NE(shown.get(), nullptr);
    EXPECT_EQ(shown->kind(), 1);
    {
        smart_ptr<Base> copy = shown;
        EXPECT_EQ(wrapper->use_count(), 2);
    }
    EXPECT_EQ(Derived::alive, 1);
    shown = smart_ptr<Base>();
    EXPECT_EQ(Derived::alive, 0);
}

TEST(Holders, WrapperOfAnEmptyHolderShowsNull) {
    auto* inner = new refcount_ptr<Derived>(nullptr);
    smart_ptr<Base> shown(new refcount_ptr_wrapper<Base, Derived>(inner));
    inner->dec_ref();
    EXPECT_EQ(shown.get(), nullptr);
}

TEST(Snapshots, MissingListAndEmptyListDiffer) {
    smart_ptr<dvector<int>> missing;
    auto none = snapshotOf(missing);
    EXPECT_EQ(none.get(), nullptr);

    LibraryList<int> empty;
    auto emptySnapshot = snapshotOf(empty.handle());
    ASSERT_NE(emptySnapshot.get(), nullptr);
    EXPECT_TRUE(emptySnapshot->empty());
}

TEST(Snapshots, CopiesEveryElementInOrderAndDestroysEveryCopy) {
    Tracked::alive = 0;
    {
        LibraryList<Tracked> library;
        for (int i = 0; i < 5; ++i) library.storage.emplace_back(i);
        const int libraryCopies = Tracked::alive;
        {
            auto snapshot = snapshotOf(library.handle());
            EXPECT_EQ(Tracked::alive, libraryCopies + 5);
            // The snapshot owns its copies: the library's storage can change underneath.
            library.storage.clear();
            ASSERT_EQ(snapshot->size(), 5u);
            for (int i = 0; i < 5; ++i) EXPECT_EQ((*snapshot)[static_cast<std::size_t>(i)].value, i);
        }
        EXPECT_EQ(Tracked::alive, 0);
    }
}

TEST(Snapshots, HandleElementsTakeAndDropAReferenceEach) {
    Derived::alive = 0;
    auto* holder = new refcount_ptr<Derived>(new Derived());
    {
        LibraryList<smart_ptr<Derived>> library;
        library.storage.emplace_back(holder);
        {
            auto snapshot = snapshotOf(library.handle());
            EXPECT_EQ(holder->use_count(), 2);
        }
        EXPECT_EQ(holder->use_count(), 1);
    }
    EXPECT_EQ(Derived::alive, 0);
}

} // namespace
