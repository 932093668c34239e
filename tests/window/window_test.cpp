#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/core/result_buffer.h"
#include "runtime/gadget/gadget.h"
#include "runtime/gadget/gadget_brush_cache.h"
#include "runtime/gadget/gadget_kind_words.h"
#include "runtime/window/live_sizing.h"
#include "runtime/window/message_box.h"
#include "tests/support/import_slot.h"
#include "tests/support/runtime_start.h"

// The library makes its brushes through the import slot, so that a
// creation can fail.
static bool failBrush;
static HBRUSH WINAPI CreateBrushOrFail(COLORREF colour)
{
    static auto real = SystemFunction(&CreateSolidBrush, "gdi32.dll", "CreateSolidBrush");
    return failBrush ? nullptr : real(colour);
}
KEYVANE_REPLACE_IMPORT(CreateSolidBrush, 4, CreateBrushOrFail);

namespace {

struct WindowTest : ::testing::Test {
    void SetUp() override
    {
        EnsureRuntime();
        DrainEvents();
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
    HWND Child(HWND parent, const char* cls, DWORD style, int y, intptr_t id = 0)
    {
        return CreateWindowExA(0, cls, "", WS_CHILD | style, 10, y, 100, 24, parent, reinterpret_cast<HMENU>(id),
                               InstanceHandle, nullptr);
    }
};

// Keys, a message box's owner and activation events follow the foreground,
// which Wine may give a new window late (after another program's window had
// it): a test takes it and waits, serving the queue before each look.
bool TakeForeground(HWND w)
{
    for (int i = 0; i < 200 && (DrainEvents(), GetForegroundWindow() != w); ++i, Sleep(10))
        SetForegroundWindow(w);
    return GetForegroundWindow() == w;
}

// The codes of the waits after one posted message, and the source and type
// the last leaves behind. Queued events come back before new messages.
TEST_F(WindowTest, PostedMessagesGiveTheirEventsInOrder)
{
    HWND w = reinterpret_cast<HWND>(WindowOpen(0, 50, 50, 300, 200, "Events", WS_SYSMENU));
    HWND button = Child(w, "BUTTON", WS_VISIBLE, 10, 36);
    HWND relay = Child(w, "BUTTON", 0, 40, -10000);
    ASSERT_TRUE(TakeForeground(w));
    const int click = static_cast<int>(ItemClickMessage);
    const struct {
        const char* what;
        HWND target;  // none: no message
        UINT message;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<int> codes;
        intptr_t source;
        int type;
    } rows[] = {
        {"a button click", button, BM_CLICK, 0, 0, {GadgetEvent}, 36, BN_CLICKED},
        {"a command from the menu relay", w, WM_COMMAND, MAKEWPARAM(4321, BN_CLICKED),
         reinterpret_cast<LPARAM>(relay), {MenuEvent}, 4321, BN_CLICKED},
        {"a menu item", w, WM_COMMAND, MAKEWPARAM(77, 0), 0, {MenuEvent}, 77, -1},
        {"an item click, reposted first", w, ItemClickMessage, 5, WM_RBUTTONDBLCLK, {click, ItemClickEvent}, 5, 3},
        {"a string gadget losing the focus", w, GadgetFocusMessage, 9, FocusLost, {GadgetEvent}, 9, FocusLost},
        {"no message: the source stays, the type goes", nullptr, 0, 0, 0, {NoEvent}, 9, -1},
        {"a close, then its queued event", w, WM_CLOSE, 0, 0, {CloseEvent, CloseEvent, NoEvent}, 9, -1},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.target)
            PostMessageA(row.target, row.message, row.wParam, row.lParam);
        for (int code : row.codes)
            EXPECT_EQ(EventWait(0), code);
        EXPECT_EQ(EventSourceGadget(), row.source);
        EXPECT_EQ(EventType(), row.type);
    }
    EXPECT_TRUE(IsWindowVisible(w)) << "a close is the caller's to act on";
}

// Tab and Shift+Tab, translated by EventWait, skip what is no visible tab
// stop and wrap; a plain Tab is text in an editable rich edit.
TEST_F(WindowTest, TabKeysMoveTheFocus)
{
    ASSERT_NE(LoadLibraryA("RICHED20.DLL"), nullptr);
    HWND w = reinterpret_cast<HWND>(WindowOpen(0, 100, 100, 300, 300, "Focus", WS_SYSMENU));
    HWND a = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 0);
    HWND label = Child(w, "STATIC", WS_VISIBLE, 30);
    HWND b = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 60);
    Child(w, "EDIT", WS_TABSTOP, 90);
    HWND c = Child(w, "EDIT", WS_VISIBLE | WS_TABSTOP, 120);
    HWND rich = Child(w, "RichEdit20A", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE, 150);
    HWND readOnly = Child(w, "RichEdit20A", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY, 180);
    const struct {
        HWND from;
        bool shift;
        HWND to;
    } presses[] = {{a, false, b},        {b, false, c},       {readOnly, false, a}, {a, true, readOnly},
                   {rich, false, rich}, {rich, true, c},     {label, true, readOnly}, {w, false, a}};
    for (const auto& press : presses) {
        // Pressed again when another window took the foreground meanwhile.
        for (int tries = 0; tries < 3 && (tries == 0 || GetForegroundWindow() != w); ++tries) {
            ASSERT_TRUE(TakeForeground(w)) << "the keys go to the foreground window";
            SetFocus(press.from);
            if (press.shift)
                keybd_event(VK_SHIFT, 0, 0, 0);
            keybd_event(VK_TAB, 0, 0, 0);
            keybd_event(VK_TAB, 0, KEYEVENTF_KEYUP, 0);
            if (press.shift)
                keybd_event(VK_SHIFT, 0, KEYEVENTF_KEYUP, 0);
            for (int i = 0; i < 10; ++i)
                while (EventWait(5) != NoEvent) {
                }
        }
        EXPECT_EQ(GetFocus(), press.to) << "from " << press.from << (press.shift ? " with Shift" : "");
    }
}

