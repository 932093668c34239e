#include "runtime/image/image_decoder.h"

ImageDecoderRegistry ImageDecoders;

void ImageDecoderRegistryInit()
{
    ImageDecoders.count = 0;
}

bool ImageDecoderAdd(ImageDecoder* decoder)
{
    if (!decoder || ImageDecoders.count >= ImageDecoderLimit)
        return false;
    ImageDecoders.entries[ImageDecoders.count++] = decoder;
    return true;
}
