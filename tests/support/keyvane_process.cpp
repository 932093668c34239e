#include "tests/support/keyvane_process.h"

#include <cstdio>
#include <vector>

namespace {

constexpr DWORD PollStepMs = 10;
// The static control of a message box that holds its text.
constexpr int MessageBoxTextId = 0xFFFF;

struct TopLevelSearch {
    DWORD process;
    const char* className;
    HWND found;
};

BOOL CALLBACK MatchTopLevel(HWND window, LPARAM data)
{
    auto* search = reinterpret_cast<TopLevelSearch*>(data);
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    char name[64] = "";
    GetClassNameA(window, name, sizeof name);
    if (process == search->process && IsWindowVisible(window) && lstrcmpA(name, search->className) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

bool Exited(const KeyvaneProcess& program)
{
    return WaitForSingleObject(program.info.hProcess, 0) == WAIT_OBJECT_0;
}

}  // namespace

bool KeyvaneStart(KeyvaneProcess& program)
{
    return ProgramStart(program, "Keyvane.exe");
}

std::string BesideThisProgram(const char* name)
{
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    while (n > 0 && path[n - 1] != '\\')
        --n;
    return std::string(path, n) + name;
}

bool ProgramStart(KeyvaneProcess& program, const char* name)
{
    program = {};
    const std::string path = BesideThisProgram(name);
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    return CreateProcessA(path.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &program.info);
}

HWND KeyvaneWaitTopLevel(const KeyvaneProcess& program, const char* className, DWORD timeoutMs)
{
    const DWORD start = GetTickCount();
    for (;;) {
        TopLevelSearch search = {program.info.dwProcessId, className, nullptr};
        EnumWindows(MatchTopLevel, reinterpret_cast<LPARAM>(&search));
        if (search.found)
            return search.found;
        if (Exited(program) || GetTickCount() - start > timeoutMs)
            return nullptr;
        Sleep(PollStepMs);
    }
}

HWND KeyvaneWaitWindow(KeyvaneProcess& program, DWORD timeoutMs)
{
    program.window = KeyvaneWaitTopLevel(program, "WindowClass_0", timeoutMs);
    // The loop runs once the window has been built and shown.
    if (program.window)
        WaitForInputIdle(program.info.hProcess, timeoutMs);
    return program.window;
}

DWORD KeyvaneWaitExit(KeyvaneProcess& program, DWORD timeoutMs)
{
    if (WaitForSingleObject(program.info.hProcess, timeoutMs) != WAIT_OBJECT_0) {
        // What it was left doing, before it goes: a modal loop keeps a
        // close from ever reaching the program's own loop.
        DWORD_PTR result;
        fprintf(stderr, "Keyvane still runs after %lu ms: its window answers %d, a menu open %d, a box open %d\n",
                timeoutMs, SendMessageTimeoutA(program.window, WM_NULL, 0, 0, SMTO_NORMAL, 1000, &result) != 0,
                KeyvaneWaitTopLevel(program, "#32768", 0) != nullptr,
                KeyvaneWaitTopLevel(program, "#32770", 0) != nullptr);
        TerminateProcess(program.info.hProcess, 1);
        WaitForSingleObject(program.info.hProcess, INFINITE);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.info.hProcess, &code);
    return code;
}

DWORD KeyvaneClose(KeyvaneProcess& program)
{
    PostMessageA(program.window, WM_CLOSE, 0, 0);
    return KeyvaneWaitExit(program);
}

void KeyvaneForget(KeyvaneProcess& program)
{
    if (!program.info.hProcess)
        return;
    if (!Exited(program)) {
        TerminateProcess(program.info.hProcess, 1);
        WaitForSingleObject(program.info.hProcess, INFINITE);
    }
    CloseHandle(program.info.hThread);
    CloseHandle(program.info.hProcess);
    program = {};
}

std::string WindowText(HWND window)
{
    const LRESULT length = SendMessageA(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<char> text(length + 1);
    const LRESULT got = SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()));
    return std::string(text.data(), got);
}

std::string MessageBoxText(HWND box)
{
    return WindowText(GetDlgItem(box, MessageBoxTextId));
}

void MessageBoxDismiss(HWND box)
{
    PostMessageA(box, WM_COMMAND, IDOK, 0);
}
