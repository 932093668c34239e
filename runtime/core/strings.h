// String variables on the runtime's own unserialised heap.
#pragma once

#include <cstdint>

#include "runtime/core/string_heap.h"

// Creates the StringHeap (once) and a fresh, empty string result buffer.
void StringInit();

// A string variable is a StringHeap block of length + 5 bytes, or null
// (which reads as the empty string). Makes *variable hold a copy of source;
// a null source frees the block. When no block can be had the variable
// keeps what it held.
void StringAssign(char** variable, const char* source);

// Bytes before the terminating zero; 0 for null.
int32_t StringLength(const char* s);

// 1 when both strings hold the same bytes, else 0; null counts as "".
int32_t StringCompare(const char* a, const char* b);
