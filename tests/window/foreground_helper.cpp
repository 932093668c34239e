// A window of another process that takes the foreground, so that a test
// can show a message box while no window of its own is in front. It ends
// when its window is closed, or after two minutes.
#include <windows.h>

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER)
        DestroyWindow(window);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

int main()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HelperProc;
    windowClass.lpszClassName = "KeyvaneForegroundHelper";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "helper", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                                  400, 200, 120, nullptr, nullptr, nullptr, nullptr);
    SetForegroundWindow(window);
    SetTimer(window, 1, 120000, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
