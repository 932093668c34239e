#include "tests/image/png_maker.h"

#include <png.h>

TestPng MakePng(int colorType, int bitDepth, bool interlaced, bool transparency, int width, int height,
                unsigned seed)
{
    const bool palette = colorType == PNG_COLOR_TYPE_PALETTE, alpha = colorType & PNG_COLOR_MASK_ALPHA;
    const int channels = palette ? 1 : ((colorType & PNG_COLOR_MASK_COLOR) ? 3 : 1) + alpha;
    const uint32_t top = (1u << bitDepth) - 1;
    auto to8 = [&](uint32_t sample) { return uint8_t(bitDepth == 16 ? sample >> 8 : sample * 255 / top); };
    std::vector<png_color> colours;
    std::vector<png_byte> alphas;
    for (uint32_t e = 0; palette && e <= top; ++e) {
        colours.push_back({uint8_t(e * 37 + 11), uint8_t(255 - e * 13), uint8_t(e * 101 + seed)});
        alphas.push_back(uint8_t(e * 50));
    }

    TestPng out;
    png_color_16 key{};
    std::vector<std::vector<png_byte>> rows(height);
    std::vector<png_bytep> rowPointers;
    uint32_t state = seed * 2654435761u + 12345u;
    for (int y = 0; y < height; ++y) {
        rows[y].assign((size_t(width) * channels * bitDepth + 7) / 8, 0);
        rowPointers.push_back(rows[y].data());
        for (int x = 0; x < width; ++x) {
            uint32_t s[4];
            for (int c = 0; c < channels; ++c) {
                const size_t i = (size_t(y) * width + x) * channels + c, bit = (size_t(x) * channels + c) * bitDepth;
                state = state * 1103515245u + 12345u;
                s[c] = i == 0 ? 0 : i == 1 ? top : (state >> 8) % (top + 1);
                if (bitDepth == 16)  // big-endian, the leftmost sample in the high bits
                    rows[y][bit / 8] = png_byte(s[c] >> 8), rows[y][bit / 8 + 1] = png_byte(s[c]);
                else
                    rows[y][bit / 8] |= png_byte(s[c] << (8 - bitDepth - bit % 8));
            }
            if (x == 0 && y == 0)
                key = {0, png_uint_16(s[0]), png_uint_16(s[1 % channels]), png_uint_16(s[2 % channels]),
                       png_uint_16(s[0])};
            png_color rgb = {to8(s[0]), to8(s[channels >= 3 ? 1 : 0]), to8(s[channels >= 3 ? 2 : 0])};
            if (palette)
                rgb = colours[s[0]];
            out.pixels.insert(out.pixels.end(), {rgb.blue, rgb.green, rgb.red});
            if (alpha)
                out.pixels.push_back(to8(s[channels - 1]));
        }
    }

    // Quietly: callers try depths a colour type does not have.
    png_structp png = png_create_write_struct(
        PNG_LIBPNG_VER_STRING, nullptr, [](png_structp p, png_const_charp) { png_longjmp(p, 1); },
        [](png_structp, png_const_charp) {});
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return {};
    }
    auto write = [](png_structp p, png_bytep data, png_size_t length) {
        auto* bytes = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(p));
        bytes->insert(bytes->end(), data, data + length);
    };
    png_set_write_fn(png, &out.bytes, write, [](png_structp) {});
    png_set_IHDR(png, info, width, height, bitDepth, colorType, interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (palette)
        png_set_PLTE(png, info, colours.data(), int(colours.size()));
    if (transparency && !alpha)
        png_set_tRNS(png, info, alphas.data(), int(alphas.size()), palette ? nullptr : &key);
    png_set_rows(png, info, rowPointers.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}
