// Writes the fuzzer's seed streams, one file each, into the given folder:
// every colour type and depth, plain and interlaced, with and without
// transparency and ancillary chunks.
#include <png.h>

#include <cstdio>
#include <string>

#include "tests/image/png_maker.h"

int main(int argc, char** argv)
{
    if (argc != 2) {
        fprintf(stderr, "usage: %s FOLDER\n", argv[0]);
        return 2;
    }
    struct Kind {
        int colorType;
        int depths[5];
    };
    const Kind kinds[] = {
        {PNG_COLOR_TYPE_GRAY, {1, 2, 4, 8, 16}},   {PNG_COLOR_TYPE_RGB, {8, 16}},
        {PNG_COLOR_TYPE_PALETTE, {1, 2, 4, 8}},    {PNG_COLOR_TYPE_GRAY_ALPHA, {8, 16}},
        {PNG_COLOR_TYPE_RGB_ALPHA, {8, 16}},
    };
    int written = 0;
    for (const Kind& kind : kinds) {
        for (int depth : kind.depths) {
            if (!depth)
                break;
            for (int variant = 0; variant < 4; ++variant) {
                PngImage image = MakeImage(5 + variant, 4, kind.colorType, depth, variant & 1, variant + 1);
                if (variant & 2) {
                    image.ancillary = true;
                    if (kind.colorType == PNG_COLOR_TYPE_PALETTE)
                        image.paletteAlpha.assign(image.palette.size() / 3, 128);
                    else if (!(kind.colorType & PNG_COLOR_MASK_ALPHA))
                        image.grayOrRgbTransparency = true;
                }
                std::vector<uint8_t> png = EncodePng(image);
                std::string name = std::string(argv[1]) + "/seed-" + std::to_string(kind.colorType) + "-" +
                                   std::to_string(depth) + "-" + std::to_string(variant) + ".png";
                FILE* file = fopen(name.c_str(), "wb");
                if (!file || fwrite(png.data(), 1, png.size(), file) != png.size()) {
                    fprintf(stderr, "cannot write %s\n", name.c_str());
                    return 1;
                }
                fclose(file);
                ++written;
            }
        }
    }
    printf("%d seeds\n", written);
    return 0;
}
