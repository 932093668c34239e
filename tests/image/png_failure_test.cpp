#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <cstring>

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

// Check, then Decode when Check accepted, of the bytes in memory (extra:
// their length) or in a file: 1 only when both succeed. Either way the
// decoder ends idle, having freed all it took.
int CheckAndDecode(const Bytes& bytes, int extra, bool fromFile = false)
{
    FILE* file = fromFile ? StreamFile(bytes) : nullptr;
    size_t before = HeapInUse();
    int result = 0;
    if (int kind = PngDecoderCheck(file, fromFile ? nullptr : bytes.data(), extra)) {
        int pitch = PngDecoderWidth() * (kind == PngWithAlpha ? 4 : 3);
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

TEST(PngFailures, NotAPngIsRefusedAndTheFileReadEightBytes)
{
    Bytes png = Sample;
    png[1] = 'Q';
    EXPECT_EQ(CheckAndDecode(png, int(png.size())), 0);
    FILE* file = StreamFile(png);
    EXPECT_EQ(PngDecoderCheck(file, nullptr, 0), 0);
    EXPECT_EQ(ftell(file), 8);
    fclose(file);

    // Shorter than a signature (exactly 5 bytes on the heap: the sanitizer
    // sees a read beyond), a null stream, a negative length.
    Bytes stub(Sample.begin(), Sample.begin() + 5);
    EXPECT_EQ(CheckAndDecode(stub, 5), 0);
    EXPECT_EQ(CheckAndDecode(stub, 0, true), 0);
    EXPECT_EQ(PngDecoderCheck(nullptr, nullptr, 0), 0);
    EXPECT_EQ(CheckAndDecode(Sample, -1), 0);
}

TEST(PngFailures, DecodeTakesOnlyAPreparedImage)
{
    Bytes pixels(13 * 11 * 4);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 13 * 4, 0), 0) << "no Check";
    ASSERT_EQ(CheckAndDecode(Sample, int(Sample.size())), 1);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 13 * 4, 0), 0) << "a second Decode of one Check";

    // A null buffer gives the image up; a Check replaces one nobody decoded.
    TestPng gray = MakePng(PNG_COLOR_TYPE_GRAY, 8, false, false, 5, 3);
    size_t before = HeapInUse();
    ASSERT_EQ(PngDecoderCheck(nullptr, Sample.data(), int(Sample.size())), PngWithAlpha);
    EXPECT_EQ(PngDecoderDecode(nullptr, 13 * 4, 0), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);
    EXPECT_EQ(HeapInUse(), before) << "heap bytes left behind";
    ASSERT_EQ(PngDecoderCheck(nullptr, Sample.data(), int(Sample.size())), PngWithAlpha);
    ASSERT_EQ(PngDecoderCheck(nullptr, gray.bytes.data(), int(gray.bytes.size())), PngWithoutAlpha);
    pixels.assign(5 * 3 * 3, 0);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 5 * 3, 0), 1);
    EXPECT_EQ(pixels, gray.pixels);
    EXPECT_EQ(HeapInUse(), before) << "heap bytes left behind";
}

// Every cut before the end chunk loses data the decoder needs. In memory the
// cut is made twice: an exact copy (the sanitizer sees an overread) and the
// whole stream with the shorter length (only the bound stops the decoder).
TEST(PngFailures, TruncatedStreamsFailAndLeakNothing)
{
    for (int cut = 1; cut < int(Sample.size()) - 12; ++cut) {
        SCOPED_TRACE(cut);
        Bytes exact(Sample.begin(), Sample.begin() + cut);
        ASSERT_EQ(CheckAndDecode(exact, cut), 0);
        ASSERT_EQ(CheckAndDecode(Sample, cut), 0);
        if (cut % 11 == 3) {
            ASSERT_EQ(CheckAndDecode(exact, 0, true), 0);
        }
    }
    EXPECT_EQ(CheckAndDecode(Sample, int(Sample.size())), 1);
}

TEST(PngFailures, CorruptedStreamsFailAndLeakNothing)
{
    ASSERT_EQ(memcmp(&Sample[Data + 4], "IDAT", 4), 0);
    for (int at : {8 + 8 + 2, Data + 8 + 4}) {  // a width byte; image data
        Bytes png = Sample;
        png[at] ^= 0x40;  // the chunk's CRC no longer matches
        EXPECT_EQ(CheckAndDecode(png, int(png.size())), 0) << "byte " << at;
    }
}

// A fuzzer's find: libpng took a text chunk's declared length (2 GB here) on
// trust and allocated it before reading a byte of it.
TEST(PngFailures, ChunkLengthsAreNotTakenOnTrust)
{
    const uint8_t text[] = {0x7F, 0, 0, 0, 't', 'E', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'};
    Bytes png(Sample.begin(), Sample.begin() + Data + sizeof text);
    memcpy(&png[Data], text, sizeof text);  // in place of the image data
#ifdef HEAP_PROBE
    static size_t largest = 0;
    ASSERT_NE(__sanitizer_install_malloc_and_free_hooks(
                  [](const volatile void*, size_t size) { largest = std::max(largest, size); },
                  [](const volatile void*) {}),
              0);
    EXPECT_EQ(CheckAndDecode(png, int(png.size())), 0);
    EXPECT_LT(largest, 1u << 20);
#else
    EXPECT_EQ(CheckAndDecode(png, int(png.size())), 0);
#endif
}

}  // namespace
