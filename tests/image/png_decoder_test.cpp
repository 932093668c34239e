#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstdio>
#include <utility>

#include "runtime/image/png_decoder.h"
#include "tests/image/png_maker.h"

// No runtime start: the decoder keeps no runtime state, and this suite also
// runs natively (tests/native), where there is no runtime to start.

// AddressSanitizer (the native build) lets a test see the allocations;
// LeakSanitizer reports what the decoder leaves behind.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define HEAP_PROBE 1
#endif
#endif

namespace {

using Bytes = std::vector<uint8_t>;

// Check, then Decode of the bytes in memory (extra: their length) or in a
// file into rows with guard bytes after them (bottom-up: a negative pitch);
// the rows top to bottom, packed, or nothing when either failed. Either way
// the decoder ends idle.
Bytes CheckAndDecode(const Bytes& bytes, int extra, bool fromFile = false, bool bottomUp = false)
{
    FILE* file = fromFile ? tmpfile() : nullptr;
    if (file) {
        fwrite(bytes.data(), 1, bytes.size(), file);
        rewind(file);
    }
    Bytes buffer, packed;
    int height = 0, rowBytes = 0, pitch = 0;
    bool decoded = false;
    if (const int kind = PngDecoderCheck(file, fromFile ? nullptr : bytes.data(), extra)) {
        height = PngDecoderHeight(), rowBytes = PngDecoderWidth() * (kind == PngWithAlpha ? 4 : 3);
        pitch = rowBytes + 3;
        buffer.assign(size_t(pitch) * height, 0xA5);
        uint8_t* top = &buffer[bottomUp ? size_t(height - 1) * pitch : 0];
        decoded = PngDecoderDecode(top, bottomUp ? -pitch : pitch, 0) == 1;
    }
    EXPECT_TRUE(PngDecoder.read == nullptr && PngDecoder.info == nullptr) << "not idle";
    for (int y = 0; decoded && y < height; ++y) {
        const uint8_t* row = &buffer[size_t(bottomUp ? height - 1 - y : y) * pitch];
        packed.insert(packed.end(), row, row + rowBytes);
        EXPECT_EQ(std::count(row + rowBytes, row + pitch, 0xA5), 3) << "row " << y << " overran";
    }
    if (file)
        fclose(file);
    return packed;
}

// Every colour type and depth (libpng refuses the others), plain and
// interlaced, with and without tRNS (it never gives an image alpha), at sizes
// that leave interlace passes empty; from bounded and unbounded memory (into
// a bottom-up buffer) and a file.
TEST(PngDecoder, EveryFormatGivesItsPixels)
{
    int made = 0;
    for (int colorType = 0; colorType <= PNG_COLOR_TYPE_RGB_ALPHA; ++colorType)
        for (int bitDepth = 1; bitDepth <= 16; bitDepth *= 2)
            for (const auto& [width, height] : {std::pair{13, 11}, {1, 1}, {5, 1}, {1, 6}, {3, 2}})
                for (int variant = 0; variant < 4; ++variant) {  // 1: interlaced, 2: tRNS
                    const TestPng png = MakePng(colorType, bitDepth, variant & 1, variant & 2, width, height);
                    if (png.bytes.empty())
                        continue;  // no such colour type, or no such depth for it
                    ++made;
                    SCOPED_TRACE(testing::Message() << "type " << colorType << ", depth " << bitDepth << ", " << width
                                                    << "x" << height << ", variant " << variant);
                    EXPECT_EQ(CheckAndDecode(png.bytes, int(png.bytes.size())), png.pixels) << "bounded memory";
                    EXPECT_EQ(CheckAndDecode(png.bytes, 0, false, true), png.pixels) << "unbounded memory";
                    EXPECT_EQ(CheckAndDecode(png.bytes, 0, true), png.pixels) << "file";
                }
    EXPECT_EQ(made, 15 * 5 * 4) << "PNG has 15 pairs of colour type and depth";
}

const Bytes Sample = MakePng(PNG_COLOR_TYPE_RGB_ALPHA, 8, false).bytes;  // 13 x 11
constexpr int Data = 8 + 25;  // IDAT follows the signature and IHDR

Bytes Flipped(size_t at)  // the chunk's CRC no longer matches
{
    Bytes bytes = Sample;
    bytes[at] ^= 0x40;
    return bytes;
}

// Every cut is made twice: an exact copy lets the sanitizer see an
// overread; the whole stream with a shorter length is stopped only by the
// bound. A fuzzer's find: libpng took a text chunk's declared length (2 GB)
// on trust and allocated it before reading a byte.
TEST(PngDecoder, BadStreamsFailAndLeakNothing)
{
#ifdef HEAP_PROBE
    static size_t largest = 0;
    ASSERT_NE(__sanitizer_install_malloc_and_free_hooks(
                  [](const volatile void*, size_t size) { largest = std::max(largest, size); },
                  [](const volatile void*) {}),
              0);
#endif
    Bytes text(Sample.begin(), Sample.begin() + Data);  // in place of the image data
    text.insert(text.end(), {0x7F, 0, 0, 0, 't', 'E', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'});
    const struct {
        const char* what;
        Bytes bytes;
        int extra;
    } rows[] = {
        {"not a PNG", Flipped(1), int(Sample.size())},                   {"a negative length", Sample, -1},
        {"image data changed", Flipped(Data + 12), int(Sample.size())}, {"a 2 GB text chunk", text, int(text.size())},
    };
    for (const auto& row : rows)
        EXPECT_TRUE(CheckAndDecode(row.bytes, row.extra).empty()) << row.what;
    EXPECT_EQ(PngDecoderCheck(nullptr, nullptr, 0), 0);
    for (int cut = 1; cut < int(Sample.size()) - 12; ++cut) {
        ASSERT_TRUE(CheckAndDecode(Bytes(Sample.begin(), Sample.begin() + cut), cut).empty()) << cut;
        ASSERT_TRUE(CheckAndDecode(Sample, cut).empty()) << cut;
        ASSERT_TRUE(cut % 11 != 3 || CheckAndDecode(Bytes(Sample.begin(), Sample.begin() + cut), 0, true).empty());
    }
#ifdef HEAP_PROBE
    EXPECT_LT(largest, 1u << 20);
#endif

    // Decode takes only an image that Check prepared; a null buffer gives it up.
    Bytes pixels(13 * 11 * 4);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 13 * 4, 0), 0);
    ASSERT_EQ(PngDecoderCheck(nullptr, Sample.data(), int(Sample.size())), PngWithAlpha);
    EXPECT_EQ(PngDecoderDecode(nullptr, 13 * 4, 0), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);
}

// A full table refuses a decoder, PNG's too, which can then register once.
TEST(ImageDecoderRegistry, FullTableRefusesAndPngRegistersOnce)
{
    static ImageDecoder others[ImageDecoderLimit + 1];
    ImageDecoderRegistryInit();
    for (ImageDecoder& other : others)
        EXPECT_EQ(ImageDecoderAdd(&other), &other != &others[ImageDecoderLimit]);
    PngDecoderRegister();
    ImageDecoderRegistryInit();
    PngDecoderRegister();
    PngDecoderRegister();
    ASSERT_EQ(ImageDecoders.count, 1);
    EXPECT_EQ(ImageDecoders.entries[0]->Decode, PngDecoderDecode);
}

}  // namespace
