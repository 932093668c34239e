// A window of another process that takes the foreground, so that a test
// can show a message box while no window of its own is in front. The
// program ends when its window is closed, or after two minutes.
#include <windows.h>

namespace {

constexpr UINT_PTR GiveUpTimer = 1;
constexpr UINT GiveUpAfterMs = 120000;

LRESULT CALLBACK HelperProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_TIMER && wParam == GiveUpTimer)
        DestroyWindow(window);
    if (message == WM_DESTROY)
        PostQuitMessage(0);
    return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int main()
{
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HelperProc;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.lpszClassName = "KeyvaneForegroundHelper";
    RegisterClassA(&windowClass);
    HWND window = CreateWindowExA(0, windowClass.lpszClassName, "Keyvane foreground helper",
                                  WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 200, 120, nullptr, nullptr,
                                  windowClass.hInstance, nullptr);
    if (!window)
        return 1;
    SetForegroundWindow(window);
    SetTimer(window, GiveUpTimer, GiveUpAfterMs, nullptr);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        DispatchMessageA(&message);
    return 0;
}
