// keyvane_demo.exe PICTURE.bmp: a short, scripted look at Keyvane. It starts
// Keyvane.exe on the simulated pad behind a game window, plays a
// stick-and-button script, prints every key event as it reaches the system
// and what the game got of it, saves a picture of Keyvane's window and
// closes Keyvane; exit code 0 when Keyvane exited with code 0.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "harness/key_observer.h"
#include "harness/keyvane_launch.h"

namespace {

constexpr LONG Full = 1000;
constexpr char Centre[] = "stick back to the centre";

// A step sets the stick and button 1, or clicks 'Disable Keyvane'.
struct Step {
    const char* what;
    LONG x, y;
    bool button = false, click = false;
};
const Step Script[] = {
    {"stick up", 0, -Full}, {Centre, 0, 0}, {"stick down", 0, Full}, {Centre, 0, 0},
    {"stick left", -Full, 0}, {Centre, 0, 0}, {"stick right", Full, 0}, {Centre, 0, 0},
    {"stick up and left", -Full, -Full}, {Centre, 0, 0}, {"button 1 pressed", 0, 0, true}, {"button 1 released", 0, 0},
    {"stick right, held", Full, 0},
    {"'Disable Keyvane' ticked: the held key goes up, nothing more is pressed", Full, 0, false, true},
    {"'Disable Keyvane' cleared: the held stick presses again", Full, 0, false, true},
    {Centre, 0, 0},
};

DWORD startTick;
int repeats[256];  // polls that pressed a key again while it was down
bool isDown[256];

// The first event of readers from *next on that is the same key going the
// same way as key; *next moves past it. Null when none is.
const KeyEvent* Match(const std::vector<KeyEvent>& readers, size_t* next, const KeyEvent& key)
{
    for (; *next < readers.size(); ++*next)
        if (readers[*next].vk == key.vk && (readers[*next].flags & KEYEVENTF_KEYUP) == (key.flags & KEYEVENTF_KEYUP))
            return &readers[(*next)++];
    return nullptr;
}

// Prints the events since the last call, beside what the game window got
// for each, as WM_KEYDOWN or WM_KEYUP (scan code and extended bit of
// lParam), and what a game reading raw input got (while the game is in
// front). A held key is pressed again on every poll: those repeats are
// counted and told with its key-up.
void PrintKeys()
{
    const char* const names[] = {"Left", "Up", "Right", "Down", "Space", "?"};  // VK_LEFT to VK_DOWN first
    std::vector<KeyEvent> raw, game;
    const std::vector<KeyEvent> keys = KeyObserverTake(&raw, &game);
    size_t r = 0, g = 0;  // the raw input and game events that match the next printed one
    for (const KeyEvent& key : keys) {
        const bool up = key.flags & KEYEVENTF_KEYUP;
        if (!up && isDown[key.vk]) {
            ++repeats[key.vk];
            continue;
        }
        const int name = key.vk == VK_SPACE ? 4 : key.vk >= VK_LEFT && key.vk <= VK_DOWN ? key.vk - VK_LEFT : 5;
        printf("  %6lu ms  %-5s %-4s scan 0x%02X  flags 0x%lX", static_cast<unsigned long>(key.time - startTick),
               names[name], up ? "up" : "down", key.scan, key.flags);
        if (const KeyEvent* got = Match(game, &g, key))
            printf("  game: %s scan 0x%02X%s", up ? "WM_KEYUP" : "WM_KEYDOWN", got->scan,
                   got->flags & KEYEVENTF_EXTENDEDKEY ? " extended" : "");
        if (const KeyEvent* got = Match(raw, &r, key))
            printf("  raw input: make code 0x%02X, flags 0x%lX", got->scan, got->hookFlags);
        if (up && repeats[key.vk])
            printf("  (its key-down came again on %d more polls)", repeats[key.vk]);
        printf("\n");
        isDown[key.vk] = !up;
        repeats[key.vk] = 0;
    }
    fflush(stdout);
}

// The window as it is on the screen, as a 24-bit bitmap file.
bool SavePicture(HWND window, const char* path)
{
    RECT r;
    GetWindowRect(window, &r);
    const LONG width = r.right - r.left, height = r.bottom - r.top;
    const DWORD imageBytes = ((width * 3 + 3) & ~3) * height;
    BITMAPINFOHEADER info = {sizeof info, width, height, 1, 24, BI_RGB, imageBytes, 0, 0, 0, 0};
    BITMAPFILEHEADER file = {0x4D42, DWORD(sizeof file + sizeof info + imageBytes), 0, 0, sizeof file + sizeof info};
    HDC screen = GetDC(nullptr), memory = CreateCompatibleDC(screen);
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    FILE* out = fopen(path, "wb");
    const bool saved = out && fwrite(&file, sizeof file, 1, out) == 1 && fwrite(&info, sizeof info, 1, out) == 1 &&
                       fwrite(bits, imageBytes, 1, out) == 1;
    if (out)
        fclose(out);
    DeleteDC(memory);
    DeleteObject(bitmap);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace

int main(int, char** argv)
{
    RemotePadDriver pads;
    KeyvaneProcess program;
    if (!RemotePadCreate(pads) || RemotePadPlug(pads) != 0 || !KeyObserverStart(true))
        return fprintf(stderr, "demo: cannot set up the simulated pad or the key observer\n"), 1;
    startTick = GetTickCount();
    if (const char* failure = KeyvaneLaunch(program, pads)) {
        fprintf(stderr, "demo: Keyvane.exe did not start behind the game window: %s\n", failure);
        KeyvaneForget(program);
        return 1;
    }
    printf("Keyvane is running behind a game window; its keys as the system sees them (ms since the start),\n"
           "what the game window received, and what raw input gave:\n");
    for (const Step& step : Script) {
        printf("%s\n", step.what);
        if (step.click)
            PostMessageA(GetDlgItem(program.window, SuspendCheckBox), BM_CLICK, 0, 0);
        RemotePadSetAxes(pads, 0, step.x, step.y);
        RemotePadSetButton(pads, 0, 1, step.button);
        Sleep(250);
        PrintKeys();
    }

    const bool saved = SavePicture(program.window, argv[1]);
    printf(saved ? "window saved to %s\n" : "demo: could not save the window to %s\n", argv[1]);
    printf("closing Keyvane\n");
    const DWORD code = KeyvaneClose(program);
    PrintKeys();
    printf("Keyvane exited with code %lu\n", static_cast<unsigned long>(code));
    return code == 0 && saved ? 0 : 1;
}
