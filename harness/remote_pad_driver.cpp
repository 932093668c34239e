// The test's side of the pad block.
#include "harness/remote_pad_driver.h"

#include <cstdio>
#include <algorithm>
#include <cstring>

namespace {

LONG blockSerial;

RemotePadDevice* Device(RemotePadDriver& driver, int pad)
{
    if (pad < 0 || pad >= RemotePadRead(&driver.block->deviceCount))
        return nullptr;
    return &driver.block->devices[pad];
}

// The driver is the state's only writer: it may read the state plainly.
void WriteState(RemotePadDevice* device, const DIJOYSTATE& state)
{
    InterlockedIncrement(&device->stateSequence);
    std::memcpy(&device->state, &state, sizeof(DIJOYSTATE));
    InterlockedIncrement(&device->stateSequence);
}

}  // namespace

bool RemotePadCreate(RemotePadDriver& driver)
{
    driver = RemotePadDriver();
    std::snprintf(driver.name, sizeof(driver.name), "KeyvanePad.%lu.%ld", GetCurrentProcessId(),
                  InterlockedIncrement(&blockSerial));
    driver.mapping =
        CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(RemotePadBlock), driver.name);
    // A fresh section is all zero; one that a program of an earlier run still holds is not.
    if (driver.mapping && GetLastError() != ERROR_ALREADY_EXISTS)
        driver.block = static_cast<RemotePadBlock*>(MapViewOfFile(driver.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!driver.block) {
        RemotePadDestroy(driver);
        return false;
    }
    driver.block->size = sizeof(RemotePadBlock);
    // The magic last: a reader that sees it sees a complete block.
    InterlockedExchange(reinterpret_cast<LONG*>(&driver.block->magic), static_cast<LONG>(RemotePadMagic));
    SetEnvironmentVariableA(RemotePadVariable, driver.name);
    return true;
}

void RemotePadDestroy(RemotePadDriver& driver)
{
    SetEnvironmentVariableA(RemotePadVariable, nullptr);
    if (driver.block)
        UnmapViewOfFile(driver.block);
    if (driver.mapping)
        CloseHandle(driver.mapping);
    driver.block = nullptr;
    driver.mapping = nullptr;
}

int RemotePadPlug(RemotePadDriver& driver, const RemotePadFaults& faults)
{
    LONG pad = driver.block->deviceCount;
    if (pad >= RemotePadMaxDevices)
        return -1;
    driver.block->devices[pad].faults = faults;
    driver.block->devices[pad].attached = 1;
    // Counted only once it is complete.
    InterlockedExchange(&driver.block->deviceCount, pad + 1);
    return pad;
}

void RemotePadUnplug(RemotePadDriver& driver, int pad)
{
    if (RemotePadDevice* device = Device(driver, pad))
        InterlockedExchange(&device->attached, 0);
}

void RemotePadUnplugAll(RemotePadDriver& driver)
{
    for (int pad = 0; pad < driver.block->deviceCount; ++pad)
        RemotePadUnplug(driver, pad);
}

void RemotePadSetState(RemotePadDriver& driver, int pad, const DIJOYSTATE& state)
{
    if (RemotePadDevice* device = Device(driver, pad))
        WriteState(device, state);
}

void RemotePadSetAxes(RemotePadDriver& driver, int pad, LONG x, LONG y)
{
    if (RemotePadDevice* device = Device(driver, pad)) {
        DIJOYSTATE state = device->state;
        state.lX = x;
        state.lY = y;
        WriteState(device, state);
    }
}

void RemotePadSetButton(RemotePadDriver& driver, int pad, int button, bool pressed)
{
    RemotePadDevice* device = Device(driver, pad);
    if (device && button >= 1 && button <= 32) {
        DIJOYSTATE state = device->state;
        state.rgbButtons[button - 1] = pressed ? 0x80 : 0;
        WriteState(device, state);
    }
}

void RemotePadFailReads(RemotePadDriver& driver, int pad, int count)
{
    if (RemotePadDevice* device = Device(driver, pad))
        InterlockedExchange(&device->failReads, count);
}

void RemotePadCrashRead(RemotePadDriver& driver, int pad, RemotePadCrash how)
{
    if (RemotePadDevice* device = Device(driver, pad))
        InterlockedExchange(&device->crashRead, how);
}

LONG RemotePadReads(RemotePadDriver& driver)
{
    return RemotePadRead(&driver.block->readStampNext);
}

bool RemotePadWaitReads(RemotePadDriver& driver, int count, DWORD timeoutMs)
{
    const LONG target = RemotePadReads(driver) + count;
    for (const DWORD start = GetTickCount(); RemotePadReads(driver) < target; Sleep(1))
        if (GetTickCount() - start > timeoutMs)
            return false;
    return true;
}

void RemotePadSetCreateFails(RemotePadDriver& driver, bool fails)
{
    InterlockedExchange(&driver.block->createFails, fails);
}

void RemotePadSetEnumResult(RemotePadDriver& driver, HRESULT result, int afterPads)
{
    InterlockedExchange(&driver.block->enumFailAfter, afterPads);
    InterlockedExchange(&driver.block->enumDevicesResult, result);
}

void RemotePadClearLog(RemotePadDriver& driver)
{
    driver.logCursor = RemotePadRead(&driver.block->logNext);
}

std::string RemotePadCalls(RemotePadDriver& driver, int pad)
{
    static const char* const names[RemoteCallKinds] = {
        "Create", "EnumDevices", "CreateDeviceEx", "DirectInputRelease", "SetDataFormat", "SetProperty",
        "SetCooperativeLevel", "Acquire", "Unacquire", "Poll", "GetDeviceState", "DeviceRelease", "Other",
    };
    const LONG next = RemotePadRead(&driver.block->logNext);
    std::string text;
    for (LONG n = std::max(driver.logCursor, next - RemotePadLogSize); n < next; ++n) {
        const RemotePadLogged e = RemotePadLogDecode(RemotePadRead(&driver.block->log[n % RemotePadLogSize]));
        if (pad != RemotePadAllCalls && e.device != pad)
            continue;
        text += text.empty() ? "" : " ";
        text += e.call >= 0 && e.call < RemoteCallKinds ? names[e.call] : "?";
        if (e.device >= 0 && pad == RemotePadAllCalls)
            text += "#" + std::to_string(e.device);
        if (e.failed)
            text += "!";
    }
    return text;
}