// The front window owns the box (MessageBoxA disables it); the others that
// are visible and enabled are disabled meanwhile and enabled again, or at
// once when their list entry cannot be had.
TEST_F(WindowTest, MessageBoxDisablesTheOtherWindowsMeanwhile)
{
    std::vector<HWND> windows;
    for (DWORD style : {WS_VISIBLE, WS_VISIBLE, 0L, WS_VISIBLE | WS_DISABLED})  // front, back, hidden, disabled
        windows.push_back(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW | style, 40 * windows.size(), 40, 240,
                                          160, nullptr, nullptr, nullptr, nullptr));
    EXPECT_TRUE(TakeForeground(windows[0]));
    auto enabled = [&] {
        std::string states;
        for (HWND w : windows)
            states += IsWindowEnabled(w) ? " 1" : " 0";
        return states;
    };
    const HANDLE listHeap = ListHeap;
    for (HANDLE heap : {listHeap, HANDLE{}}) {
        std::string seen = "no box";
        std::thread closer([&] {
            HWND box = nullptr;
            for (int i = 0; i < 1000 && !(box = FindWindowA("#32770", "Box")); ++i)
                Sleep(10);
            seen = (GetWindow(box, GW_OWNER) == windows[0] ? "owned;" : "not owned;") + enabled();
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        ListHeap = heap;
        EXPECT_EQ(MessageBoxShow("Box", "Shown", 0), IDOK);
        ListHeap = listHeap;
        closer.join();
        EXPECT_EQ(seen, heap ? "owned; 0 0 1 0" : "owned; 0 1 1 0");
        EXPECT_EQ(enabled(), " 1 1 1 0");
        EXPECT_EQ(DisabledWindowList, nullptr);
    }
    for (HWND w : windows)
        DestroyWindow(w);
}

using Values = std::vector<LONG>;

// Wine echoes SetCursorPos back through X a little later, so GetCursorPos
// may show an older place for a while: waits for a tenth of a second's rest.
void ExpectCursorAt(POINT expected)
{
    const Values want = {expected.x, expected.y};
    Values at;
    for (int i = 0, steady = 0; i < 400 && steady < 20; ++i, Sleep(5)) {
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
        POINT p;
        GetCursorPos(&p);
        at = {p.x, p.y};
        steady = at == want ? steady + 1 : 0;
    }
    EXPECT_EQ(at, want) << "the cursor";
}

// From 100,100,500,400 with the cursor at 300,250. Edge 0 is a keyboard
// start: an arrow chooses an edge, one across it a corner, and further ones
// move the cursor 10 pixels. limited: the window sets limits. Every ending
// releases once, and puts a keyboard start's cursor back unless the mouse
// moved.
TEST_F(WindowTest, LiveSizingMovesTheWindowWithinItsLimits)
{
    BOOL savedDrag = FALSE;
    SystemParametersInfoA(SPI_GETDRAGFULLWINDOWS, 0, &savedDrag, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, TRUE, nullptr, 0);
    HWND w = reinterpret_cast<HWND>(WindowOpen(1, 0, 0, 100, 100, "Sizing", WS_CAPTION | WS_SYSMENU | WS_THICKFRAME));
    WindowObject* obj = WindowLookup(1);
    static int enters, exits, buttonDowns;  // what the window is sent
    obj->windowCallback = [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        enters += message == WM_ENTERSIZEMOVE, exits += message == WM_EXITSIZEMOVE;
        buttonDowns += message == WM_LBUTTONDOWN;
        return ProceedDefault;
    };
    auto begin = [&](int edge) {
        MoveWindow(w, 100, 100, 400, 300, TRUE);
        SetCursorPos(300, 250);
        ExpectCursorAt({300, 250});
        DrainEvents();
        enters = exits = buttonDowns = 0;
        SendMessageA(w, WM_SYSCOMMAND, SC_SIZE | edge, 0);
    };
    struct Step {
        WPARAM key;  // 0: the mouse moves to at; else the cursor rests at at after the key or button release
        POINT at;
    };
    const Step release = {VK_LBUTTON, {300, 250}}, enter = {VK_RETURN, {300, 250}}, escape = {VK_ESCAPE, {300, 250}};
    const struct {
        int edge;
        bool limited;
        std::vector<Step> steps;
        Values expected;
    } rows[] = {
        {WMSZ_TOPLEFT, false, {{0, {60, 50}}, escape}, {58, 48, 500, 400}},
        {WMSZ_RIGHT, false, {{0, {0, 250}}, release}, {100, 100, 100 + GetSystemMetrics(SM_CXMINTRACK), 400}},
        {WMSZ_RIGHT, true, {{0, {200, 250}}, release}, {100, 100, 350, 400}},
        {WMSZ_LEFT, true, {{0, {-200, 250}}, release}, {-100, 100, 500, 400}},
        {WMSZ_TOP, true, {{0, {300, 390}}, release}, {100, 250, 500, 400}},
        {WMSZ_BOTTOMRIGHT, true, {{0, {900, 700}}, enter}, {100, 100, 700, 600}},
        {0, false, {{VK_LEFT, {100, 250}}, {VK_UP, {102, 102}}, {VK_LEFT, {92, 102}}, enter}, {90, 100, 500, 400}},
        {0, false, {{VK_RIGHT, {498, 250}}, {VK_RIGHT, {508, 250}}, {0, {520, 250}}, {VK_ESCAPE, {508, 250}}},
         {100, 100, 522, 400}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        obj->minWidth = row.limited ? 250 : 0, obj->minHeight = row.limited ? 150 : 0;
        obj->maxWidth = row.limited ? 600 : 0, obj->maxHeight = row.limited ? 500 : 0;
        begin(row.edge);
        EXPECT_EQ(GetCapture(), w);
        for (const Step& step : row.steps) {
            if (step.key) {
                SendMessageA(w, step.key == VK_LBUTTON ? WM_LBUTTONUP : WM_KEYDOWN, step.key, 0);
                ExpectCursorAt(step.at);
            } else {
                POINT p = step.at;
                ScreenToClient(w, &p);
                SendMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
            }
        }
        RECT r;
        GetWindowRect(w, &r);
        EXPECT_EQ((Values{r.left, r.top, r.right, r.bottom}), row.expected);
        EXPECT_EQ(sizingStateRecord->active, 0);
        EXPECT_EQ(GetCapture(), nullptr);
        EventPumpPending();
        // GetKeyState reports the button up here, so the start sent one.
        EXPECT_EQ((Values{buttonDowns, enters, exits}), (Values{1, 1, 1}));
    }

    // Each move is one message of the event wait.
    begin(WMSZ_BOTTOMRIGHT);
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_ENTERSIZEMOVE));
    PostMessageA(w, WM_MOUSEMOVE, 0, MAKELPARAM(250, 150));
    EXPECT_EQ(EventWait(0), static_cast<int>(WM_MOUSEMOVE));
    EXPECT_EQ(EventWait(0), SizeEvent);
    // Wine destroys a window without telling it that the capture went.
    WindowClose(1);
    EXPECT_EQ(sizingStateRecord->active, 0);
    SystemParametersInfoA(SPI_SETDRAGFULLWINDOWS, savedDrag, nullptr, 0);
}

