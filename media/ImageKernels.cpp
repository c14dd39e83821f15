#include "media/ImageKernels.h"

#include "media/Renderer.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr int kCaptureSize = 1024;
constexpr int kBlurredSize = 256;

// Level 0 locked for the life of the object.
class LevelLock {
public:
    explicit LevelLock(GfxTexture* texture) : texture(texture) {
        if (texture != nullptr && texture->LockRect(0, rect, 0) != kGfxOk) {
            rect.bits = nullptr;
        }
    }
    ~LevelLock() {
        if (rect.bits != nullptr) {
            texture->UnlockRect(0);
        }
    }
    LevelLock(const LevelLock&) = delete;
    LevelLock& operator=(const LevelLock&) = delete;

    bool Locked() const { return rect.bits != nullptr; }
    uint8_t* Bits() const { return static_cast<uint8_t*>(rect.bits); }
    int32_t Pitch() const { return rect.pitch; }

private:
    GfxTexture* texture;
    LockedRect rect;
};

bool Covers(const GfxTexture* texture, int width, int height) {
    return texture != nullptr && static_cast<int64_t>(texture->Width()) >= width &&
           static_cast<int64_t>(texture->Height()) >= height;
}

uint32_t* Row(uint8_t* bits, int32_t pitch, int y) {
    return reinterpret_cast<uint32_t*>(bits + static_cast<std::ptrdiff_t>(pitch) * y);
}

const uint32_t* Row(const uint8_t* bits, int32_t pitch, int y) {
    return reinterpret_cast<const uint32_t*>(bits + static_cast<std::ptrdiff_t>(pitch) * y);
}

} // namespace

BlurKernel::BlurKernel() {
    weights.assign(9, 0.11111111f);
}

uint32_t BlurKernel::Apply(uint32_t& out, const ImageManipulator& manipulator) {
    // Each sample is rounded before it is added, so nine samples of 255 give 9 x 28 = 252.
    uint8_t sum[4] = {0, 0, 0, 0};
    std::size_t next = 0;
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            const float weight = weights[next++];
            const uint32_t pixel = manipulator.GetPixel(manipulator.CurrentX() - 1 + column,
                                                        manipulator.CurrentY() - 1 + row);
            for (int channel = 0; channel < 4; ++channel) {
                const auto value = static_cast<float>((pixel >> (channel * 8)) & 0xFFu);
                sum[channel] = static_cast<uint8_t>(sum[channel] + std::lrintf(value * weight));
            }
        }
    }
    out = static_cast<uint32_t>(sum[0]) | static_cast<uint32_t>(sum[1]) << 8 |
          static_cast<uint32_t>(sum[2]) << 16 | static_cast<uint32_t>(sum[3]) << 24;
    return out;
}

bool ImageManipulator::Apply(GfxTexture* sourceTexture, GfxTexture* targetTexture, int areaWidth,
                             int areaHeight, ImageManipulatorKernel& kernel) {
    if (areaWidth <= 0 || areaHeight <= 0 || sourceTexture == targetTexture ||
        !Covers(sourceTexture, areaWidth, areaHeight) ||
        !Covers(targetTexture, areaWidth, areaHeight)) {
        return false;
    }
    const LevelLock sourceLock(sourceTexture);
    const LevelLock targetLock(targetTexture);
    if (!sourceLock.Locked() || !targetLock.Locked()) {
        return false;
    }
    source = sourceTexture;
    target = targetTexture;
    width = areaWidth;
    height = areaHeight;
    sourceBits = sourceLock.Bits();
    sourcePitch = sourceLock.Pitch();
    targetBits = targetLock.Bits();
    targetPitch = targetLock.Pitch();
    for (currentY = 0; currentY < height; ++currentY) {
        for (currentX = 0; currentX < width; ++currentX) {
            uint32_t colour = 0;
            SetPixel(kernel.Apply(colour, *this));
        }
    }
    sourceBits = nullptr;
    targetBits = nullptr;
    return true;
}

uint32_t ImageManipulator::GetPixel(int x, int y) const {
    x = std::clamp(x, 0, width - 1);
    y = std::clamp(y, 0, height - 1);
    return Row(sourceBits, sourcePitch, y)[x];
}

void ImageManipulator::SetPixel(uint32_t colour) {
    Row(targetBits, targetPitch, currentY)[currentX] = colour;
}

void CopyTextureScaled(const TextureHandle& source, const TextureHandle& target) {
    GfxTexture* const from = source.Texture();
    GfxTexture* const to = target.Texture();
    if (from == nullptr || to == nullptr || from == to) {
        return;
    }
    const int sourceWidth = source.entry->width;
    const int sourceHeight = source.entry->height;
    const int targetWidth = target.entry->width;
    const int targetHeight = target.entry->height;
    if (targetWidth <= 0 || targetHeight <= 0 || !Covers(from, sourceWidth, sourceHeight) ||
        !Covers(to, targetWidth, targetHeight)) {
        return;
    }
    const int stepX = sourceWidth / targetWidth;
    const int stepY = sourceHeight / targetHeight;
    const LevelLock fromLock(from);
    const LevelLock toLock(to);
    if (!fromLock.Locked() || !toLock.Locked()) {
        return;
    }
    for (int y = 0; y < targetHeight; ++y) {
        const uint32_t* const sourceRow = Row(fromLock.Bits(), fromLock.Pitch(), y * stepY);
        uint32_t* const targetRow = Row(toLock.Bits(), toLock.Pitch(), y);
        for (int x = 0; x < targetWidth; ++x) {
            targetRow[x] = sourceRow[x * stepX];
        }
    }
}

TextureHandle BlurTexture(const TextureHandle& source, int width, int height) {
    TextureHandle first;
    TextureHandle second;
    TextureHandle third;
    if (!TextureManager::CreateTexture(first, width, height, true) ||
        !TextureManager::CreateTexture(second, width, height, true) ||
        !TextureManager::CreateTexture(third, width, height, true)) {
        first.Release();
        second.Release();
        third.Release();
        return {};
    }
    CopyTextureScaled(source, first);
    BlurKernel kernel;
    ImageManipulator manipulator;
    manipulator.Apply(first.Texture(), second.Texture(), width, height, kernel);
    manipulator.Apply(second.Texture(), third.Texture(), width, height, kernel);
    first.Release();
    second.Release();
    return third;
}

namespace Renderer {

TextureHandle CaptureBlurredScreen() {
    RenderDevice& state = State();
    if (!state.device) {
        return {};
    }
    TextureHandle capture;
    if (!TextureManager::CreateTexture(capture, kCaptureSize, kCaptureSize, true)) {
        return {};
    }
    GfxTexture* const surface = capture.Texture();
    const PixelRect screen{0, 0, std::min(state.width, kCaptureSize),
                           std::min(state.height, kCaptureSize)};
    if (surface == nullptr ||
        state.device->CopyBackBufferToTexture(screen, *surface, 0, 0) != kGfxOk) {
        capture.Release();
        return {};
    }
    TextureHandle blurred = BlurTexture(capture, kBlurredSize, kBlurredSize);
    capture.Release();
    return blurred;
}

} // namespace Renderer
