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

namespace {

// Rows written to a texture a band at a time through LockRows, so that only a band's memory is
// held beside the texture's; each band's padding, right of the image and below it, made
// transparent black as it goes.
class RowBands {
public:
    RowBands(GfxTexture& texture, uint32_t imageWidth, uint32_t imageHeight)
        : texture(texture), imageWidth(imageWidth), imageHeight(imageHeight) {}
    RowBands(const RowBands&) = delete;
    RowBands& operator=(const RowBands&) = delete;
    ~RowBands() {
        if (rows != 0) {
            texture.UnlockRect(0);
        }
    }

    // Whether the texture locks rows at all: the first band is locked to find out.
    bool Start() { return Lock(0); }

    // The memory of the image's row, once the rows above it are written; null on failure.
    uint32_t* Row(uint32_t row) {
        if (row >= first + rows && !(Flush() && Lock(row))) {
            return nullptr;
        }
        return static_cast<uint32_t*>(locked.bits) + static_cast<std::size_t>(row - first) * pitch;
    }

    // Ends the last band of the image and writes the blank rows below it.
    bool Finish() {
        for (uint32_t next = first + rows; next < texture.Height(); next = first + rows) {
            if (!(Flush() && Lock(next))) {
                return false;
            }
        }
        return Flush();
    }

private:
    static constexpr uint32_t kBandRows = 64;

    bool Lock(uint32_t row) {
        const uint32_t count = std::min(kBandRows, texture.Height() - row);
        if (texture.LockRows(row, count, locked) != kGfxOk) {
            return false;
        }
        first = row;
        rows = count;
        pitch = static_cast<std::size_t>(locked.pitch) / sizeof(uint32_t);
        return true;
    }

    bool Flush() {
        if (rows == 0) {
            return true;
        }
        auto* const bits = static_cast<uint32_t*>(locked.bits);
        for (uint32_t row = first; row < first + rows; ++row) {
            uint32_t* const line = bits + static_cast<std::size_t>(row - first) * pitch;
            const uint32_t from = row < imageHeight ? imageWidth : 0;
            std::fill(line + from, line + texture.Width(), 0u);
        }
        rows = 0;
        return texture.UnlockRect(0) == kGfxOk;
    }

    GfxTexture& texture;
    const uint32_t imageWidth;
    const uint32_t imageHeight;
    LockedRect locked;
    uint32_t first = 0;
    uint32_t rows = 0;
    std::size_t pitch = 0;
};

} // namespace

GfxResult CreateTextureFromFileInMemory(GraphicsDevice& device, const uint8_t* data,
                                        std::size_t size, PixelFormat format,
                                        std::unique_ptr<GfxTexture>& texture, std::string& error,
                                        const std::function<const Image*()>& alpha) {
    texture.reset();
    uint32_t maxSide = 1;
    if (const GfxResult result = LargestImageSide(device, maxSide, error); result != kGfxOk) {
        return result;
    }
    // The image decodes straight into its padded texture, so no pixel is written twice: row by
    // row into bands of it where the decoder and the texture can, else into its locked level.
    std::unique_ptr<GfxTexture> created;
    std::unique_ptr<RowBands> bands;
    GfxResult failure = kGfxInvalidData;
    LockedRect locked;
    uint32_t imageWidth = 0;
    uint32_t imageHeight = 0;
    const auto intoTexture = [&](uint32_t width, uint32_t height, bool byRows,
                                 std::string& targetError) {
        failure =
            device.CreateTexture(NextPowerOfTwo(width), NextPowerOfTwo(height), 1, format, created);
        if (failure == kGfxOk && byRows) {
            bands = std::make_unique<RowBands>(*created, width, height);
            if (!bands->Start()) {
                bands.reset();
            }
        }
        if (failure == kGfxOk && !bands) {
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
        if (bands) {
            return PixelTarget{nullptr, 0, [&bands](uint32_t row) { return bands->Row(row); }};
        }
        return PixelTarget{static_cast<uint32_t*>(locked.bits),
                           static_cast<std::size_t>(locked.pitch) / sizeof(uint32_t),
                           {}};
    };
    const bool decoded = DecodeImageInto(data, size, maxSide, intoTexture, error);
    if (bands) {
        const bool finished = decoded && bands->Finish();
        bands.reset();
        if (!finished) {
            if (error.empty()) { // the texture refused a band, not the decoder the data
                error = "the texture's rows could not be written";
                failure = kGfxInvalidCall;
            }
            return failure;
        }
        const Image* const alphaImage = alpha ? alpha() : nullptr;
        if (alphaImage != nullptr) {
            // Merged into what the bands wrote, read back whole: only pictures with an alpha
            // image pay for it.
            if (const GfxResult lockResult = created->LockRect(0, locked, 0);
                lockResult != kGfxOk) {
                error = GfxResultString(lockResult);
                return lockResult;
            }
            MergeAlpha(static_cast<uint8_t*>(locked.bits), static_cast<std::size_t>(locked.pitch),
                       created->Width(), created->Height(), *alphaImage);
            created->UnlockRect(0);
        }
        texture = std::move(created);
        return kGfxOk;
    }
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
