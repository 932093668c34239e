#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>

#include "tests/gadget/gadget_fixture.h"

namespace {

// The record as attached under the name the system gives it.
GadgetListRecord* RecordOf(HWND window)
{
    char name[40];
    snprintf(name, sizeof name, "Nimb_GadgetStack_%d", static_cast<int>(reinterpret_cast<intptr_t>(InstanceHandle)));
    return static_cast<GadgetListRecord*>(GetPropA(window, name));
}

using GadgetListTest = GadgetTest;

TEST_F(GadgetListTest, SwitchingAwayAndBackRestoresAWindowWithItsOwnStack)
{
    GadgetListState* state = GadgetListStateGet();
    HWND a = OpenParent();
    HWND b = OpenParent();
    EXPECT_EQ(GadgetListUse(a), nullptr);
    HWND* stackOfA = state->frame.stack;
    stackOfA[0] = a;  // A stacked on itself: the root stays A
    state->frame.stackDepth = 1;

    EXPECT_EQ(GadgetListUse(b), a);
    EXPECT_EQ(state->frame.current, b);
    EXPECT_EQ(state->frame.stackDepth, 0);
    EXPECT_NE(state->frame.stack, stackOfA);
    EXPECT_EQ(RecordOf(a)->saved.stack, stackOfA);
    EXPECT_EQ(GetParent(reinterpret_cast<HWND>(GadgetCreateProbe(1, 0))), b);

    EXPECT_EQ(GadgetListUse(a), b);
    EXPECT_EQ(state->frame.current, a);
    EXPECT_EQ(state->frame.stack, stackOfA);
    EXPECT_EQ(state->frame.stackDepth, 1);
    EXPECT_EQ(RecordOf(a)->saved.stack, nullptr);
    EXPECT_EQ(RecordOf(b)->saved.current, b);
    EXPECT_EQ(GetParent(reinterpret_cast<HWND>(GadgetCreateProbe(2, 0))), a);
    state->frame.stackDepth = 0;

    // Using it again must not subclass it a second time.
    EXPECT_EQ(GadgetListUse(a), a);
    EXPECT_NE(RecordOf(a)->previousProc, GadgetListWindowProc);
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
    state->frame.stack[0] = outer;
    state->frame.stackDepth = 1;
    EXPECT_EQ(GadgetListUse(nullptr), outer);
    state->frame.stackDepth = 0;
}

TEST_F(GadgetListTest, DestroyingTheCurrentListLeavesNoneAndCreationsChangeNothing)
{
    GadgetListState* state = GadgetListStateGet();
    HWND keeper = OpenParent();
    HWND doomed = OpenParent();
    GadgetListUse(keeper);
    HWND three = reinterpret_cast<HWND>(GadgetCreateProbe(3, 0));
    GadgetListUse(doomed);
    DestroyWindow(doomed);
    EXPECT_EQ(ListRecordSeenAtEnd, std::vector<bool>{false});
    EXPECT_EQ(state->frame.current, nullptr);
    EXPECT_EQ(GadgetListUse(nullptr), nullptr);

    // Gadget 3 is not given up for a creation that has nowhere to go.
    EXPECT_EQ(GadgetCreateProbe(3, 0), 0);
    EXPECT_EQ(GadgetCreateProbe(AutoNumber, 0), 0);
    EXPECT_EQ(GadgetCreateProbe(200, 0), 0);
    EXPECT_EQ(LiveGadgets(), 1);
    EXPECT_EQ(Gadget(3)->window, three);
    EXPECT_TRUE(ProbeReleases.empty());
}

}  // namespace
