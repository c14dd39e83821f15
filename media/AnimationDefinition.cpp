#include "media/AnimationDefinition.h"

#include "engine/Log.h"
#include "engine/Parcon.h"

#include <array>
#include <cmath>
#include <cstdint>

namespace {

// The image and the cell size that a "framedAnim" cuts its frames from.
struct Sheet {
    std::string file;
    float frameWidth = 0.0f;
    float frameHeight = 0.0f;
};

// Cells along one side of the sheet; 0 when the sheet cannot be divided (no image, a cell of
// less than a pixel or of no number, a cell larger than the image).
int64_t Cells(int32_t imagePixels, float cellPixels) {
    if (imagePixels <= 0 || !(cellPixels >= 1.0f) || !std::isfinite(cellPixels)) {
        return 0;
    }
    return static_cast<int64_t>(static_cast<float>(imagePixels) / cellPixels);
}

// A size as given, or 0 when it is no size (not a number, infinite, negative).
float Pixels(float size) {
    return std::isfinite(size) && size > 0.0f ? size : 0.0f;
}

// Reads one ".ani" file into a definition. Frames that are made hold their textures; if the
// reading throws, the definition gives them back.
class AnimationReader {
public:
    AnimationReader(const std::string& fileName, AnimationDefinition& definition)
        : fileName(fileName), definition(definition) {}

    void Read() {
        Parcon parser;
        parser.OpenFile(fileName, true);
        ParconCursor root = parser.RootCursor();
        while (root.Next()) {
            const std::optional<ParconList> list = root.GetList();
            if (!list) {
                continue;
            }
            ParconCursor cursor(list, 0);
            const std::string kind = cursor.GetListName();
            if (kind == "defaultFile") {
                defaultSheet.file = cursor.NextString(true, "");
                defaultSheet.frameWidth = cursor.NextFloat(true, 0.0f);
                defaultSheet.frameHeight = cursor.NextFloat(true, 0.0f);
            } else if (kind == "emptyAnim") {
                const std::string name = cursor.NextString(true, "");
                definition.records.emplace_back();
                Name(name);
            } else if (kind == "fileAnim") {
                ReadFileAnim(cursor);
            } else if (kind == "framedAnim") {
                ReadFramedAnim(cursor);
            }
        }
    }

private:
    // The last animation is read whole: its name now finds it.
    void Name(const std::string& name) {
        definition.nameIndex[name] = static_cast<int>(definition.records.size() - 1);
    }

    void ReadFileAnim(ParconCursor cursor) {
        const std::string name = cursor.NextString(true, "");
        // Built in place, so that a throw half-way leaves its frames where their textures are
        // given back.
        AnimationRecord& record = definition.records.emplace_back();
        while (cursor.Next()) {
            const std::optional<ParconList> item = cursor.GetList();
            if (!item) {
                continue;
            }
            ParconCursor field(item, 0);
            const std::string kind = field.GetListName();
            if (kind == "fps") {
                record.fps = field.NextFloat(true, 0.0f);
            } else if (kind == "frame") {
                AnimationFrame& frame = record.frames.emplace_back();
                const std::string image = field.NextString(true, "");
                std::array<float, 6> numbers{};
                for (float& number : numbers) {
                    number = field.NextFloat(true, 0.0f);
                }
                CutFrame(frame, image, numbers);
            }
        }
        Name(name);
    }

