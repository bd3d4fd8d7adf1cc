#pragma once
// The uniform 32-bit random source every draw goes through. Thread-safe, seedable, so a test or
// a script can fix every draw.
#include <cstdint>
#include <mutex>

class RandomSource {
public:
    static RandomSource& shared();

    explicit RandomSource(uint64_t initialSeed = 0x853c49e6748fea9bULL) { seed(initialSeed); }
    void seed(uint64_t s);
    uint32_t next();
    // Uniform in [0, upperBound), without modulo bias; 0 for a bound of 0.
    uint32_t uniform(uint32_t upperBound);

private:
    uint32_t step();
    std::mutex mutex_;
    uint64_t state_ = 0;
    uint64_t inc_ = 0;
};
