#include <richedit.h>

#include <functional>
#include <string>

#include "runtime/core/heaps.h"
#include "runtime/gadget/gadget_brush_cache.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "runtime/gadget/gadget_registry.h"
#include "tests/gadget/gadget_kind_fixture.h"

namespace {

using GadgetOperationTest = GadgetKindTest;

// The editor's lines through its own routines, joined with "|".
std::string Lines(GadgetObject* editor)
{
    std::string lines;
    const int32_t count = editor->kind->countItems(editor);
    for (int32_t line = 0; line < count; ++line) {
        lines += line ? "|" : "";
        lines += GadgetKindTest::Result(
            [&](int32_t position) { editor->kind->getItemText(editor, line, 0, position); });
    }
    return std::to_string(count) + ":" + lines;
}

struct LineStep {
    const char* label;
    std::function<void(ObjectId, GadgetObject*)> apply;
    const char* lines;  // count, then the lines
};

TEST_F(GadgetOperationTest, EditorKeepsItsTextAsLines)
{
    const LineStep steps[] = {
        {"new", [](ObjectId, GadgetObject*) {}, "0:"},
        {"empty line on empty editor", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, ""); }, "1:"},
        {"next line writes the empty one out", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, "b"); }, "2:|b"},
        {"before the first line", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, 0, "a"); }, "3:a||b"},
        {"past the end appends", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, 40, "z"); }, "4:a||b|z"},
        {"remove a middle line", [](ObjectId, GadgetObject* g) { g->kind->removeItem(g, 1); }, "3:a|b|z"},
        {"replace a line", [](ObjectId, GadgetObject* g) { g->kind->setItemText(g, 1, "Bee", 0); }, "3:a|Bee|z"},
        {"remove the last line", [](ObjectId, GadgetObject* g) { g->kind->removeItem(g, 2); }, "2:a|Bee"},
        {"remove a line that is not there", [](ObjectId, GadgetObject* g) { g->kind->removeItem(g, 5); }, "2:a|Bee"},
        {"set the whole text", [](ObjectId n, GadgetObject*) { GadgetSetText(n, "x\ny"); }, "2:x|y"},
        {"null text clears", [](ObjectId n, GadgetObject*) { GadgetSetText(n, nullptr); }, "0:"},
        {"the empty state starts over", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, ""); }, "1:"},
        {"before the held empty line", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, 0, "h"); }, "2:h|"},
        {"after it", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, "t"); }, "3:h||t"},
        {"empty text clears", [](ObjectId n, GadgetObject*) { GadgetSetText(n, ""); }, "0:"},
        {"one empty line again", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, ""); }, "1:"},
        {"removing the only line", [](ObjectId, GadgetObject* g) { g->kind->removeItem(g, 0); }, "0:"},
        {"plain append", [](ObjectId n, GadgetObject*) { GadgetAddItem(n, -1, "p"); }, "1:p"},
    };
    ASSERT_NE(GadgetCreateEditor(3, 0, 0, 200, 120, 0), 0);
    GadgetObject* editor = Gadget(3);
    for (const LineStep& step : steps) {
        step.apply(3, editor);
        EXPECT_EQ(Lines(editor), step.lines) << step.label;
    }
    EXPECT_EQ(Result([&](int32_t position) { editor->kind->getText(editor, position); }), "p");
    EXPECT_EQ(GadgetGetState(3), 0);
}

TEST_F(GadgetOperationTest, EditorReadOnlyAttribute)
{
    GadgetCreateEditor(1, 0, 0, 200, 80, EditorReadOnly);
    GadgetObject* editor = Gadget(1);
    EXPECT_EQ(editor->kind->getAttribute(editor, EditorReadOnly), 1);
    editor->kind->setAttribute(editor, EditorReadOnly, 0);
    EXPECT_FALSE(SendMessageA(editor->window, EM_GETOPTIONS, 0, 0) & ECO_READONLY);
    EXPECT_EQ(editor->kind->getAttribute(editor, EditorReadOnly), 0);
}

TEST_F(GadgetOperationTest, EditorColoursOutliveAFontChange)
{
    const COLORREF red = RGB(200, 0, 0), navy = RGB(0, 0, 90);
    GadgetCreateEditor(1, 0, 0, 200, 80, 0);
    GadgetAddItem(1, -1, "coloured");
    GadgetObject* editor = Gadget(1);
    editor->kind->setColor(editor, ColorFront, red);
    editor->kind->setColor(editor, ColorBack, navy);
    GadgetSetFont(1, reinterpret_cast<intptr_t>(GetStockObject(ANSI_FIXED_FONT)));

    CHARFORMATA format = {};
    format.cbSize = sizeof format;
    SendMessageA(editor->window, EM_SETSEL, 0, -1);
    SendMessageA(editor->window, EM_GETCHARFORMAT, SCF_SELECTION, reinterpret_cast<LPARAM>(&format));
    EXPECT_EQ(format.crTextColor, red);
    EXPECT_FALSE(format.dwEffects & CFE_AUTOCOLOR);
    // Setting the same background again answers the one it had.
    EXPECT_EQ(static_cast<COLORREF>(SendMessageA(editor->window, EM_SETBKGNDCOLOR, 0, navy)), navy);
    EXPECT_EQ(editor->kind->getColor(editor, ColorFront), static_cast<int32_t>(red));
    EXPECT_EQ(editor->kind->getColor(editor, 3), -1);
}

