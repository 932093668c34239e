#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>

#include "runtime/image/png_decoder.h"
#include "tests/image/png_maker.h"

// AddressSanitizer (the native build) counts the heap.
#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#include <sanitizer/allocator_interface.h>
#define HEAP_PROBE 1
#endif
#endif

namespace {

using Bytes = std::vector<uint8_t>;

// Heap bytes in use; 0 where not counted (under Wine).
size_t HeapInUse()
{
#ifdef HEAP_PROBE
    return __sanitizer_get_current_allocated_bytes();
#else
    return 0;
#endif
}

// Decodes the prepared image into rows with guard bytes after them
// (bottom-up: a negative pitch); the rows top to bottom, packed, or empty
// when Decode failed.
Bytes DecodeRows(int bytesPerPixel, bool bottomUp)
{
    const int height = PngDecoderHeight(), rowBytes = PngDecoderWidth() * bytesPerPixel, pitch = rowBytes + 3;
    Bytes buffer(size_t(pitch) * height, 0xA5);
    auto row = [&](int y) { return &buffer[size_t(bottomUp ? height - 1 - y : y) * pitch]; };
    if (PngDecoderDecode(row(0), bottomUp ? -pitch : pitch, 0) != 1)
        return {};
    Bytes packed;
    for (int y = 0; y < height; ++y) {
        packed.insert(packed.end(), row(y), row(y) + rowBytes);
        EXPECT_EQ(std::count(row(y) + rowBytes, row(y) + pitch, 0xA5), 3) << "row " << y << " overran";
    }
    return packed;
}

// Every colour type and depth, plain and interlaced (small sizes leave some
// passes empty), from bounded memory, unbounded memory into a bottom-up
// buffer, and a file. tRNS never reaches the output of images without alpha.
TEST(PngDecoder, EveryFormatGivesItsPixels)
{
    const struct {
        int colorType, bitDepth;
        bool transparency;
        int width = 13, height = 11;
    } formats[] = {
        {PNG_COLOR_TYPE_GRAY, 1, false},         {PNG_COLOR_TYPE_GRAY, 2, false, 1, 1},
        {PNG_COLOR_TYPE_GRAY, 4, true},          {PNG_COLOR_TYPE_GRAY, 8, false},
        {PNG_COLOR_TYPE_GRAY, 16, false},        {PNG_COLOR_TYPE_RGB, 8, false, 2, 3},
        {PNG_COLOR_TYPE_RGB, 16, true},          {PNG_COLOR_TYPE_PALETTE, 1, false},
        {PNG_COLOR_TYPE_PALETTE, 2, true, 5, 1}, {PNG_COLOR_TYPE_PALETTE, 4, false, 1, 6},
        {PNG_COLOR_TYPE_PALETTE, 8, true},       {PNG_COLOR_TYPE_GRAY_ALPHA, 8, false},
        {PNG_COLOR_TYPE_GRAY_ALPHA, 16, false},  {PNG_COLOR_TYPE_RGB_ALPHA, 8, false},
        {PNG_COLOR_TYPE_RGB_ALPHA, 16, false, 3, 2},
    };
    for (const auto& f : formats) {
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
            EXPECT_EQ(DecodeRows(bytesPerPixel, true), png.pixels) << "unbounded memory";
            FILE* file = StreamFile(png.bytes);
            ASSERT_EQ(PngDecoderCheck(file, nullptr, 0), kind);
            EXPECT_EQ(DecodeRows(bytesPerPixel, false), png.pixels) << "file";
            fclose(file);
        }
    }
}

// Check, then Decode when Check accepted, of the bytes in memory (extra:
// their length) or in a file: 1 only when both succeed. Either way the
// decoder ends idle, having freed all it took.
int CheckAndDecode(const Bytes& bytes, int extra, bool fromFile = false)
{
    FILE* file = fromFile ? StreamFile(bytes) : nullptr;
    const size_t before = HeapInUse();
    int result = 0;
    if (int kind = PngDecoderCheck(file, fromFile ? nullptr : bytes.data(), extra)) {
        const int pitch = PngDecoderWidth() * (kind == PngWithAlpha ? 4 : 3);
        Bytes pixels(size_t(pitch) * PngDecoderHeight());
        result = PngDecoderDecode(pixels.data(), pitch, 0);
    }
    EXPECT_TRUE(PngDecoder.read == nullptr && PngDecoder.info == nullptr) << "not idle";
    EXPECT_EQ(HeapInUse(), before) << "heap bytes left behind";
    if (file)
        fclose(file);
    return result;
}

