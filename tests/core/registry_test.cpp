#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/object_table.h"
#include "runtime/core/state_object.h"
#include "tests/support/runtime_heaps.h"

namespace {

// A record as the libraries keep them: the liveness word first.
struct Thing {
    void* live;
    int payload;
};

ObjectTable* table;
std::vector<ObjectId> released;

// Like the libraries' release routines: look up, free, then release.
void ReleaseThing(ObjectId id)
{
    if (!ObjectTableLookup(table, id))
        return;
    released.push_back(id);
    ObjectTableRelease(table, id);
}

Thing* Make(ObjectId id, int payload = 7)
{
    auto* t = static_cast<Thing*>(ObjectTableAllocate(table, id));
    if (t) {
        t->live = t;
        t->payload = payload;
    }
    return t;
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureRuntimeHeaps();
        table = ObjectTableNew(sizeof(Thing), 16, ReleaseThing);
        ASSERT_NE(table, nullptr);
        released.clear();
    }
};

TEST_F(RegistryTest, GrowingCarriesTheObjectsAlongAndAddsOnlyFreeNumbers)
{
    Make(2, 42);
    ASSERT_NE(Make(100), nullptr);
    auto* two = static_cast<Thing*>(ObjectTableLookup(table, 2));
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(two->payload, 42);
    for (int i = 0; i < 100; ++i) {
        if (i != 2) {
            ASSERT_EQ(ObjectTableLookup(table, i), nullptr) << i;
        }
    }
    EXPECT_NE(ObjectTableLookup(table, 100), nullptr);
}

TEST_F(RegistryTest, ReusingALiveNumberReleasesTheOldObjectFirst)
{
    Make(3, 99);
    auto* again = static_cast<Thing*>(ObjectTableAllocate(table, 3));
    ASSERT_EQ(released, std::vector<ObjectId>{3});
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(again->live, nullptr);
    EXPECT_EQ(again->payload, 0);
    // Allocated but not yet live: invisible to lookup.
    EXPECT_EQ(ObjectTableLookup(table, 3), nullptr);
}

TEST_F(RegistryTest, AutoNumberHandlesAreStableAndDistinct)
{
    Thing* a = Make(AutoNumber, 1);
    Thing* b = Make(AutoNumber, 2);
    ASSERT_TRUE(a && b);
    EXPECT_NE(a, b);
    EXPECT_TRUE(released.empty());

    Make(500);  // the numbered array moves; the handles do not
    EXPECT_EQ(ObjectTableLookup(table, reinterpret_cast<ObjectId>(a)), a);
    EXPECT_EQ(ObjectTableLookup(table, reinterpret_cast<ObjectId>(b)), b);
    EXPECT_EQ(a->payload, 1);
    EXPECT_EQ(b->payload, 2);
}

TEST_F(RegistryTest, ReleaseAllWalksNumbersThenAutoNumberOldestFirst)
{
    Make(3);
    Make(1);
    auto a = reinterpret_cast<ObjectId>(Make(AutoNumber));
    auto b = reinterpret_cast<ObjectId>(Make(AutoNumber));

    ObjectTableReleaseAll(table);

    EXPECT_EQ(released, (std::vector<ObjectId>{1, 3, a, b}));
    EXPECT_EQ(table->autoListHead, nullptr);
    EXPECT_EQ(ObjectTableLookup(table, 1), nullptr);
    EXPECT_EQ(ObjectTableLookup(table, a), nullptr);
}

ObjectId partner;

// Frees the object it is given and, as a side effect, the partner that the
// walk would visit next.
void ReleaseWithPartner(ObjectId id)
{
    if (!ObjectTableLookup(table, id))
        return;
    released.push_back(id);
    ObjectTableRelease(table, id);
    if (partner && partner != id) {
        ObjectTableRelease(table, partner);
        partner = 0;
    }
}

TEST_F(RegistryTest, WalkSurvivesReleaseOfTheNextAutoNumberObject)
{
    table->releaseRoutine = ReleaseWithPartner;
    auto a = reinterpret_cast<ObjectId>(Make(AutoNumber));
    auto b = reinterpret_cast<ObjectId>(Make(AutoNumber));
    auto c = reinterpret_cast<ObjectId>(Make(AutoNumber));
    partner = b;

    ObjectTableReleaseAll(table);

    EXPECT_EQ(released, (std::vector<ObjectId>{a, c}));
    EXPECT_EQ(table->autoListHead, nullptr);
}