std::string Items(GadgetObject* combo)
{
    std::string items;
    for (int32_t i = 0; i < combo->kind->countItems(combo); ++i)
        items += GadgetKindTest::Result([&](int32_t position) { combo->kind->getItemText(combo, i, 0, position); }) +
                 " ";
    return items;
}

TEST_F(GadgetOperationTest, ComboBoxItemsAndSelection)
{
    GadgetCreateComboBox(1, 0, 0, 100, 20, 0);
    GadgetObject* combo = Gadget(1);
    GadgetSetState(1, 0);
    EXPECT_EQ(GadgetGetState(1), -1) << "an empty box has nothing to select";
    for (const char* item : {"one", "two", "three"})
        GadgetAddItem(1, -1, item);
    GadgetAddItem(1, -2, "ignored");
    EXPECT_EQ(Items(combo), "one two three ");

    struct {
        const char* text;
        int32_t selected;
    } const selections[] = {{"two", 1}, {"tw", 1}, {"TWO", 1}, {"three", 2}, {"", -1}, {nullptr, -1}};
    for (const auto& s : selections) {
        GadgetSetText(1, s.text);
        EXPECT_EQ(GadgetGetState(1), s.selected) << (s.text ? s.text : "null");
    }

    combo->kind->setItemData(combo, 1, 77);
    EXPECT_NE(combo->kind->setItemText(combo, 1, "TWO", 0), -1);
    EXPECT_EQ(Items(combo), "one TWO three ");
    EXPECT_EQ(combo->kind->getItemData(combo, 1), 77);
    EXPECT_EQ(combo->kind->setItemText(combo, 3, "four", 0), -1);
    EXPECT_EQ(Items(combo), "one TWO three ");
    EXPECT_EQ(Result([&](int32_t position) { combo->kind->getItemText(combo, 9, 0, position); }), "");
}

TEST_F(GadgetOperationTest, ButtonAndCheckBoxStates)
{
    GadgetCreateCheckBox(1, 0, 0, 80, 20, "c");
    GadgetCreateButton(2, 0, 30, 80, 20, "3-state", BS_AUTO3STATE);
    GadgetCreateButton(3, 0, 60, 80, 20, "push");
    for (ObjectId n : {1, 2}) {
        EXPECT_EQ(GadgetSetState(n, 2), 0);
        EXPECT_EQ(SendMessageA(Control(n), BM_GETCHECK, 0, 0), BST_CHECKED) << n;
        EXPECT_EQ(GadgetGetState(n), 1) << n;
        GadgetSetState(n, 0);
        EXPECT_EQ(GadgetGetState(n), 0) << n;
    }
    SendMessageA(Control(2), BM_SETCHECK, BST_INDETERMINATE, 0);
    EXPECT_EQ(GadgetGetState(2), 0) << "indeterminate";
    SendMessageA(Control(1), BM_CLICK, 0, 0);
    EXPECT_EQ(GadgetGetState(1), 1) << "clicked";
    EXPECT_EQ(GadgetAddItem(3, -1, "x"), 0) << "no items";
}

TEST_F(GadgetOperationTest, DisableAndEnable)
{
    GadgetCreateString(1, 0, 0, 80, 20, "s");
    EXPECT_EQ(GadgetDisable(1, 1), 0);
    EXPECT_FALSE(IsWindowEnabled(Control(1)));
    EXPECT_NE(GadgetDisable(1, 0), 0) << "was disabled";
    EXPECT_TRUE(IsWindowEnabled(Control(1)));
}

HFONT FontOf(ObjectId number)
{
    return reinterpret_cast<HFONT>(SendMessageA(GadgetKindTest::Control(number), WM_GETFONT, 0, 0));
}

TEST_F(GadgetOperationTest, FontForLaterGadgetsAndForOne)
{
    const auto fixed = reinterpret_cast<intptr_t>(GetStockObject(ANSI_FIXED_FONT));
    GadgetCreateText(1, 0, 0, 80, 20, "before");
    GadgetSetFont(AutoNumber, fixed);
    GadgetCreateText(2, 0, 30, 80, 20, "after");
    GadgetSetFont(AutoNumber, -1);
    GadgetCreateText(3, 0, 60, 80, 20, "reset");
    EXPECT_EQ(FontOf(1), defaultGuiFont);
    EXPECT_EQ(reinterpret_cast<intptr_t>(FontOf(2)), fixed);
    EXPECT_EQ(FontOf(3), defaultGuiFont);
    GadgetSetFont(2, -1);
    EXPECT_EQ(FontOf(2), defaultGuiFont);
}

