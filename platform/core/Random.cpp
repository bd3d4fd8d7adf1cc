#include "platform/core/Random.h"

#include <chrono>

RandomSource& RandomSource::shared() {
    static RandomSource source(static_cast<uint64_t>(std::chrono::system_clock::now().time_since_epoch().count()));
    return source;
}

void RandomSource::seed(uint64_t s) {
    std::lock_guard lock(mutex_);
    state_ = 0;
    inc_ = (s << 1u) | 1u;
    step();
    state_ += s;
    step();
}

// PCG32: small, fast and good enough for a game's draws.
uint32_t RandomSource::step() {
    uint64_t old = state_;
    state_ = old * 6364136223846793005ULL + inc_;
    uint32_t xorshifted = static_cast<uint32_t>(((old >> 18u) ^ old) >> 27u);
    uint32_t rot = static_cast<uint32_t>(old >> 59u);
    return (xorshifted >> rot) | (xorshifted << ((-rot) & 31));
}

uint32_t RandomSource::next() {
    std::lock_guard lock(mutex_);
    return step();
}

uint32_t RandomSource::uniform(uint32_t upperBound) {
    if (upperBound < 2) return 0;
    std::lock_guard lock(mutex_);
    uint32_t threshold = (0u - upperBound) % upperBound;
    for (;;) {
        uint32_t r = step();
        if (r >= threshold) return r % upperBound;
    }
}
