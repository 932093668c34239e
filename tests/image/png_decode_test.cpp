#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <string>
#include <tuple>

#include "runtime/image/png_decoder.h"
#include "tests/image/png_maker.h"

namespace {

struct Format {
    const char* name;
    int colorType;
    int bitDepth;
    bool transparency;  // tRNS chunk: palette alpha, or a gray/RGB colour
    bool ancillary = false;
};

const Format Formats[] = {
    {"Gray1", PNG_COLOR_TYPE_GRAY, 1, false},
    {"Gray2", PNG_COLOR_TYPE_GRAY, 2, false},
    {"Gray4", PNG_COLOR_TYPE_GRAY, 4, false},
    {"Gray8", PNG_COLOR_TYPE_GRAY, 8, false},
    {"Gray16", PNG_COLOR_TYPE_GRAY, 16, false},
    {"Gray4Transparent", PNG_COLOR_TYPE_GRAY, 4, true},
    {"Rgb8", PNG_COLOR_TYPE_RGB, 8, false},
    {"Rgb16", PNG_COLOR_TYPE_RGB, 16, false},
    {"Rgb8Transparent", PNG_COLOR_TYPE_RGB, 8, true},
    {"Palette1", PNG_COLOR_TYPE_PALETTE, 1, false},
    {"Palette4", PNG_COLOR_TYPE_PALETTE, 4, false},
    {"Palette8", PNG_COLOR_TYPE_PALETTE, 8, false},
    {"Palette8Transparent", PNG_COLOR_TYPE_PALETTE, 8, true},
    {"Palette2Transparent", PNG_COLOR_TYPE_PALETTE, 2, true},
    {"GrayAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
    {"GrayAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},
    {"Rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
    {"Rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, false},
    {"Palette8WithChunks", PNG_COLOR_TYPE_PALETTE, 8, true, true},
};

PngImage ImageOf(const Format& format, bool interlaced, int width = 13, int height = 11)
{
    PngImage image = MakeImage(width, height, format.colorType, format.bitDepth, interlaced, format.bitDepth + 3);
    if (format.transparency && format.colorType == PNG_COLOR_TYPE_PALETTE) {
        for (size_t i = 0; i < image.palette.size() / 3; ++i)
            image.paletteAlpha.push_back(static_cast<uint8_t>(i * 50));
    } else if (format.transparency) {
        image.grayOrRgbTransparency = true;
    }
    image.ancillary = format.ancillary;
    return image;
}

constexpr uint8_t Guard = 0xA5;
constexpr int Padding = 3;  // bytes between rows the decoder must leave alone

// Decodes the prepared image into rows padded on the right, then checks the
// padding and the guard after the buffer, and returns the packed rows.
std::vector<uint8_t> DecodePadded(int bytesPerPixel, int& result)
{
    int rowBytes = PngDecoderWidth() * bytesPerPixel;
    int pitch = rowBytes + Padding;
    std::vector<uint8_t> buffer(static_cast<size_t>(pitch) * PngDecoderHeight() + 16, Guard);
    result = PngDecoderDecode(buffer.data(), pitch, 0);
    std::vector<uint8_t> packed;
    for (int y = 0; y < PngDecoderHeight(); ++y) {
        const uint8_t* row = &buffer[static_cast<size_t>(y) * pitch];
        packed.insert(packed.end(), row, row + rowBytes);
        for (int i = rowBytes; i < pitch; ++i)
            EXPECT_EQ(row[i], Guard) << "row " << y << " written beyond its width";
    }
    for (size_t i = static_cast<size_t>(pitch) * PngDecoderHeight(); i < buffer.size(); ++i)
        EXPECT_EQ(buffer[i], Guard) << "written beyond the buffer";
    return packed;
}

class PngDecodeTest : public ::testing::TestWithParam<std::tuple<Format, bool>> {};

TEST_P(PngDecodeTest, MemoryBoundedUnboundedAndFileGiveTheSamePixels)
{
    const auto& [format, interlaced] = GetParam();
    PngImage image = ImageOf(format, interlaced);
    std::vector<uint8_t> png = EncodePng(image);
    ASSERT_FALSE(png.empty());
    std::vector<uint8_t> expected = ExpectedPixels(image);
    int expectedCheck = (format.colorType & PNG_COLOR_MASK_ALPHA) ? PngWithAlpha : PngWithoutAlpha;
    int bytesPerPixel = ExpectedBytesPerPixel(image);

    for (int extra : {static_cast<int>(png.size()), 0}) {
        SCOPED_TRACE(extra ? "bounded memory" : "unbounded memory");
        ASSERT_EQ(PngDecoderCheck(nullptr, png.data(), extra), expectedCheck);
        EXPECT_EQ(PngDecoderWidth(), image.width);
        EXPECT_EQ(PngDecoderHeight(), image.height);
        int result = 0;
        EXPECT_EQ(DecodePadded(bytesPerPixel, result), expected);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(PngDecoder.read, nullptr);
    }

    SCOPED_TRACE("file");
    FILE* file = StreamFile(png);
    ASSERT_NE(file, nullptr);
    ASSERT_EQ(PngDecoderCheck(file, nullptr, 0), expectedCheck);
    int result = 0;
    EXPECT_EQ(DecodePadded(bytesPerPixel, result), expected);
    EXPECT_EQ(result, 1);
    fclose(file);
}

INSTANTIATE_TEST_SUITE_P(Formats, PngDecodeTest,
                         ::testing::Combine(::testing::ValuesIn(Formats), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<PngDecodeTest::ParamType>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Interlaced" : "");
                         });

std::vector<uint8_t> DecodeMemory(const std::vector<uint8_t>& png, int bytesPerPixel)
{
    std::vector<uint8_t> pixels;
    if (PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())) == 0)
        return pixels;
    pixels.assign(static_cast<size_t>(PngDecoderWidth()) * PngDecoderHeight() * bytesPerPixel, 0);
    if (!PngDecoderDecode(pixels.data(), PngDecoderWidth() * bytesPerPixel, 0))
        pixels.clear();
    return pixels;
}

// Small sizes leave some of the seven passes without pixels.
TEST(PngDecodeShapes, InterlacedTwinsMatchAtEverySmallSize)
{
    const Format rgba{"Rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, false};
    for (int width = 1; width <= 9; ++width) {
        for (int height = 1; height <= 9; ++height) {
            SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
            std::vector<uint8_t> plain = DecodeMemory(EncodePng(ImageOf(rgba, false, width, height)), 4);
            std::vector<uint8_t> interlaced = DecodeMemory(EncodePng(ImageOf(rgba, true, width, height)), 4);
            ASSERT_EQ(plain.size(), static_cast<size_t>(width) * height * 4);
            EXPECT_EQ(plain, interlaced);
        }
    }
}

TEST(PngDecodeShapes, ChannelOrderIsBlueGreenRedAlpha)
{
    // One pixel, red 10, green 20, blue 30, alpha 40.
    PngImage image = MakeImage(1, 1, PNG_COLOR_TYPE_RGB_ALPHA, 8, false);
    image.samples = {10, 20, 30, 40};
    std::vector<uint8_t> expected{30, 20, 10, 40};
    EXPECT_EQ(DecodeMemory(EncodePng(image), 4), expected);

    image = MakeImage(1, 1, PNG_COLOR_TYPE_RGB, 16, false);
    image.samples = {0x0A01, 0x14FF, 0x1E80};
    expected = {30, 20, 10};
    EXPECT_EQ(DecodeMemory(EncodePng(image), 3), expected);
}

TEST(PngDecodeShapes, NegativePitchFillsBottomUp)
{
    for (bool interlaced : {false, true}) {
        SCOPED_TRACE(interlaced ? "interlaced" : "progressive");
        PngImage image = ImageOf({"Rgb8", PNG_COLOR_TYPE_RGB, 8, false}, interlaced, 7, 5);
        std::vector<uint8_t> png = EncodePng(image);
        std::vector<uint8_t> expected = ExpectedPixels(image);
        int rowBytes = image.width * 3;

        ASSERT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), PngWithoutAlpha);
        std::vector<uint8_t> buffer(expected.size(), 0);
        uint8_t* lastRow = &buffer[static_cast<size_t>(image.height - 1) * rowBytes];
        ASSERT_EQ(PngDecoderDecode(lastRow, -rowBytes, 0), 1);
        for (int y = 0; y < image.height; ++y) {
            const uint8_t* got = &buffer[static_cast<size_t>(image.height - 1 - y) * rowBytes];
            const uint8_t* want = &expected[static_cast<size_t>(y) * rowBytes];
            EXPECT_EQ(0, memcmp(got, want, rowBytes)) << "image row " << y;
        }
    }
}

}  // namespace
