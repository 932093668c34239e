#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "runtime/core/heaps.h"
#include "runtime/window/message_box.h"
#include "tests/support/runtime_heaps.h"

namespace {

constexpr const char* TestClass = "KeyvaneMessageBoxTest";
constexpr const char* HelperClass = "KeyvaneForegroundHelper";

void Pump()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

template <typename Condition>
bool WaitFor(Condition condition, int ms = 10000)
{
    for (int waited = 0; waited < ms; waited += 10) {
        Pump();
        if (condition())
            return true;
        Sleep(10);
    }
    return false;
}

// What the closing thread saw while the box was up.
struct BoxSeen {
    bool found = false;
    std::string text;
    HWND owner = nullptr;
    std::vector<bool> enabled;  // of the watched windows, in their order
    std::vector<DisabledWindowEntry> entries;
};

BOOL CALLBACK CollectStaticText(HWND child, LPARAM lParam)
{
    char className[32] = {};
    GetClassNameA(child, className, sizeof className);
    char text[256] = {};
    GetWindowTextA(child, text, sizeof text);
    if (lstrcmpiA(className, "Static") == 0 && text[0])
        *reinterpret_cast<std::string*>(lParam) += text;
    return TRUE;
}

// Finds our dialog by its caption, notes what it needs, then presses OK.
void CloseBox(const char* caption, std::vector<HWND> watched, BoxSeen* seen)
{
    HWND box = nullptr;
    for (int waited = 0; waited < 10000 && !box; waited += 10) {
        HWND found = FindWindowA("#32770", caption);
        DWORD process = 0;
        if (found && GetWindowThreadProcessId(found, &process) && process == GetCurrentProcessId())
            box = found;
        else
            Sleep(10);
    }
    if (!box)
        return;
    seen->found = true;
    EnumChildWindows(box, CollectStaticText, reinterpret_cast<LPARAM>(&seen->text));
    seen->owner = GetWindow(box, GW_OWNER);
    for (HWND w : watched)
        seen->enabled.push_back(IsWindowEnabled(w) != FALSE);
    // The box's thread waits in its modal loop and leaves the list alone.
    for (ListNode* n = DisabledWindowList; n; n = n->older)
        seen->entries.push_back(*static_cast<DisabledWindowEntry*>(ListPayload(n)));
    PostMessageA(GetDlgItem(box, IDOK), BM_CLICK, 0, 0);
}

int ShowAndClose(const char* caption, const char* text, std::vector<HWND> watched, BoxSeen* seen)
{
    std::thread closer(CloseBox, caption, watched, seen);
    int result = MessageBoxShow(caption, text, 0);
    closer.join();
    return result;
}

std::vector<HWND> EntryWindows(const std::vector<DisabledWindowEntry>& entries, DWORD thread)
{
    std::vector<HWND> windows;
    for (const auto& e : entries) {
        if (e.thread == thread)
            windows.push_back(e.window);
    }
    std::sort(windows.begin(), windows.end());
    return windows;
}

std::vector<HWND> Sorted(std::vector<HWND> windows)
{
    std::sort(windows.begin(), windows.end());
    return windows;
}

class MessageBoxTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        EnsureRuntimeHeaps();
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = TestClass;
        RegisterClassA(&windowClass);  // fails harmlessly when already there
        ASSERT_EQ(DisabledWindowList, nullptr);
    }

    void TearDown() override
    {
        for (HWND w : windows)
            DestroyWindow(w);
        Pump();
        if (helper.hProcess) {
            HWND window = FindWindowA(HelperClass, nullptr);
            if (window)
                PostMessageA(window, WM_CLOSE, 0, 0);
            if (WaitForSingleObject(helper.hProcess, 10000) != WAIT_OBJECT_0)
                TerminateProcess(helper.hProcess, 1);
            CloseHandle(helper.hProcess);
            CloseHandle(helper.hThread);
        }
    }

    // Shown without taking the activation, unless it is to be in front.
    HWND Open(const char* title, bool visible = true)
    {
        HWND w = CreateWindowExA(0, TestClass, title, WS_OVERLAPPEDWINDOW, 50 + 30 * windows.size(),
                                 50 + 30 * windows.size(), 240, 160, nullptr, nullptr, GetModuleHandleA(nullptr),
                                 nullptr);
        if (w) {
            windows.push_back(w);
            if (visible)
                ShowWindow(w, SW_SHOWNOACTIVATE);
        }
        return w;
    }

    bool BringToFront(HWND w)
    {
        ShowWindow(w, SW_SHOW);
        SetForegroundWindow(w);
        return WaitFor([w] { return GetForegroundWindow() == w; });
    }

    // Another program's window in the foreground.
    HWND StartForegroundHelper()
    {
        char path[MAX_PATH];
        DWORD length = GetModuleFileNameA(nullptr, path, MAX_PATH);
        std::string program(path, length);
        program = program.substr(0, program.find_last_of("\\/") + 1) + "foreground_helper.exe";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        if (!CreateProcessA(program.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                            &helper))
            return nullptr;
        HWND window = nullptr;
        WaitFor([&window] {
            window = FindWindowA(HelperClass, nullptr);
            if (window && GetForegroundWindow() != window)
                SetForegroundWindow(window);
            return window && GetForegroundWindow() == window;
        });
        return GetForegroundWindow() == window ? window : nullptr;
    }

    std::vector<HWND> windows;
    PROCESS_INFORMATION helper = {};
};

