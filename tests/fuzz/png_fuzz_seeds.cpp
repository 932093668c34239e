// Writes the fuzzer's seed streams into the given folder: every colour type
// and depth, plain, and interlaced with transparency.
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
    for (int type = 0; type <= PNG_COLOR_TYPE_RGB_ALPHA; ++type) {
        for (int depth = 1; depth <= 16; depth *= 2) {
            for (bool variant : {false, true}) {
                std::vector<uint8_t> png = MakePng(type, depth, variant, variant, 5 + variant, 4, depth).bytes;
                if (png.empty())
                    continue;  // no such colour type, or no such depth for it
                std::string name = std::string(argv[1]) + "/seed-" + std::to_string(type) + "-" +
                                   std::to_string(depth) + "-" + std::to_string(variant) + ".png";
                FILE* file = fopen(name.c_str(), "wb");
                bool written = file && fwrite(png.data(), 1, png.size(), file) == png.size();
                if (!file || fclose(file) != 0 || !written) {
                    fprintf(stderr, "cannot write %s\n", name.c_str());
                    return 1;
                }
            }
        }
    }
    return 0;
}
