#include <gtest/gtest.h>

#include "runtime/core/list.h"
#include "tests/support/runtime_heaps.h"

namespace {

struct Entry {
    int value;
};

Entry* Add(ListNode** head, int value)
{
    auto* e = static_cast<Entry*>(ListAdd(head, sizeof(ListNode) + sizeof(Entry)));
    if (e)
        e->value = value;
    return e;
}

class ListTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureRuntimeHeaps(); }
    ListNode* head = nullptr;
};

TEST_F(ListTest, FirstNodeIsHeadWithBothLinksNull)
{
    Entry* a = Add(&head, 1);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(ListNodeOf(a), head);
    EXPECT_EQ(head->older, nullptr);
    EXPECT_EQ(head->newer, nullptr);
    ListRemove(&head, a);
    EXPECT_EQ(head, nullptr);
}

TEST_F(ListTest, RemovingHeadOrMiddleKeepsLinksConsistent)
{
    Entry* a = Add(&head, 1);
    Entry* b = Add(&head, 2);
    Entry* c = Add(&head, 3);
    ASSERT_TRUE(a && b && c);
    EXPECT_EQ(head, ListNodeOf(c));
    EXPECT_EQ(ListNodeOf(c)->older, ListNodeOf(b));
    EXPECT_EQ(ListNodeOf(b)->newer, ListNodeOf(c));

    ListRemove(&head, b);  // middle
    EXPECT_EQ(ListNodeOf(c)->older, ListNodeOf(a));
    EXPECT_EQ(ListNodeOf(a)->newer, ListNodeOf(c));

    ListRemove(&head, c);  // head of a two-node list
    EXPECT_EQ(head, ListNodeOf(a));
    EXPECT_EQ(head->newer, nullptr);
    EXPECT_EQ(static_cast<Entry*>(ListPayload(head))->value, 1);

    ListRemove(&head, a);
    EXPECT_EQ(head, nullptr);
}

TEST_F(ListTest, PayloadIsZeroFilledAndFailureLeavesListAlone)
{
    Entry* a = Add(&head, 0);
    ASSERT_NE(a, nullptr);
    EXPECT_EQ(a->value, 0);

    HANDLE saved = ListHeap;
    ListHeap = nullptr;  // no heap: no node, nothing written
    EXPECT_EQ(ListAdd(&head, sizeof(ListNode) + sizeof(Entry)), nullptr);
    ListHeap = saved;
    EXPECT_EQ(head, ListNodeOf(a));
    EXPECT_EQ(head->newer, nullptr);
    ListRemove(&head, a);
}

}  // namespace
