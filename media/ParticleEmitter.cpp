#include "media/ParticleEmitter.h"

#include "engine/Exception.h"
#include "engine/FileSystem.h"
#include "engine/Log.h"
#include "engine/Parcon.h"
#include "engine/Random.h"
#include "media/Renderer.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr float kPi = 3.1415927f;

// Seconds to whole milliseconds, truncated toward zero and held inside 32 bits.
int32_t Milliseconds(double seconds) {
    const double milliseconds = std::trunc(seconds * 1000.0);
    if (!(milliseconds > std::numeric_limits<int32_t>::min())) {
        return milliseconds < 0.0 ? std::numeric_limits<int32_t>::min() : 0;
    }
    return milliseconds < std::numeric_limits<int32_t>::max() ? static_cast<int32_t>(milliseconds)
                                                              : std::numeric_limits<int32_t>::max();
}

// A share 0..0.999 of a range from the random generator.
float RandomShare() {
    return static_cast<float>(Random() % 1000) / 1000.0f;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Curve

int ParticleCurve::FirstAtOrAfter(int32_t time) const {
    int low = 0;
    int high = count;
    while (low < high) {
        const int middle = (low + high) / 2;
        if (keys[static_cast<std::size_t>(middle)].time < time) {
            low = middle + 1;
        } else {
            high = middle;
        }
    }
    return low;
}

bool ParticleCurve::AddKey(int32_t time, const Value& value) {
    const int at = FirstAtOrAfter(time);
    if (at < count && keys[static_cast<std::size_t>(at)].time == time) {
        keys[static_cast<std::size_t>(at)].value = value;
        return true;
    }
    if (count == kMostKeys) {
        return false;
    }
    std::move_backward(keys.begin() + at, keys.begin() + count, keys.begin() + count + 1);
    keys[static_cast<std::size_t>(at)] = Key{time, value};
    ++count;
    return true;
}

ParticleCurve::Value ParticleCurve::Evaluate(int32_t time) const {
    if (count == 0) {
        return Value{};
    }
    const Key& first = keys.front();
    const Key& last = keys[static_cast<std::size_t>(count - 1)];
    if (time <= first.time) {
        return first.value;
    }
    if (time >= last.time) {
        return last.value;
    }
    const int at = FirstAtOrAfter(time);
    const Key& after = keys[static_cast<std::size_t>(at)];
    if (after.time == time) {
        return after.value;
    }
    const Key& before = keys[static_cast<std::size_t>(at - 1)];
    // Wide, so that keys far apart cannot overflow the difference.
    const auto ratio = static_cast<float>(static_cast<double>(int64_t{time} - before.time) /
                                          static_cast<double>(int64_t{after.time} - before.time));
    Value value;
    for (std::size_t i = 0; i < value.size(); ++i) {
        value[i] = before.value[i] + (after.value[i] - before.value[i]) * ratio;
    }
    return value;
}

// ---------------------------------------------------------------------------------------------
// Emitter

ParticleEmitter::~ParticleEmitter() {
    Clear();
}

void ParticleEmitter::Clear() {
    // Also after a load that threw half-way, which may hold a texture and a pool already.
    texture.Release();
    particles.clear();
    particles.shrink_to_fit();
    maxParts = -1;
    loaded = false;
}

void ParticleEmitter::Load(const ParconList& list, int index) {
    Clear();
    emitting = true;
    x = 0.0f;
    y = 0.0f;
    gravity = 300.0f;
    blending = kBlendAlpha;
    maxParts = 0;
    particleLife = 0.0f;
    cycleLength = 0.0f;
    for (ParticleCurve& curve : curves) {
        curve.Clear();
    }
    emitClock = 0.0;
    nextEmit = 0.0;
    // A definition loaded again shows only its own rectangles.
    textureRects.clear();

    ParconCursor element(&list, index);
    while (element.Next()) {
        if (const std::optional<ParconList> item = element.GetList()) {
            ReadList(*item);
        }
    }
    if (particleLife == 0.0f) {
        particleLife = 1.0f;
    }
    // The emission cycle is divided by in whole milliseconds; a shorter one would divide by 0.
    if (Milliseconds(cycleLength) < 1) {
        cycleLength = 1.0f;
    }
    if (textureRects.empty()) {
        textureRects.push_back(ParticleRect{0.0f, 0.0f, 1.0f, 1.0f});
    }
    loaded = true;
}

void ParticleEmitter::ReadList(const ParconList& list) {
    ParconCursor field(&list, 0);
    const std::string name = field.GetListName();
    const auto curve = [&](CurveIndex index, int values, float& longest) {
        const float seconds = field.NextFloat(true, 0.0f);
        ParticleCurve::Value value{};
        for (int i = 0; i < values; ++i) {
            value[static_cast<std::size_t>(i)] = field.NextFloat(true, 0.0f);
        }
        AddCurveKey(index, list, Milliseconds(seconds), value);
        if (seconds > longest) {
            longest = seconds;
        }
    };
    if (name == "alpha") {
        curve(kAlpha, 1, particleLife);
    } else if (name == "color") {
        curve(kColor, 3, particleLife);
    } else if (name == "size") {
        curve(kSize, 1, particleLife);
    } else if (name == "flow") {
        curve(kFlow, 1, cycleLength);
    } else if (name == "angle") {
        curve(kAngle, 2, cycleLength);
    } else if (name == "vel") {
        curve(kVel, 2, cycleLength);
    } else if (name == "texture") {
        const std::string file = field.NextString(true, "");
        // A second texture list replaces the first, which is given back.
        texture.Release();
        if (!TextureManager::Load(texture, file)) {
            // A file that is there but is no image must not send the author looking for it.
            if (Files.Exists(file)) {
                throw Exception("Can't decode texture file %s!", MessagePart(file).c_str());
            }
            throw Exception("Can't find texture file %s!", MessagePart(file).c_str());
        }
    } else if (name == "coords") {
        ParticleRect rect;
        rect.uLeft = field.NextFloat(true, 0.0f);
        rect.vTop = field.NextFloat(true, 0.0f);
        rect.uRight = field.NextFloat(true, 0.0f);
        rect.vBottom = field.NextFloat(true, 0.0f);
        textureRects.push_back(rect);
    } else if (name == "blending") {
        const std::string mode = field.NextString(true, "");
        if (mode == "add") {
            blending = kBlendAdd;
        } else if (mode == "alpha") {
            blending = kBlendAlpha;
        } else if (mode == "subtr") {
            blending = kBlendSubtract;
        }
    } else if (name == "max_parts") {
        const int32_t asked = field.NextInt(true, 0);
        const int32_t count = std::clamp(asked, 0, kMostParticles);
        if (count != asked) {
            DebugLog("ParticleEmitter: %s: max_parts %d is outside 0..%d; %d are kept\n",
                     list.FileName().c_str(), asked, kMostParticles, count);
        }
        // A second "max_parts" replaces the pool of the first.
        particles.assign(static_cast<std::size_t>(count), Particle{});
        maxParts = count;
    } else if (name == "gravity") {
        gravity = field.NextFloat(true, 0.0f);
    }
}

void ParticleEmitter::AddCurveKey(CurveIndex index, const ParconList& list, int32_t time,
                                  const ParticleCurve::Value& value) {
    if (!curves[index].AddKey(time, value)) {
        DebugLog("ParticleEmitter: %s: the curve \"%s\" has %d keys already; the key at %d ms "
                 "is ignored\n",
                 list.FileName().c_str(), ParconCursor(&list, 0).GetListName().c_str(),
                 ParticleCurve::kMostKeys, time);
    }
}

void ParticleEmitter::Reset() {
    for (Particle& particle : particles) {
        particle.alive = false;
    }
    emitClock = 0.0;
    nextEmit = 0.0;
}

bool ParticleEmitter::IsAlive() const {
    return maxParts >= 1 && std::any_of(particles.begin(), particles.end(),
                                        [](const Particle& particle) { return particle.alive; });
}

void ParticleEmitter::Update(float dt) {
    if (!loaded) {
        return;
    }
    for (Particle& particle : particles) {
        if (!particle.alive) {
            continue;
        }
        if (particle.age > particleLife) {
            particle.alive = false;
            continue;
        }
        particle.age += dt;
        particle.x += particle.vx * dt;
        particle.y += particle.vy * dt;
        particle.vy += gravity * dt * particle.gravityFactor;
        particle.rotation += dt * 190.0f / 180.0f;
    }
    if (!emitting) {
        return;
    }
    const int32_t cycle = Milliseconds(cycleLength); // at least 1 after a load
    const int32_t t = Milliseconds(emitClock) % cycle;
    const float rate = curves[kFlow].Evaluate(t)[0];
    // A rate of 0, below 0 or of no number makes the next particle due never. The interval is
    // reckoned in the steps' own precision, so that 60 a second is exactly one a 1/60 s step.
    const double interval =
        rate > 0.0f ? static_cast<double>(1.0f / rate) : std::numeric_limits<double>::infinity();
    const ParticleCurve::Value speed = curves[kVel].Evaluate(t);
    const ParticleCurve::Value angle = curves[kAngle].Evaluate(t);
    emitClock += dt;
    if (!(nextEmit < emitClock)) {
        return;
    }
    // Every emission due by now, counted rather than stepped through: each takes the first dead
    // slot, and one that finds none is lost, not postponed.
    const double due = std::max(1.0, std::ceil((emitClock - nextEmit) / interval));
    std::size_t slot = 0;
    for (double emitted = 0.0; emitted < due; emitted += 1.0) {
        while (slot < particles.size() && particles[slot].alive) {
            ++slot;
        }
        if (slot == particles.size()) {
            break;
        }
        Emit(slot, speed[0], speed[1], angle[0], angle[1]);
    }
    nextEmit += due * interval;
}

void ParticleEmitter::Emit(std::size_t slot, float speedMin, float speedMax, float angleMin,
                           float angleMax) {
    Particle& particle = particles[slot];
    particle.alive = true;
    particle.age = 0.0f;
    const float speed = speedMin + (speedMax - speedMin) * RandomShare();
    const float degrees = angleMin + (angleMax - angleMin) * RandomShare();
    const float radians = degrees * kPi / 180.0f;
    particle.vx = speed * std::cos(radians);
    particle.vy = speed * std::sin(radians);
    particle.x = x;
    particle.y = y;
    particle.gravityFactor = 1.0f;
    particle.rotation = 0.0f;
    const ParticleRect& rect =
        textureRects[static_cast<std::size_t>(Random()) % textureRects.size()];
    particle.uLeft = rect.uLeft;
    particle.vTop = rect.vTop;
    particle.uRight = rect.uRight;
    particle.vBottom = rect.vBottom;
}

void ParticleEmitter::Draw() {
    if (!loaded) {
        return;
    }
    Renderer::SetRenderState(RenderState::ZFunc, kCompareAlways);
    Renderer::SetZWriteEnable(false);
    if (blending == kBlendAdd) {
        Renderer::SetBlendMode(Renderer::kBlendModeAdd);
    } else if (blending == kBlendSubtract) {
        Renderer::SetRenderState(RenderState::BlendOp, kBlendOpRevSubtract);
    }
    for (const Particle& particle : particles) {
        if (!particle.alive) {
            continue;
        }
        drawnOnce = true;
        const int32_t age = Milliseconds(particle.age);
        const ParticleCurve::Value colour = curves[kColor].Evaluate(age);
        const float size = curves[kSize].Evaluate(age)[0];
        const float alpha = curves[kAlpha].Evaluate(age)[0];
        const QuadColour tint{colour[0], colour[1], colour[2]};
        DrawQuad(particle.x - size / 2.0f, particle.y - size / 2.0f, kDepth, size, size,
                 particle.uLeft, particle.vTop, particle.uRight, particle.vBottom, &texture,
                 particle.rotation, alpha, 1.0f, &tint, 0.0f, 0.0f);
    }
    if (blending == kBlendAdd) {
        Renderer::SetBlendMode(Renderer::kBlendModeAlpha);
    } else if (blending == kBlendSubtract) {
        Renderer::SetRenderState(RenderState::BlendOp, kBlendOpAdd);
    }
    Renderer::SetRenderState(RenderState::ZFunc, kCompareLessEqual);
    Renderer::SetZWriteEnable(true);
}
