// A short, scripted look at Keyvane: it starts Keyvane.exe on the simulated
// pad, plays a stick-and-button script, prints every key event as it
// reaches the system, saves a picture of the window and closes Keyvane.
//
//   keyvane_demo.exe PICTURE.bmp
//
// Exits 0 when Keyvane ran the script and exited with code 0.
#include <windows.h>

#include <cstdio>
#include <vector>

#include "app/main_window.h"
#include "tests/support/key_observer.h"
#include "tests/support/keyvane_process.h"
#include "tests/support/remote_pad_driver.h"

namespace {

constexpr LONG Full = 1000;
constexpr DWORD HoldMs = 250;

RemotePadDriver pads;
int pad;
KeyvaneProcess program;
DWORD startTick;

const char* KeyName(BYTE vk)
{
    switch (vk) {
    case VK_UP:
        return "Up";
    case VK_DOWN:
        return "Down";
    case VK_LEFT:
        return "Left";
    case VK_RIGHT:
        return "Right";
    case VK_SPACE:
        return "Space";
    }
    return "?";
}

// Keys down and the polls that pressed them again since.
int repeats[256];
bool isDown[256];

// Prints the events since the last call. A held key is pressed again on
// every poll: those repeats are counted and told with its key-up.
void PrintKeys()
{
    for (const KeyEvent& key : KeyObserverTake()) {
        const bool up = key.flags & KEYEVENTF_KEYUP;
        if (!up && isDown[key.vk]) {
            ++repeats[key.vk];
            continue;
        }
        printf("  %6lu ms  %-5s %-4s scan 0x%02X  flags 0x%lX", static_cast<unsigned long>(key.time - startTick),
               KeyName(key.vk), up ? "up" : "down", key.scan, key.flags);
        if (up && repeats[key.vk])
            printf("  (its key-down came again on %d more polls)", repeats[key.vk]);
        printf("\n");
        isDown[key.vk] = !up;
        repeats[key.vk] = 0;
    }
    fflush(stdout);
}

void Step(const char* what, LONG x, LONG y, bool button)
{
    printf("%s\n", what);
    RemotePadSetAxes(pads, pad, x, y);
    RemotePadSetButton(pads, pad, 1, button);
    Sleep(HoldMs);
    PrintKeys();
}

void Click(ObjectId gadget, const char* what)
{
    printf("%s\n", what);
    PostMessageA(GetDlgItem(program.window, static_cast<int>(gadget)), BM_CLICK, 0, 0);
    Sleep(HoldMs);
    PrintKeys();
}

// The window as it is on the screen, as a 24-bit bitmap file.
bool SavePicture(HWND window, const char* path)
{
    RECT r;
    GetWindowRect(window, &r);
    const int width = r.right - r.left, height = r.bottom - r.top;
    HDC screen = GetDC(nullptr);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ old = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    SelectObject(memory, old);
    const DWORD rowBytes = (width * 3 + 3) & ~3;
    const DWORD imageBytes = rowBytes * height;
    BITMAPFILEHEADER file = {0x4D42, static_cast<DWORD>(sizeof file + sizeof info.bmiHeader + imageBytes), 0, 0,
                             static_cast<DWORD>(sizeof file + sizeof info.bmiHeader)};
    FILE* out = fopen(path, "wb");
    bool saved = out && fwrite(&file, sizeof file, 1, out) == 1 &&
                 fwrite(&info.bmiHeader, sizeof info.bmiHeader, 1, out) == 1 &&
                 fwrite(bits, imageBytes, 1, out) == 1;
    if (out)
        fclose(out);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(nullptr, screen);
    return saved;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        fprintf(stderr, "usage: keyvane_demo PICTURE.bmp\n");
        return 2;
    }
    if (!RemotePadCreate(pads) || (pad = RemotePadPlug(pads)) < 0 || !KeyObserverStart()) {
        fprintf(stderr, "demo: cannot set up the simulated pad or the key observer\n");
        return 1;
    }
    startTick = GetTickCount();
    if (!KeyvaneStart(program) || !KeyvaneWaitWindow(program)) {
        fprintf(stderr, "demo: Keyvane.exe did not open its window\n");
        KeyvaneForget(program);
        return 1;
    }
    printf("Keyvane is running; its keys as the system sees them (ms since the start):\n");
    Step("stick up", 0, -Full, false);
    Step("stick back to the centre", 0, 0, false);
    Step("stick down", 0, Full, false);
    Step("stick back to the centre", 0, 0, false);
    Step("stick left", -Full, 0, false);
    Step("stick back to the centre", 0, 0, false);
    Step("stick right", Full, 0, false);
    Step("stick back to the centre", 0, 0, false);
    Step("stick up and left", -Full, -Full, false);
    Step("stick back to the centre", 0, 0, false);
    Step("button 1 pressed", 0, 0, true);
    Step("button 1 released", 0, 0, false);
    Step("stick right, held", Full, 0, false);
    Click(SuspendCheckBox, "'Disable Keyvane' ticked: the held key goes up, nothing more is pressed");
    Click(SuspendCheckBox, "'Disable Keyvane' cleared: the held stick presses again");
    Step("stick back to the centre", 0, 0, false);

    const bool saved = SavePicture(program.window, argv[1]);
    printf(saved ? "window saved to %s\n" : "demo: could not save the window to %s\n", argv[1]);
    printf("closing Keyvane\n");
    const DWORD code = KeyvaneClose(program);
    PrintKeys();
    printf("Keyvane exited with code %lu\n", static_cast<unsigned long>(code));
    KeyvaneForget(program);
    KeyObserverStop();
    RemotePadDestroy(pads);
    return code == 0 && saved ? 0 : 1;
}