TEST_F(RegistryTest, TableWithoutReleaseRoutineKeepsEverything)
{
    table->releaseRoutine = nullptr;
    Make(4, 5);
    Thing* a = Make(AutoNumber);
    ObjectTableReleaseAll(table);
    EXPECT_NE(ObjectTableLookup(table, 4), nullptr);
    EXPECT_EQ(ObjectTableLookup(table, reinterpret_cast<ObjectId>(a)), a);

    // A reused slot comes back with its old bytes.
    auto* again = static_cast<Thing*>(ObjectTableAllocate(table, 4));
    EXPECT_EQ(again->payload, 5);
}

TEST_F(RegistryTest, WalkOverNothingReturnsNullAndLeavesIdAlone)
{
    ObjectTableAllocate(table, 2);  // allocated, never live
    ObjectId id = 12345;
    ObjectTableIterateBegin(table);
    EXPECT_EQ(ObjectTableIterateNext(table, &id), nullptr);
    EXPECT_EQ(id, 12345);
}

TEST_F(RegistryTest, IdsThatNameNothingAreNeverFollowed)
{
    // A record-shaped block the table never handed out, live-looking.
    Thing foreign{&foreign, 1};
    auto foreignId = reinterpret_cast<ObjectId>(&foreign);
    EXPECT_EQ(ObjectTableLookup(table, foreignId), nullptr);
    ObjectTableRelease(table, foreignId);
    EXPECT_EQ(foreign.live, &foreign);

    // Beyond capacity and never allocated.
    EXPECT_EQ(ObjectTableLookup(table, 5000), nullptr);
    ObjectTableRelease(table, 5000);

    // A stale handle, also after its memory may have been reused.
    auto stale = reinterpret_cast<ObjectId>(Make(AutoNumber));
    ObjectTableRelease(table, stale);
    Make(AutoNumber);
    ObjectTableRelease(table, stale);
    EXPECT_EQ(ObjectTableLookup(table, stale), nullptr);

    // Negative numbers other than AutoNumber, and numbers past the limit.
    EXPECT_EQ(ObjectTableAllocate(table, -2), nullptr);
    EXPECT_EQ(ObjectTableLookup(table, -2), nullptr);
    EXPECT_EQ(ObjectTableAllocate(table, ObjectNumberLimit), nullptr);
    EXPECT_TRUE(released.empty());
}

TEST_F(RegistryTest, ManyHandlesStayFindableAcrossSetGrowth)
{
    std::vector<Thing*> things;
    for (int i = 0; i < 300; ++i)
        things.push_back(Make(AutoNumber, i));
    for (int i = 0; i < 300; i += 2)
        ObjectTableRelease(table, reinterpret_cast<ObjectId>(things[i]));
    for (int i = 0; i < 300; ++i) {
        void* found = ObjectTableLookup(table, reinterpret_cast<ObjectId>(things[i]));
        ASSERT_EQ(found, i % 2 ? things[i] : nullptr) << i;
    }
}

int initCalls;
void* initArg;
void InitState(void* state)
{
    ++initCalls;
    initArg = state;
    static_cast<int*>(state)[1] = 9;
}

TEST_F(RegistryTest, StateRecordsAreZeroFilledAndInitialisedOnce)
{
    auto* plain = static_cast<int*>(StateObjectNew(64, nullptr, nullptr));
    ASSERT_NE(plain, nullptr);
    for (int i = 0; i < 16; ++i)
        EXPECT_EQ(plain[i], 0);
    EXPECT_EQ(StateObjectGet(plain), plain);

    auto* inited = static_cast<int*>(StateObjectNew(8, InitState, nullptr));
    EXPECT_EQ(initCalls, 1);
    EXPECT_EQ(initArg, inited);
    EXPECT_EQ(inited[0], 0);
    EXPECT_EQ(inited[1], 9);
}

TEST_F(RegistryTest, NoHeapMeansCleanFailure)
{
    HANDLE saved = MainHeap;
    MainHeap = nullptr;
    EXPECT_EQ(ObjectTableNew(sizeof(Thing), 16, nullptr), nullptr);
    EXPECT_EQ(StateObjectNew(8, InitState, nullptr), nullptr);
    EXPECT_EQ(ObjectTableAllocate(table, 40), nullptr);  // cannot grow
    MainHeap = saved;
    EXPECT_EQ(ObjectTableNew(2, 16, nullptr), nullptr);  // no room for the liveness word
    EXPECT_EQ(ObjectTableNew(sizeof(Thing), 0, nullptr), nullptr);
}

}  // namespace
