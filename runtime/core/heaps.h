// The runtime's two private heaps.
#pragma once

#include <windows.h>
#include <cstddef>

// Object tables, slot arrays, state records and the libraries' own blocks.
// Created by the entry routine before anything else, destroyed last.
extern HANDLE MainHeap;

// Every ListNode. Lives until the process ends.
extern HANDLE ListHeap;

void ListHeapInit();
void ListHeapEnd();

// Zero-filled block from the MainHeap; null when there is no heap or no room.
void* MainHeapAllocZero(size_t size);
// Resizes a MainHeap block, zero-filling what is added; null (and the block
// untouched) when it cannot.
void* MainHeapResizeZero(void* block, size_t size);
void MainHeapFree(void* block);
