#include "tests/image/png_maker.h"

#include <png.h>
#include <zlib.h>

#include <cstring>

int Channels(int colorType)
{
    switch (colorType) {
    case PNG_COLOR_TYPE_GRAY_ALPHA:
        return 2;
    case PNG_COLOR_TYPE_RGB:
        return 3;
    case PNG_COLOR_TYPE_RGB_ALPHA:
        return 4;
    default:
        return 1;
    }
}

PngImage MakeImage(int width, int height, int colorType, int bitDepth, bool interlaced, unsigned seed)
{
    PngImage image{width, height, colorType, bitDepth, interlaced, {}, {}, {}, false, false};
    int entries = colorType == PNG_COLOR_TYPE_PALETTE ? (1 << bitDepth) : 0;
    uint32_t top = colorType == PNG_COLOR_TYPE_PALETTE ? entries - 1 : (1u << bitDepth) - 1;
    uint32_t state = seed * 2654435761u + 12345u;
    size_t count = static_cast<size_t>(width) * height * Channels(colorType);
    for (size_t i = 0; i < count; ++i) {
        state = state * 1103515245u + 12345u;
        uint32_t value = (state >> 8) % (top + 1);
        // The first samples are the two ends of the range.
        if (i == 0)
            value = 0;
        else if (i == 1)
            value = top;
        image.samples.push_back(static_cast<uint16_t>(value));
    }
    for (int e = 0; e < entries; ++e) {
        image.palette.push_back(static_cast<uint8_t>(e * 37 + 11));
        image.palette.push_back(static_cast<uint8_t>(255 - e * 13));
        image.palette.push_back(static_cast<uint8_t>(e * 101 + seed));
    }
    return image;
}

namespace {

void Append(png_structp png, png_bytep data, png_size_t length)
{
    auto* out = static_cast<std::vector<uint8_t>*>(png_get_io_ptr(png));
    out->insert(out->end(), data, data + length);
}

void Flush(png_structp) {}

std::vector<uint8_t> PackRow(const PngImage& image, int y)
{
    int perRow = image.width * Channels(image.colorType);
    const uint16_t* s = &image.samples[static_cast<size_t>(y) * perRow];
    std::vector<uint8_t> row;
    if (image.bitDepth == 16) {
        for (int i = 0; i < perRow; ++i) {
            row.push_back(static_cast<uint8_t>(s[i] >> 8));
            row.push_back(static_cast<uint8_t>(s[i] & 0xFF));
        }
    } else if (image.bitDepth == 8) {
        row.assign(s, s + perRow);
    } else {
        // Packed, leftmost sample in the high bits.
        int perByte = 8 / image.bitDepth;
        row.assign((perRow + perByte - 1) / perByte, 0);
        for (int i = 0; i < perRow; ++i) {
            int shift = 8 - image.bitDepth * (i % perByte + 1);
            row[i / perByte] |= static_cast<uint8_t>(s[i] << shift);
        }
    }
    return row;
}

uint8_t To8Bits(uint16_t sample, int bitDepth)
{
    if (bitDepth == 16)
        return static_cast<uint8_t>(sample >> 8);
    return static_cast<uint8_t>(sample * 255 / ((1 << bitDepth) - 1));
}

}  // namespace

