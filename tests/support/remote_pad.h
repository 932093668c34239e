// The simulated game pad: the layout of the named shared-memory block
// through which a test (remote_pad_driver.h) plugs in, moves and breaks
// pads, and from which our dinput.dll serves DirectInput, recording every
// call and what it was handed. The test may run in the process that loads
// the DLL or start other programs that do.
//
// The DLL finds the block by the name in the environment variable
// KEYVANE_PAD. Both sides write the words that change while another process
// reads them with Interlocked operations: the pad states behind a sequence
// counter, the call log as records that carry their own sequence number, so
// that a reader never takes a torn one. The records of arguments are
// written plainly: a test reads them after the calls that wrote them.
#pragma once

#define DIRECTINPUT_VERSION 0x0700
#include <dinput.h>

constexpr char RemotePadVariable[] = "KEYVANE_PAD";
constexpr DWORD RemotePadMagic = 0x4450564Bu;  // "KVPD"
constexpr DWORD RemotePadVersion = 4;
constexpr int RemotePadMaxDevices = 32;
constexpr int RemotePadLogSize = 4096;       // a ring: the newest records are kept
constexpr int RemotePadFormatObjects = 44;   // those of the standard joystick format
constexpr int RemotePadPropertyRecords = 4;  // SetProperty calls kept per device
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

// One logged call. sequence is the record's number + 1 once it is complete,
// 0 while it is being written.
struct RemotePadRecord {
    LONG sequence;
    LONG call;    // RemoteCall
    LONG device;  // the pad whose device was called; -1 for DirectInput
    LONG result;  // HRESULT
};

// One DIOBJECTDATAFORMAT, its GUID copied.
struct RemotePadObjectFormat {
    GUID guid;  // GUID_NULL when pguid was null
    LONG hasGuid;
    DWORD offset;
    DWORD type;
    DWORD flags;
};

// A copy of the data format handed to SetDataFormat.
struct RemotePadFormat {
    DWORD size;
    DWORD objSize;
    DWORD flags;
    DWORD dataSize;
    DWORD numObjs;
    RemotePadObjectFormat objects[RemotePadFormatObjects];  // the first numObjs
};

struct RemotePadProperty {
    DWORD property;  // the MAKEDIPROP number: 4 for DIPROP_RANGE
    DIPROPHEADER header;
    LONG min;  // DIPROP_RANGE only
    LONG max;
    LONG result;
};

struct RemotePadDevice {
    LONG attached;
    // The set-up step fails with this HRESULT when it is not DI_OK.
    LONG createDeviceResult;
    LONG setDataFormatResult;
    LONG setRangeXResult;
    LONG setRangeYResult;
    LONG failReads;  // the next that many GetDeviceState calls fail
    LONG refs;       // references held on all of the pad's device objects
    LONG acquired;   // of the pad's device objects, those acquired
    LONG stateSequence;  // odd while the driver writes state
    DIJOYSTATE state;
    // What the pad's newest device object was handed.
    RemotePadFormat format;
    LONG propertyCount;  // the first RemotePadPropertyRecords are kept
    RemotePadProperty properties[RemotePadPropertyRecords];
    LONG stateSize;  // of the last GetDeviceState
};

// The arguments of the last DirectInputCreateEx.
struct RemotePadCreateRecord {
    ULONG_PTR instance;
    DWORD version;
    GUID iid;
    LONG outerGiven;
    ULONG_PTR object;  // what it handed out, or 0
};

// The arguments and callback results of the last EnumDevices.
struct RemotePadEnumRecord {
    DWORD devType;
    DWORD flags;
    ULONG_PTR context;
    LONG callbacks;
    LONG results[RemotePadMaxDevices];
};

struct RemotePadBlock {
    DWORD magic;
    DWORD version;
    DWORD size;
    LONG deviceCount;  // pads plugged in so far; numbers are never reused
    LONG createFails;  // DirectInputCreateEx leaves the pointer null
    // Unless DI_OK, EnumDevices stops after enumFailAfter pads and returns it.
    LONG enumDevicesResult;
    LONG enumFailAfter;
    LONG directInputRefs;  // references held on all DirectInput objects
    LONG counts[RemoteCallKinds];  // every call ever made, by kind
    RemotePadCreateRecord create;
    RemotePadEnumRecord enumeration;
    RemotePadDevice devices[RemotePadMaxDevices];
    LONG logNext;  // records claimed so far; record n sits at log[n % RemotePadLogSize]
    RemotePadRecord log[RemotePadLogSize];
    // When each GetDeviceState began (QueryPerformanceCounter), on any pad:
    // stamp n sits at readStamps[n % RemotePadReadStampCount] and is
    // complete once readStampNext > n + 1 (one program writes them in turn).
    LONG readStampNext;
    LONGLONG readStamps[RemotePadReadStampCount];
};

// Maps an existing block by name; null when there is none or it is not of
// this layout. RemotePadUnmap undoes it.
RemotePadBlock* RemotePadMap(const char* name, HANDLE* mapping);
void RemotePadUnmap(RemotePadBlock* block, HANDLE mapping);

// An Interlocked read of a word of the block.
LONG RemotePadRead(LONG* word);

// Appends one record to the log and counts the call; returns result.
HRESULT RemotePadLog(RemotePadBlock* block, RemoteCall call, int device, HRESULT result);

// Copies log record number n (0-based, as counted by logNext). 1 when it was
// copied, 0 when it is not complete yet, -1 when it has been overwritten.
int RemotePadReadRecord(RemotePadBlock* block, LONG n, RemotePadRecord* out);

// The driver writes a pad's state and the DLL reads it, each in one piece.
void RemotePadWriteState(RemotePadDevice* device, const DIJOYSTATE& state);
bool RemotePadReadState(RemotePadDevice* device, DIJOYSTATE* out);

// The DLL's side: records the time of a read.
void RemotePadStampRead(RemotePadBlock* block);
