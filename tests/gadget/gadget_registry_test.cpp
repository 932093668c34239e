#include <gtest/gtest.h>

#include "runtime/core/heaps.h"
#include "tests/gadget/gadget_fixture.h"

namespace {

HWND AsWindow(intptr_t result)
{
    return reinterpret_cast<HWND>(result);
}

// Sits above GadgetWindowProc, so it sees the control after its teardown.
struct TeardownSeen {
    WNDPROC below = nullptr;
    LONG identifier = 0;
    HANDLE idProperty = nullptr;
    bool slotLive = true;
    ObjectId number = 0;
};
TeardownSeen teardown;

LRESULT CALLBACK WatchTeardown(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = CallWindowProcA(teardown.below, hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        teardown.identifier = GetWindowLongA(hwnd, GWL_ID);
        teardown.idProperty = GetPropA(hwnd, GadgetIdProperty);
        teardown.slotLive = ObjectTableLookup(GadgetTable, teardown.number) != nullptr;
    }
    return result;
}

using GadgetRegistryTest = GadgetTest;

TEST_F(GadgetRegistryTest, ExplicitNumberGivesTheRegisteredControlHandle)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND control = AsWindow(GadgetCreateProbe(12, 5, 5, 80, 24, nullptr));
    ASSERT_NE(control, nullptr);
    EXPECT_EQ(GetParent(control), parent);

    GadgetObject* gadget = Gadget(12);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(gadget->window, control);
    EXPECT_EQ(gadget->kind, &ProbeKindTable);
    EXPECT_EQ(gadget->kindWords[0], ProbeMarker);
    EXPECT_NE(gadget->previousProc, nullptr);
    EXPECT_EQ(GetWindowLongA(control, GWL_WNDPROC), reinterpret_cast<LONG>(GadgetWindowProc));
    EXPECT_EQ(GetWindowLongA(control, GWL_ID), 12);
    EXPECT_EQ(GetPropA(control, GadgetIdProperty), reinterpret_cast<HANDLE>(12));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(control, WM_GETFONT, 0, 0)), defaultGuiFont);

    // Messages still reach the button's own procedure.
    SetWindowTextA(control, "pressed");
    char text[16] = {};
    GetWindowTextA(control, text, sizeof text);
    EXPECT_STREQ(text, "pressed");

    EXPECT_EQ(ProbeKindTable.kindCode, ProbeKindCode);
    EXPECT_EQ(ProbeKindTable.tableSize, 148);
    GadgetCreateProbe(13, 5, 35, 80, 24, "again");
    EXPECT_EQ(ProbeTableFills, 1);
}

TEST_F(GadgetRegistryTest, NewGadgetsTakeTheDefaultFontOfTheirTime)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HFONT font = CreateFontA(-11, 0, 0, 0, FW_BOLD, 0, 0, 0, ANSI_CHARSET, 0, 0, 0, 0, "Tahoma");
    GadgetListState* state = GadgetListStateGet();
    state->defaultFont = font;
    HWND bold = AsWindow(GadgetCreateProbe(1, 0, 0, 50, 20, "bold"));
    state->defaultFont = defaultGuiFont;
    HWND plain = AsWindow(GadgetCreateProbe(2, 0, 30, 50, 20, "plain"));
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(bold, WM_GETFONT, 0, 0)), font);
    EXPECT_EQ(reinterpret_cast<HFONT>(SendMessageA(plain, WM_GETFONT, 0, 0)), defaultGuiFont);
    DestroyWindow(parent);
    DeleteObject(font);
}

TEST_F(GadgetRegistryTest, ReusingANumberDestroysTheOldGadgetFirst)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND first = AsWindow(GadgetCreateProbe(5, 0, 0, 50, 20, "first"));
    ASSERT_NE(first, nullptr);
    HWND second = AsWindow(GadgetCreateProbe(5, 0, 30, 50, 20, "second"));
    ASSERT_NE(second, nullptr);

    EXPECT_FALSE(IsWindow(first));
    ASSERT_EQ(ProbeReleases.size(), 1u);
    EXPECT_EQ(ProbeReleases[0].window, first);
    EXPECT_TRUE(ProbeReleases[0].liveAtRelease);
    EXPECT_EQ(LiveGadgets(), 1);
    ASSERT_NE(Gadget(5), nullptr);
    EXPECT_EQ(Gadget(5)->window, second);
    EXPECT_EQ(GetWindowLongA(second, GWL_ID), 5);
}

