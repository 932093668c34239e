// The heap of string variables and the string result buffer, below both.
#pragma once

#include <windows.h>
#include <cstdint>

// Created once by StringInit; one UI thread only. Ends with the process.
inline HANDLE StringHeap = nullptr;

constexpr DWORD StringHeapOptions = HEAP_NO_SERIALIZE;

// Beyond its text a block holds the terminator and four spare bytes: one
// rule sizes every block on this heap.
constexpr int32_t StringBlockExtra = 5;
