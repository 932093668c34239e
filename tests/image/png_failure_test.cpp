#include <gtest/gtest.h>
#include <png.h>

#include <cstring>
#include <memory>

#include "runtime/image/png_decoder.h"
#include "tests/image/heap_probe.h"
#include "tests/image/png_maker.h"

namespace {

std::vector<uint8_t> SamplePng(bool interlaced = false)
{
    return EncodePng(MakeImage(23, 17, PNG_COLOR_TYPE_RGB_ALPHA, 8, interlaced));
}

// Check, then Decode when Check accepted: 1 only when both succeed. The
// decoder must be idle afterwards, having freed all it took.
int CheckAndDecode(FILE* file, const uint8_t* memory, int extra)
{
    long long before = HeapBytesInUse();
    int result = 0;
    if (int kind = PngDecoderCheck(file, memory, extra)) {
        size_t size = static_cast<size_t>(PngDecoderWidth()) * PngDecoderHeight() * (kind == PngWithAlpha ? 4 : 3);
        auto pixels = std::make_unique<uint8_t[]>(size);
        result = PngDecoderDecode(pixels.get(), PngDecoderWidth() * (kind == PngWithAlpha ? 4 : 3), 0);
    }
    EXPECT_EQ(PngDecoder.read, nullptr);
    EXPECT_EQ(PngDecoder.info, nullptr);
    if (before >= 0) {
        EXPECT_EQ(HeapBytesInUse(), before) << "heap bytes left behind";
    }
    return result;
}

// A copy of exactly length bytes on the heap, so that the sanitizer sees a
// read beyond it.
std::unique_ptr<uint8_t[]> Exact(const std::vector<uint8_t>& bytes, size_t length)
{
    auto copy = std::make_unique<uint8_t[]>(length ? length : 1);
    memcpy(copy.get(), bytes.data(), length);
    return copy;
}

TEST(PngFailures, NotAPngIsRefusedAndTheFileReadEightBytes)
{
    std::vector<uint8_t> png = SamplePng();
    png[1] = 'Q';
    EXPECT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);

    FILE* file = StreamFile(png);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PngDecoderCheck(file, nullptr, 0), 0);
    EXPECT_EQ(ftell(file), 8);
    fclose(file);

    // Shorter than a signature.
    std::vector<uint8_t> stub(png.begin(), png.begin() + 5);
    stub[1] = 'P';
    file = StreamFile(stub);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(PngDecoderCheck(file, nullptr, 0), 0);
    fclose(file);
    auto exact = Exact(stub, stub.size());
    EXPECT_EQ(PngDecoderCheck(nullptr, exact.get(), static_cast<int>(stub.size())), 0);
    EXPECT_EQ(PngDecoderCheck(nullptr, nullptr, 0), 0);
    EXPECT_EQ(PngDecoderCheck(nullptr, png.data(), -1), 0);
}

TEST(PngFailures, DecodeNeedsAPreparedImage)
{
    std::vector<uint8_t> pixels(23 * 17 * 4);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 23 * 4, 0), 0);

    std::vector<uint8_t> png = SamplePng();
    ASSERT_EQ(CheckAndDecode(nullptr, png.data(), static_cast<int>(png.size())), 1);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 23 * 4, 0), 0) << "a second Decode of one Check";

    // A null buffer gives the prepared image up.
    long long before = HeapBytesInUse();
    ASSERT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), PngWithAlpha);
    EXPECT_EQ(PngDecoderDecode(nullptr, 23 * 4, 0), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);
    if (before >= 0) {
        EXPECT_EQ(HeapBytesInUse(), before);
    }
}

TEST(PngFailures, ACheckReplacesAnImageNobodyDecoded)
{
    std::vector<uint8_t> first = SamplePng();
    PngImage image = MakeImage(5, 3, PNG_COLOR_TYPE_GRAY, 8, false);
    std::vector<uint8_t> second = EncodePng(image);

    std::vector<uint8_t> pixels(5 * 3 * 3);
    long long before = HeapBytesInUse();
    ASSERT_EQ(PngDecoderCheck(nullptr, first.data(), static_cast<int>(first.size())), PngWithAlpha);
    ASSERT_EQ(PngDecoderCheck(nullptr, second.data(), static_cast<int>(second.size())), PngWithoutAlpha);
    EXPECT_EQ(PngDecoderWidth(), 5);
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 5 * 3, 0), 1);
    EXPECT_EQ(pixels, ExpectedPixels(image));
    if (before >= 0) {
        EXPECT_EQ(HeapBytesInUse(), before) << "the first image was leaked";
    }
}