LRESULT AskColours(HWND parent, UINT message, HWND control, HDC dc)
{
    return SendMessageA(parent, message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

TEST_F(GadgetOperationTest, TextsOfOneBackgroundShareOneBrush)
{
    const COLORREF teal = RGB(0, 128, 128);
    GadgetCreateText(1, 0, 0, 80, 20, "a");
    GadgetCreateText(2, 0, 30, 80, 20, "b");
    GadgetObject* a = Gadget(1);
    GadgetObject* b = Gadget(2);
    a->kind->setColor(a, ColorBack, teal);
    b->kind->setColor(b, ColorBack, teal);
    HBRUSH shared = BackBrushGet(a);
    ASSERT_NE(shared, nullptr);
    EXPECT_EQ(BackBrushGet(b), shared);
    HDC dc = GetDC(window);
    EXPECT_EQ(AskColours(window, WM_CTLCOLORSTATIC, a->window, dc), reinterpret_cast<LRESULT>(shared));
    EXPECT_EQ(GetBkColor(dc), teal);
    ReleaseDC(window, dc);

    a->kind->setColor(a, ColorBack, -1);
    EXPECT_EQ(BackBrushGet(a), nullptr);
    EXPECT_EQ(a->kind->getColor(a, ColorBack), -1);
    EXPECT_EQ(GetObjectType(shared), static_cast<DWORD>(OBJ_BRUSH)) << "b still holds it";
    GadgetFree(2);
    EXPECT_EQ(GetObjectType(shared), 0u) << "the last holder let go";
    EXPECT_EQ(GadgetBrushCache, nullptr);
}

TEST_F(GadgetOperationTest, ColourAnswersOfTextAndString)
{
    const COLORREF plum = RGB(90, 0, 90);
    GadgetCreateText(1, 0, 0, 80, 20, "t");
    GadgetCreateString(2, 0, 30, 80, 20, "s");
    HDC dc = GetDC(window);
    struct {
        ObjectId number;
        UINT message;
        bool enabled;
        LRESULT brush;  // 0: left to the parent, which answers no brush of ours
    } const cases[] = {
        {1, WM_CTLCOLORSTATIC, true, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE))},
        {2, WM_CTLCOLOREDIT, true, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNHIGHLIGHT))},
        {2, WM_CTLCOLORSTATIC, true, reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNHIGHLIGHT))},
        {2, WM_CTLCOLORSTATIC, false, 0},
    };
    for (const auto& c : cases) {
        GadgetObject* gadget = Gadget(c.number);
        gadget->kind->setColor(gadget, ColorFront, plum);
        EnableWindow(gadget->window, c.enabled);
        SetTextColor(dc, 0);
        LRESULT answer = AskColours(window, c.message, gadget->window, dc);
        if (c.brush) {
            EXPECT_EQ(answer, c.brush) << c.number << " " << c.message;
            EXPECT_EQ(GetTextColor(dc), plum) << c.number;
        } else {
            EXPECT_NE(GetTextColor(dc), plum) << "a disabled string keeps the system look";
        }
    }
    ReleaseDC(window, dc);
}

TEST_F(GadgetOperationTest, NoBrushToBeHadLeavesTheColourWithoutOne)
{
    GadgetCreateText(1, 0, 0, 80, 20, "t");
    GadgetObject* text = Gadget(1);
    HANDLE heap = ListHeap;
    ListHeap = nullptr;
    text->kind->setColor(text, ColorBack, RGB(1, 2, 3));
    ListHeap = heap;
    EXPECT_EQ(BackBrushGet(text), nullptr);
    EXPECT_EQ(text->kind->getColor(text, ColorBack), static_cast<int32_t>(RGB(1, 2, 3)));
    EXPECT_EQ(GadgetBrushCache, nullptr);
}

TEST_F(GadgetOperationTest, DeadNumbersAreLeftAlone)
{
    const intptr_t stale = GadgetCreateButton(AutoNumber, 0, 0, 80, 20, "gone");
    GadgetFree(stale);
    GadgetCreateButton(5, 0, 0, 80, 20, "freed");
    GadgetFree(5);
    GadgetObject foreign = {window, nullptr, nullptr, {}};
    const ObjectId dead[] = {5, 300, stale, reinterpret_cast<ObjectId>(&foreign), -7};
    const std::function<int32_t(ObjectId)> operations[] = {
        [](ObjectId n) { return GadgetSetText(n, "x"); },
        [](ObjectId n) { return GadgetSetFont(n, reinterpret_cast<intptr_t>(GetStockObject(ANSI_FIXED_FONT))); },
        [](ObjectId n) { return GadgetAddItem(n, -1, "x"); },
        [](ObjectId n) { return GadgetDisable(n, 1); },
        [](ObjectId n) { return GadgetSetState(n, 1); },
        [](ObjectId n) { return GadgetGetState(n); },
    };
    char title[16] = "";
    for (ObjectId n : dead)
        for (const auto& operation : operations)
            EXPECT_EQ(operation(n), 0) << n;
    GetWindowTextA(window, title, sizeof title);
    EXPECT_STREQ(title, "Gadgets");
    EXPECT_TRUE(IsWindowEnabled(window));
    EXPECT_EQ(GadgetListStateGet()->defaultFont, defaultGuiFont);
}

}  // namespace
