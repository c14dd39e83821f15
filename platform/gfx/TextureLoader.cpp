#include "platform/gfx/TextureLoader.h"

#include "platform/gfx/ImageCodec.h"

#include <algorithm>
#include <cstring>
#include <functional>

uint32_t NextPowerOfTwo(uint32_t value) {
    uint32_t result = 1;
    while (result < value && result < 0x80000000u) {
        result *= 2;
    }
    return result;
}

namespace {

// The largest side the device takes for a padded texture: the largest power of two within its
// limit.
GfxResult LargestImageSide(GraphicsDevice& device, uint32_t& side, std::string& error) {
    DeviceCaps caps;
    if (const GfxResult result = device.GetDeviceCaps(caps); result != kGfxOk) {
        error = GfxResultString(result);
        return result;
    }
    const uint32_t limit = std::min(caps.maxTextureWidth, caps.maxTextureHeight);
    side = 1;
    while (side * 2 <= limit && side < 0x40000000u) {
        side *= 2;
    }
    return kGfxOk;
}

// Every pixel's alpha becomes the red channel of the alpha image's pixel at the same place, as the
// alpha image's own padded texture would hold it (read at its nearest edge where it is smaller).
void MergeAlpha(uint8_t* bytes, std::size_t pitch, uint32_t width, uint32_t height,
                const Image& alpha) {
    const uint32_t lastAlphaX = NextPowerOfTwo(alpha.width) - 1;
    const uint32_t lastAlphaY = NextPowerOfTwo(alpha.height) - 1;
    for (uint32_t row = 0; row < height; ++row) {
        auto* const target = reinterpret_cast<uint32_t*>(bytes + row * pitch);
        const uint32_t alphaY = std::min(row, lastAlphaY);
        for (uint32_t column = 0; column < width; ++column) {
            const uint32_t alphaX = std::min(column, lastAlphaX);
            const uint32_t source =
                alphaY < alpha.height && alphaX < alpha.width
                    ? alpha.pixels[static_cast<std::size_t>(alphaY) * alpha.width + alphaX]
                    : 0u;
            target[column] = (target[column] & 0x00FFFFFFu) | (((source >> 16) & 0xFFu) << 24);
        }
    }
}

} // namespace

GfxResult DecodeTextureImage(GraphicsDevice& device, const uint8_t* data, std::size_t size,
                             Image& image, std::string& error) {
    // The padded texture must fit too, so the image may be no larger than the largest power of
    // two within the device's limit.
    uint32_t maxSide = 1;
    if (const GfxResult result = LargestImageSide(device, maxSide, error); result != kGfxOk) {
        return result;
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
        MergeAlpha(bytes, static_cast<std::size_t>(locked.pitch), created->Width(),
                   created->Height(), *alpha);
    }
    created->UnlockRect(0);
    texture = std::move(created);
    return kGfxOk;
}

GfxResult CreateTextureFromFileInMemory(GraphicsDevice& device, const uint8_t* data,
                                        std::size_t size, PixelFormat format,
                                        std::unique_ptr<GfxTexture>& texture, std::string& error,
                                        const std::function<const Image*()>& alpha) {
    texture.reset();
    uint32_t maxSide = 1;
    if (const GfxResult result = LargestImageSide(device, maxSide, error); result != kGfxOk) {
        return result;
    }
    // The image decodes straight into the locked level of its padded texture: the level is locked
    // for writing every pixel, so none is written twice.
    std::unique_ptr<GfxTexture> created;
    GfxResult failure = kGfxInvalidData;
    LockedRect locked;
    uint32_t imageWidth = 0;
    uint32_t imageHeight = 0;
    const auto intoTexture = [&](uint32_t width, uint32_t height, std::string& targetError) {
        failure = device.CreateTexture(NextPowerOfTwo(width), NextPowerOfTwo(height), 1, format,
                                       created);
        if (failure == kGfxOk) {
            failure = created->LockRect(0, locked, kLockDiscard);
        }
        if (failure != kGfxOk) {
            created.reset();
            targetError = GfxResultString(failure);
            return PixelTarget{};
        }
        imageWidth = width;
        imageHeight = height;
        failure = kGfxInvalidData; // until the pixels are all there
        return PixelTarget{static_cast<uint32_t*>(locked.bits),
                           static_cast<std::size_t>(locked.pitch) / sizeof(uint32_t)};
    };
    const bool decoded = DecodeImageInto(data, size, maxSide, intoTexture, error);
    if (!decoded) {
        if (created) {
            created->UnlockRect(0);
        }
        return failure;
    }
    // The padding is transparent black.
    auto* const bytes = static_cast<uint8_t*>(locked.bits);
    const auto pitch = static_cast<std::size_t>(locked.pitch);
    const std::size_t imageBytes = static_cast<std::size_t>(imageWidth) * sizeof(uint32_t);
    for (uint32_t row = 0; row < imageHeight; ++row) {
        std::memset(bytes + row * pitch + imageBytes, 0, pitch - imageBytes);
    }
    std::memset(bytes + imageHeight * pitch, 0, (created->Height() - imageHeight) * pitch);
    if (alpha) {
        if (const Image* alphaImage = alpha()) {
            MergeAlpha(bytes, pitch, created->Width(), created->Height(), *alphaImage);
        }
    }
    created->UnlockRect(0);
    texture = std::move(created);
    return kGfxOk;
}