// Every cut before the end chunk loses data the decoder needs.
TEST(PngFailures, TruncatedStreamsFailAndLeakNothing)
{
    for (bool interlaced : {false, true}) {
        std::vector<uint8_t> png = SamplePng(interlaced);
        long end = ChunkOffset(png, "IEND");
        ASSERT_GT(end, 0);
        for (long cut = 1; cut < end; ++cut) {
            SCOPED_TRACE("memory, " + std::to_string(cut) + " bytes");
            auto exact = Exact(png, cut);
            ASSERT_EQ(CheckAndDecode(nullptr, exact.get(), static_cast<int>(cut)), 0);
        }
        for (long cut = 3; cut < end; cut += 11) {
            SCOPED_TRACE("file, " + std::to_string(cut) + " bytes");
            FILE* file = StreamFile(std::vector<uint8_t>(png.begin(), png.begin() + cut));
            ASSERT_NE(file, nullptr);
            EXPECT_EQ(CheckAndDecode(file, nullptr, 0), 0);
            fclose(file);
        }
        auto whole = Exact(png, png.size());
        EXPECT_EQ(CheckAndDecode(nullptr, whole.get(), static_cast<int>(png.size())), 1);
    }
}

// The whole stream lies in memory; only the given length may be read.
TEST(PngFailures, LengthBoundsTheMemoryStream)
{
    std::vector<uint8_t> png = SamplePng();
    long data = ChunkOffset(png, "IDAT");
    ASSERT_GT(data, 0);
    for (long bound : {7L, 8L, 20L, data, data + 30, static_cast<long>(png.size()) - 13}) {
        SCOPED_TRACE(bound);
        EXPECT_EQ(CheckAndDecode(nullptr, png.data(), static_cast<int>(bound)), 0);
    }
    EXPECT_EQ(CheckAndDecode(nullptr, png.data(), static_cast<int>(png.size())), 1);
}

TEST(PngFailures, CorruptedStreamsFailAndLeakNothing)
{
    const std::vector<uint8_t> good = SamplePng();
    const long header = ChunkOffset(good, "IHDR");
    const long data = ChunkOffset(good, "IDAT");
    ASSERT_EQ(header, 8);
    ASSERT_GT(data, 0);
    auto run = [](const std::vector<uint8_t>& png) {
        return CheckAndDecode(nullptr, png.data(), static_cast<int>(png.size()));
    };

    std::vector<uint8_t> png = good;
    png[header + 10] ^= 1;  // header altered, its CRC no longer matches
    EXPECT_EQ(run(png), 0);
    EXPECT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), 0);

    png = good;
    png[header + 16] = 3;  // RGBA with 3 bits a sample does not exist
    FixChunkCrc(png, header);
    EXPECT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), 0);

    png = good;
    png[header + 8] = 0x7F;  // a width far beyond libpng's limit
    FixChunkCrc(png, header);
    EXPECT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), 0);

    png = good;
    png[data + 12] ^= 0x40;  // image data altered, its CRC no longer matches
    EXPECT_EQ(run(png), 0);

    // Image data that is no zlib stream, with a correct CRC: the header
    // reads fine and Decode fails.
    png = good;
    memset(&png[data + 8], 0xFF, 16);
    FixChunkCrc(png, data);
    ASSERT_EQ(PngDecoderCheck(nullptr, png.data(), static_cast<int>(png.size())), PngWithAlpha);
    std::vector<uint8_t> pixels(23 * 17 * 4);
    long long before = HeapBytesInUse();
    EXPECT_EQ(PngDecoderDecode(pixels.data(), 23 * 4, 0), 0);
    EXPECT_EQ(PngDecoder.read, nullptr);
    if (before >= 0) {
        EXPECT_LT(HeapBytesInUse(), before) << "Decode kept the read structures";
    }
    EXPECT_EQ(run(png), 0);

    FILE* file = StreamFile(png);
    ASSERT_NE(file, nullptr);
    EXPECT_EQ(CheckAndDecode(file, nullptr, 0), 0);
    fclose(file);
}

// A fuzzer's find: libpng took a text chunk's declared length for real and
// allocated it before reading a byte of it.
TEST(PngFailures, ChunkLengthsAreNotTakenOnTrust)
{
    std::vector<uint8_t> good = SamplePng();
    long data = ChunkOffset(good, "IDAT");
    ASSERT_GT(data, 0);
    std::vector<uint8_t> png(good.begin(), good.begin() + data);
    const uint8_t text[] = {0x7F, 0, 0, 0, 't', 'E', 'X', 't', 'C', 'o', 'm', 'm', 'e', 'n', 't', 0, 'x'};
    png.insert(png.end(), text, text + sizeof text);

    bool watching = WatchLargestAllocation();
    EXPECT_EQ(CheckAndDecode(nullptr, png.data(), static_cast<int>(png.size())), 0);
    if (watching) {
        EXPECT_LT(LargestAllocation(), 1u << 20);
    }
}

}  // namespace
