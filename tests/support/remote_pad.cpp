// The remote pad block's own operations, used by both of its sides.
#include "tests/support/remote_pad.h"

#include <cstring>

namespace {

// A reader that keeps meeting a state being written gives up rather than
// hang on a driver that died half-way through a write.
constexpr int StateReadTries = 10000;

}  // namespace

RemotePadBlock* RemotePadMap(const char* name, HANDLE* mapping)
{
    *mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name);
    if (!*mapping)
        return nullptr;
    // Fails when the section is smaller than this layout.
    auto* block = static_cast<RemotePadBlock*>(MapViewOfFile(*mapping, FILE_MAP_ALL_ACCESS, 0, 0, sizeof(RemotePadBlock)));
    if (block && RemotePadRead(reinterpret_cast<LONG*>(&block->magic)) == static_cast<LONG>(RemotePadMagic) &&
        block->version == RemotePadVersion && block->size == sizeof(RemotePadBlock))
        return block;
    RemotePadUnmap(block, *mapping);
    *mapping = nullptr;
    return nullptr;
}

void RemotePadUnmap(RemotePadBlock* block, HANDLE mapping)
{
    if (block)
        UnmapViewOfFile(block);
    if (mapping)
        CloseHandle(mapping);
}

LONG RemotePadRead(LONG* word)
{
    return InterlockedCompareExchange(word, 0, 0);
}

HRESULT RemotePadLog(RemotePadBlock* block, RemoteCall call, int device, HRESULT result)
{
    LONG n = InterlockedIncrement(&block->logNext) - 1;
    RemotePadRecord& record = block->log[n % RemotePadLogSize];
    InterlockedExchange(&record.sequence, 0);
    record.call = call;
    record.device = device;
    record.result = result;
    InterlockedExchange(&record.sequence, n + 1);
    InterlockedIncrement(&block->counts[call]);
    return result;
}

int RemotePadReadRecord(RemotePadBlock* block, LONG n, RemotePadRecord* out)
{
    RemotePadRecord& record = block->log[n % RemotePadLogSize];
    if (RemotePadRead(&record.sequence) == n + 1) {
        RemotePadRecord copy = {n + 1, record.call, record.device, record.result};
        // Still the same record after the copy: it was not overwritten meanwhile.
        if (RemotePadRead(&record.sequence) == n + 1) {
            *out = copy;
            return 1;
        }
    }
    return RemotePadRead(&block->logNext) > n + RemotePadLogSize ? -1 : 0;
}

void RemotePadWriteState(RemotePadDevice* device, const DIJOYSTATE& state)
{
    InterlockedIncrement(&device->stateSequence);
    std::memcpy(&device->state, &state, sizeof(DIJOYSTATE));
    InterlockedIncrement(&device->stateSequence);
}

bool RemotePadReadState(RemotePadDevice* device, DIJOYSTATE* out)
{
    for (int i = 0; i < StateReadTries; ++i) {
        LONG before = RemotePadRead(&device->stateSequence);
        if (!(before & 1)) {
            std::memcpy(out, &device->state, sizeof(DIJOYSTATE));
            if (RemotePadRead(&device->stateSequence) == before)
                return true;
        }
        SwitchToThread();
    }
    return false;
}

void RemotePadStampRead(RemotePadBlock* block)
{
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    LONG n = InterlockedIncrement(&block->readStampNext) - 1;
    InterlockedExchange64(&block->readStamps[n % RemotePadReadStampCount], now.QuadPart);
}
