// A program with the joystick library, started by remote_pad_test: it
// polls joystick 0 as the application does and writes what the library
// reads into the pad block's probe words, until the test asks it to stop or
// a bound runs out. Exit code 0 when asked to stop, 2 without a block, 3
// when the bound ran out.
#include "runtime/joystick/joystick.h"
#include "tests/support/joystick_runtime.h"
#include "tests/support/remote_pad.h"

namespace {

constexpr DWORD RunBoundMs = 60000;
constexpr DWORD PollIntervalMs = 2;

}  // namespace

int main()
{
    char name[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(RemotePadVariable, name, sizeof(name));
    HANDLE mapping = nullptr;
    RemotePadBlock* block = length && length < sizeof(name) ? RemotePadMap(name, &mapping) : nullptr;
    if (!block)
        return 2;
    RemotePadProbe& probe = block->probe;

    EnsureJoystickRuntime();
    InterlockedExchange(&probe.joysticks, JoystickInit());

    DWORD start = GetTickCount();
    bool stopped = false;
    while (!(stopped = RemotePadRead(&probe.stop) != 0) && GetTickCount() - start < RunBoundMs) {
        int fresh = JoystickExamine(0);
        InterlockedExchange(&probe.x, JoystickReadAxisX(0));
        InterlockedExchange(&probe.y, JoystickReadAxisY(0));
        InterlockedExchange(&probe.button, JoystickReadButton(0, 1));
        InterlockedExchangeAdd(&probe.fresh, fresh);
        InterlockedIncrement(&probe.examines);
        Sleep(PollIntervalMs);
    }

    JoystickEndAll();
    InterlockedExchange(&probe.ended, 1);
    RemotePadUnmap(block, mapping);
    return stopped ? 0 : 3;
}
