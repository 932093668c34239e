#include <gtest/gtest.h>

#include "runtime/core/heaps.h"
#include "tests/gadget/gadget_fixture.h"

namespace {

HWND AsWindow(intptr_t result)
{
    return reinterpret_cast<HWND>(result);
}

// Installed above GadgetWindowProc, so it sees the control after teardown.
struct {
    WNDPROC below;
    LONG identifier;
    HANDLE idProperty;
} teardown;

LRESULT CALLBACK WatchTeardown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(teardown.below, hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        teardown.identifier = GetWindowLongPtrA(hwnd, GWLP_ID);
        teardown.idProperty = GetPropA(hwnd, GadgetIdProperty);
    }
    return result;
}

using GadgetRegistryTest = GadgetTest;

TEST_F(GadgetRegistryTest, ExplicitNumberGivesTheRegisteredControlHandle)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND control = AsWindow(GadgetCreateProbe(12, 0));
    ASSERT_EQ(GetParent(control), parent);
    GadgetObject* gadget = Gadget(12);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(gadget->window, control);
    EXPECT_EQ(gadget->kind, &ProbeKindTable);
    EXPECT_EQ(gadget->kindWords[0], 0x5EEDu);
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), 12);
    EXPECT_EQ(GetPropA(control, GadgetIdProperty), reinterpret_cast<HANDLE>(12));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), defaultGuiFont);
}

TEST_F(GadgetRegistryTest, ReusingANumberDestroysTheOldGadgetFirst)
{
    GadgetListUse(OpenParent());
    HWND first = AsWindow(GadgetCreateProbe(5, 0));
    HWND second = AsWindow(GadgetCreateProbe(5, 30));
    ASSERT_TRUE(first && second);
    EXPECT_FALSE(IsWindow(first));
    ASSERT_EQ(ProbeReleases.size(), 1u);
    EXPECT_EQ(ProbeReleases[0].window, first);
    EXPECT_TRUE(ProbeReleases[0].liveAtRelease);
    EXPECT_EQ(LiveGadgets(), 1);
    EXPECT_EQ(Gadget(5)->window, second);
    EXPECT_EQ(GetWindowLongPtrA(second, GWLP_ID), 5);
}

TEST_F(GadgetRegistryTest, AutoNumberHandleServesAsTheNumber)
{
    GadgetListUse(OpenParent());
    intptr_t handle = GadgetCreateProbe(AutoNumber, 0);
    GadgetObject* gadget = Gadget(handle);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(gadget), handle);
    HWND control = gadget->window;
    EXPECT_EQ(GetWindowLongPtrA(control, GWLP_ID), handle);
    EXPECT_EQ(GetPropA(control, GadgetIdProperty), reinterpret_cast<HANDLE>(handle));
    EXPECT_NE(GadgetFree(handle), 0);
    EXPECT_FALSE(IsWindow(control));
    EXPECT_EQ(ProbeReleases.size(), 1u);
    EXPECT_EQ(Gadget(handle), nullptr);
    EXPECT_EQ(GadgetFree(handle), 0);
}

TEST_F(GadgetRegistryTest, GadgetsDieWithTheirParentLeavingNoTrace)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND control = AsWindow(GadgetCreateProbe(7, 0));
    GadgetCreateProbe(8, 30);
    teardown.below = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(WatchTeardown)));
    DestroyWindow(parent);
    EXPECT_EQ(teardown.identifier, -1);
    EXPECT_EQ(teardown.idProperty, nullptr);
    ASSERT_EQ(ProbeReleases.size(), 2u);
    EXPECT_EQ((ProbeReleases[0].window == control) + (ProbeReleases[1].window == control), 1);
    EXPECT_TRUE(ProbeReleases[0].liveAtRelease && ProbeReleases[1].liveAtRelease);
    EXPECT_EQ(LiveGadgets(), 0);
}

TEST_F(GadgetRegistryTest, ControlRelabelledAsAnotherGadgetDoesNotTearThatOneDown)
{
    GadgetListUse(OpenParent());
    HWND three = AsWindow(GadgetCreateProbe(3, 0));
    HWND four = AsWindow(GadgetCreateProbe(4, 30));
    SetWindowLongPtrA(four, GWLP_ID, 3);
    DestroyWindow(four);
    EXPECT_TRUE(ProbeReleases.empty());
    EXPECT_EQ(Gadget(3)->window, three);
    ObjectTableRelease(GadgetTable, 4);  // lost its control without a teardown
}

TEST_F(GadgetRegistryTest, SlotThatCannotBeHadLeavesNoControlBehind)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;  // AutoNumber records are list nodes
    EXPECT_EQ(GadgetCreateProbe(AutoNumber, 0), 0);
    ListHeap = listHeap;
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
}

TEST_F(GadgetRegistryTest, FindRootWindowStopsAtTheLibraryWindowOrTheTop)
{
    HWND top = OpenParent();
    GadgetListUse(top);
    EXPECT_EQ(GadgetFindRootWindow(AsWindow(GadgetCreateProbe(20, 0))), top);
    EXPECT_EQ(GadgetFindRootWindow(top), top);
    HWND panel = OpenParent(top);
    HWND inner = OpenParent(panel);
    EXPECT_EQ(GadgetFindRootWindow(inner), top);
    SetPropA(panel, "Nimb_WindowID", reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(GadgetFindRootWindow(inner), panel);
    RemovePropA(panel, "Nimb_WindowID");
}

}  // namespace