std::vector<uint8_t> EncodePng(const PngImage& image)
{
    std::vector<uint8_t> out;
    std::vector<std::vector<uint8_t>> rows;
    std::vector<png_bytep> rowPointers;
    for (int y = 0; y < image.height; ++y)
        rows.push_back(PackRow(image, y));
    for (auto& row : rows)
        rowPointers.push_back(row.data());

    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    if (!png)
        return {};
    png_infop info = png_create_info_struct(png);
    if (!info || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, info ? &info : nullptr);
        return {};
    }
    png_set_write_fn(png, &out, Append, Flush);
    png_set_IHDR(png, info, image.width, image.height, image.bitDepth, image.colorType,
                 image.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT,
                 PNG_FILTER_TYPE_DEFAULT);
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < image.palette.size(); i += 3)
        palette.push_back({image.palette[i], image.palette[i + 1], image.palette[i + 2]});
    if (!palette.empty())
        png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!image.paletteAlpha.empty())
        png_set_tRNS(png, info, image.paletteAlpha.data(), static_cast<int>(image.paletteAlpha.size()), nullptr);
    if (image.grayOrRgbTransparency) {
        png_color_16 colour{};
        colour.gray = image.samples[0];
        colour.red = image.samples[0];
        colour.green = image.samples.size() > 1 ? image.samples[1] : 0;
        colour.blue = image.samples.size() > 2 ? image.samples[2] : 0;
        png_set_tRNS(png, info, nullptr, 0, &colour);
    }
    if (image.ancillary) {
        png_set_gAMA_fixed(png, info, 45455);
        png_set_pHYs(png, info, 3780, 3780, PNG_RESOLUTION_METER);
        png_color_16 background{};
        png_set_bKGD(png, info, &background);
        png_time stamp{2024, 5, 17, 12, 30, 0};
        png_set_tIME(png, info, &stamp);
        char key[] = "Comment", plain[] = "made by the tests", packed[] = "made by the tests, compressed";
        png_text text[2] = {};
        text[0] = {PNG_TEXT_COMPRESSION_NONE, key, plain, sizeof plain - 1, 0, nullptr, nullptr};
        text[1] = {PNG_TEXT_COMPRESSION_zTXt, key, packed, sizeof packed - 1, 0, nullptr, nullptr};
        png_set_text(png, info, text, 2);
    }
    png_write_info(png, info);
    png_write_image(png, rowPointers.data());
    png_write_end(png, nullptr);
    png_destroy_write_struct(&png, &info);
    return out;
}

int ExpectedBytesPerPixel(const PngImage& image)
{
    return (image.colorType & PNG_COLOR_MASK_ALPHA) ? 4 : 3;
}

std::vector<uint8_t> ExpectedPixels(const PngImage& image)
{
    std::vector<uint8_t> out;
    int channels = Channels(image.colorType);
    size_t pixels = static_cast<size_t>(image.width) * image.height;
    for (size_t p = 0; p < pixels; ++p) {
        const uint16_t* s = &image.samples[p * channels];
        uint8_t r, g, b;
        if (image.colorType == PNG_COLOR_TYPE_PALETTE) {
            r = image.palette[s[0] * 3];
            g = image.palette[s[0] * 3 + 1];
            b = image.palette[s[0] * 3 + 2];
        } else if (channels <= 2) {
            r = g = b = To8Bits(s[0], image.bitDepth);
        } else {
            r = To8Bits(s[0], image.bitDepth);
            g = To8Bits(s[1], image.bitDepth);
            b = To8Bits(s[2], image.bitDepth);
        }
        out.push_back(b);
        out.push_back(g);
        out.push_back(r);
        if (image.colorType & PNG_COLOR_MASK_ALPHA)
            out.push_back(To8Bits(s[channels - 1], image.bitDepth));
    }
    return out;
}

namespace {

uint32_t ReadBig32(const std::vector<uint8_t>& png, long at)
{
    return (uint32_t(png[at]) << 24) | (uint32_t(png[at + 1]) << 16) | (uint32_t(png[at + 2]) << 8) | png[at + 3];
}

}  // namespace

long ChunkOffset(const std::vector<uint8_t>& png, const char type[4])
{
    long at = 8;
    while (at + 12 <= static_cast<long>(png.size())) {
        if (memcmp(&png[at + 4], type, 4) == 0)
            return at;
        at += 12 + static_cast<long>(ReadBig32(png, at));
    }
    return -1;
}

void FixChunkCrc(std::vector<uint8_t>& png, long offset)
{
    uint32_t length = ReadBig32(png, offset);
    uLong crc = crc32(0, &png[offset + 4], length + 4);
    size_t at = offset + 8 + length;
    png[at] = static_cast<uint8_t>(crc >> 24);
    png[at + 1] = static_cast<uint8_t>(crc >> 16);
    png[at + 2] = static_cast<uint8_t>(crc >> 8);
    png[at + 3] = static_cast<uint8_t>(crc);
}

FILE* StreamFile(const std::vector<uint8_t>& bytes)
{
    FILE* file = tmpfile();
    if (!file)
        return nullptr;
    if (!bytes.empty() && fwrite(bytes.data(), 1, bytes.size(), file) != bytes.size()) {
        fclose(file);
        return nullptr;
    }
    rewind(file);
    return file;
}
