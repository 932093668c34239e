// Keyvane.exe as a test sees it from another process: started from the
// folder of the calling program, its windows found by class and process,
// closed the way a user closes it.
#pragma once

#include <windows.h>

#include <string>

struct KeyvaneProcess {
    PROCESS_INFORMATION info;
    HWND window;  // the main window once it is visible, else null
};

// The path of the file name in the calling program's folder, where the
// build puts Keyvane.exe and the helper programs.
std::string BesideThisProgram(const char* name);

// Starts a program beside the calling one, such as a bench's own; it
// inherits the environment (KEYVANE_PAD, WINEDLLOVERRIDES). False when it
// cannot start.
bool ProgramStart(KeyvaneProcess& program, const char* name);
inline bool KeyvaneStart(KeyvaneProcess& program) { return ProgramStart(program, "Keyvane.exe"); }
// Waits for its visible main window; null after timeoutMs or once it exited.
HWND KeyvaneWaitWindow(KeyvaneProcess& program, DWORD timeoutMs = 15000);
// A visible top-level window of the process with this class ("#32770" for
// a message box), waited for; null after timeoutMs.
HWND KeyvaneWaitTopLevel(const KeyvaneProcess& program, const char* className, DWORD timeoutMs = 15000);
// Waits for the process to end: its exit code, or STILL_ACTIVE after
// timeoutMs (the process is then terminated, after a line on stderr says
// whether its window still answered and a menu or box was open).
DWORD KeyvaneWaitExit(KeyvaneProcess& program, DWORD timeoutMs = 15000);
// Asks the main window to close, as its close box does, and waits.
DWORD KeyvaneClose(KeyvaneProcess& program);
// Ends the process if it still runs and closes the handles.
void KeyvaneForget(KeyvaneProcess& program);

// Asks done() every 5 ms until it is true or timeoutMs have passed; its
// last answer.
template <typename Done>
bool WaitUntil(Done done, DWORD timeoutMs)
{
    for (const DWORD start = GetTickCount(); !done(); Sleep(5))
        if (GetTickCount() - start >= timeoutMs)
            return done();
    return true;
}

// A window's text, through WM_GETTEXT so that it works across processes.
std::string WindowText(HWND window);
// The text of a message box's message: its static control 0xFFFF holds it.
inline std::string MessageBoxText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }
// Clicks a message box's OK button.
inline void MessageBoxDismiss(HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); }
