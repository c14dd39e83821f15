#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

// A texture from an image file held in memory (PNG or JPEG), in the given 32-bit format. Each
// side is padded to a power of two with the image in the top-left corner and transparent black
// around it, so the texture's size is the padded one. kGfxInvalidData, with the reason in error,
// when the data is no image or a side is 0 or beyond what the device can hold.
GfxResult CreateTextureFromFileInMemory(GraphicsDevice& device, const uint8_t* data,
                                        std::size_t size, PixelFormat format,
                                        std::unique_ptr<GfxTexture>& texture, std::string& error);

// The smallest power of two at least value (1 for 0).
uint32_t NextPowerOfTwo(uint32_t value);
