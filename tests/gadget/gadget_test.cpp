#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/core/heaps.h"
#include "runtime/core/result_buffer.h"
#include "runtime/core/strings.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_brush_cache.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "tests/support/window_library.h"
#include "tests/win32_printers.h"

// The library makes its brushes through this import slot, filled here so
// that a creation can fail.
static bool failBrush;
static HBRUSH WINAPI CreateBrushOrFail(COLORREF colour)
{
    static auto real = reinterpret_cast<decltype(&CreateSolidBrush)>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("gdi32.dll"), "CreateSolidBrush")));
    return failBrush ? nullptr : real(colour);
}
extern "C" {
#ifdef _WIN64
decltype(&CreateSolidBrush) createBrushImport asm("__imp_CreateSolidBrush") = CreateBrushOrFail;
#else
decltype(&CreateSolidBrush) createBrushImport asm("__imp__CreateSolidBrush@4") = CreateBrushOrFail;
#endif
}

namespace {

class GadgetTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureWindowLibrary();
        StringInit();
        window = reinterpret_cast<HWND>(WindowOpen(0, 50, 50, 400, 300, "Gadgets", WS_SYSMENU));
    }
    void TearDown() override
    {
        WindowEndAll();
        DrainEvents();
        ObjectId id = 0;
        ObjectTableIterateBegin(GadgetTable);
        EXPECT_EQ(ObjectTableIterateNext(GadgetTable, &id), nullptr) << "a gadget outlived its window";
        EXPECT_EQ(GadgetBrushCache, nullptr);
    }

    // An editor line by the result protocol.
    static std::string Line(GadgetObject* editor, int32_t line)
    {
        const int32_t position = ResultBuffer.resultUsed;
        editor->kind->getItemText(editor, line, 0, position);
        ResultBuffer.resultUsed = position;
        return ResultBuffer.resultBase + position;
    }

    HWND window = nullptr;
};

TEST_F(GadgetTest, EditorKeepsItsTextAsLines)
{
    const struct {
        const char* what;
        void (*apply)(GadgetObject* editor);
        const char* lines;  // the count, then the lines
    } steps[] = {
        {"an empty line in an empty editor", [](GadgetObject*) { GadgetAddItem(3, -1, ""); }, "1:"},
        {"the next line writes it out", [](GadgetObject*) { GadgetAddItem(3, -1, "b"); }, "2:|b"},
        {"before the first line", [](GadgetObject*) { GadgetAddItem(3, 0, "a"); }, "3:a||b"},
        {"past the end appends", [](GadgetObject*) { GadgetAddItem(3, 40, "z"); }, "4:a||b|z"},
        {"a middle line removed", [](GadgetObject* g) { g->kind->removeItem(g, 1); }, "3:a|b|z"},
        {"a line replaced", [](GadgetObject* g) { g->kind->setItemText(g, 1, "Bee", 0); }, "3:a|Bee|z"},
        {"the last line removed", [](GadgetObject* g) { g->kind->removeItem(g, 2); }, "2:a|Bee"},
        {"a missing line removed", [](GadgetObject* g) { g->kind->removeItem(g, 5); }, "2:a|Bee"},
        {"line -1 removed, the caret on line 0",
         [](GadgetObject* g) { SendMessageA(g->window, EM_SETSEL, 0, 0), g->kind->removeItem(g, -1); }, "2:a|Bee"},
        {"a null text clears", [](GadgetObject*) { GadgetSetText(3, nullptr); }, "0:"},
        {"one empty line again", [](GadgetObject*) { GadgetAddItem(3, -1, ""); }, "1:"},
        {"an insertion before it", [](GadgetObject*) { GadgetAddItem(3, 0, "h"); }, "2:h|"},
        {"then an append", [](GadgetObject*) { GadgetAddItem(3, -1, "t"); }, "3:h||t"},
        {"the whole text set", [](GadgetObject*) { GadgetSetText(3, "x\ny"); }, "2:x|y"},
        {"both lines removed", [](GadgetObject* g) { g->kind->removeItem(g, 1), g->kind->removeItem(g, 0); }, "0:"},
    };
    ASSERT_NE(GadgetCreateEditor(3, 0, 0, 200, 120, 0), 0);
    GadgetObject* editor = GadgetLookup(3);
    for (const auto& step : steps) {
        step.apply(editor);
        std::string lines = std::to_string(editor->kind->countItems(editor)) + ":";
        for (int32_t i = 0; i < editor->kind->countItems(editor); ++i)
            lines += (i ? "|" : "") + Line(editor, i);
        EXPECT_EQ(lines, step.lines) << step.what;
    }

    // EM_GETLINE takes its buffer's size from a 16-bit word, which must not
    // wrap: 65,533 characters, their line break and the terminating zero.
    const std::string line(65533, 'q');
    GadgetSetText(3, ("a\n" + line + "\nb").c_str());
    const std::string got = Line(editor, 1);
    EXPECT_TRUE(got == line) << got.size() << " characters";
}

