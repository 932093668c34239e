#include <richedit.h>

#include <functional>
#include <string>
#include <vector>

#include "runtime/gadget/gadget_kinds.h"
#include "runtime/gadget/gadget_registry.h"
#include "runtime/gadget/gadget_resize.h"
#include "tests/gadget/gadget_kind_fixture.h"

namespace {

// What CreateWindowExA was asked for: some classes change their own styles
// at creation (the combo box drops its border and client edge, the rich
// edit its scroll bars until it needs them).
struct Created {
    std::string className;
    DWORD style;
    DWORD exStyle;
    bool hasText;
};
std::vector<Created> created;

LRESULT CALLBACK RecordCreation(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_CREATEWND) {
        const CREATESTRUCTA* cs = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs;
        char name[64] = "";
        GetClassNameA(reinterpret_cast<HWND>(wParam), name, sizeof name);
        created.push_back({name, static_cast<DWORD>(cs->style), cs->dwExStyle, cs->lpszName != nullptr});
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

std::string FilledWords(const GadgetKindTable* table)
{
    auto words = reinterpret_cast<void* const*>(table);
    std::string filled;
    for (int word = 3; word <= GadgetKindTableWords; ++word)
        if (words[word - 1])
            filled += (filled.empty() ? "" : " ") + std::to_string(word);
    return filled;
}

constexpr const char* EditorWords = "7 8 9 11 12 14 17 18 27 28 31 32";
constexpr const char* ComboWords = "5 6 8 9 11 12 13 14 17 18 35 36";
constexpr const char* BrushedWords = "3 4 31 32";

struct KindCase {
    const char* label;
    std::function<intptr_t()> create;
    const char* className;
    DWORD style;
    DWORD exStyle;
    bool hasText;
    intptr_t kindCode;
    const char* filledWords;
    WNDPROC subclass;  // between GadgetWindowProc and the class; null: none
};

TEST_F(GadgetKindTest, EachKindGetsItsClassStylesTableAndSubclass)
{
    const KindCase cases[] = {
        {"application's editor", [] { return GadgetCreateEditor(1, 0, 0, 200, 80, EditorReadOnly); }, "RichEdit20A",
         0x503119C4, WS_EX_CLIENTEDGE, false, 22, EditorWords, EditorWindowProc},
        {"application's combo box", [] { return GadgetCreateComboBox(1, 0, 0, 100, 20, 0); }, "ComboBox", 0x50A30203,
         WS_EX_CLIENTEDGE, false, 8, ComboWords, nullptr},
        {"editable combo box", [] { return GadgetCreateComboBox(1, 0, 0, 100, 20, CBS_DROPDOWN); }, "ComboBox",
         0x50A20202, WS_EX_CLIENTEDGE, false, 8, ComboWords, nullptr},
        {"text", [] { return GadgetCreateText(1, 0, 0, 80, 20, "t"); }, "Static", 0x50020000, 0, true, 3,
         BrushedWords, nullptr},
        {"text with border", [] { return GadgetCreateText(1, 0, 0, 80, 20, "t", GadgetBorderFlag); }, "Static",
         0x50020000, WS_EX_CLIENTEDGE, true, 3, BrushedWords, nullptr},
        {"button", [] { return GadgetCreateButton(1, 0, 0, 80, 20, "b"); }, "Button", 0x50030000, 0, true, 1, "5 6",
         nullptr},
        {"check box", [] { return GadgetCreateCheckBox(1, 0, 0, 80, 20, "c"); }, "Button", 0x50030003, 0, true, 4,
         "5 6", nullptr},
        {"group box", [] { return GadgetCreateFrame(1, 0, 0, 80, 60, "g"); }, "Button", 0x50020007, 0, true, 7, "13",
         nullptr},
        {"sunken frame", [] { return GadgetCreateFrame(1, 0, 0, 80, 60, "g", 1); }, "Static", 0x54020001,
         WS_EX_CLIENTEDGE, false, 7, "13", FramePaintProc},
        {"static-edged frame", [] { return GadgetCreateFrame(1, 0, 0, 80, 60, "g", 2); }, "Static", 0x54020001,
         WS_EX_STATICEDGE, false, 7, "13", FramePaintProc},
        {"flat frame", [] { return GadgetCreateFrame(1, 0, 0, 80, 60, "g", 3); }, "Static", 0x54820001, 0, false, 7,
         "13", FramePaintProc},
        {"string", [] { return GadgetCreateString(1, 0, 0, 80, 20, "s"); }, "Edit", 0x50030080, WS_EX_CLIENTEDGE,
         true, 2, BrushedWords, StringFocusProc},
        {"string without border", [] { return GadgetCreateString(1, 0, 0, 80, 20, "s", GadgetBorderFlag); }, "Edit",
         0x50030080, 0, true, 2, BrushedWords, StringFocusProc},
        {"password string", [] { return GadgetCreateString(1, 0, 0, 80, 20, "s", ES_PASSWORD); }, "Edit",
         0x500300A0, WS_EX_CLIENTEDGE, true, 2, BrushedWords, StringFocusProc},
    };
    HHOOK hook = SetWindowsHookExA(WH_CBT, RecordCreation, nullptr, GetCurrentThreadId());
    for (const KindCase& c : cases) {
        created.clear();
        HWND control = reinterpret_cast<HWND>(c.create());
        ASSERT_NE(control, nullptr) << c.label;
        ASSERT_FALSE(created.empty()) << c.label;
        const Created& asked = created.front();
        EXPECT_EQ(asked.className, c.className) << c.label;
        EXPECT_EQ(asked.style, c.style) << c.label;
        EXPECT_EQ(asked.exStyle, c.exStyle) << c.label;
        EXPECT_EQ(asked.hasText, c.hasText) << c.label;
        // Where the class keeps what it was given, the window shows it too.
        if (asked.className != "ComboBox" && asked.className != "RichEdit20A") {
            EXPECT_EQ(GetWindowLongPtrA(control, GWL_STYLE) & 0xFFFF0000, static_cast<LONG_PTR>(c.style & 0xFFFF0000))
                << c.label;
            EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE) & (WS_EX_CLIENTEDGE | WS_EX_STATICEDGE),
                      static_cast<LONG_PTR>(c.exStyle))
                << c.label;
        }
        EXPECT_EQ(GetWindowTextLengthA(control) > 0, c.hasText) << c.label;

        GadgetObject* gadget = Gadget(1);
        EXPECT_EQ(gadget->kind->kindCode, c.kindCode) << c.label;
        EXPECT_EQ(FilledWords(gadget->kind), c.filledWords) << c.label;
        auto classProc = reinterpret_cast<WNDPROC>(GetClassLongPtrA(control, GCLP_WNDPROC));
        EXPECT_EQ(gadget->previousProc, c.subclass ? c.subclass : classProc) << c.label;
    }
    UnhookWindowsHookEx(hook);
}

