// The test's side of the pad block.
#include "tests/support/remote_pad_driver.h"

#include <cstdio>

namespace {

constexpr BYTE ButtonPressed = 0x80;

LONG blockSerial;

RemotePadDevice* Device(RemotePadDriver& driver, int pad)
{
    if (pad < 0 || pad >= RemotePadRead(&driver.block->deviceCount))
        return nullptr;
    return &driver.block->devices[pad];
}

}  // namespace

bool RemotePadCreate(RemotePadDriver& driver)
{
    driver = RemotePadDriver();
    std::snprintf(driver.name, sizeof(driver.name), "KeyvanePad.%lu.%ld", GetCurrentProcessId(),
                  InterlockedIncrement(&blockSerial));
    driver.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(RemotePadBlock),
                                        driver.name);
    if (driver.mapping && GetLastError() == ERROR_ALREADY_EXISTS) {
        CloseHandle(driver.mapping);
        driver.mapping = nullptr;
    }
    if (!driver.mapping)
        return false;
    // A fresh section is all zero.
    driver.block =
        static_cast<RemotePadBlock*>(MapViewOfFile(driver.mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(RemotePadBlock)));
    if (!driver.block) {
        RemotePadDestroy(driver);
        return false;
    }
    driver.block->version = RemotePadVersion;
    driver.block->size = sizeof(RemotePadBlock);
    // The magic last: a reader that sees it sees a complete block.
    InterlockedExchange(reinterpret_cast<LONG*>(&driver.block->magic), static_cast<LONG>(RemotePadMagic));
    SetEnvironmentVariableA(RemotePadVariable, driver.name);
    return true;
}

void RemotePadDestroy(RemotePadDriver& driver)
{
    SetEnvironmentVariableA(RemotePadVariable, nullptr);
    RemotePadUnmap(driver.block, driver.mapping);
    driver.block = nullptr;
    driver.mapping = nullptr;
}

int RemotePadPlug(RemotePadDriver& driver, const RemotePadFaults& faults)
{
    LONG pad = driver.block->deviceCount;
    if (pad >= RemotePadMaxDevices)
        return -1;
    RemotePadDevice& device = driver.block->devices[pad];
    device.createDeviceResult = faults.createDevice;
    device.setDataFormatResult = faults.setDataFormat;
    device.setRangeXResult = faults.setRangeX;
    device.setRangeYResult = faults.setRangeY;
    device.attached = 1;
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
        RemotePadWriteState(device, state);
}

// The driver is the state's only writer, so it may read the state plainly.
void RemotePadSetAxes(RemotePadDriver& driver, int pad, LONG x, LONG y)
{
    if (RemotePadDevice* device = Device(driver, pad)) {
        DIJOYSTATE state = device->state;
        state.lX = x;
        state.lY = y;
        RemotePadWriteState(device, state);
    }
}

void RemotePadSetButton(RemotePadDriver& driver, int pad, int button, bool pressed)
{
    RemotePadDevice* device = Device(driver, pad);
    if (device && button >= 1 && button <= 32) {
        DIJOYSTATE state = device->state;
        state.rgbButtons[button - 1] = pressed ? ButtonPressed : 0;
        RemotePadWriteState(device, state);
    }
}

void RemotePadFailReads(RemotePadDriver& driver, int pad, int count)
{
    if (RemotePadDevice* device = Device(driver, pad))
        InterlockedExchange(&device->failReads, count);
}

LONG RemotePadReads(RemotePadDriver& driver)
{
    return RemotePadRead(&driver.block->counts[RemoteCallGetDeviceState]);
}

bool RemotePadWaitReads(RemotePadDriver& driver, int count, DWORD timeoutMs)
{
    const LONG target = RemotePadReads(driver) + count;
    const DWORD start = GetTickCount();
    while (RemotePadReads(driver) < target) {
        if (GetTickCount() - start > timeoutMs)
            return false;
        Sleep(1);
    }
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

const std::vector<RemotePadRecord>& RemotePadReadLog(RemotePadDriver& driver)
{
    LONG next = RemotePadRead(&driver.block->logNext);
    // Records that have been overwritten cannot be read any more.
    if (next - driver.logCursor > RemotePadLogSize) {
        driver.missed += next - RemotePadLogSize - driver.logCursor;
        driver.logCursor = next - RemotePadLogSize;
    }
    while (driver.logCursor < next) {
        RemotePadRecord record;
        int read = RemotePadReadRecord(driver.block, driver.logCursor, &record);
        if (read == 0)
            break;  // still being written: the next call takes it
        if (read > 0)
            driver.log.push_back(record);
        else
            ++driver.missed;
        ++driver.logCursor;
    }
    return driver.log;
}

void RemotePadClearLog(RemotePadDriver& driver)
{
    driver.logCursor = RemotePadRead(&driver.block->logNext);
    driver.log.clear();
    driver.missed = 0;
}

std::string RemotePadCalls(RemotePadDriver& driver, int pad)
{
    static const char* const names[] = {
        "Create", "EnumDevices", "CreateDeviceEx", "DirectInputRelease", "SetDataFormat", "SetProperty",
        "SetCooperativeLevel", "Acquire", "Unacquire", "Poll", "GetDeviceState", "DeviceRelease", "Other",
    };
    static_assert(sizeof(names) / sizeof(names[0]) == RemoteCallKinds, "a name for every call kind");
    std::string text;
    for (const RemotePadRecord& record : RemotePadReadLog(driver)) {
        if (pad != RemotePadAllCalls && record.device != pad)
            continue;
        text += text.empty() ? "" : " ";
        text += record.call >= 0 && record.call < RemoteCallKinds ? names[record.call] : "?";
        if (record.device >= 0 && pad == RemotePadAllCalls)
            text += "#" + std::to_string(record.device);
        if (FAILED(record.result))
            text += "!";
    }
    return text;
}