// A brush that cannot be had leaves the colour without one, and the next
// request tries again.
TEST_F(GadgetTest, BackgroundWithoutABrush)
{
    GadgetCreateText(1, 0, 0, 80, 20, "t");
    GadgetObject* text = GadgetLookup(1);
    HANDLE listHeap = ListHeap;
    for (bool noEntry : {true, false}) {
        SCOPED_TRACE(noEntry ? "no cache entry" : "no brush");
        ListHeap = noEntry ? nullptr : listHeap;
        failBrush = !noEntry;
        text->kind->setColor(text, ColorBack, RGB(1, 2, 3));
        ListHeap = listHeap;
        failBrush = false;
        EXPECT_EQ(BackBrushGet(text), nullptr);
        EXPECT_EQ(text->kind->getColor(text, ColorBack), static_cast<int32_t>(RGB(1, 2, 3)));
        EXPECT_EQ(GadgetBrushCache, nullptr);
        text->kind->setColor(text, ColorBack, RGB(1, 2, 4));
        EXPECT_NE(BackBrushGet(text), nullptr);
        text->kind->setColor(text, ColorBack, -1);
    }
}

// Creation answers 0 and changes nothing when no slot can be had or there
// is no current gadget list; an operation on a number of no live gadget
// answers 0 and does nothing.
TEST_F(GadgetTest, FailuresChangeNothing)
{
    HWND kept = reinterpret_cast<HWND>(GadgetCreateButton(3, 0, 0, 80, 20, "kept"));
    const std::function<intptr_t(ObjectId)> creations[] = {
        [](ObjectId n) { return GadgetCreateEditor(n, 0, 0, 80, 20, 0); },
        [](ObjectId n) { return GadgetCreateComboBox(n, 0, 0, 80, 20, 0); },
        [](ObjectId n) { return GadgetCreateText(n, 0, 0, 80, 20, "x"); },
        [](ObjectId n) { return GadgetCreateButton(n, 0, 0, 80, 20, "x"); },
        [](ObjectId n) { return GadgetCreateCheckBox(n, 0, 0, 80, 20, "x"); },
        [](ObjectId n) { return GadgetCreateFrame(n, 0, 0, 80, 20, "x"); },
        [](ObjectId n) { return GadgetCreateString(n, 0, 0, 80, 20, "x"); },
    };
    HANDLE listHeap = ListHeap, mainHeap = MainHeap;
    for (const auto& create : creations) {
        ListHeap = nullptr;  // AutoNumber records are list nodes
        EXPECT_EQ(create(AutoNumber), 0);
        ListHeap = listHeap, MainHeap = nullptr;  // the table cannot grow to a far number
        EXPECT_EQ(create(5000), 0);
        MainHeap = mainHeap;
    }
    EXPECT_EQ(GetWindow(kept, GW_HWNDNEXT), nullptr);
    EXPECT_EQ(GetWindow(kept, GW_HWNDPREV), nullptr);

    const intptr_t stale = GadgetCreateButton(AutoNumber, 0, 0, 80, 20, "gone");
    GadgetFree(stale);
    GadgetObject foreign = {window, nullptr, nullptr, {}};
    const std::function<int32_t(ObjectId)> operations[] = {
        [](ObjectId n) { return GadgetSetText(n, "x"); },
        [](ObjectId n) { return GadgetSetFont(n, reinterpret_cast<intptr_t>(GetStockObject(ANSI_FIXED_FONT))); },
        [](ObjectId n) { return GadgetAddItem(n, -1, "x"); },
        [](ObjectId n) { return GadgetDisable(n, 1); },
        [](ObjectId n) { return GadgetSetState(n, 1); },
        [](ObjectId n) { return GadgetGetState(n); },
        [](ObjectId n) { return GadgetFree(n); },
    };
    for (ObjectId n : {ObjectId{300}, stale, reinterpret_cast<ObjectId>(&foreign), ObjectId{-7}})
        for (const auto& operation : operations)
            EXPECT_EQ(operation(n), 0) << n;
    char title[16] = "";
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Gadgets");
    EXPECT_TRUE(IsWindowEnabled(window));

    // A second window is the current gadget list until it closes.
    WindowOpen(1, 0, 0, 100, 100, "list", WindowHidden);
    WindowClose(1);
    for (ObjectId n : {ObjectId{3}, ObjectId{AutoNumber}, ObjectId{200}})
        for (const auto& create : creations)
            EXPECT_EQ(create(n), 0) << n;
    EXPECT_EQ(GadgetLookup(3)->window, kept);
}

}  // namespace
