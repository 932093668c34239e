// libFuzzer target: Check and Decode of a memory stream bounded by its
// length, as a user of the image decoder registry calls them.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "runtime/image/png_decoder.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0 || size > INT32_MAX)  // 0 would mean unbounded
        return 0;
    int kind = PngDecoderCheck(nullptr, data, static_cast<int>(size));
    uint64_t width = static_cast<uint64_t>(PngDecoderWidth()), height = static_cast<uint64_t>(PngDecoderHeight());
    // A kind Check knows, and never an empty image: libpng refuses those.
    if ((kind != 0 && kind != PngWithoutAlpha && kind != PngWithAlpha) || (kind && (width == 0 || height == 0)))
        abort();
    if (kind && width * height > (1 << 16)) {
        PngDecoderDecode(nullptr, 0, 0);  // larger images are given up, so that one input stays quick
    } else if (kind) {
        // Exactly the rows promised, so that the sanitizer sees any write
        // beyond them; odd inputs fill the buffer bottom-up.
        int pitch = static_cast<int>(width) * (kind == PngWithAlpha ? 4 : 3);
        std::vector<uint8_t> pixels(height * pitch);
        bool bottomUp = data[size - 1] & 1;
        PngDecoderDecode(&pixels[bottomUp ? (height - 1) * pitch : 0], bottomUp ? -pitch : pitch, 0);
    }
    if (PngDecoder.read)
        abort();  // Check that refused and Decode always end idle
    return 0;
}
