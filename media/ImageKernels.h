#pragma once

#include "media/TextureManager.h"

#include <cstdint>
#include <vector>

class ImageManipulator;

// A rule that gives the colour of one target pixel from the source pixels around it.
class ImageManipulatorKernel {
public:
    virtual ~ImageManipulatorKernel() = default;

    // The colour of the manipulator's current pixel, also stored in out.
    virtual uint32_t Apply(uint32_t& out, const ImageManipulator& manipulator) = 0;

protected:
    std::vector<float> weights;
};

// The 3x3 box blur: nine equal weights, each sample rounded before it is added.
class BlurKernel : public ImageManipulatorKernel {
public:
    BlurKernel();

    uint32_t Apply(uint32_t& out, const ImageManipulator& manipulator) override;
};

// Runs a kernel over every pixel of a source texture into a target texture of the same size.
class ImageManipulator {
public:
    virtual ~ImageManipulator() = default;

    // Both textures are locked at level 0 and every pixel of the width x height area is written.
    // False, with nothing written, when a texture is missing, smaller than the area, or cannot be
    // locked.
    bool Apply(GfxTexture* source, GfxTexture* target, int width, int height,
               ImageManipulatorKernel& kernel);

    // The source pixel at (x, y), clamped to the image: the edges repeat.
    uint32_t GetPixel(int x, int y) const;
    // Writes the colour at the current pixel of the target.
    void SetPixel(uint32_t colour);

    int CurrentX() const { return currentX; }
    int CurrentY() const { return currentY; }

private:
    GfxTexture* source = nullptr;
    GfxTexture* target = nullptr;
    int width = 0;
    int height = 0;
    int32_t sourcePitch = 0;
    int currentX = 0;
    int currentY = 0;
    const uint8_t* sourceBits = nullptr;
    uint8_t* targetBits = nullptr;
    int32_t targetPitch = 0;
};

// Point-sampled reduction of the source into the target by whole steps of their sizes.
void CopyTextureScaled(const TextureHandle& source, const TextureHandle& target);
// A new width x height texture (owned by the caller) holding the source reduced and blurred
// twice; an empty handle when the textures cannot be made.
TextureHandle BlurTexture(const TextureHandle& source, int width, int height);

namespace Renderer {

// A 256x256 blurred copy of the frame being drawn, its picture in the top 192 rows (texture
// coordinates 0..1 by 0..0.75); an empty handle when the back buffer cannot be read.
TextureHandle CaptureBlurredScreen();

} // namespace Renderer
