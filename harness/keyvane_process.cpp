#include "harness/keyvane_process.h"

#include <cstdio>

#include "harness/process_resources.h"

namespace {

constexpr DWORD PollStepMs = 10;
// Exit codes from here up are exception codes (severity "error").
constexpr DWORD ExceptionCodes = 0xC0000000;

bool Exited(const KeyvaneProcess& program)
{
    return WaitForSingleObject(program.info.hProcess, 0) == WAIT_OBJECT_0;
}

void End(const KeyvaneProcess& program)
{
    TerminateProcess(program.info.hProcess, 1);
    WaitForSingleObject(program.info.hProcess, INFINITE);
}

}  // namespace

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
        for (HWND window : ProcessTopLevelWindows(program.info.dwProcessId)) {
            char name[64] = "";
            GetClassNameA(window, name, sizeof name);
            if (IsWindowVisible(window) && lstrcmpA(name, className) == 0)
                return window;
        }
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
        End(program);
        return STILL_ACTIVE;
    }
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.info.hProcess, &code);
    if (code >= ExceptionCodes)
        fprintf(stderr, "Keyvane ended by exception 0x%08lx\n", code);
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
    End(program);
    CloseHandle(program.info.hThread);
    CloseHandle(program.info.hProcess);
    program = {};
}

std::string WindowText(HWND window)
{
    std::string text(SendMessageA(window, WM_GETTEXTLENGTH, 0, 0) + 1, '\0');
    text.resize(SendMessageA(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0])));
    return text;
}
