#include "ui/UICutsceneMngr.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/FourCC.h"
#include "engine/Input.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/Renderer.h"
#include "platform/gfx/GraphicsDevice.h"
#include "platform/os/Keys.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>
#include <string_view>

namespace {

// Nine numbers separated by blanks, and nothing else; false otherwise.
bool ReadNine(std::string_view line, std::array<float, 9>& values) {
    std::size_t at = 0;
    auto skipBlanks = [&] {
        while (at < line.size() && (line[at] == ' ' || line[at] == '\t')) {
            ++at;
        }
    };
    for (float& value : values) {
        skipBlanks();
        const char* first = line.data() + at;
        const auto [end, error] = std::from_chars(first, line.data() + line.size(), value);
        if (error != std::errc() || end == first || !std::isfinite(value)) {
            return false;
        }
        at = static_cast<std::size_t>(end - line.data());
        if (at < line.size() && line[at] != ' ' && line[at] != '\t') {
            return false;
        }
    }
    skipBlanks();
    return at == line.size();
}

} // namespace

void CutsceneCamera::TakePoint(float x, float y, float z) {
    pointX = x;
    pointY = y;
    pointZ = z;
    ++pointsTaken;
}

void CutsceneCamera::LimitScale(float zoom) {
    shownScale = std::clamp(scale * zoom, lowerLimit, upperLimit);
}

UICutsceneMngr::UICutsceneMngr(ObjectsManager* owner) : Object(owner) {
    SetCreator(static_cast<OCreator<UICutsceneMngr>*>(this), 0, 0);
    camera.Reset();
    ReadFloatRows(kPathFile);
}

UICutsceneMngr::~UICutsceneMngr() {
    if (owner != nullptr) {
        owner->RemoveRemovalListener(this);
    }
    RenderDevice& state = Renderer::State();
    if (state.device != nullptr) {
        state.device->SetTransform(TransformType::View, MatrixIdentity());
    }
}

void UICutsceneMngr::ReadFloatRows(const std::string& file) {
    const std::optional<std::vector<uint8_t>> bytes = Files.ReadAll(file);
    if (!bytes) {
        throw Exception("Can't open file %s for reading.", file.c_str());
    }
    const std::string_view text(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    std::size_t start = 0;
    int lineNumber = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) {
            end = text.size();
        }
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.find_first_not_of(" \t") == std::string_view::npos) {
            continue;
        }
        std::array<float, 9> values{};
        if (!ReadNine(line, values)) {
            throw Exception("%s, line %d: nine numbers expected", file.c_str(), lineNumber);
        }
        for (std::size_t i = 0; i < values.size(); i += 3) {
            points.push_back({values[i], values[i + 2], -values[i + 1]});
        }
    }
}

void UICutsceneMngr::SetProperty(const ParconCursor&) {
    CollectBackgrounds();
}

void UICutsceneMngr::CollectBackgrounds() {
    backgrounds.clear();
    collected = true;
    if (owner == nullptr) {
        return;
    }
    for (const std::unique_ptr<Object>& slot : owner->Objects()) {
        if (slot != nullptr && slot->code == FourCC("BACK")) {
            backgrounds.push_back(slot.get());
        }
    }
    owner->AddRemovalListener(this);
}

void UICutsceneMngr::OnObjectGoing(Object* going) {
    std::erase(backgrounds, going);
}

bool UICutsceneMngr::Update(float dt) {
    // A scene entry without a "Data" list never reads its keys.
    if (!collected) {
        CollectBackgrounds();
    }
    clock += dt;
    // Steps of 1/60 s add up to a hair under whole seconds.
    pointIndex = static_cast<int32_t>(clock * pointsPerSecond + kIndexTolerance);
    const float pan = kPanSpeed * dt;
    if (Keyboard.KeyDown(kKeyLeft)) {
        offsetX += pan;
    } else if (Keyboard.KeyDown(kKeyRight)) {
        offsetX -= pan;
    }
    if (Keyboard.KeyDown(kKeyUp)) {
        offsetY += pan;
    }
    if (Keyboard.KeyDown(kKeyDown)) {
        offsetY -= pan;
    }
    if (Keyboard.KeyDown(kKeyHome)) {
        zoom += dt;
    }
    if (Keyboard.KeyDown(kKeyEnd)) {
        zoom -= dt;
    }
    for (Object* background : backgrounds) {
        if (auto* position =
                dynamic_cast<PositionChunk*>(background->GetChunk(FourCC("POSI"), 0))) {
            position->x = position->initialX + offsetX - kOriginX;
            position->y = position->initialY + offsetY - kOriginY;
        }
    }
    camera.LimitScale(zoom);
    return true;
}

void UICutsceneMngr::Draw() {
    if (points.empty()) {
        return;
    }
    const std::size_t index =
        std::min(static_cast<std::size_t>(std::max(0, pointIndex)), points.size() - 1);
    const Point& point = points[index];
    camera.TakePoint(point.x, point.y, point.z);
}
