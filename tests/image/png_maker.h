// PNG streams written by libpng's writer, and the pixels the decoder should
// make of them, worked out from the samples on their own.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

struct TestPng {
    std::vector<uint8_t> bytes;   // empty when libpng refused
    std::vector<uint8_t> pixels;  // rows of B, G, R (and A), packed
};

// Pseudo-random samples over the whole range of the depth (the first two are
// its ends). transparency adds tRNS to images without alpha: an alpha per
// palette entry, or the first pixel's colour for gray and RGB.
TestPng MakePng(int colorType, int bitDepth, bool interlaced, bool transparency = false, int width = 13,
                int height = 11, unsigned seed = 1);

// A temporary file holding bytes, at its start, open for binary reading.
FILE* StreamFile(const std::vector<uint8_t>& bytes);
