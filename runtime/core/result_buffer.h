// The string result buffer through which runtime routines hand text back.
//
// Protocol: the caller reads resultUsed and passes it as the position; the
// routine reserves an upper bound there, writes its zero-terminated text
// and releases what it did not use (or calls ResultBufferSetEnd when it has
// no text); the caller then sets resultUsed back to the position and reads
// the text at resultBase + position, reading resultBase after the call
// since the buffer may have moved.
#pragma once

#include <cstdint>

struct StringResultBuffer {
    char* resultBase;        // a StringHeap block; moves when it grows
    int32_t resultUsed;      // bytes in use; results are written here
    int32_t resultCapacity;  // the block is this + 5 bytes once it has grown
};

extern StringResultBuffer ResultBuffer;

// Called by StringInit: resultUsed 0, resultCapacity 16, a 16-byte block.
void ResultBufferInit();

// Makes room for n bytes at position, sets resultUsed := position + n and
// returns resultBase + position. Null, with nothing changed, when the room
// cannot be had.
char* ResultBufferReserve(int32_t n, int32_t position);

// resultUsed := resultUsed - n.
void ResultBufferRelease(int32_t n);

// resultUsed := position, and an empty string there.
void ResultBufferSetEnd(int32_t position);
