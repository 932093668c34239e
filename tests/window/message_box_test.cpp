#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/window/message_box.h"
#include "tests/support/runtime_heaps.h"
#include "tests/win32_printers.h"

namespace {

constexpr const char* Caption = "Keyvane test box";

// What a second thread saw while the box was up, before it pressed OK.
struct BoxSeen {
    std::string text = "(no box found)";
    HWND owner = nullptr;
    std::vector<bool> enabled;  // of the watched windows, in their order
    std::vector<HWND> entries;  // windows of this thread's entries, sorted
    int result = 0;
};

BoxSeen ShowAndClose(const char* text, const std::vector<HWND>& watched)
{
    BoxSeen seen;
    const DWORD thread = GetCurrentThreadId();
    std::thread closer([&] {
        HWND box = nullptr;
        for (int i = 0; i < 1000 && !(box = FindWindowA("#32770", Caption)); ++i)
            Sleep(10);
        if (!box)
            return;
        char shown[256] = {};
        GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
        seen.text = shown;
        seen.owner = GetWindow(box, GW_OWNER);
        for (HWND w : watched)
            seen.enabled.push_back(IsWindowEnabled(w) != FALSE);
        // The box's thread waits in its modal loop and leaves the list alone.
        for (ListNode* n = DisabledWindowList; n; n = n->older) {
            auto* entry = static_cast<DisabledWindowEntry*>(ListPayload(n));
            if (entry->thread == thread)
                seen.entries.push_back(entry->window);
        }
        std::sort(seen.entries.begin(), seen.entries.end());
        PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
    });
    seen.result = MessageBoxShow(Caption, text, 0);
    closer.join();
    return seen;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureRuntimeHeaps();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.lpszClassName = "KeyvaneMessageBoxTest";
        RegisterClassA(&windowClass);  // fails harmlessly when already there
    }
    void TearDown() override
    {
        for (HWND w : windows)
            DestroyWindow(w);
        EXPECT_EQ(DisabledWindowList, nullptr);
    }

    // Shown without taking the activation.
    HWND Open(bool visible = true)
    {
        HWND w = CreateWindowExA(0, "KeyvaneMessageBoxTest", "ours", WS_OVERLAPPEDWINDOW, 40 * windows.size(), 40,
                                 240, 160, nullptr, nullptr, nullptr, nullptr);
        windows.push_back(w);
        if (visible)
            ShowWindow(w, SW_SHOWNOACTIVATE);
        return w;
    }

    static bool BringToFront(HWND w)
    {
        SetForegroundWindow(w);
        for (int i = 0; i < 500 && GetForegroundWindow() != w; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(10);
        }
        return GetForegroundWindow() == w;
    }

    std::vector<HWND> windows;
};

TEST_F(MessageBoxTest, WithoutAnyWindowTheBoxHasNoOwner)
{
    EXPECT_EQ(MessageBoxOwner(), nullptr);
    BoxSeen seen = ShowAndClose("Before any window", {});
    EXPECT_EQ(seen.result, IDOK);
    EXPECT_EQ(seen.text, "Before any window");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(seen.entries.empty());
}

// Only visible, enabled windows are disabled, and only they enabled again.
TEST_F(MessageBoxTest, FrontWindowOwnsTheBoxAndTheOthersAreDisabled)
{
    HWND front = Open(), back = Open(), hidden = Open(false), disabled = Open();
    EnableWindow(disabled, FALSE);
    ASSERT_TRUE(BringToFront(front));
    EXPECT_EQ(MessageBoxOwner(), front);

    BoxSeen seen = ShowAndClose("Owned by the front window", {front, back, hidden, disabled});
    EXPECT_EQ(seen.result, IDOK);
    EXPECT_EQ(seen.text, "Owned by the front window");
    EXPECT_EQ(seen.owner, front);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false, true, false}));  // front by MessageBoxA itself
    EXPECT_EQ(seen.entries, std::vector<HWND>{back});
    EXPECT_TRUE(IsWindowEnabled(front) && IsWindowEnabled(back) && IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled));
}

TEST_F(MessageBoxTest, WindowWhoseEntryCannotBeHadIsEnabledAgainAtOnce)
{
    HWND front = Open(), back = Open();
    ASSERT_TRUE(BringToFront(front));
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;  // no list entry can be allocated
    BoxSeen seen = ShowAndClose("No room for entries", {front, back});
    ListHeap = listHeap;
    EXPECT_EQ(seen.result, IDOK);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, true}));
    EXPECT_TRUE(seen.entries.empty());
    EXPECT_TRUE(IsWindowEnabled(front) && IsWindowEnabled(back));
}

}  // namespace
