#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct Image;

// A texture from an image file held in memory (PNG or JPEG), in the given 32-bit format, each
// pixel written once (a JPEG's a band of rows at a time where the texture locks rows). Each side is
// padded to a power of two with the image in the top-left corner and transparent black around it,
// so the texture's size is the padded one. kGfxInvalidData, with the reason in error, when the data
// is no image or a side is 0 or beyond what the device can hold. alpha, when given, is asked once
// the image has decoded; an alpha image it returns is merged as CreateTextureFromImage merges one.
GfxResult CreateTextureFromFileInMemory(GraphicsDevice& device, const uint8_t* data,
                                        std::size_t size, PixelFormat format,
                                        std::unique_ptr<GfxTexture>& texture, std::string& error,
                                        const std::function<const Image*()>& alpha = {});

// Decodes an image file held in memory as the device would take it for a texture (no side beyond
// the largest power of two it can hold); kGfxInvalidData with the reason otherwise.
GfxResult DecodeTextureImage(GraphicsDevice& device, const uint8_t* data, std::size_t size,
                             Image& image, std::string& error);

// A texture of a decoded image, padded as above, in one upload. With an alpha image, every
// pixel's alpha becomes the red channel of the alpha image's pixel at the same place, as the alpha
// image's own padded texture would hold it (read at its nearest edge where it is smaller).
GfxResult CreateTextureFromImage(GraphicsDevice& device, const Image& image, PixelFormat format,
                                 const Image* alpha, std::unique_ptr<GfxTexture>& texture,
                                 std::string& error);

// The smallest power of two at least value (1 for 0).
uint32_t NextPowerOfTwo(uint32_t value);
