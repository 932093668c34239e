#include <gtest/gtest.h>

#include "runtime/image/image_decoder.h"
#include "runtime/image/png_decoder.h"

namespace {

// One test: the registration mark lasts for the whole process.
TEST(ImageDecoderRegistryTest, TableIsBoundedAndPngRegistersOnce)
{
    ImageDecoderRegistryInit();
    static ImageDecoder others[ImageDecoderLimit + 1];
    for (int i = 0; i < ImageDecoderLimit; ++i)
        ASSERT_TRUE(ImageDecoderAdd(&others[i]));
    EXPECT_FALSE(ImageDecoderAdd(&others[ImageDecoderLimit]));
    EXPECT_EQ(ImageDecoders.count, ImageDecoderLimit);
    for (int i = 0; i < ImageDecoderLimit; ++i)
        EXPECT_EQ(ImageDecoders.entries[i], &others[i]);

    // Refused by a full table, so not marked registered.
    PngDecoderRegister();
    EXPECT_EQ(ImageDecoders.count, ImageDecoderLimit);

    ImageDecoderRegistryInit();
    ASSERT_TRUE(ImageDecoderAdd(&others[0]));
    PngDecoderRegister();
    PngDecoderRegister();
    ASSERT_EQ(ImageDecoders.count, 2);
    EXPECT_EQ(ImageDecoders.entries[0], &others[0]);
    const ImageDecoder* png = ImageDecoders.entries[1];
    EXPECT_EQ(png->Check, &PngDecoderCheck);
    EXPECT_EQ(png->Decode, &PngDecoderDecode);
    EXPECT_EQ(png->Width, &PngDecoderWidth);
    EXPECT_EQ(png->Height, &PngDecoderHeight);

    // Emptying the registry does not clear the mark.
    ImageDecoderRegistryInit();
    PngDecoderRegister();
    EXPECT_EQ(ImageDecoders.count, 0);
}

}  // namespace
