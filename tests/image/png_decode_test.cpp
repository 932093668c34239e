#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>

#include "runtime/image/png_decoder.h"
#include "tests/image/png_maker.h"

namespace {

constexpr uint8_t Guard = 0xA5;
constexpr int Padding = 3;  // bytes after each row that the decoder must leave alone

// Decodes the prepared image into padded rows (bottom-up: a negative pitch)
// and returns them top to bottom, packed; empty when Decode failed.
std::vector<uint8_t> DecodeRows(int bytesPerPixel, bool bottomUp)
{
    const int height = PngDecoderHeight(), rowBytes = PngDecoderWidth() * bytesPerPixel, pitch = rowBytes + Padding;
    std::vector<uint8_t> buffer(size_t(pitch) * height, Guard);
    auto row = [&](int y) { return &buffer[size_t(bottomUp ? height - 1 - y : y) * pitch]; };
    if (PngDecoderDecode(row(0), bottomUp ? -pitch : pitch, 0) != 1)
        return {};
    std::vector<uint8_t> packed;
    for (int y = 0; y < height; ++y) {
        packed.insert(packed.end(), row(y), row(y) + rowBytes);
        EXPECT_EQ(std::count(row(y) + rowBytes, row(y) + pitch, Guard), Padding) << "row " << y << " overran";
    }
    return packed;
}

struct Format {
    int colorType, bitDepth;
    bool transparency;  // tRNS, which never reaches the output of gray, RGB and palette images
    int width = 13, height = 11;
};

// Small sizes leave some of the seven interlace passes without pixels.
const Format Formats[] = {
    {PNG_COLOR_TYPE_GRAY, 1, false},          {PNG_COLOR_TYPE_GRAY, 2, false, 1, 1},
    {PNG_COLOR_TYPE_GRAY, 4, true},           {PNG_COLOR_TYPE_GRAY, 8, false},
    {PNG_COLOR_TYPE_GRAY, 16, false},         {PNG_COLOR_TYPE_RGB, 8, false, 2, 3},
    {PNG_COLOR_TYPE_RGB, 16, true},           {PNG_COLOR_TYPE_PALETTE, 1, false},
    {PNG_COLOR_TYPE_PALETTE, 2, true, 5, 1},  {PNG_COLOR_TYPE_PALETTE, 4, false, 1, 6},
    {PNG_COLOR_TYPE_PALETTE, 8, false},       {PNG_COLOR_TYPE_PALETTE, 8, true},
    {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},    {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
    {PNG_COLOR_TYPE_RGB_ALPHA, 8, false},     {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 3, 2},
};

// Every format, plain and interlaced, from bounded memory, unbounded memory
// (into a bottom-up buffer) and a file.
TEST(PngDecode, EveryFormatGivesItsPixels)
{
    for (const Format& f : Formats) {
        for (bool interlaced : {false, true}) {
            SCOPED_TRACE(testing::Message() << "type " << f.colorType << ", depth " << f.bitDepth << ", "
                                            << f.width << "x" << f.height << (interlaced ? ", interlaced" : ""));
            TestPng png = MakePng(f.colorType, f.bitDepth, interlaced, f.transparency, f.width, f.height);
            ASSERT_FALSE(png.bytes.empty());
            const int bytesPerPixel = int(png.pixels.size()) / (f.width * f.height);
            const int kind = bytesPerPixel == 4 ? PngWithAlpha : PngWithoutAlpha;

            ASSERT_EQ(PngDecoderCheck(nullptr, png.bytes.data(), int(png.bytes.size())), kind);
            EXPECT_EQ(PngDecoderWidth(), f.width);
            EXPECT_EQ(PngDecoderHeight(), f.height);
            EXPECT_EQ(DecodeRows(bytesPerPixel, false), png.pixels) << "bounded memory";

            ASSERT_EQ(PngDecoderCheck(nullptr, png.bytes.data(), 0), kind);
            EXPECT_EQ(DecodeRows(bytesPerPixel, true), png.pixels) << "unbounded memory, bottom-up";

            FILE* file = StreamFile(png.bytes);
            ASSERT_NE(file, nullptr);
            ASSERT_EQ(PngDecoderCheck(file, nullptr, 0), kind);
            EXPECT_EQ(DecodeRows(bytesPerPixel, false), png.pixels) << "file";
            fclose(file);
        }
    }
}

}  // namespace
