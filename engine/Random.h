#pragma once

#include <cstdint>

// The game's one pseudo-random source. The data were tuned for a 15-bit generator, so every
// value lies in 0..kRandomMax. Start-up seeds it; tests seed it to replay a choice exactly.
constexpr int32_t kRandomMax = 32767;

// The next value, 0..kRandomMax.
int32_t Random();
// Restarts the sequence; the same seed always gives the same values. Before any seeding the
// generator runs as if seeded with 1.
void SeedRandom(uint32_t seed);
