// The random source every draw goes through: repeatable when seeded, in range, unbiased, and
// safe to share between threads.
#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include "platform/core/Random.h"

static std::vector<uint32_t> draws(RandomSource& r, size_t n = 100) {
    std::vector<uint32_t> out(n);
    for (auto& d : out) d = r.next();
    return out;
}

TEST(RandomSource, SeededSequencesRepeatAndUniformIsInRangeAndUnbiased) {
    RandomSource a(1234), b(1234), c(1235);
    std::vector<uint32_t> first = draws(a);
    EXPECT_EQ(first, draws(b));
    EXPECT_NE(first, draws(c));
    a.seed(1234);
    EXPECT_EQ(draws(a), first);

    EXPECT_EQ(a.uniform(0) + a.uniform(1), 0u);
    for (uint32_t bound : {2u, 7u, 0x80000001u, 0xFFFFFFFFu})
        for (int i = 0; i < 2000; ++i) ASSERT_LT(a.uniform(bound), bound) << "bound " << bound;
    std::vector<int> counts(10);
    for (int i = 0; i < 100000; ++i) ++counts[a.uniform(10)];
    double chi = 0;
    for (int n : counts) chi += (n - 10000.0) * (n - 10000.0) / 10000.0;
    EXPECT_LT(chi, 27.9);  // 9 degrees of freedom, p = 0.001
    // A bound of 3 * 2^30 shows modulo bias: a plain r % bound would put 3/4 of the draws below 2^31 instead of 2/3.
    int below = 0;
    for (int i = 0; i < 60000; ++i) below += a.uniform(3u << 30) < (1u << 31);
    EXPECT_NEAR(below / 60000.0, 2.0 / 3.0, 0.01);
}

TEST(RandomSource, ConcurrentNextLosesNoDraw) {
    RandomSource together(77), single(77);
    std::vector<std::vector<uint32_t>> parts(4);
    std::vector<std::thread> threads;
    for (auto& part : parts) threads.emplace_back([&, p = &part] { *p = draws(together, 5000); });
    for (auto& thread : threads) thread.join();
    std::vector<uint32_t> all, expected = draws(single, 20000);
    for (auto& part : parts) all.insert(all.end(), part.begin(), part.end());
    std::sort(all.begin(), all.end());
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(all, expected);
}