TEST_F(GadgetRegistryTest, AutoNumberHandleIsTheNumberEverywhere)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    intptr_t handle = GadgetCreateProbe(AutoNumber, 0, 0, 50, 20, "auto");
    ASSERT_NE(handle, 0);
    EXPECT_GE(handle, GadgetTable->capacity);
    GadgetObject* gadget = Gadget(handle);
    ASSERT_NE(gadget, nullptr);
    EXPECT_EQ(reinterpret_cast<intptr_t>(gadget), handle);
    EXPECT_EQ(GetParent(gadget->window), parent);
    EXPECT_EQ(GetWindowLongA(gadget->window, GWL_ID), handle);
    EXPECT_EQ(GetPropA(gadget->window, GadgetIdProperty), reinterpret_cast<HANDLE>(handle));

    HWND control = gadget->window;
    EXPECT_NE(GadgetFree(handle), 0);
    EXPECT_FALSE(IsWindow(control));
    ASSERT_EQ(ProbeReleases.size(), 1u);
    EXPECT_EQ(ProbeReleases[0].gadget, gadget);
    EXPECT_EQ(Gadget(handle), nullptr);
    EXPECT_EQ(GadgetFree(handle), 0);
    EXPECT_EQ(GadgetFree(44), 0);
}

TEST_F(GadgetRegistryTest, TeardownClearsIdentifierPropertyAndSlotAndReleasesOnce)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND control = AsWindow(GadgetCreateProbe(7, 0, 0, 50, 20, "gone"));
    HWND other = AsWindow(GadgetCreateProbe(8, 0, 30, 50, 20, "gone too"));
    ASSERT_TRUE(control && other);
    teardown = TeardownSeen{};
    teardown.number = 7;
    teardown.below = reinterpret_cast<WNDPROC>(
        SetWindowLongA(control, GWL_WNDPROC, reinterpret_cast<LONG>(WatchTeardown)));

    // Gadgets die with their parent window.
    DestroyWindow(parent);
    EXPECT_EQ(teardown.identifier, -1);
    EXPECT_EQ(teardown.idProperty, nullptr);
    EXPECT_FALSE(teardown.slotLive);
    ASSERT_EQ(ProbeReleases.size(), 2u);
    int controlReleases = 0;
    for (const ProbeRelease& r : ProbeReleases) {
        controlReleases += r.window == control;
        EXPECT_TRUE(r.liveAtRelease);
    }
    EXPECT_EQ(controlReleases, 1);
    EXPECT_EQ(LiveGadgets(), 0);
}

TEST_F(GadgetRegistryTest, ControlRelabelledAsAnotherGadgetDoesNotTearThatOneDown)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    HWND three = AsWindow(GadgetCreateProbe(3, 0, 0, 50, 20, "three"));
    HWND four = AsWindow(GadgetCreateProbe(4, 0, 30, 50, 20, "four"));
    ASSERT_TRUE(three && four);

    SetWindowLongA(four, GWL_ID, 3);
    SetWindowTextA(four, "still works");
    char text[16] = {};
    GetWindowTextA(four, text, sizeof text);
    EXPECT_STREQ(text, "still works");
    DestroyWindow(four);

    EXPECT_TRUE(ProbeReleases.empty());
    ASSERT_NE(Gadget(3), nullptr);
    EXPECT_EQ(Gadget(3)->window, three);
    // Gadget 4 lost its control without a teardown; clear it by hand.
    ObjectTableRelease(GadgetTable, 4);
}

TEST_F(GadgetRegistryTest, SlotThatCannotBeHadLeavesNoControlBehind)
{
    HWND parent = OpenParent();
    GadgetListUse(parent);
    // AutoNumber records are list nodes: without the ListHeap there are none.
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;
    intptr_t result = GadgetCreateProbe(AutoNumber, 0, 0, 50, 20, "none");
    ListHeap = listHeap;
    EXPECT_EQ(result, 0);
    EXPECT_EQ(GetWindow(parent, GW_CHILD), nullptr);
    EXPECT_EQ(LiveGadgets(), 0);
}

TEST_F(GadgetRegistryTest, FindRootWindowStopsAtTheLibraryWindowOrTheTop)
{
    HWND top = OpenParent();
    GadgetListUse(top);
    HWND direct = AsWindow(GadgetCreateProbe(20, 0, 0, 50, 20, "direct"));
    EXPECT_EQ(GadgetFindRootWindow(direct), top);
    EXPECT_EQ(GadgetFindRootWindow(top), top);

    HWND panel = Child(top);
    HWND inner = Child(panel, "Button");
    EXPECT_EQ(GadgetFindRootWindow(inner), top);
    SetPropA(panel, "Nimb_WindowID", reinterpret_cast<HANDLE>(1));
    EXPECT_EQ(GadgetFindRootWindow(inner), panel);
    EXPECT_EQ(GadgetFindRootWindow(panel), panel);
    RemovePropA(panel, "Nimb_WindowID");
}

TEST_F(GadgetRegistryTest, EndDestroysTheLibraryWindowAndTeardownStillWorks)
{
    HWND parent = OpenParent();
    HWND library = OpenParent();
    GadgetListUse(parent);
    ASSERT_NE(GadgetCreateProbe(9, 0, 0, 50, 20, "late"), 0);
    GadgetListStateGet()->libraryWindow = library;

    GadgetEnd();
    EXPECT_FALSE(IsWindow(library));
    EXPECT_EQ(GadgetListStateGet()->libraryWindow, nullptr);
    DestroyWindow(parent);
    EXPECT_EQ(ProbeReleases.size(), 1u);
    EXPECT_EQ(Gadget(9), nullptr);
}

}  // namespace
