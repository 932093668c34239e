#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/window/message_box.h"
#include "tests/support/runtime_heaps.h"
#include "tests/win32_printers.h"

namespace {

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureRuntimeHeaps();
        for (int i = 0; i < 4; ++i)  // front, back, hidden, disabled
            windows.push_back(CreateWindowExA(0, "STATIC", "ours", WS_OVERLAPPEDWINDOW, 40 * i, 40, 240, 160, nullptr,
                                              nullptr, nullptr, nullptr));
        for (HWND w : {windows[0], windows[1], windows[3]})
            ShowWindow(w, SW_SHOWNOACTIVATE);
        EnableWindow(windows[3], FALSE);
        SetForegroundWindow(windows[0]);
        for (int i = 0; i < 500 && GetForegroundWindow() != windows[0]; ++i) {
            MSG message;
            while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
                DispatchMessageA(&message);
            Sleep(10);
        }
        ASSERT_EQ(MessageBoxOwner(), windows[0]);
    }
    void TearDown() override
    {
        for (HWND w : windows)
            DestroyWindow(w);
        EXPECT_EQ(DisabledWindowList, nullptr);
    }

    // Shows the box; a second thread notes the box's text and owner, which
    // windows are enabled and which this thread's list entries name, and
    // presses OK. The box's thread waits in its modal loop meanwhile.
    std::string ShowAndClose(const char* text)
    {
        std::string seen = "no box";
        const DWORD thread = GetCurrentThreadId();
        std::thread closer([&] {
            HWND box = nullptr;
            for (int i = 0; i < 1000 && !(box = FindWindowA("#32770", "Keyvane test box")); ++i)
                Sleep(10);
            if (!box)
                return;
            char shown[64] = {};
            GetDlgItemTextA(box, 0xFFFF, shown, sizeof shown);
            seen = std::string(shown) + (GetWindow(box, GW_OWNER) == windows[0] ? ", owned; enabled:" : "; enabled:");
            for (HWND w : windows)
                seen += IsWindowEnabled(w) ? " 1" : " 0";
            seen += "; entries:";
            for (ListNode* n = DisabledWindowList; n; n = n->older) {
                auto* entry = static_cast<DisabledWindowEntry*>(ListPayload(n));
                for (size_t i = 0; i < windows.size(); ++i)
                    seen += entry->thread == thread && entry->window == windows[i] ? " " + std::to_string(i) : "";
            }
            PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
        });
        EXPECT_EQ(MessageBoxShow("Keyvane test box", text, 0), IDOK);
        closer.join();
        return seen;
    }

    std::vector<HWND> windows;
};

// The front window owns the box (MessageBoxA disables it); the others that
// are visible and enabled are disabled meanwhile, and only they enabled again.
TEST_F(MessageBoxTest, FrontWindowOwnsTheBoxAndTheOthersAreDisabled)
{
    EXPECT_EQ(ShowAndClose("Shown"), "Shown, owned; enabled: 0 0 1 0; entries: 1");
    EXPECT_TRUE(IsWindowEnabled(windows[0]) && IsWindowEnabled(windows[1]) && IsWindowEnabled(windows[2]));
    EXPECT_FALSE(IsWindowVisible(windows[2]));
    EXPECT_FALSE(IsWindowEnabled(windows[3]));
}

TEST_F(MessageBoxTest, WindowWhoseEntryCannotBeHadIsEnabledAgainAtOnce)
{
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;  // no list entry can be allocated
    EXPECT_EQ(ShowAndClose("No room"), "No room, owned; enabled: 0 1 1 0; entries:");
    ListHeap = listHeap;
    EXPECT_TRUE(IsWindowEnabled(windows[0]) && IsWindowEnabled(windows[1]));
}

}  // namespace
