#include "platform/gfx/TextureLoader.h"

#include "platform/gfx/ImageCodec.h"

#include <algorithm>
#include <cstring>

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t result = 1;
    while (result < value && result < 0x80000000u) {
        result *= 2;
    }
    return result;
}

GfxResult DecodeTextureImage(GraphicsDevice& device, const uint8_t* data, std::size_t size,
                             Image& image, std::string& error) {
    DeviceCaps caps;
    if (const GfxResult result = device.GetDeviceCaps(caps); result != kGfxOk) {
        error = GfxResultString(result);
        return result;
    }
    // The padded texture must fit too, so the image may be no larger than the largest power of
    // two within the device's limit.
    const uint32_t limit = std::min(caps.maxTextureWidth, caps.maxTextureHeight);
    uint32_t maxSide = 1;
    while (maxSide * 2 <= limit && maxSide < 0x40000000u) {
        maxSide *= 2;
    }
    return DecodeImage(data, size, maxSide, image, error) ? kGfxOk : kGfxInvalidData;
}

GfxResult CreateTextureFromImage(GraphicsDevice& device, const Image& image, PixelFormat format,
                                 const Image* alpha, std::unique_ptr<GfxTexture>& texture,
                                 std::string& error) {
    texture.reset();
    std::unique_ptr<GfxTexture> created;
    const GfxResult result = device.CreateTexture(NextPowerOfTwo(image.width),
                                                  NextPowerOfTwo(image.height), 1, format, created);
    if (result != kGfxOk) {
        error = GfxResultString(result);
        return result;
    }
    LockedRect locked;
    if (const GfxResult lockResult = created->LockRect(0, locked, 0); lockResult != kGfxOk) {
        error = GfxResultString(lockResult);
        return lockResult;
    }
    // A new texture's locked level starts blank, so the padding needs no writing.
    auto* const bytes = static_cast<uint8_t*>(locked.bits);
    for (uint32_t row = 0; row < image.height; ++row) {
        std::memcpy(bytes + static_cast<std::size_t>(row) * locked.pitch,
                    image.pixels.data() + static_cast<std::size_t>(row) * image.width,
                    image.width * sizeof(uint32_t));
    }
    if (alpha != nullptr) {
        // The alpha image as its own padded texture: the image, then zeros to the padded size.
        const uint32_t lastAlphaX = NextPowerOfTwo(alpha->width) - 1;
        const uint32_t lastAlphaY = NextPowerOfTwo(alpha->height) - 1;
        for (uint32_t row = 0; row < created->Height(); ++row) {
            auto* const target =
                reinterpret_cast<uint32_t*>(bytes + static_cast<std::size_t>(row) * locked.pitch);
            const uint32_t alphaY = std::min(row, lastAlphaY);
            for (uint32_t column = 0; column < created->Width(); ++column) {
                const uint32_t alphaX = std::min(column, lastAlphaX);
                const uint32_t source =
                    alphaY < alpha->height && alphaX < alpha->width
                        ? alpha->pixels[static_cast<std::size_t>(alphaY) * alpha->width + alphaX]
                        : 0u;
                target[column] = (target[column] & 0x00FFFFFFu) | (((source >> 16) & 0xFFu) << 24);
            }
        }
    }
    created->UnlockRect(0);
    texture = std::move(created);
    return kGfxOk;
}

GfxResult CreateTextureFromFileInMemory(GraphicsDevice& device, const uint8_t* data,
                                        std::size_t size, PixelFormat format,
                                        std::unique_ptr<GfxTexture>& texture, std::string& error) {
    texture.reset();
    Image image;
    if (const GfxResult result = DecodeTextureImage(device, data, size, image, error);
        result != kGfxOk) {
        return result;
    }
    return CreateTextureFromImage(device, image, format, nullptr, texture, error);
}
