// The random source every draw goes through: repeatable when seeded, in range, unbiased, and
// safe to share between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>
#include <vector>

#include "platform/core/Random.h"

TEST(RandomSource, SeededSequencesRepeat) {
    auto draws = [](RandomSource& r) {
        std::vector<uint32_t> out(100);
        for (auto& d : out) d = r.next();
        return out;
    };
    RandomSource a(1234), b(1234), c(1235);
    std::vector<uint32_t> first = draws(a);
    EXPECT_EQ(first, draws(b));
    EXPECT_NE(first, draws(c));
    a.seed(1234);
    EXPECT_EQ(draws(a), first);
    // Not stuck: a hundred draws are mostly distinct.
    std::sort(first.begin(), first.end());
    EXPECT_GT(std::unique(first.begin(), first.end()) - first.begin(), 95);
}

TEST(RandomSource, UniformStaysInRangeAndSmallBoundsGiveZero) {
    RandomSource r(7);
    EXPECT_EQ(r.uniform(0), 0u);
    EXPECT_EQ(r.uniform(1), 0u);
    for (uint32_t bound : {2u, 3u, 7u, 10u, 1000u, 0x80000001u, 0xFFFFFFFFu})
        for (int i = 0; i < 2000; ++i) ASSERT_LT(r.uniform(bound), bound) << "bound " << bound;
}

TEST(RandomSource, UniformIsRoughlyUniform) {
    RandomSource r(99);
    constexpr int kBuckets = 10, kDraws = 100000;
    std::vector<int> counts(kBuckets);
    for (int i = 0; i < kDraws; ++i) ++counts[r.uniform(kBuckets)];
    double chi = 0;
    const double expected = double(kDraws) / kBuckets;
    for (int c : counts) chi += (c - expected) * (c - expected) / expected;
    EXPECT_LT(chi, 27.9);  // 9 degrees of freedom, p = 0.001

    // A bound of 3 * 2^30 shows modulo bias: a plain r % bound would put 3/4 of the draws
    // below 2^31 instead of 2/3.
    const uint32_t bound = 3u << 30;
    int below = 0;
    constexpr int kBiasDraws = 60000;
    for (int i = 0; i < kBiasDraws; ++i) below += r.uniform(bound) < (1u << 31);
    EXPECT_NEAR(double(below) / kBiasDraws, 2.0 / 3.0, 0.01);
}

// Four threads drawing together see exactly the draws one thread would see alone.
TEST(RandomSource, ConcurrentNextLosesNoDraw) {
    constexpr int kThreads = 4, kEach = 5000;
    std::vector<std::thread> threads;
    RandomSource together(77), single(77);
    std::vector<std::vector<uint32_t>> parts(kThreads);
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&, t] {
            for (int i = 0; i < kEach; ++i) parts[static_cast<size_t>(t)].push_back(together.next());
        });
    for (auto& th : threads) th.join();
    std::vector<uint32_t> all, expected;
    for (auto& p : parts) all.insert(all.end(), p.begin(), p.end());
    for (int i = 0; i < kThreads * kEach; ++i) expected.push_back(single.next());
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}
