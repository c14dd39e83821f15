#include "engine/Random.h"

namespace {

uint32_t state = 1;

} // namespace

int32_t Random() {
    // The linear congruential generator of the C standard's example rand(): its top 15 bits of
    // the low word are well mixed, and the sequence is the same on every platform.
    state = state * 1103515245u + 12345u;
    return static_cast<int32_t>((state / 65536u) % 32768u);
}

void SeedRandom(uint32_t seed) {
    state = seed;
}
