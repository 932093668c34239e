#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/gadget/gadget_fixture.h"

namespace {

// The record as attached under the name the system gives it.
GadgetListRecord* RecordOf(HWND window)
{
    char name[40];
    snprintf(name, sizeof name, "Nimb_GadgetStack_%d",
             static_cast<int>(reinterpret_cast<intptr_t>(GetModuleHandleA(nullptr))));
    return static_cast<GadgetListRecord*>(GetPropA(window, name));
}

using GadgetListTest = GadgetTest;

TEST_F(GadgetListTest, SwitchingToAnotherWindowAndBackRestoresTheFirstWithItsOwnStack)
{
    GadgetListState* state = GadgetListStateGet();
    HWND a = OpenParent();
    HWND b = OpenParent();
    EXPECT_EQ(GadgetListUse(a), nullptr);
    EXPECT_EQ(state->current, a);
    HWND* stackOfA = state->stack;
    ASSERT_NE(stackOfA, nullptr);
    // A stacked on itself: the root stays A, and the depth must come back.
    stackOfA[0] = a;
    state->stackDepth = 1;

    EXPECT_EQ(GadgetListUse(b), a);
    EXPECT_EQ(state->current, b);
    EXPECT_EQ(state->stackDepth, 0);
    EXPECT_EQ(state->stackCapacity, GadgetListStackEntries);
    HWND* stackOfB = state->stack;
    EXPECT_NE(stackOfB, stackOfA);
    ASSERT_NE(RecordOf(a), nullptr);
    EXPECT_EQ(RecordOf(a)->savedStack, stackOfA);
    HWND inB = reinterpret_cast<HWND>(GadgetCreateProbe(1, 0, 0, 50, 20, "in B"));
    EXPECT_EQ(GetParent(inB), b);

    EXPECT_EQ(GadgetListUse(a), b);
    EXPECT_EQ(state->current, a);
    EXPECT_EQ(state->stack, stackOfA);
    EXPECT_EQ(state->stackDepth, 1);
    EXPECT_EQ(RecordOf(a)->savedStack, nullptr);
    EXPECT_EQ(RecordOf(b)->savedStack, stackOfB);
    EXPECT_EQ(RecordOf(b)->savedCurrent, b);
    HWND inA = reinterpret_cast<HWND>(GadgetCreateProbe(2, 0, 0, 50, 20, "in A"));
    EXPECT_EQ(GetParent(inA), a);
    state->stackDepth = 0;

    // Using the same window again must not subclass it twice.
    EXPECT_EQ(GadgetListUse(a), a);
    EXPECT_NE(RecordOf(a)->previousProc, GadgetListWindowProc);
    SetWindowTextA(a, "still answers");
    char text[16] = {};
    GetWindowTextA(a, text, sizeof text);
    EXPECT_STREQ(text, "still answers");
}

TEST_F(GadgetListTest, UseOfNoWindowOnlyReportsTheRoot)
{
    GadgetListState* state = GadgetListStateGet();
    HWND outer = OpenParent();
    HWND inner = OpenParent();
    GadgetListUse(inner);
    GadgetListState before = *state;
    EXPECT_EQ(GadgetListUse(nullptr), inner);
    EXPECT_EQ(memcmp(&before, state, sizeof before), 0);

    state->stack[0] = outer;
    state->stackDepth = 1;
    EXPECT_EQ(GadgetListUse(nullptr), outer);
    EXPECT_EQ(state->current, inner);
    state->stackDepth = 0;
}

TEST_F(GadgetListTest, DestroyingTheCurrentListWindowLeavesNoListAndCreationsFail)
{
    GadgetListState* state = GadgetListStateGet();
    HWND keeper = OpenParent();
    HWND doomed = OpenParent();
    GadgetListUse(keeper);
    HWND three = reinterpret_cast<HWND>(GadgetCreateProbe(3, 0, 0, 50, 20, "kept"));
    ASSERT_NE(three, nullptr);
    GadgetListUse(doomed);
    HWND* stack = state->stack;

    DestroyWindow(doomed);
    ASSERT_EQ(ListRecordSeenAtEnd.size(), 1u);
    EXPECT_FALSE(ListRecordSeenAtEnd[0]);
    EXPECT_EQ(state->current, nullptr);
    EXPECT_EQ(state->stackDepth, 0);
    EXPECT_EQ(state->stack, stack);
    EXPECT_EQ(GadgetListUse(nullptr), nullptr);

    // Nothing is created, and gadget 3 is not given up for the number.
    int32_t capacity = GadgetTable->capacity;
    EXPECT_EQ(GadgetCreateProbe(3, 0, 0, 50, 20, "nowhere"), 0);
    EXPECT_EQ(GadgetCreateProbe(AutoNumber, 0, 0, 50, 20, "nowhere"), 0);
    EXPECT_EQ(GadgetCreateProbe(200, 0, 0, 50, 20, "nowhere"), 0);
    EXPECT_EQ(GadgetTable->capacity, capacity);
    EXPECT_EQ(LiveGadgets(), 1);
    ASSERT_NE(Gadget(3), nullptr);
    EXPECT_EQ(Gadget(3)->window, three);
    EXPECT_TRUE(ProbeReleases.empty());

    // A window that was a list before takes its own state back.
    EXPECT_EQ(GadgetListUse(keeper), nullptr);
    EXPECT_EQ(state->current, keeper);
}

}  // namespace
