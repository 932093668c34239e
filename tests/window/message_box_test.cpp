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

constexpr const char* TestClass = "KeyvaneMessageBoxTest";
constexpr const char* HelperClass = "KeyvaneForegroundHelper";
constexpr const char* Caption = "Keyvane test box";
constexpr int MessageBoxTextId = 0xFFFF;

template <typename Condition>
bool WaitFor(Condition condition)
{
    for (int i = 0; i < 1000; ++i) {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        if (condition())
            return true;
        Sleep(10);
    }
    return false;
}

// What a second thread saw while the box was up, before it pressed OK.
struct BoxSeen {
    std::string text = "(no box found)";
    HWND owner = nullptr;
    std::vector<bool> enabled;  // of the watched windows, in their order
    std::vector<HWND> entries;  // windows of this thread's entries, sorted
};

BoxSeen ShowAndClose(const char* text, std::vector<HWND> watched, int* result)
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
        GetDlgItemTextA(box, MessageBoxTextId, shown, sizeof shown);
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
    *result = MessageBoxShow(Caption, text, 0);
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
        windowClass.lpszClassName = TestClass;
        RegisterClassA(&windowClass);  // fails harmlessly when already there
    }

    void TearDown() override
    {
        for (HWND w : windows)
            DestroyWindow(w);
        if (helper.hProcess) {
            PostMessageA(FindWindowA(HelperClass, nullptr), WM_CLOSE, 0, 0);
            if (WaitForSingleObject(helper.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(helper.hProcess, 1);
            CloseHandle(helper.hProcess);
            CloseHandle(helper.hThread);
        }
        EXPECT_EQ(DisabledWindowList, nullptr);
    }

    // Shown without taking the activation.
    HWND Open(bool visible = true)
    {
        HWND w = CreateWindowExA(0, TestClass, "ours", WS_OVERLAPPEDWINDOW, 40 * windows.size(), 40, 240, 160,
                                 nullptr, nullptr, nullptr, nullptr);
        windows.push_back(w);
        if (visible)
            ShowWindow(w, SW_SHOWNOACTIVATE);
        return w;
    }

    bool BringToFront(HWND w)
    {
        SetForegroundWindow(w);
        return WaitFor([w] { return GetForegroundWindow() == w; });
    }

    // Puts another program's window in the foreground.
    bool StartForegroundHelper()
    {
        char path[MAX_PATH];
        std::string program(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
        program = program.substr(0, program.find_last_of("\\/") + 1) + "foreground_helper.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &helper))
            return false;
        return WaitFor([] {
            HWND w = FindWindowA(HelperClass, nullptr);
            return w && GetForegroundWindow() == w;
        });
    }

    std::vector<HWND> windows;
    PROCESS_INFORMATION helper = {};
};

TEST_F(MessageBoxTest, OwnWindowInFrontOwnsTheBoxAndTheOthersAreDisabled)
{
    HWND front = Open();
    HWND back = Open();
    ASSERT_TRUE(BringToFront(front));
    EXPECT_EQ(MessageBoxOwner(), front);

    int result = 0;
    BoxSeen seen = ShowAndClose("Owned by the front window", {front, back}, &result);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.text, "Owned by the front window");
    EXPECT_EQ(seen.owner, front);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false}));  // front by MessageBoxA itself
    EXPECT_EQ(seen.entries, std::vector<HWND>{back});
    EXPECT_TRUE(IsWindowEnabled(front) && IsWindowEnabled(back));
}

TEST_F(MessageBoxTest, OtherProgramInFrontLeavesTheBoxUnownedAndDisablesOurVisibleEnabledWindows)
{
    ASSERT_TRUE(StartForegroundHelper());
    HWND first = Open();
    HWND second = Open();
    HWND hidden = Open(false);
    HWND disabled = Open();
    EnableWindow(disabled, FALSE);
    ASSERT_EQ(MessageBoxOwner(), nullptr);

    int result = 0;
    BoxSeen seen = ShowAndClose("No owner", {first, second, hidden, disabled}, &result);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.text, "No owner");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false, true, false}));
    std::vector<HWND> expected = {first, second};
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(seen.entries, expected);
    EXPECT_TRUE(IsWindowEnabled(first) && IsWindowEnabled(second) && IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled));
}

TEST_F(MessageBoxTest, WithoutAnyWindowTheBoxHasNoOwnerAndNothingIsDisabled)
{
    int result = 0;
    BoxSeen seen = ShowAndClose("Before any window", {}, &result);
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.text, "Before any window");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(seen.entries.empty());
}

TEST_F(MessageBoxTest, WindowWhoseEntryCannotBeHadIsEnabledAgainAtOnce)
{
    HWND front = Open();
    HWND back = Open();
    ASSERT_TRUE(BringToFront(front));
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;  // no list entry can be allocated
    int result = 0;
    BoxSeen seen = ShowAndClose("No room for entries", {front, back}, &result);
    ListHeap = listHeap;
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, true}));
    EXPECT_TRUE(seen.entries.empty());
    EXPECT_TRUE(IsWindowEnabled(front) && IsWindowEnabled(back));
}

}  // namespace