const Bytes Sample = MakePng(PNG_COLOR_TYPE_RGB_ALPHA, 8, false).bytes;  // 13 x 11
constexpr int Data = 8 + 25;  // IDAT follows the signature and IHDR

Bytes Flipped(size_t at)
{
    Bytes bytes = Sample;
    bytes[at] ^= 0x40;  // the chunk's CRC no longer matches
    return bytes;
}

// Cuts and corruptions. An exact copy of a cut lets the sanitizer see an
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
    Bytes text(Sample.begin(), Sample.begin() + Data);  // the image data's place
    text.insert(text.end(), {0x7F, 0, 0, 0, 't', 'E', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'});
    const struct {
        const char* what;
        Bytes bytes;
        int extra;
        bool fromFile;
    } rows[] = {
        {"not a PNG", Flipped(1), int(Sample.size()), false},
        {"5 bytes", Bytes(Sample.begin(), Sample.begin() + 5), 5, false},
        {"5 bytes in a file", Bytes(Sample.begin(), Sample.begin() + 5), 0, true},
        {"a negative length", Sample, -1, false},
        {"a width byte changed", Flipped(8 + 8 + 2), int(Sample.size()), false},
        {"image data changed", Flipped(Data + 12), int(Sample.size()), false},
        {"a 2 GB text chunk", text, int(text.size()), false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(CheckAndDecode(row.bytes, row.extra, row.fromFile), 0) << row.what;
    EXPECT_EQ(PngDecoderCheck(nullptr, nullptr, 0), 0);
    for (int cut = 1; cut < int(Sample.size()) - 12; ++cut) {
        ASSERT_EQ(CheckAndDecode(Bytes(Sample.begin(), Sample.begin() + cut), cut), 0) << cut;
        ASSERT_EQ(CheckAndDecode(Sample, cut), 0) << cut;
        if (cut % 11 == 3) {
            ASSERT_EQ(CheckAndDecode(Bytes(Sample.begin(), Sample.begin() + cut), 0, true), 0) << cut;
        }
    }
    EXPECT_EQ(CheckAndDecode(Sample, int(Sample.size())), 1);
#ifdef HEAP_PROBE
    EXPECT_LT(largest, 1u << 20);
#endif
}

// A null buffer gives the image up; a Check replaces one nobody decoded.
TEST(PngDecoder, DecodeTakesOnlyAPreparedImage)
{
    Bytes pixels(13 * 11 * 4);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 13 * 4, 0), 0) << "no Check";
    ASSERT_EQ(CheckAndDecode(Sample, int(Sample.size())), 1);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 13 * 4, 0), 0) << "a second Decode of one Check";
    const size_t before = HeapInUse();
    ASSERT_EQ(PngDecoderCheck(nullptr, Sample.data(), int(Sample.size())), PngWithAlpha);
    EXPECT_EQ(PngDecoderDecode(nullptr, 13 * 4, 0), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);
    TestPng gray = MakePng(PNG_COLOR_TYPE_GRAY, 8, false, false, 5, 3);
    ASSERT_EQ(PngDecoderCheck(nullptr, Sample.data(), int(Sample.size())), PngWithAlpha);
    ASSERT_EQ(PngDecoderCheck(nullptr, gray.bytes.data(), int(gray.bytes.size())), PngWithoutAlpha);
    EXPECT_EQ(DecodeRows(3, false), gray.pixels);
    EXPECT_EQ(HeapInUse(), before) << "heap bytes left behind";
}

// The registration mark lasts for the whole process.
TEST(ImageDecoderRegistry, FullTableRefusesAndPngRegistersOnce)
{
    static ImageDecoder others[ImageDecoderLimit + 1];
    ImageDecoderRegistryInit();
    for (int i = 0; i < ImageDecoderLimit; ++i)
        ASSERT_TRUE(ImageDecoderAdd(&others[i]));
    EXPECT_FALSE(ImageDecoderAdd(&others[ImageDecoderLimit]));
    PngDecoderRegister();  // refused, so not marked
    EXPECT_EQ(ImageDecoders.count, ImageDecoderLimit);

    ImageDecoderRegistryInit();
    PngDecoderRegister();
    PngDecoderRegister();
    ASSERT_EQ(ImageDecoders.count, 1);
    EXPECT_EQ(ImageDecoders.entries[0]->Check, PngDecoderCheck);
    EXPECT_EQ(ImageDecoders.entries[0]->Decode, PngDecoderDecode);
    ImageDecoderRegistryInit();  // emptying the table does not clear the mark
    PngDecoderRegister();
    EXPECT_EQ(ImageDecoders.count, 0);
}

}  // namespace
