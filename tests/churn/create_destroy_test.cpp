// A window with every gadget kind, coloured and given a font, made and
// destroyed a thousand times: afterwards the process holds no more
// handles, windows, shared brushes or heap bytes than after the first.
#include <gtest/gtest.h>

#include <cstdio>

#include "runtime/core/strings.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_brush_cache.h"
#include "runtime/gadget/gadget_object.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/window/window.h"
#include "tests/support/process_resources.h"
#include "tests/support/window_library.h"

namespace {

constexpr int Rounds = 1000;

struct Figures {
    DWORD handles;
    int windows;
    int brushes;
    size_t heapBytes;
};

// Bytes in use in one heap, walked; Wine keeps no other count of them.
size_t HeapBytesInUse(HANDLE heap)
{
    if (!heap)
        return 0;
    size_t bytes = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
            bytes += entry.cbData;
    }
    HeapUnlock(heap);
    return bytes;
}

Figures Measure()
{
    Figures f = {};
    ProcessResources process = {};
    EXPECT_TRUE(ProcessResourcesRead(GetCurrentProcess(), GetCurrentProcessId(), process));
    f.handles = process.handles;
    f.windows = process.windows;
    for (ListNode* node = GadgetBrushCache; node; node = node->older)
        ++f.brushes;
    f.heapBytes = HeapBytesInUse(MainHeap) + HeapBytesInUse(ListHeap) + HeapBytesInUse(StringHeap);
    return f;
}

GadgetObject* Gadget(ObjectId number)
{
    return static_cast<GadgetObject*>(ObjectTableLookup(GadgetTable, number));
}

// Colours from a short list, so that gadgets share and give back brushes.
COLORREF Colour(int round, int gadget)
{
    static const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 120, 0), RGB(0, 0, 160), RGB(240, 240, 200)};
    return colours[(round + gadget) % 4];
}

// One window of every kind, half of them under AutoNumber.
void Round(int round)
{
    const intptr_t opened = WindowOpen(round % 2 ? AutoNumber : 3, 10, 10, 300, 300, "churn", WindowHidden);
    ASSERT_NE(opened, 0);
    const ObjectId font = FontLoad(AutoNumber, "Arial", 8 + round % 6);
    ASSERT_NE(font, 0);
    intptr_t (*const creators[])(ObjectId, int, int, int, int, const char*, uint32_t) = {
        GadgetCreateText, GadgetCreateButton, GadgetCreateCheckBox, GadgetCreateFrame, GadgetCreateString};
    ObjectId gadgets[7];
    gadgets[0] = GadgetCreateEditor(round % 2 ? AutoNumber : 0, 0, 0, 100, 60, 0);
    gadgets[1] = GadgetCreateComboBox(round % 2 ? AutoNumber : 1, 0, 70, 100, 80, 0);
    for (int i = 0; i < 5; ++i)
        gadgets[2 + i] = creators[i](round % 2 ? AutoNumber : 2 + i, 110, 25 * i, 100, 20, "churn", 0);
    for (int i = 0; i < 7; ++i) {
        ObjectId number = round % 2 ? gadgets[i] : i;
        ASSERT_NE(gadgets[i], 0) << "kind " << i;
        GadgetObject* gadget = Gadget(number);
        ASSERT_NE(gadget, nullptr);
        GadgetSetFont(number, FontHandle(font) ? reinterpret_cast<intptr_t>(FontHandle(font)) : -1);
        // Kinds without colours have no routine.
        if (gadget->kind->setColor) {
            gadget->kind->setColor(gadget, ColorFront, Colour(round, i));
            gadget->kind->setColor(gadget, ColorBack, Colour(round, i + 1));
        }
        GadgetAddItem(number, -1, "item");
        GadgetSetText(number, "text");
    }
    WindowClose(round % 2 ? opened : 3);
    FontRelease(font);
    DrainEvents();
}

TEST(CreateAndDestroy, AThousandWindowsOfEveryKindLeaveNothingBehind)
{
    EnsureWindowLibrary();
    FontInit();
    StringInit();
    Round(0);
    Round(1);
    const Figures start = Measure();
    for (int round = 0; round < Rounds && !HasFatalFailure(); ++round)
        Round(round);
    const Figures end = Measure();
    printf("create and destroy, %d rounds: handles %lu -> %lu, windows %d -> %d, brushes %d -> %d, "
           "heap bytes %zu -> %zu\n",
           Rounds, static_cast<unsigned long>(start.handles), static_cast<unsigned long>(end.handles),
           start.windows, end.windows, start.brushes, end.brushes, start.heapBytes, end.heapBytes);
    EXPECT_EQ(end.handles, start.handles);
    EXPECT_EQ(end.windows, start.windows);
    EXPECT_EQ(end.brushes, start.brushes);
    EXPECT_EQ(end.heapBytes, start.heapBytes);
}

}  // namespace
