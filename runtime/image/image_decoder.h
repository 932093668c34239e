// The ordered table of image decoders.
#pragma once

#include <cstdio>

// A decoder's callbacks. Check takes an open file, or with a null file the
// stream in memory; extra is the decoder's own (for PNG in memory: the
// stream's length, 0 for unbounded).
struct ImageDecoder {
    int (*Check)(FILE* file, const void* memory, int extra);  // 0: not this format
    int (*Decode)(void* pixels, int pitch, int extra);        // 1 done, 0 failed
    int (*Width)();
    int (*Height)();
};

// Room in a fixed table, so that registering needs no heap; a program
// registers one decoder per image format, far fewer than this.
constexpr int ImageDecoderLimit = 100;

struct ImageDecoderRegistry {
    ImageDecoder* entries[ImageDecoderLimit];  // in the order of registration
    int count;
};

extern ImageDecoderRegistry ImageDecoders;

void ImageDecoderRegistryInit();
// Appends the record (owned by its decoder); false when the table is full.
bool ImageDecoderAdd(ImageDecoder* decoder);