TEST_F(MessageBoxTest, OwnWindowInFrontOwnsTheBoxAndTheOthersAreDisabled)
{
    HWND front = Open("front");
    HWND back = Open("back");
    ASSERT_TRUE(front && back);
    ASSERT_TRUE(BringToFront(front));
    EXPECT_EQ(MessageBoxOwner(), front);

    // An entry of another thread must outlive this thread's box.
    auto* foreign = static_cast<DisabledWindowEntry*>(
        ListAdd(&DisabledWindowList, sizeof(ListNode) + sizeof(DisabledWindowEntry)));
    ASSERT_NE(foreign, nullptr);
    foreign->thread = GetCurrentThreadId() + 4;
    foreign->window = back;

    BoxSeen seen;
    EXPECT_EQ(ShowAndClose("Keyvane box owned", "Owned by the front window", {front, back}, &seen), IDOK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Owned by the front window");
    EXPECT_EQ(seen.owner, front);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false}));  // front by MessageBoxA itself
    EXPECT_EQ(EntryWindows(seen.entries, GetCurrentThreadId()), std::vector<HWND>{back});

    EXPECT_TRUE(IsWindowEnabled(front));
    EXPECT_TRUE(IsWindowEnabled(back));
    ASSERT_NE(DisabledWindowList, nullptr);
    EXPECT_EQ(ListPayload(DisabledWindowList), foreign);
    EXPECT_EQ(DisabledWindowList->older, nullptr);
    ListRemove(&DisabledWindowList, foreign);
}

TEST_F(MessageBoxTest, OtherProgramInFrontLeavesTheBoxUnownedAndDisablesOurVisibleEnabledWindows)
{
    ASSERT_NE(StartForegroundHelper(), nullptr);
    HWND first = Open("first");
    HWND second = Open("second");
    HWND hidden = Open("hidden", false);
    HWND disabled = Open("disabled");
    ASSERT_TRUE(first && second && hidden && disabled);
    EnableWindow(disabled, FALSE);
    ASSERT_NE(GetForegroundWindow(), nullptr);
    ASSERT_EQ(MessageBoxOwner(), nullptr);

    BoxSeen seen;
    EXPECT_EQ(ShowAndClose("Keyvane box unowned", "No owner", {first, second, hidden, disabled}, &seen), IDOK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "No owner");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, false, true, false}));
    EXPECT_EQ(EntryWindows(seen.entries, GetCurrentThreadId()), Sorted({first, second}));
    EXPECT_EQ(seen.entries.size(), 2u);

    EXPECT_TRUE(IsWindowEnabled(first));
    EXPECT_TRUE(IsWindowEnabled(second));
    EXPECT_TRUE(IsWindowEnabled(hidden));
    EXPECT_FALSE(IsWindowVisible(hidden));
    EXPECT_FALSE(IsWindowEnabled(disabled));
    EXPECT_EQ(DisabledWindowList, nullptr);
}

TEST_F(MessageBoxTest, WithoutAnyWindowTheBoxHasNoOwnerAndNothingIsDisabled)
{
    ASSERT_EQ(MessageBoxOwner(), nullptr);
    BoxSeen seen;
    EXPECT_EQ(ShowAndClose("Keyvane box alone", "Before any window", {}, &seen), IDOK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.text, "Before any window");
    EXPECT_EQ(seen.owner, nullptr);
    EXPECT_TRUE(seen.entries.empty());
    EXPECT_EQ(DisabledWindowList, nullptr);
}

TEST_F(MessageBoxTest, WindowWhoseEntryCannotBeHadIsEnabledAtOnce)
{
    HWND front = Open("front");
    HWND back = Open("back");
    ASSERT_TRUE(front && back);
    ASSERT_TRUE(BringToFront(front));

    // Without the ListHeap no list entry can be allocated.
    HANDLE listHeap = ListHeap;
    ListHeap = nullptr;
    BoxSeen seen;
    int result = ShowAndClose("Keyvane box no entry", "No room for entries", {front, back}, &seen);
    ListHeap = listHeap;

    EXPECT_EQ(result, IDOK);
    ASSERT_TRUE(seen.found);
    EXPECT_EQ(seen.owner, front);
    EXPECT_EQ(seen.enabled, (std::vector<bool>{false, true}));
    EXPECT_TRUE(seen.entries.empty());
    EXPECT_TRUE(IsWindowEnabled(front));
    EXPECT_TRUE(IsWindowEnabled(back));
}

}  // namespace
