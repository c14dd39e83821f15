#pragma once

#include "platform/gfx/GraphicsDevice.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// One shared texture, owned by the manager.
struct TextureEntry {
    int32_t referenceCount = 0;
    std::unique_ptr<GfxTexture> texture;
    std::unique_ptr<GfxTexture> spare; // released and emptied together with the texture
    std::string imageName;             // empty for a texture created blank
    std::string alphaName;             // empty when the image has no alpha image
    int32_t width = 0;                 // texels of the texture, padding included
    int32_t height = 0;
    bool hasAlpha = false;
};

// A reference to a shared texture, held by value by whatever draws it.
struct TextureHandle {
    bool valid = false;
    TextureEntry* entry = nullptr;
    uint32_t spare = 0;

    // Gives the reference back (the entry stays until the next purge); false when not valid.
    bool Release();
    // The entry's texture; null for an empty handle or while the device is lost.
    GfxTexture* Texture() const;
};

// Textures shared by file name with reference counts.
namespace TextureManager {

// Fills an empty handle with the texture of an image file (and its alpha image beside it);
// false when the handle is already valid or the image cannot be loaded.
bool Load(TextureHandle& handle, const std::string& name);
// Fills a handle with a new blank texture; false (handle untouched) when none can be made.
bool CreateTexture(TextureHandle& handle, int width, int height, bool hasAlpha);
// Deletes every entry no longer referenced.
void PurgeUnused();
// Deletes every entry.
void ReleaseAll();
// Releases every entry's textures, keeping the entries.
void OnDeviceLost();
// Rebuilds every entry's texture: images from their files, blank ones blank.
void OnDeviceReset();
// The entries in order of creation.
const std::vector<std::unique_ptr<TextureEntry>>& Entries();

} // namespace TextureManager

// Merges the red channel of an alpha image into the texture's alpha; false when the alpha image
// cannot be loaded.
bool LoadAlphaImage(GfxTexture* texture, const std::string& alphaName);
