#include "harness/remote_pad_block.h"

namespace {

HANDLE blockMapping;
RemotePadBlock* block;

void CloseBlock()
{
    if (block)
        UnmapViewOfFile(block);
    if (blockMapping)
        CloseHandle(blockMapping);
    block = nullptr;
    blockMapping = nullptr;
}

}  // namespace

__declspec(dllexport) RemotePadBlock* RemotePadBlockOpen()
{
    if (block)
        return block;
    char name[MAX_PATH];
    DWORD length = GetEnvironmentVariableA(RemotePadVariable, name, sizeof(name));
    if (length == 0 || length >= sizeof(name) || !(blockMapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE, name)))
        return nullptr;
    block = static_cast<RemotePadBlock*>(MapViewOfFile(blockMapping, FILE_MAP_ALL_ACCESS, 0, 0, 0));
    if (!block || RemotePadRead(reinterpret_cast<LONG*>(&block->magic)) != static_cast<LONG>(RemotePadMagic) ||
        block->size != sizeof(RemotePadBlock))
        CloseBlock();
    return block;
}

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void* reserved)
{
    // Unloaded by FreeLibrary; at the process's end the system unmaps it.
    if (reason == DLL_PROCESS_DETACH && !reserved)
        CloseBlock();
    return TRUE;
}
