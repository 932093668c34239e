// The PNG decoder: recognises a PNG stream in an open file or in memory and
// decodes it to rows of 24-bit BGR or 32-bit BGRA. One image at a time.
#pragma once

#include <png.h>

#include <cstdio>

#include "runtime/image/image_decoder.h"

// Check results.
constexpr int PngWithoutAlpha = 1;  // 3 bytes a pixel: B, G, R
constexpr int PngWithAlpha = 2;     // 4 bytes a pixel: B, G, R, A

struct PngDecoderState {
    png_structp read;        // null while idle
    png_infop info;
    const png_byte* cursor;  // memory variant: next byte for libpng
    const png_byte* end;     // memory variant: end of the stream, null when unbounded
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    bool registered;
    ImageDecoder record;
};

// Open to the tests, which check that failures leave it idle.
extern PngDecoderState PngDecoder;

// Adds the PNG decoder to the registry, once per process.
void PngDecoderRegister();

// With a file, reads from its current position (opened in binary mode; it
// stays open). With a null file, reads memory; extra is then the stream's
// length in bytes, 0 meaning unbounded. 0, PngWithoutAlpha or PngWithAlpha.
int PngDecoderCheck(FILE* file, const void* memory, int extra);
// Decodes the prepared image into height rows, pitch bytes apart (negative
// for a bottom-up buffer); extra is ignored. 1 done, 0 failed. Either way
// the decoder is idle afterwards.
int PngDecoderDecode(void* pixels, int pitch, int extra);
int PngDecoderWidth();
int PngDecoderHeight();
