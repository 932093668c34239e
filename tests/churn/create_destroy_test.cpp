// A window with every gadget kind, coloured and given a font, made and
// destroyed a thousand times leaves no handle, window or heap byte behind.
#include <gtest/gtest.h>

#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/core/strings.h"
#include "runtime/font/font.h"
#include "runtime/gadget/gadget.h"
#include "harness/process_resources.h"
#include "tests/support/runtime_start.h"

namespace {

// Handles, windows and the bytes in use in the runtime's heaps (walked: Wine
// keeps no other count of them), where a shared brush also keeps its node.
std::vector<size_t> Figures()
{
    ProcessResources process = {};
    EXPECT_TRUE(ProcessResourcesRead(GetCurrentProcess(), GetCurrentProcessId(), process));
    std::vector<size_t> figures = {process.handles, static_cast<size_t>(process.windows), 0};
    for (HANDLE heap : {MainHeap, ListHeap, StringHeap}) {
        PROCESS_HEAP_ENTRY entry = {};
        while (HeapWalk(heap, &entry))
            figures[2] += entry.wFlags & PROCESS_HEAP_ENTRY_BUSY ? entry.cbData : 0;
    }
    return figures;
}

// Odd rounds under AutoNumber, even ones under numbers; four colours, so
// that gadgets share brushes and give them back.
void Round(int round)
{
    const bool numbered = round % 2 == 0;
    auto number = [numbered](ObjectId n) { return numbered ? n : AutoNumber; };
    const intptr_t window = WindowOpen(number(3), 10, 10, 300, 300, "churn", WindowHidden);
    const ObjectId font = FontLoad(AutoNumber, "Arial", 8 + round % 6);
    ASSERT_TRUE(window && font && FontHandle(font));
    intptr_t (*const withText[])(ObjectId, int, int, int, int, const char*, uint32_t) = {
        GadgetCreateText, GadgetCreateButton, GadgetCreateCheckBox, GadgetCreateFrame, GadgetCreateString};
    intptr_t gadgets[7] = {GadgetCreateEditor(number(0), 0, 0, 100, 60, 0),
                           GadgetCreateComboBox(number(1), 0, 70, 100, 80, 0)};
    for (int i = 0; i < 5; ++i)
        gadgets[2 + i] = withText[i](number(2 + i), 110, 25 * i, 100, 20, "churn", 0);
    static const COLORREF colours[] = {RGB(200, 0, 0), RGB(0, 120, 0), RGB(0, 0, 160), RGB(240, 240, 200)};
    for (ObjectId i = 0; i < 7; ++i) {
        const ObjectId id = numbered ? i : gadgets[i];
        GadgetObject* gadget = GadgetLookup(id);
        ASSERT_TRUE(gadgets[i] && gadget) << "kind " << i;
        GadgetSetFont(id, reinterpret_cast<intptr_t>(FontHandle(font)));
        if (gadget->kind->setColor) {  // kinds without colours have no routine
            gadget->kind->setColor(gadget, ColorFront, colours[(round + i) % 4]);
            gadget->kind->setColor(gadget, ColorBack, colours[(round + i + 1) % 4]);
        }
        GadgetAddItem(id, -1, "item");
        GadgetSetText(id, "text");
    }
    WindowClose(numbered ? 3 : window);
    FontRelease(font);
    DrainEvents();
}

TEST(CreateAndDestroy, AThousandWindowsOfEveryKindLeaveNothingBehind)
{
    EnsureRuntime();
    Round(0);
    Round(1);
    const std::vector<size_t> start = Figures();
    for (int round = 0; round < 1000 && !HasFatalFailure(); ++round)
        Round(round);
    EXPECT_EQ(Figures(), start) << "handles, windows, heap bytes";
}

}  // namespace
