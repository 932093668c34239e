// A window and a 10 ms message wait, nothing more: what Wine costs any
// program of this shape, the floor under Keyvane and the reference mapper.
#include <windows.h>

namespace {

constexpr DWORD PassTimeoutMs = 10;
// The bench finds the window by this class.
constexpr char WindowClassName[] = "BareWindow";

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = WindowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = WindowClassName;
    windowClass.hCursor = LoadCursor(nullptr, IDC_ARROW);
    RegisterClassA(&windowClass);
    if (!CreateWindowA(WindowClassName, "Bare", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, 320,
                       200, nullptr, nullptr, instance, nullptr))
        return 1;
    for (;;) {
        MSG msg;
        if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (MsgWaitForMultipleObjects(0, nullptr, FALSE, PassTimeoutMs, QS_ALLINPUT) == WAIT_TIMEOUT)
                continue;
            if (!PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE))
                continue;
        }
        if (msg.message == WM_QUIT)
            return 0;
        DispatchMessageA(&msg);
    }
}
