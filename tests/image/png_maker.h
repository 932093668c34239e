// PNG streams written by libpng, and the pixels a decoder should make of
// them (rows of B, G, R and A, packed), worked out from the samples alone.
#pragma once

#include <cstdint>
#include <vector>

struct TestPng {
    std::vector<uint8_t> bytes, pixels;  // bytes empty when libpng refused
};

// Pseudo-random samples over the depth's range, the first two its ends.
// transparency adds tRNS to images without alpha: an alpha per palette
// entry, else the first pixel's colour.
TestPng MakePng(int colorType, int bitDepth, bool interlaced, bool transparency = false, int width = 13,
                int height = 11, unsigned seed = 1);
