#include "media/TextureManager.h"

#include "media/Renderer.h"

#include <algorithm>

namespace {

std::vector<std::unique_ptr<TextureEntry>> entries;

// The name without its extension (the last four characters, dot included).
std::string Stem(const std::string& name) {
    return name.substr(0, name.size() >= 4 ? name.size() - 4 : 0);
}

} // namespace

bool TextureHandle::Release() {
    if (!valid) {
        return false;
    }
    --entry->referenceCount;
    valid = false;
    entry = nullptr;
    return true;
}

GfxTexture* TextureHandle::Texture() const {
    return valid && entry != nullptr ? entry->texture.get() : nullptr;
}

bool LoadAlphaImage(GfxTexture* texture, const std::string& alphaName) {
    const std::unique_ptr<GfxTexture> alpha = Renderer::LoadTexture(alphaName, false);
    if (!alpha) {
        return false;
    }
    Renderer::MergeAlphaImage(texture, alpha.get());
    return true;
}

namespace TextureManager {

bool Load(TextureHandle& handle, const std::string& name) {
    if (handle.valid) {
        return false;
    }
    const std::string pngCompanion = Stem(name) + "_alpha.png";
    const std::string jpgCompanion = Stem(name) + "_alpha.jpg";
    // Blank textures have no name and belong to whoever made them: never shared by name.
    for (const std::unique_ptr<TextureEntry>& entry : entries) {
        if (!entry->imageName.empty() && entry->imageName == name &&
            (entry->alphaName.empty() || entry->alphaName == pngCompanion ||
             entry->alphaName == jpgCompanion)) {
            ++entry->referenceCount;
            handle.entry = entry.get();
            handle.valid = true;
            return true;
        }
    }

    // Without an alpha image the texture keeps the alpha it was loaded with.
    std::string alphaName;
    std::unique_ptr<GfxTexture> texture =
        Renderer::LoadTextureWithAlpha(name, {pngCompanion, jpgCompanion}, alphaName);
    if (!texture) {
        return false;
    }
    auto entry = std::make_unique<TextureEntry>();
    entry->referenceCount = 1;
    entry->imageName = name;
    entry->width = static_cast<int32_t>(texture->Width());
    entry->height = static_cast<int32_t>(texture->Height());
    entry->hasAlpha = true;
    entry->texture = std::move(texture);
    TextureEntry& added = *entries.emplace_back(std::move(entry));
    handle.entry = &added;
    handle.valid = true;
    added.alphaName = alphaName;
    return true;
}

bool CreateTexture(TextureHandle& handle, int width, int height, bool hasAlpha) {
    if (width <= 0 || height <= 0) {
        return false;
    }
    std::unique_ptr<GfxTexture> texture = Renderer::CreateBlankTexture(
        static_cast<uint32_t>(width), static_cast<uint32_t>(height), hasAlpha);
    if (!texture) {
        return false;
    }
    auto entry = std::make_unique<TextureEntry>();
    entry->referenceCount = 1;
    entry->width = static_cast<int32_t>(texture->Width());
    entry->height = static_cast<int32_t>(texture->Height());
    entry->hasAlpha = hasAlpha;
    entry->texture = std::move(texture);
    handle.entry = entries.emplace_back(std::move(entry)).get();
    handle.valid = true;
    return true;
}

void PurgeUnused() {
    std::erase_if(entries, [](const std::unique_ptr<TextureEntry>& entry) {
        return entry->referenceCount <= 0;
    });
}

void ReleaseAll() {
    entries.clear();
}

void OnDeviceLost() {
    Renderer::ResetTexture();
    for (const std::unique_ptr<TextureEntry>& entry : entries) {
        entry->texture.reset();
        entry->spare.reset();
    }
}

void OnDeviceReset() {
    for (const std::unique_ptr<TextureEntry>& entry : entries) {
        if (!entry->imageName.empty()) {
            // The alpha image it had, if it is still there.
            std::string alphaName;
            entry->texture = Renderer::LoadTextureWithAlpha(
                entry->imageName,
                entry->alphaName.empty() ? std::vector<std::string>{}
                                         : std::vector<std::string>{entry->alphaName},
                alphaName);
            entry->spare.reset();
        } else {
            // The content is lost; the owners draw it again.
            entry->texture =
                Renderer::CreateBlankTexture(static_cast<uint32_t>(entry->width),
                                             static_cast<uint32_t>(entry->height), entry->hasAlpha);
        }
    }
}

const std::vector<std::unique_ptr<TextureEntry>>& Entries() {
    return entries;
}

} // namespace TextureManager