std::string Line(GadgetObject* editor, int32_t line)
{
    const int32_t position = ResultBuffer.resultUsed;
    editor->kind->getItemText(editor, line, 0, position);
    ResultBuffer.resultUsed = position;
    return ResultBuffer.resultBase + position;
}

// The editor serves the window's queue before it registers. A gadget made
// meanwhile grows the table, and the editor's record moves with it; the
// parent closed, the new control destroyed or its number taken meanwhile
// leave no editor behind: 0, and no record.
TEST_F(WindowTest, GadgetEditorServesTheQueueFirstAndKeepsItsTextAsLines)
{
    WindowOpen(0, 50, 50, 100, 100, "Pump", WindowHidden | WindowNoGadgetList);
    static void (*during)();
    WindowLookup(0)->windowCallback = [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == WM_APP)
            during();
        return ProceedDefault;
    };
    void (*const closeParent)() = [] { WindowClose(1); };
    void (*const destroyControl)() = [] { DestroyWindow(GetWindow(WindowLookup(1)->window, GW_CHILD)); };
    const struct {
        ObjectId number;
        void (*during)();
    } rows[] = {{3, closeParent},    {AutoNumber, closeParent},
                {3, destroyControl}, {AutoNumber, destroyControl},
                {3, [] { GadgetCreateText(3, 0, 0, 80, 20, "taken"); }},
                {3, [] { GadgetCreateText(500, 0, 0, 80, 20, "made meanwhile"); }}};  // the editor stays
    HWND editorWindow = nullptr;
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "row " << &row - rows);
        WindowClose(1);
        HWND parent = reinterpret_cast<HWND>(WindowOpen(1, 50, 50, 400, 300, "Gadgets", WS_SYSMENU));
        during = row.during;
        PostMessageA(WindowLookup(0)->window, WM_APP, 0, 0);
        editorWindow = reinterpret_cast<HWND>(GadgetCreateEditor(row.number, 0, 0, 200, 120, 0));
        EXPECT_EQ(FindWindowExA(parent, nullptr, "RichEdit20A", nullptr), editorWindow);
        EXPECT_EQ(GadgetTable->autoListHead, nullptr) << "an AutoNumber record was kept";
    }
    ASSERT_NE(GadgetLookup(500), nullptr) << "the pump ran no callback";
    GadgetObject* editor = GadgetLookup(3);
    ASSERT_TRUE(editor && editor->window == editorWindow && editor->kind && editor->kind->countItems);

    const struct {
        const char* what;
        void (*apply)(GadgetObject* editor);
        const char* lines;  // the count, then the lines
    } steps[] = {
        {"an empty line in an empty editor", [](GadgetObject*) { GadgetAddItem(3, -1, ""); }, "1:"},
        {"the next line writes it out", [](GadgetObject*) { GadgetAddItem(3, -1, "b"); }, "2:|b"},
        {"the last line removed, its break with it", [](GadgetObject* g) { g->kind->removeItem(g, 1); }, "1:"},
        {"an insertion before the empty line", [](GadgetObject*) { GadgetAddItem(3, 0, "h"); }, "2:h|"},
        {"then an append", [](GadgetObject*) { GadgetAddItem(3, -1, "t"); }, "3:h||t"},
        {"lines 5 (missing) and -1 (the caret's) kept, a middle one removed", [](GadgetObject* g) {
             SendMessageA(g->window, EM_SETSEL, 3, 3), g->kind->removeItem(g, 5), g->kind->removeItem(g, -1);
             g->kind->removeItem(g, 1); }, "2:h|t"},
        {"a null text clears", [](GadgetObject*) { GadgetSetText(3, nullptr); }, "0:"},
        {"an empty line, a text in its place, an append",
         [](GadgetObject*) { GadgetAddItem(3, -1, ""), GadgetSetText(3, "x"), GadgetAddItem(3, -1, "y"); }, "2:x|y"},
    };
    for (const auto& step : steps) {
        step.apply(editor);
        std::string lines = std::to_string(editor->kind->countItems(editor)) + ":";
        for (int32_t i = 0; i < editor->kind->countItems(editor); ++i)
            lines += (i ? "|" : "") + Line(editor, i);
        EXPECT_EQ(lines, step.lines) << step.what;
    }

    // EM_GETLINE takes its buffer's size from a 16-bit word, which must not
    // wrap: 65,533 characters, their line break and the terminating zero.
    // A longer line reads as much of it as the buffer holds, not as "".
    for (size_t length : {65533, 70000}) {
        const std::string line(length, 'q');
        GadgetSetText(3, ("a\n" + line + "\nb").c_str());
        EXPECT_TRUE(Line(editor, 1) == line.substr(0, 65534)) << "a line of " << length;
    }
}