RECT ParentRect(HWND control)
{
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// The drop-down extent comes from the 350-pixel window; some systems
// count the closed box in it, others (Wine) do not.
LONG DroppedHeight(HWND combo)
{
    RECT r;
    SendMessageA(combo, CB_GETDROPPEDCONTROLRECT, 0, reinterpret_cast<LPARAM>(&r));
    return r.bottom - r.top;
}

TEST_F(GadgetKindTest, ComboBoxIsAsHighAsAskedWithItsListKept)
{
    for (uint32_t flags : {0u, static_cast<uint32_t>(CBS_DROPDOWN)}) {
        LONG dropped = 0;
        for (int height : {20, 31}) {
            HWND combo = reinterpret_cast<HWND>(GadgetCreateComboBox(4, 10, 10, 120, height, flags));
            ASSERT_NE(combo, nullptr);
            RECT r = ParentRect(combo);
            EXPECT_EQ(r.bottom - r.top, height) << flags;
            if (!dropped)
                dropped = DroppedHeight(combo);
            EXPECT_GE(dropped, 300) << flags;
            EXPECT_EQ(DroppedHeight(combo), dropped) << flags << " " << height;

            GadgetObject* gadget = Gadget(4);
            gadget->kind->resize(gadget, 30, GadgetKeep, 90, height + 4);
            r = ParentRect(combo);
            EXPECT_EQ(r.left, 30);
            EXPECT_EQ(r.top, 10);
            EXPECT_EQ(r.right - r.left, 90);
            EXPECT_EQ(r.bottom - r.top, height + 4) << flags;
            EXPECT_EQ(DroppedHeight(combo), dropped) << flags << " " << height;
        }
    }
}

TEST_F(GadgetKindTest, EditableComboBoxIsReachedThroughItsEditFieldAndTakesAnyText)
{
    HWND editable = reinterpret_cast<HWND>(GadgetCreateComboBox(1, 0, 0, 100, 20, CBS_DROPDOWN));
    HWND list = reinterpret_cast<HWND>(GadgetCreateComboBox(2, 0, 30, 100, 20, 0));
    HWND field = GetWindow(editable, GW_CHILD);
    ASSERT_NE(field, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(field, GWL_STYLE) & WS_TABSTOP);
    EXPECT_FALSE(GetWindowLongPtrA(editable, GWL_STYLE) & WS_TABSTOP);
    EXPECT_TRUE(GetWindowLongPtrA(list, GWL_STYLE) & WS_TABSTOP);
    GadgetSetText(1, "typed");
    char text[16] = "";
    GetWindowTextA(editable, text, sizeof text);
    EXPECT_STREQ(text, "typed");
}

// Focus changes reach the application as gadget events; the window must be
// active for the focus to move.
class GadgetFocusTest : public GadgetKindTest {
protected:
    uint32_t Shown() const override { return 0; }
};

std::string FocusEvents()
{
    std::string seen;
    for (int i = 0; i < 20; ++i) {
        if (EventWait(5) == GadgetEvent)
            seen += std::to_string(EventSourceGadget()) + ":" + std::to_string(EventType()) + " ";
    }
    return seen;
}

TEST_F(GadgetFocusTest, StringReportsFocusGainedAndLost)
{
    SetForegroundWindow(window);
    SetActiveWindow(window);
    HWND seven = reinterpret_cast<HWND>(GadgetCreateString(7, 0, 0, 80, 20, ""));
    const intptr_t automatic = GadgetCreateString(AutoNumber, 0, 30, 80, 20, "");
    FocusEvents();
    SetFocus(seven);
    EXPECT_EQ(FocusEvents(), "7:14000 ");
    SetFocus(Control(automatic));
    EXPECT_EQ(FocusEvents(), "7:14001 " + std::to_string(automatic) + ":14000 ");
}

}  // namespace
