#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/core/object_table.h"
#include "runtime/core/result_buffer.h"
#include "runtime/core/state_object.h"
#include "runtime/core/strings.h"
#include "tests/support/runtime_start.h"

namespace {

using Ids = std::vector<ObjectId>;

ObjectTable* table;  // of records {liveness word, payload}, as the libraries keep them
Ids released;
ObjectId trigger, partner;  // releasing trigger also releases partner

ObjectId Make(ObjectId id, intptr_t payload = 7)
{
    auto* record = static_cast<intptr_t*>(ObjectTableAllocate(table, id));
    if (!record)
        return 0;
    record[0] = reinterpret_cast<intptr_t>(record);
    record[1] = payload;
    return id == AutoNumber ? record[0] : id;
}

// Like the libraries' release routines: look up, free, then release.
void ReleaseRecord(ObjectId id)
{
    if (!ObjectTableLookup(table, id))
        return;
    released.push_back(id);
    ObjectTableRelease(table, id);
    if (id == trigger) {
        ObjectTableRelease(table, partner);
        EXPECT_NE(table->iterNode, ListNodeOf(reinterpret_cast<void*>(partner))) << "a walk steps onto a freed node";
    }
}

intptr_t Payload(ObjectId id)
{
    auto* record = static_cast<intptr_t*>(ObjectTableLookup(table, id));
    return record ? record[1] : -1;
}

SIZE_T BlockSize()
{
    return HeapSize(StringHeap, HEAP_NO_SERIALIZE, ResultBuffer.resultBase);
}

struct CoreTest : ::testing::Test {
    void SetUp() override
    {
        EnsureRuntime();
        StringInit();
        table = ObjectTableNew(2 * sizeof(intptr_t), 16, ReleaseRecord);
        released.clear();
        trigger = 0;
    }
};

TEST_F(CoreTest, NumbersAndHandlesSurviveGrowthAndAreReleasedInOrder)
{
    Make(5, 5);
    Ids handles;
    for (int i = 0; i < 300; ++i)
        handles.push_back(Make(AutoNumber, i));
    for (int i = 0; i < 300; i += 2)
        ObjectTableRelease(table, handles[i]);
    ASSERT_NE(Make(100, 100), 0);  // the numbered slots move, the handles do not
    for (ObjectId id = 0; id < 100; ++id)
        ASSERT_EQ(Payload(id), id == 5 ? 5 : -1) << id;
    for (int i = 0; i < 300; ++i)
        ASSERT_EQ(Payload(handles[i]), i % 2 ? i : -1) << i;
    // A live number taken again is released first, and not found until live again.
    ASSERT_NE(ObjectTableAllocate(table, 5), nullptr);
    EXPECT_EQ(released, Ids{5});
    EXPECT_EQ(Payload(5), -1);
    Make(5);
    Make(2);
    // Numbers ascending, then handles oldest first; the walk survives the
    // release of the handle it would visit next.
    trigger = handles[1], partner = handles[3];
    ObjectTableReleaseAll(table);
    Ids order = {5, 2, 5, 100, handles[1]};
    for (int i = 5; i < 300; i += 2)
        order.push_back(handles[i]);
    EXPECT_EQ(released, order);
    EXPECT_EQ(table->autoListHead, nullptr);
    EXPECT_EQ(ObjectTableNew(2, 16, nullptr), nullptr);  // no room for the liveness word
    EXPECT_EQ(ObjectTableNew(8, 0, nullptr), nullptr);
}

// Records that cannot be had under a number past the slots or AutoNumber:
// dead_numbers_test, through every library's creations.
TEST_F(CoreTest, WithoutMemoryEveryRequestFailsAndChangesNothing)
{
    const HANDLE mainHeap = std::exchange(MainHeap, nullptr), listHeap = std::exchange(ListHeap, nullptr);
    EXPECT_EQ(ObjectTableNew(8, 16, nullptr), nullptr);
    EXPECT_EQ(StateObjectNew(8, nullptr, nullptr), nullptr);
    MainHeap = mainHeap;
    ListHeap = listHeap;

    // A small heap with a maximum stands in for string memory running out.
    const HANDLE saved = std::exchange(StringHeap, HeapCreate(HEAP_NO_SERIALIZE, 0, 64 * 1024));
    char* text = nullptr;
    StringAssign(&text, "short");
    StringAssign(&text, std::string(256 * 1024, 'h').c_str());
    EXPECT_STREQ(text, "short");
    HeapDestroy(std::exchange(StringHeap, saved));
    const SIZE_T size = BlockSize();
    EXPECT_EQ(ResultBufferReserve(INT32_MAX - 8, 0), nullptr);  // past the largest block the buffer takes
    EXPECT_EQ(ResultBuffer.resultUsed, 0);
    EXPECT_EQ(BlockSize(), size);
}

// A result at a position past the used bytes stays inside the buffer's block;
// a string takes a text from its own block; comparison is exact.
TEST_F(CoreTest, ResultsAndStrings)
{
    const int32_t beyond = static_cast<int32_t>(BlockSize()) + 100;
    memcpy(ResultBufferReserve(4, beyond), "abc", 4);
    EXPECT_GE(BlockSize(), static_cast<SIZE_T>(beyond + 4));
    char* v = nullptr;
    StringAssign(&v, "");
    ASSERT_NE(v, nullptr);
    StringAssign(&v, "hello wide world");
    StringAssign(&v, v + 6);
    EXPECT_STREQ(v, "wide world");
    StringAssign(&v, nullptr);
    EXPECT_EQ(v, nullptr);
    EXPECT_TRUE(HeapValidate(StringHeap, HEAP_NO_SERIALIZE, nullptr));

    char copy[] = "Keyvane";  // the first two pairs hold the same text
    const char* const pairs[][2] = {{nullptr, ""}, {"Keyvane", copy}, {"Key", "Keyvane"}, {"keyvane", "Keyvane"}};
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(StringCompare(pairs[i][0], pairs[i][1]) + StringCompare(pairs[i][1], pairs[i][0]), i < 2 ? 2 : 0);
}

}  // namespace