    void ReadFramedAnim(ParconCursor cursor) {
        const std::string name = cursor.NextString(true, "");
        Sheet sheet = defaultSheet;
        if (cursor.HasNextValue()) {
            sheet.file = cursor.NextString(true, "");
            sheet.frameWidth = cursor.NextFloat(true, 0.0f);
            sheet.frameHeight = cursor.NextFloat(true, 0.0f);
        }
        AnimationRecord& record = definition.records.emplace_back();
        bool shifted = false;
        float shiftX = 0.0f;
        float shiftY = 0.0f;
        reported = false;
        while (cursor.Next()) {
            const std::optional<ParconList> item = cursor.GetList();
            if (!item) {
                continue;
            }
            ParconCursor field(item, 0);
            const std::string kind = field.GetListName();
            if (kind == "fps") {
                record.fps = field.NextFloat(true, 0.0f);
            } else if (kind == "frames") {
                while (field.Next()) {
                    if (const std::optional<ParconList> rectangle = field.GetList()) {
                        AnimationFrame& frame = record.frames.emplace_back();
                        CutFrame(frame, sheet.file, RectangleNumbers(*rectangle));
                    } else {
                        AnimationFrame& frame = record.frames.emplace_back();
                        CutCell(frame, name, sheet, field.GetInt(0));
                    }
                }
            } else if (kind == "shift") {
                shifted = true;
                shiftX = field.NextFloat(true, 0.0f);
                shiftY = field.NextFloat(true, 0.0f);
            }
        }
        if (shifted) {
            for (AnimationFrame& frame : record.frames) {
                frame.pivotX = shiftX;
                frame.pivotY = shiftY;
            }
        }
        Name(name);
    }

    // x, y, w, h, pivotX, pivotY: six numbers, all of them data, the list's first element
    // included (an unnamed list's elements after its placeholder).
    static std::array<float, 6> RectangleNumbers(const ParconList& list) {
        ParconCursor field(&list, 0);
        const ParconNode* const first = field.Current();
        const bool unnamed =
            first != nullptr && first->kind == ParconNode::kValue && !first->hasText;
        std::array<float, 6> numbers{};
        for (std::size_t i = 0; i < numbers.size(); ++i) {
            numbers[i] = i == 0 && !unnamed ? field.GetFloat(0.0f) : field.NextFloat(true, 0.0f);
        }
        return numbers;
    }

    // A frame of the rectangle (x, y, w, h) of an image, with its pivot.
    static void CutFrame(AnimationFrame& frame, const std::string& image,
                         const std::array<float, 6>& numbers) {
        const auto [x, y, w, h, pivotX, pivotY] = numbers;
        frame.pivotX = pivotX;
        frame.pivotY = pivotY;
        frame.width = w;
        frame.height = h;
        if (image.empty() || !TextureManager::Load(frame.texture, image) ||
            frame.texture.entry->width <= 0 || frame.texture.entry->height <= 0) {
            frame.texture.Release();
            return; // untextured
        }
        const auto imageWidth = static_cast<float>(frame.texture.entry->width);
        const auto imageHeight = static_cast<float>(frame.texture.entry->height);
        frame.uLeft = x / imageWidth;
        frame.vTop = y / imageHeight;
        frame.uRight = (x + w) / imageWidth;
        frame.vBottom = (y + h) / imageHeight;
    }

    // Cell n of the sheet: columns across, rows down, pivot at the cell's centre.
    void CutCell(AnimationFrame& frame, const std::string& animation, const Sheet& sheet,
                 int32_t cell) {
        frame.width = sheet.frameWidth;
        frame.height = sheet.frameHeight;
        frame.pivotX = sheet.frameWidth * 0.5f;
        frame.pivotY = sheet.frameHeight * 0.5f;
        if (!sheet.file.empty()) {
            TextureManager::Load(frame.texture, sheet.file);
        }
        const int32_t imageWidth = frame.texture.valid ? frame.texture.entry->width : 0;
        const int32_t imageHeight = frame.texture.valid ? frame.texture.entry->height : 0;
        const int64_t columns = Cells(imageWidth, sheet.frameWidth);
        const int64_t rows = Cells(imageHeight, sheet.frameHeight);
        if (columns == 0 || rows == 0 || cell < 0 || cell >= columns * rows) {
            // The sheet cannot give this frame: it draws untextured.
            if (!reported) {
                DebugLog("%s: animation %s: the sheet \"%s\" (%dx%d) has no cell %d of %gx%g; "
                         "drawn untextured\n",
                         fileName.c_str(), animation.c_str(), sheet.file.c_str(), imageWidth,
                         imageHeight, cell, static_cast<double>(sheet.frameWidth),
                         static_cast<double>(sheet.frameHeight));
                reported = true;
            }
            frame.texture.Release();
            frame.width = Pixels(sheet.frameWidth);
            frame.height = Pixels(sheet.frameHeight);
            frame.pivotX = frame.width * 0.5f;
            frame.pivotY = frame.height * 0.5f;
            return;
        }
        const float cellU = sheet.frameWidth / static_cast<float>(imageWidth);
        const float cellV = sheet.frameHeight / static_cast<float>(imageHeight);
        frame.uLeft = static_cast<float>(cell % columns) * cellU;
        frame.vTop = static_cast<float>(cell / columns) * cellV;
        frame.uRight = frame.uLeft + cellU;
        frame.vBottom = frame.vTop + cellV;
    }

