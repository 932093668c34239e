// PNG streams made by the tests with libpng's writer, and the pixels the
// decoder should make of them, worked out from the samples independently.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

struct PngImage {
    int width;
    int height;
    int colorType;  // PNG_COLOR_TYPE_*
    int bitDepth;
    bool interlaced;
    std::vector<uint16_t> samples;  // row by row, channel by channel; palette indices for type 3
    std::vector<uint8_t> palette;   // R, G, B per entry
    std::vector<uint8_t> paletteAlpha;  // tRNS of a palette image; empty for none
    bool grayOrRgbTransparency;         // a tRNS colour for type 0 or 2
    bool ancillary;                     // gamma, text, background and other chunks that change no pixel
};

int Channels(int colorType);

// Samples spread over the whole range of the depth, both ends included.
PngImage MakeImage(int width, int height, int colorType, int bitDepth, bool interlaced, unsigned seed = 1);

// The encoded stream; empty when libpng refused.
std::vector<uint8_t> EncodePng(const PngImage& image);

// BGR or BGRA rows, packed (width * bytes a pixel).
std::vector<uint8_t> ExpectedPixels(const PngImage& image);
int ExpectedBytesPerPixel(const PngImage& image);

// Offset of the chunk of that type (its length field), or -1.
long ChunkOffset(const std::vector<uint8_t>& png, const char type[4]);
// Recomputes the CRC of the chunk at offset after the test altered it.
void FixChunkCrc(std::vector<uint8_t>& png, long offset);

// A file holding bytes, positioned at its start, opened for binary reading.
FILE* StreamFile(const std::vector<uint8_t>& bytes);
