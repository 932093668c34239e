#include "runtime/image/png_decoder.h"

#include <cstddef>
#include <cstring>

PngDecoderState PngDecoder;

namespace {

constexpr size_t SignatureSize = 8;

// Frees whatever is prepared; the decoder is idle afterwards.
void PngDecoderIdle()
{
    if (PngDecoder.read)
        png_destroy_read_struct(&PngDecoder.read, PngDecoder.info ? &PngDecoder.info : nullptr, nullptr);
    PngDecoder.read = nullptr;
    PngDecoder.info = nullptr;
    PngDecoder.cursor = nullptr;
    PngDecoder.end = nullptr;
}

// libpng's read function for the memory variant.
void PngMemoryRead(png_structp read, png_bytep destination, png_size_t count)
{
    // With a length, a read beyond the end is an error, never an overread.
    if (PngDecoder.end && count > static_cast<size_t>(PngDecoder.end - PngDecoder.cursor))
        png_error(read, "read beyond the end of the stream");
    memcpy(destination, PngDecoder.cursor, count);
    PngDecoder.cursor += count;
}

// The part of Check that may end in a libpng error. The signature has been
// read from the file, or lies at stream (the memory variant).
int ReadHeader(FILE* file, const png_byte* stream, size_t length)
{
    png_structp read = PngDecoder.read;
    if (file) {
        png_init_io(read, file);
        png_set_sig_bytes(read, SignatureSize);
    } else {
        // libpng reads and checks the signature again itself.
        PngDecoder.cursor = stream;
        PngDecoder.end = length ? stream + length : nullptr;
        png_set_read_fn(read, nullptr, PngMemoryRead);
    }
    // Ancillary chunks other than transparency change no pixel written
    // here. Skipping them unread also keeps libpng from allocating what a
    // text or profile chunk declares: a stream of a hundred bytes can
    // declare two gigabytes.
    png_set_keep_unknown_chunks(read, PNG_HANDLE_CHUNK_NEVER, nullptr, -1);
    PngDecoder.info = png_create_info_struct(read);
    if (!PngDecoder.info)
        return 0;
    png_read_info(read, PngDecoder.info);

    png_uint_32 width, height;
    int bitDepth, colorType, interlace, compression, filter;
    if (!png_get_IHDR(read, PngDecoder.info, &width, &height, &bitDepth, &colorType, &interlace, &compression,
                      &filter))
        return 0;
    PngDecoder.width = width;
    PngDecoder.height = height;
    PngDecoder.bitDepth = bitDepth;
    PngDecoder.colorType = colorType;
    return (colorType & PNG_COLOR_MASK_ALPHA) ? PngWithAlpha : PngWithoutAlpha;
}

// The part of Decode that may end in a libpng error.
void ReadRows(png_bytep pixels, int pitch)
{
    png_structp read = PngDecoder.read;
    switch (PngDecoder.colorType) {
    case PNG_COLOR_TYPE_PALETTE:
        png_set_palette_to_rgb(read);
        // Transparency would add an alpha channel: the output has none.
        png_set_strip_alpha(read);
        break;
    case PNG_COLOR_TYPE_GRAY:
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        // Widens the samples only; transparency stays out of the output.
        if (PngDecoder.bitDepth < 8)
            png_set_expand_gray_1_2_4_to_8(read);
        png_set_gray_to_rgb(read);
        break;
    default:
        break;
    }
    if (PngDecoder.bitDepth == 16)
        png_set_strip_16(read);
    png_set_bgr(read);

    // Every pass starts again at the first row, so that the passes of an
    // interlaced image fill in the same rows.
    int passes = png_set_interlace_handling(read);
    for (int pass = 0; pass < passes; ++pass) {
        for (png_uint_32 y = 0; y < PngDecoder.height; ++y) {
            png_bytep row = pixels + static_cast<ptrdiff_t>(y) * pitch;
            png_read_rows(read, &row, nullptr, 1);
        }
    }
}

}  // namespace

void PngDecoderRegister()
{
    if (PngDecoder.registered)
        return;
    PngDecoder.record = {PngDecoderCheck, PngDecoderDecode, PngDecoderWidth, PngDecoderHeight};
    PngDecoder.registered = ImageDecoderAdd(&PngDecoder.record);
}

int PngDecoderCheck(FILE* file, const void* memory, int extra)
{
    // An image prepared and never decoded is given up rather than leaked.
    PngDecoderIdle();

    png_byte signature[SignatureSize];
    const auto* stream = static_cast<const png_byte*>(memory);
    if (file) {
        if (fread(signature, 1, SignatureSize, file) != SignatureSize)
            return 0;
    } else {
        if (!stream || extra < 0 || (extra > 0 && static_cast<size_t>(extra) < SignatureSize))
            return 0;
        memcpy(signature, stream, SignatureSize);
    }
    if (png_sig_cmp(signature, 0, SignatureSize) != 0)
        return 0;

    PngDecoder.read = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!PngDecoder.read)
        return 0;
    PngDecoder.info = nullptr;
    if (setjmp(png_jmpbuf(PngDecoder.read))) {
        PngDecoderIdle();
        return 0;
    }
    int result = ReadHeader(file, stream, file ? 0 : static_cast<size_t>(extra));
    if (!result)
        PngDecoderIdle();
    return result;
}

int PngDecoderDecode(void* pixels, int pitch, int /*extra*/)
{
    if (!PngDecoder.read)
        return 0;
    if (!pixels) {
        PngDecoderIdle();
        return 0;
    }
    if (setjmp(png_jmpbuf(PngDecoder.read))) {
        PngDecoderIdle();
        return 0;
    }
    ReadRows(static_cast<png_bytep>(pixels), pitch);
    PngDecoderIdle();
    return 1;
}

int PngDecoderWidth()
{
    return static_cast<int>(PngDecoder.width);
}

int PngDecoderHeight()
{
    return static_cast<int>(PngDecoder.height);
}
