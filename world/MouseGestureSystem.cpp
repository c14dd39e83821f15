#include "world/MouseGestureSystem.h"

#include "engine/FourCC.h"
#include "engine/Log.h"
#include "engine/MouseState.h"
#include "engine/ObjectsManager.h"
#include "engine/PositionSystem.h"
#include "media/ParticleRenderSystem.h"
#include "media/Renderer.h"
#include "world/BaseGameObject.h"
#include "world/FxParticles.h"
#include "world/GestureReceiver.h"
#include "world/Level.h"
#include "world/NormalLevelSystem.h"

#include <algorithm>
#include <cmath>

namespace {

// A stroke counts only while the game level has a tool in use.
bool ToolInUse() {
    return GameLevel != nullptr && GameLevel->levelSystem != nullptr &&
           GameLevel->levelSystem->toolInUse;
}

// Hands the gesture to every enabled object of the level created under the definition name.
// A receiver may add objects to the level: the walk keeps its objects and reaches the new ones.
void HandOn(Level& level, const char* definition, const std::string& gesture) {
    const ObjectsManager::WalkScope walk(level);
    for (std::size_t i = 0; i < level.Objects().size() && !level.IsBeingDeleted(); ++i) {
        Object* object = level.Objects()[i].get();
        if (object == nullptr || object->name != definition) {
            continue;
        }
        auto* receiver = dynamic_cast<GestureReceiver*>(object);
        const auto* sceneObject = dynamic_cast<const BaseGameObject*>(object);
        if (receiver != nullptr && sceneObject != nullptr && sceneObject->enabled) {
            receiver->OnGesture(gesture);
        }
    }
}

} // namespace

MouseGestureSystem::MouseGestureSystem(ObjectsManager* owner) : System(owner, FourCC("MOUG")) {
    Parcon parser;
    parser.OpenFile(kTemplateFile, true);
    ParconCursor root = parser.RootCursor();
    while (root.Next()) {
        const std::optional<ParconList> list = root.GetList();
        if (!list) {
            continue;
        }
        ParconCursor entry(list, 0);
        if (entry.GetListName() != "gesture") {
            continue;
        }
        GestureTemplate gesture;
        gesture.name = entry.NextString(true, "");
        gesture.pattern = entry.NextString(true, "");
        gesture.matchPart = entry.NextInt(false, 0) != 0;
        templates.push_back(std::move(gesture));
    }
    if (!TextureManager::Load(trailTexture, kTrailTexture)) {
        DebugLog("The gesture trail has no texture: %s\n", kTrailTexture);
    }
}

MouseGestureSystem::~MouseGestureSystem() {
    DeleteAllChunks();
    trailTexture.Release();
}

SystemChunk* MouseGestureSystem::CreateChunk(uint32_t) {
    return KeepChunk(std::make_unique<MouseGestureChunk>());
}

void MouseGestureSystem::Update(float dt) {
    if (!ToolInUse()) {
        return;
    }
    stepTime = dt;
    const Vector2 mouse{Mouse.x, Mouse.y};
    if (Mouse.leftHeld && !recording) {
        StartStroke();
    }
    if (Mouse.moved && recording) {
        AddTrailPoint(mouse);
        Sample(mouse);
    }
    if (Mouse.leftReleased) {
        // A button let go outside the window ends no gesture.
        if (recording && Mouse.x != MouseState::kOutside) {
            EndStroke();
        }
        recording = false;
        lastRatio = 0.0f;
        strokeLength = 0.0f;
        segments.clear();
    }
    if (!Mouse.leftHeld && recording) {
        recording = false;
    }
    UpdateTrail();
}

void MouseGestureSystem::StartStroke() {
    lastRatio = 0.0f;
    strokeLength = 0.0f;
    segments.clear();
    trail.clear();
    recording = true;
    // Both from the press: the first run of a stroke is not measured from the last stroke's end.
    lastSample = {Mouse.x, Mouse.y};
    trailAnchor = lastSample;
}

void MouseGestureSystem::Sample(Vector2 mouse) {
    const float dx = mouse.x - lastSample.x;
    const float dy = mouse.y - lastSample.y;
    strokeLength += Distance(trailAnchor, mouse);
    // Small moves add up: the sample point stays until the mouse is 4 pixels away.
    if (std::fabs(dx) < kSmallestMove && std::fabs(dy) < kSmallestMove) {
        return;
    }
    // |dy| may be 0: the ratio is then infinite and the move horizontal.
    const float ratio = std::fabs(dx) / std::fabs(dy);
    char direction = 'D';
    if (ratio >= 1.0f) {
        direction = dx >= 0.0f ? 'R' : 'L';
    } else if (dy < 0.0f) {
        direction = 'U';
    }
    AddSegment(direction, ratio, Distance(trailAnchor, mouse));
    lastSample = mouse;
    trailAnchor = mouse;
}