    const std::string& fileName;
    AnimationDefinition& definition;
    Sheet defaultSheet;
    bool reported = false; // the current animation's sheet trouble is in the log
};

} // namespace

std::unique_ptr<AnimationDefinition> AnimationDefinition::Read(const std::string& fileName) {
    auto definition = std::make_unique<AnimationDefinition>();
    try {
        AnimationReader(fileName, *definition).Read();
    } catch (...) {
        definition->ReleaseTextures();
        throw;
    }
    return definition;
}

void AnimationDefinition::ReleaseTextures() {
    for (AnimationRecord& record : records) {
        for (AnimationFrame& frame : record.frames) {
            frame.texture.Release();
        }
    }
}

std::unique_ptr<AnimationSoundDefinition>
AnimationSoundDefinition::Read(const std::string& fileName) {
    auto definition = std::make_unique<AnimationSoundDefinition>();
    Parcon parser;
    parser.OpenFile(fileName, true);
    ParconCursor root = parser.RootCursor();
    while (root.Next()) {
        const std::optional<ParconList> list = root.GetList();
        if (!list) {
            continue;
        }
        ParconCursor cursor(list, 0);
        if (cursor.GetListName() != "sound") {
            continue;
        }
        const int index = static_cast<int>(definition->sets.size());
        SoundSet& set = *definition->sets.emplace_back(std::make_unique<SoundSet>());
        while (cursor.Next()) {
            const std::optional<ParconList> item = cursor.GetList();
            if (!item) {
                continue;
            }
            ParconCursor field(item, 0);
            const std::string kind = field.GetListName();
            if (kind == "anims") {
                while (field.Next()) {
                    if (!field.GetList()) {
                        definition->nameIndex[field.GetString("")] = index;
                    }
                }
            } else if (kind == "files") {
                while (field.Next()) {
                    if (const std::optional<ParconList> entry = field.GetList()) {
                        // The entry's first word says nothing.
                        ParconCursor sample(entry, 0);
                        const std::string file = sample.NextString(true, "");
                        const int weight = sample.NextInt(true, 0);
                        const bool exclusive = sample.NextInt(false, 0) != 0;
                        set.AddSound(file, weight, exclusive);
                    } else {
                        set.AddSound(field.GetString(""), 1, false);
                    }
                }
            } else if (kind == "loop") {
                set.SetLoop(field.NextInt(true, 0) != 0);
            }
        }
    }
    return definition;
}

SoundSet* AnimationSoundDefinition::SetFor(std::string_view animation) const {
    const auto found = nameIndex.find(animation);
    if (found == nameIndex.end() || found->second < 0 ||
        static_cast<std::size_t>(found->second) >= sets.size()) {
        return nullptr;
    }
    return sets[static_cast<std::size_t>(found->second)].get();
}

std::string SoundCompanionName(const std::string& aniName) {
    // Room for a dot and three letters at least.
    constexpr std::size_t kShortest = 4;
    if (aniName.size() < kShortest) {
        return {};
    }
    return aniName.substr(0, aniName.size() - 3) + "snd";
}