// The owner's callback runs while an owned window is created and while the
// owner is activated as it closes; one that opens a window past the table's
// slots moves every record, and the next block may take the old ones' place.
TEST_F(WindowTest, AnOwnedWindowOpensAndClosesWhileItsOwnerGrowsTheTable)
{
    WindowOpen(0, 50, 50, 300, 200, "Owner", WS_SYSMENU);
    static UINT growOn;
    WindowLookup(0)->windowCallback = [](HWND, UINT message, WPARAM, LPARAM) -> LRESULT {
        if (message == growOn) {
            growOn = 0;
            const size_t size = HeapSize(MainHeap, 0, WindowTable->slots);
            WindowOpen(WindowTable->capacity + 10, 0, 0, 50, 50, "Grown", WindowHidden);
            memset(HeapAlloc(MainHeap, 0, size), 0xA5, size);
        }
        return ProceedDefault;
    };
    growOn = WM_CREATE;
    HWND owned = reinterpret_cast<HWND>(
        WindowOpenWithParent(1, 60, 60, 120, 90, "Owned", WS_POPUP | WS_CAPTION, WindowLookup(0)->window));
    EXPECT_EQ(growOn, 0u) << "no callback during creation";
    EXPECT_TRUE(owned && WindowLookup(1) && WindowLookup(1)->window == owned);
    EXPECT_TRUE(TakeForeground(owned));
    growOn = WM_ACTIVATE;
    WindowClose(1);
    EXPECT_EQ(growOn, 0u) << "the owner was not activated";
    EXPECT_FALSE(IsWindow(owned));
    EXPECT_EQ(WindowLookup(1), nullptr);
}

// A brush that cannot be had leaves the colour without one, and the next
// request tries again. (Windows and gadgets that cannot be made:
// dead_numbers_test.)
TEST_F(WindowTest, GadgetBackgroundWithoutABrush)
{
    WindowOpen(0, 50, 50, 400, 300, "Gadgets", WS_SYSMENU);
    GadgetObject* text = GadgetLookup(GadgetCreateText(AutoNumber, 0, 0, 80, 20, "t"));
    failBrush = true;
    text->kind->setColor(text, ColorBack, RGB(1, 2, 3));
    failBrush = false;
    EXPECT_EQ(BackBrushGet(text), nullptr);
    EXPECT_EQ(text->kind->getColor(text, ColorBack), static_cast<int32_t>(RGB(1, 2, 3)));
    EXPECT_EQ(GadgetBrushCache, nullptr);
    text->kind->setColor(text, ColorBack, RGB(1, 2, 4));
    EXPECT_NE(BackBrushGet(text), nullptr);
}

}  // namespace
