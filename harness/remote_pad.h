// The simulated game pad: the named shared-memory block through which a
// test (remote_pad_driver.h) plugs in, moves and breaks pads, and from
// which our dinput.dll serves DirectInput to every program that loads it,
// logging each call. The DLL finds the block by the name in KEYVANE_PAD.
//
// Words that one process changes while another reads them are accessed
// with Interlocked operations; a pad's state is written behind a sequence
// counter so that a reader never takes a torn one.
#pragma once

#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

constexpr char RemotePadVariable[] = "KEYVANE_PAD";
constexpr DWORD RemotePadMagic = 0x4450564Bu;  // "KVPD"
constexpr int RemotePadMaxDevices = 32;
constexpr int RemotePadLogSize = 4096;  // a ring: the newest calls are kept
// Read times kept: 80 s of polls at one per 10 ms, more than a bench phase.
constexpr int RemotePadReadStampCount = 8192;

// The DirectInput calls the log tells apart.
enum RemoteCall : LONG {
    RemoteCallCreate,  // DirectInputCreateEx
    RemoteCallEnumDevices,
    RemoteCallCreateDeviceEx,
    RemoteCallDirectInputRelease,
    RemoteCallSetDataFormat,
    RemoteCallSetProperty,
    RemoteCallSetCooperativeLevel,
    RemoteCallAcquire,
    RemoteCallUnacquire,
    RemoteCallPoll,
    RemoteCallGetDeviceState,
    RemoteCallDeviceRelease,
    RemoteCallOther,  // anything else: the library has no business calling it
    RemoteCallKinds
};

// What a pad's set-up steps answer; anything but DI_OK fails that step.
struct RemotePadFaults {
    HRESULT createDevice = DI_OK;
    HRESULT setDataFormat = DI_OK;
    HRESULT setRangeX = DI_OK;
    HRESULT setRangeY = DI_OK;
};

// How the next read of a pad faults: in the reader's thread, or in a
// thread of the driver's own while the read goes on.
enum RemotePadCrash : LONG { RemotePadCrashNone, RemotePadCrashInRead, RemotePadCrashOnThread };

struct RemotePadDevice {
    LONG attached;
    RemotePadFaults faults;
    LONG failReads;  // the next that many GetDeviceState calls fail
    LONG crashRead;  // the next GetDeviceState call faults, as a broken driver (RemotePadCrash)
    LONG refs;       // references held on all of the pad's device objects
    LONG rangeMin[2], rangeMax[2];  // of X and Y, as SetProperty set them
    LONG stateSequence;  // odd while the driver writes state
    DIJOYSTATE state;
};

struct RemotePadBlock {
    DWORD magic;
    DWORD size;
    LONG deviceCount;  // pads plugged in so far; numbers are never reused
    LONG createFails;  // DirectInputCreateEx leaves the pointer null
    // Unless DI_OK, EnumDevices stops after enumFailAfter pads and returns it.
    LONG enumDevicesResult;
    LONG enumFailAfter;
    LONG directInputRefs;  // references held on all DirectInput objects
    // Call n sits at log[n % RemotePadLogSize] as RemotePadLogEntry made it.
    LONG logNext;
    LONG log[RemotePadLogSize];
    // When each GetDeviceState on any pad began (QueryPerformanceCounter):
    // stamp n sits at readStamps[n % RemotePadReadStampCount], complete once
    // readStampNext > n + 1 (one program writes them in turn). readStampNext
    // is also the count of those calls.
    LONG readStampNext;
    LONGLONG readStamps[RemotePadReadStampCount];
    RemotePadDevice devices[RemotePadMaxDevices];
    // The program's timer and power-throttling requests as dinput.dll,
    // hooking them inside it, saw them (remote_timer_watch.cpp).
    char timerCalls[512];
};

// An Interlocked read of a word of the block.
inline LONG RemotePadRead(LONG* word)
{
    return InterlockedCompareExchange(word, 0, 0);
}

// A log entry packs the call, its device (-1 for DirectInput itself) and
// whether it failed into one word, 0 being "not written yet".
struct RemotePadLogged {
    int call;  // RemoteCall, or -1 for an entry not written yet
    int device;
    bool failed;
};

// Appends the call to the block's log; returns result.
inline HRESULT RemotePadLogCall(RemotePadBlock* block, RemoteCall call, int device, HRESULT result)
{
    LONG n = InterlockedIncrement(&block->logNext) - 1;
    LONG entry = (call + 1) | (device + 1) << 8 | (FAILED(result) ? 1 << 16 : 0);
    InterlockedExchange(&block->log[n % RemotePadLogSize], entry);
    return result;
}

inline RemotePadLogged RemotePadLogDecode(LONG entry)
{
    return {(entry & 0xFF) - 1, ((entry >> 8) & 0xFF) - 1, (entry & 1 << 16) != 0};
}
