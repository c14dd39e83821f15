#pragma once

#include "media/TextureManager.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

struct ParconList;

// Up to three values over time, from keys kept sorted by time (milliseconds) and joined by
// straight lines; one-value curves use the first value.
class ParticleCurve {
public:
    static constexpr int kMostKeys = 16;
    using Value = std::array<float, 3>;

    struct Key {
        int32_t time = 0;
        Value value{};
    };

    // Inserts the key in time order, or gives a key of the same time the new value. False (and
    // nothing changes) when a new time finds all kMostKeys keys in use.
    bool AddKey(int32_t time, const Value& value);
    // No keys: zeros. Before the first key or after the last: that key's value. Between two
    // keys: the straight line between them.
    Value Evaluate(int32_t time) const;
    void Clear() { count = 0; }
    int Count() const { return count; }
    const Key& KeyAt(int index) const { return keys[static_cast<std::size_t>(index)]; }

private:
    // The first key whose time is at least time (count when none).
    int FirstAtOrAfter(int32_t time) const;

    int count = 0;
    std::array<Key, kMostKeys> keys{};
};

// One slot of an emitter's pool.
struct Particle {
    float x = 0.0f; // screen pixels
    float y = 0.0f;
    float vx = 0.0f; // pixels per second
    float vy = 0.0f;
    float gravityFactor = 0.0f;
    float rotation = 0.0f; // degrees
    bool alive = false;
    float age = 0.0f; // seconds
    float uLeft = 0.0f;
    float vTop = 0.0f;
    float uRight = 0.0f;
    float vBottom = 0.0f;
};

// A part of the texture that particles show.
struct ParticleRect {
    float uLeft = 0.0f;
    float vTop = 0.0f;
    float uRight = 1.0f;
    float vBottom = 1.0f;
};

// A particle effect from a ".prt" definition, embedded in its owner: over a particle's life its
// colour, alpha and size follow curves; over a repeating emission cycle so do the emission rate,
// the direction range and the speed range. The owner places it, switches emission on and off,
// updates it every step and draws it over the scene.
class ParticleEmitter {
public:
    // The curves, in the order the emitter keeps them.
    enum CurveIndex { kAlpha, kColor, kSize, kFlow, kAngle, kVel, kCurveCount };
    enum Blending { kBlendAlpha = 0, kBlendAdd = 1, kBlendSubtract = 2 };
    // "max_parts" is held inside 0..kMostParticles.
    static constexpr int kMostParticles = 100000;
    static constexpr float kDepth = 200.0f;

    ParticleEmitter() = default;
    ~ParticleEmitter();
    ParticleEmitter(const ParticleEmitter&) = delete;
    ParticleEmitter& operator=(const ParticleEmitter&) = delete;

    // Configures the emitter from the lists of a parsed ".prt" file that follow the index (the
    // previous texture and pool are let go first); emission is on afterwards. Throws the
    // parser's Exception for a missing number, and "Can't find texture file %s!".
    void Load(const ParconList& list, int index);
    // Lets go of the texture and the pool.
    void Clear();
    // Kills every particle; emission starts its cycle again.
    void Reset();
    // Some particle is alive.
    bool IsAlive() const;
    void Update(float dt);
    // Draws the living particles over everything (depth test and writes off).
    void Draw();

    const ParticleCurve& Curve(CurveIndex index) const { return curves[index]; }
    float ParticleLife() const { return particleLife; }
    float CycleLength() const { return cycleLength; }
    double EmitClock() const { return emitClock; }
    int BlendingMode() const { return blending; }
    float Gravity() const { return gravity; }
    int MaxParts() const { return maxParts; }
    bool IsLoaded() const { return loaded; }
    const std::vector<Particle>& Particles() const { return particles; }
    const std::vector<ParticleRect>& TextureRects() const { return textureRects; }
    const TextureHandle& Texture() const { return texture; }

    bool emitting = false; // owners stop and resume emission without killing particles
    float x = 0.0f;        // where new particles start, set by the owner
    float y = 0.0f;
    bool drawnOnce = false; // some particle has been drawn; never cleared

private:
    void ReadList(const ParconList& list);
    void AddCurveKey(CurveIndex curve, const ParconList& list, int32_t time,
                     const ParticleCurve::Value& value);
    void Emit(std::size_t slot, float speedMin, float speedMax, float angleMin, float angleMax);

    std::array<ParticleCurve, kCurveCount> curves;
    float particleLife = 0.0f; // seconds: the last key of the alpha, colour and size curves
    float cycleLength = 0.0f;  // seconds: the last key of the flow, angle and speed curves
    // Seconds of emission so far, and when the next particle is due. Kept wide so that hours of
    // small steps still add up.
    double emitClock = 0.0;
    double nextEmit = 0.0;
    bool loaded = false;
    TextureHandle texture;
    int blending = kBlendAlpha;
    std::vector<Particle> particles;
    int maxParts = -1;
    float gravity = 300.0f; // pixels per second squared
    std::vector<ParticleRect> textureRects;
};
