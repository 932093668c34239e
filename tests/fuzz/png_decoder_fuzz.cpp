// libFuzzer target: Check and Decode of a memory stream, bounded by its
// length, as a user of the image decoder registry would call them.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/image/png_decoder.h"

namespace {

// Larger images are given up unread, so that one input stays quick.
constexpr uint64_t PixelBudget = 1 << 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // 0 would mean an unbounded stream.
    if (size == 0 || size > INT32_MAX)
        return 0;
    int kind = PngDecoderCheck(nullptr, data, static_cast<int>(size));
    if (kind == 0) {
        if (PngDecoder.read)
            abort();  // a refused stream left its structures behind
        return 0;
    }
    if (kind != PngWithoutAlpha && kind != PngWithAlpha)
        abort();
    uint64_t bytesPerPixel = kind == PngWithAlpha ? 4 : 3;
    uint64_t width = static_cast<uint64_t>(PngDecoderWidth());
    uint64_t height = static_cast<uint64_t>(PngDecoderHeight());
    if (width == 0 || height == 0)
        abort();  // libpng refuses empty images
    if (width * height > PixelBudget) {
        PngDecoderDecode(nullptr, 0, 0);
    } else {
        // Exactly the rows the contract promises: the sanitizer sees any
        // write beyond them. Odd inputs fill the buffer bottom-up.
        std::vector<uint8_t> pixels(width * height * bytesPerPixel);
        int pitch = static_cast<int>(width * bytesPerPixel);
        if (data[size - 1] & 1)
            PngDecoderDecode(&pixels[(height - 1) * pitch], -pitch, 0);
        else
            PngDecoderDecode(pixels.data(), pitch, 0);
    }
    if (PngDecoder.read)
        abort();  // Decode always ends idle
    return 0;
}
