#include <gtest/gtest.h>

#include "runtime/image/image_decoder.h"
#include "runtime/image/png_decoder.h"

namespace {

// One test: the registration mark lasts for the whole process.
TEST(ImageDecoderRegistry, TableIsBoundedAndPngRegistersOnce)
{
    static ImageDecoder others[ImageDecoderLimit + 1];
    ImageDecoderRegistryInit();
    for (int i = 0; i < ImageDecoderLimit; ++i)
        ASSERT_TRUE(ImageDecoderAdd(&others[i]));
    EXPECT_FALSE(ImageDecoderAdd(&others[ImageDecoderLimit]));
    PngDecoderRegister();  // refused by the full table, so not marked
    EXPECT_EQ(ImageDecoders.count, ImageDecoderLimit);
    EXPECT_EQ(ImageDecoders.entries[ImageDecoderLimit - 1], &others[ImageDecoderLimit - 1]);

    ImageDecoderRegistryInit();
    ASSERT_TRUE(ImageDecoderAdd(&others[0]));
    PngDecoderRegister();
    PngDecoderRegister();
    ASSERT_EQ(ImageDecoders.count, 2);
    const ImageDecoder& png = *ImageDecoders.entries[1];
    EXPECT_TRUE(png.Check == PngDecoderCheck && png.Decode == PngDecoderDecode && png.Width == PngDecoderWidth &&
                png.Height == PngDecoderHeight);

    ImageDecoderRegistryInit();  // emptying the table does not clear the mark
    PngDecoderRegister();
    EXPECT_EQ(ImageDecoders.count, 0);
}

}  // namespace
