// The gadget frame's tests: a kind of their own, made through the common
// creation pattern (a push button whose Release records each call), and
// hidden parent windows made with plain CreateWindowExA.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/instance.h"
#include "runtime/gadget/gadget_creation.h"
#include "runtime/gadget/gadget_list.h"
#include "runtime/gadget/gadget_registry.h"
#include "tests/support/runtime_heaps.h"
#include "tests/win32_printers.h"

struct ProbeRelease {
    HWND window;
    bool liveAtRelease;  // the record was still registered when Release ran
};

inline GadgetKindTable ProbeKindTable;
inline int ProbeTableFills;
inline std::vector<ProbeRelease> ProbeReleases;
// Noted by the parents' own procedure, which runs after the gadget list's
// teardown on WM_NCDESTROY: whether the list record was still attached.
inline std::vector<bool> ListRecordSeenAtEnd;

inline void ProbeReleaseRoutine(GadgetObject* gadget)
{
    ObjectId number = GetWindowLongPtrA(gadget->window, GWLP_ID);
    ProbeReleases.push_back({gadget->window, ObjectTableLookup(GadgetTable, number) == gadget});
}

inline intptr_t GadgetCreateProbe(ObjectId number, int y, const char* text = "probe")
{
    if (!ProbeTableFills++) {
        GadgetKindTableReset(&ProbeKindTable, 99);
        ProbeKindTable.release = ProbeReleaseRoutine;
    }
    HWND control = GadgetCreateWindow(0, "Button", text, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, 0, y, 80, 20);
    if (!control)
        return 0;
    GadgetObject* object = GadgetAllocate(number, control);
    if (!object)
        return 0;
    object->kindWords[0] = 0x5EED;
    return GadgetRegister(number, object, control, &ProbeKindTable);
}

inline LRESULT CALLBACK ProbeParentProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCDESTROY)
        ListRecordSeenAtEnd.push_back(GetPropA(window, GadgetListProperty().text) != nullptr);
    return DefWindowProcA(window, message, wParam, lParam);
}

class GadgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!GadgetTable) {
            EnsureRuntimeHeaps();
            InstanceHandle = GetModuleHandleA(nullptr);
            GadgetInit();
            WNDCLASSA windowClass = {};
            windowClass.lpfnWndProc = ProbeParentProc;
            windowClass.lpszClassName = "KeyvaneGadgetTestParent";
            RegisterClassA(&windowClass);
        }
        ProbeReleases.clear();
        ListRecordSeenAtEnd.clear();
    }

    void TearDown() override
    {
        for (HWND w : parents)
            DestroyWindow(w);
        EXPECT_EQ(GadgetListStateGet()->frame.current, nullptr);
        EXPECT_EQ(LiveGadgets(), 0);
    }

    // Hidden, so that no window of these tests takes the foreground.
    HWND OpenParent(HWND parent = nullptr)
    {
        HWND w = CreateWindowExA(0, "KeyvaneGadgetTestParent", "", parent ? WS_CHILD : WS_OVERLAPPEDWINDOW, 0, 0,
                                 400, 300, parent, nullptr, nullptr, nullptr);
        if (!parent)
            parents.push_back(w);
        return w;
    }

    static int LiveGadgets()
    {
        int live = 0;
        ObjectId id = 0;
        ObjectTableIterateBegin(GadgetTable);
        while (ObjectTableIterateNext(GadgetTable, &id))
            ++live;
        return live;
    }

    static GadgetObject* Gadget(ObjectId number)
    {
        return static_cast<GadgetObject*>(ObjectTableLookup(GadgetTable, number));
    }

    std::vector<HWND> parents;
};
