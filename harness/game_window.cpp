#include "harness/game_window.h"

namespace {

constexpr char GameClass[] = "KeyvaneGame";
constexpr int GameWidth = 300, GameHeight = 200;

GameKeyRoutine keyRoutine;
HWND game;
HANDLE gameThread;
DWORD gameThreadId;

LRESULT CALLBACK GameWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message != WM_KEYDOWN && message != WM_KEYUP)
        return DefWindowProcA(window, message, wParam, lParam);
    if (keyRoutine)
        keyRoutine(message, wParam, lParam, static_cast<ULONG_PTR>(GetMessageExtraInfo()));
    return 0;
}

DWORD WINAPI GameThread(void* ready)
{
    const WNDCLASSA gameClass = {0, GameWindowProc, 0, 0, GetModuleHandleA(nullptr), nullptr, nullptr,
                                 reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), nullptr, GameClass};
    RegisterClassA(&gameClass);
    game = CreateWindowA(GameClass, "Game", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, GameWidth, GameHeight, nullptr,
                         nullptr, nullptr, nullptr);
    SetEvent(ready);
    MSG msg;
    while (game && GetMessageA(&msg, nullptr, 0, 0) > 0)
        DispatchMessageA(&msg);
    if (game)
        DestroyWindow(game);
    game = nullptr;
    return 0;
}

}  // namespace

bool GameWindowOpen(GameKeyRoutine onKey)
{
    if (gameThread)
        return false;
    keyRoutine = onKey;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    gameThread = CreateThread(nullptr, 0, GameThread, ready, 0, &gameThreadId);
    if (gameThread)
        WaitForSingleObject(ready, INFINITE);
    CloseHandle(ready);
    if (!game)
        GameWindowClose();
    return game != nullptr;
}

void GameWindowClose()
{
    if (!gameThread)
        return;
    PostThreadMessageA(gameThreadId, WM_QUIT, 0, 0);
    WaitForSingleObject(gameThread, INFINITE);
    CloseHandle(gameThread);
    gameThread = nullptr;
}

HWND GameWindow()
{
    return game;
}

bool WindowToFront(HWND window)
{
    // Wine grants the foreground to any process that asks; asked again
    // when a window that was just leaving a modal loop, or being restored,
    // took it back or left none in front.
    for (int step = 0; window && step < 100 && GetForegroundWindow() != window; ++step) {
        SetForegroundWindow(window);
        Sleep(10);
    }
    return window && GetForegroundWindow() == window;
}