void MouseGestureSystem::AddSegment(char direction, float ratio, float length) {
    if (!segments.empty() && segments.back().direction == direction) {
        segments.back().length += length;
        return;
    }
    // A horizontal move whose slope changes only a little does not start a new run.
    if (lastRatio != 0.0f && (direction == 'L' || direction == 'R') &&
        std::fabs(ratio - lastRatio) < kRatioThreshold) {
        return;
    }
    lastRatio = ratio;
    segments.push_back({direction, length});
    ++segmentCount;
}

std::string MouseGestureSystem::StrokeText(const std::vector<GestureSegment>& segments) {
    float longest = 0.0f;
    for (const GestureSegment& segment : segments) {
        longest = std::max(longest, segment.length);
    }
    std::string text;
    for (const GestureSegment& segment : segments) {
        if (segment.length > longest / 10.0f) {
            text += segment.direction;
        }
    }
    return text;
}

std::string MouseGestureSystem::FindGesture(const std::string& strokeText) const {
    for (const GestureTemplate& gesture : templates) {
        const bool matches = gesture.matchPart ? strokeText.find(gesture.pattern) != std::string::npos
                                               : strokeText == gesture.pattern;
        if (matches) {
            return gesture.name;
        }
    }
    return {};
}

void MouseGestureSystem::EndStroke() {
    const std::string gesture = FindGesture(StrokeText(segments));
    if (ModalLevel != nullptr && (ModalLevel->name == "gestures" || ModalLevel->name == "switchpuzzle")) {
        HandOn(*ModalLevel, "GestureGameElement", gesture);
    }
    if (GameLevel != nullptr) {
        HandOn(*GameLevel, "TelescopeGestureGameElement", gesture);
    }
}

bool MouseGestureSystem::BeneathAMiniGame() const {
    return ModalLevel != nullptr && owner == GameLevel;
}

void MouseGestureSystem::AddTrailPoint(Vector2 cursor) {
    // The mini-game level's own system draws the stroke and its sparks. The game level's runs
    // only beneath a running pop-up: a trail of its own would stand still, unfaded, once the
    // pop-up closes.
    if (BeneathAMiniGame()) {
        return;
    }
    if (std::fabs(cursor.x - sparkAnchor.x) > sparkHalfSize ||
        std::fabs(cursor.y - sparkAnchor.y) > sparkHalfSize) {
        SpawnSparks(cursor);
        sparkAnchor = cursor;
    }
    GestureTrailPoint point;
    point.fadeEnd = kTrailFadeEnd;
    point.initialAlpha = 1.0f;
    point.width = kTrailWidth;
    point.size = kTrailWidth;
    point.x = cursor.x;
    point.y = cursor.y;
    trail.push_back(point);
}

void MouseGestureSystem::SpawnSparks(Vector2 cursor) {
    Level* target = ModalLevel != nullptr ? ModalLevel : GameLevel;
    if (target == nullptr) {
        return;
    }
    if (!sparkDefinition) {
        auto parser = std::make_unique<Parcon>();
        parser->OpenFile(kSparkFile, true);
        sparkDefinition = std::move(parser);
    }
    std::unique_ptr<Object> created = target->CreateObject("FxParticles", true);
    auto* sparks = dynamic_cast<FxParticles*>(created.get());
    if (sparks == nullptr) {
        DebugLog("%s\n", "FxParticles is not a particle effect: no sparks");
        return;
    }
    sparks->Position().x = cursor.x;
    sparks->Position().y = cursor.y;
    ParticleChunk& particles = sparks->Particles();
    particles.emitter.Load(*sparkDefinition->Root(), 0);
    particles.lifeTime = kSparkEmission;
    sparks->life = kSparkLife;
    sparks->ResolveDependencies();
    target->AddObject(std::move(created));
}

void MouseGestureSystem::UpdateTrail() {
    if (trail.size() <= kMostTimedTrailPoints) {
        for (GestureTrailPoint& point : trail) {
            point.Update(stepTime);
        }
    } else {
        for (GestureTrailPoint& point : trail) {
            point.alpha -= 0.1f;
            point.size -= 0.1f;
        }
    }
    std::erase_if(trail, [](const GestureTrailPoint& point) { return point.alpha <= 0.0f; });
}

void MouseGestureSystem::PostRender() {
    // A room stroke still fading when a mini-game opened is not left standing beneath it.
    if (!ToolInUse() || BeneathAMiniGame()) {
        return;
    }
    Renderer::SetRenderState(RenderState::ZFunc, kCompareAlways);
    Renderer::SetZWriteEnable(false);
    Renderer::SetBlendMode(Renderer::kBlendModeAdd);
    Renderer::DrawStroke(trail, &trailTexture);
    Renderer::SetBlendMode(Renderer::kBlendModeAlpha);
    Renderer::SetRenderState(RenderState::ZFunc, kCompareLessEqual);
    Renderer::SetZWriteEnable(true);
}
