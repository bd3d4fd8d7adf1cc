// The main run loop under a manual clock: posted blocks, delayed blocks, timers, objects that
// die before their blocks run, and the background worker's hand-over to the main thread.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <numeric>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/RunLoop.h"

namespace {

using Log = std::vector<std::string>;

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<ManualClock>(1.8e9);
        loop().setClock(clock);
        loop().reset();
        start = loop().now();
    }
    void TearDown() override { loop().reset(); }

    static RunLoop& loop() { return RunLoop::main(); }
    // A block that logs its name and the time since the test began.
    std::function<void()> note(std::string name) {
        return [this, name] { log.push_back(name + "@" + std::to_string(loop().now() - start)); };
    }

    std::shared_ptr<ManualClock> clock;
    double start = 0;
    Log log;
};

}  // namespace

TEST_F(RunLoopTest, PostedBlocksRunOnALaterPassInPostingOrderNeverNested) {
    loop().post([this] {
        log.push_back("outer");
        loop().post([this] { log.push_back("inner"); });
    });
    loop().post([this] { log.push_back("second"); });
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(loop().hasPostedBlocks());
    EXPECT_TRUE(loop().runPass());
    EXPECT_EQ(log, (Log{"outer", "second"}));
    loop().runPass();
    EXPECT_EQ(log, (Log{"outer", "second", "inner"}));
    EXPECT_FALSE(loop().runPass());
}

TEST_F(RunLoopTest, DelayedBlocksFireAtTheirInstantInDeadlineOrder) {
    loop().performAfterDelay(3.0, note("three"));
    loop().performAfterDelay(1.0, [this] {
        note("one")();
        loop().performAfterDelay(0.5, note("nested"));  // lands at its own instant, before later ones
    });
    loop().performAfterDelay(2.0, note("twoA"));
    loop().performAfterDelay(2.0, note("twoB"));  // a tie goes in scheduling order
    loop().performAfterDelay(0.5, note("half"));
    loop().advanceBy(0.4);
    EXPECT_TRUE(log.empty());
    loop().advanceBy(0.1);
    EXPECT_EQ(log, (Log{"half@0.500000"}));
    loop().advanceBy(10.0);
    EXPECT_EQ(log, (Log{"half@0.500000", "one@1.000000", "nested@1.500000", "twoA@2.000000", "twoB@2.000000",
                        "three@3.000000"}));
    EXPECT_DOUBLE_EQ(loop().now() - start, 10.5);
    EXPECT_FALSE(loop().nextDeadline().has_value());
}

TEST_F(RunLoopTest, DelayZeroOrNegativeMeansTheNextPass) {
    loop().performAfterDelay(0.0, [this] { log.push_back("top"); });
    loop().runPass();
    EXPECT_EQ(log, (Log{"top"}));
    // Scheduled by a posted block or by a firing timer: not in this pass, in the next one.
    loop().post([this] {
        log.push_back("posted");
        loop().performAfterDelay(0.0, [this] { log.push_back("fromPosted"); });
    });
    loop().performAfterDelay(0.0, [this] {
        log.push_back("timer");
        loop().performAfterDelay(0.0, [this] { log.push_back("fromTimer"); });
    });
    loop().runPass();
    EXPECT_EQ(log.size(), 3u);
    loop().runPass();
    EXPECT_EQ(log.size(), 5u);
    EXPECT_EQ(std::count(log.begin(), log.end(), "fromPosted") + std::count(log.begin(), log.end(), "fromTimer"), 2);
    loop().performAfterDelay(-5.0, [this] { log.push_back("negative"); });
    loop().runPass();
    EXPECT_EQ(log.back(), "negative");
}

TEST_F(RunLoopTest, TimersRepeatPerIntervalUntilInvalidatedAndOneShotsAreSpent) {
    int fired = 0;
    TimerHandle timer = loop().scheduleTimer(1.0, true, [&] { ++fired; });
    loop().advanceBy(0.999);
    EXPECT_EQ(fired, 0);
    loop().advanceBy(0.001);
    EXPECT_EQ(fired, 1);
    loop().advanceBy(4.0);
    EXPECT_EQ(fired, 5);
    TimerHandle copy = timer;  // a copy of the handle stops the same timer
    copy.invalidate();
    EXPECT_FALSE(timer.isValid());
    loop().advanceBy(10.0);
    EXPECT_EQ(fired, 5);

    // Stopped from inside its own block.
    int inside = 0;
    TimerHandle self;
    self = loop().scheduleTimer(1.0, true, [&] {
        if (++inside == 3) self.invalidate();
    });
    loop().advanceBy(10.0);
    EXPECT_EQ(inside, 3);

    int once = 0;
    TimerHandle shot = loop().scheduleTimer(1.0, false, [&] { ++once; });
    TimerHandle dropped = loop().performAfterDelay(1.0, [&] { ++once; });
    dropped.invalidate();  // before its instant: never fires
    loop().advanceBy(5.0);
    EXPECT_EQ(once, 1);
    EXPECT_FALSE(shot.isValid());
}

TEST_F(RunLoopTest, PerformBlockIsDroppedWhenTheObjectDiesFirst) {
    auto keeper = std::make_unique<Object>();
    auto doomed = std::make_unique<Object>();
    keeper->performBlock([this] { log.push_back("kept"); }, 1.0);
    doomed->performBlock([this] { log.push_back("doomed"); }, 1.0);
    doomed->performBlock([this] { log.push_back("doomedNow"); }, 0.0);
    std::weak_ptr<void> token = doomed->lifetime();
    doomed.reset();
    EXPECT_TRUE(token.expired());
    // A copied object has a lifetime of its own.
    auto original = std::make_unique<Object>();
    Object copy(*original);
    copy.performBlock([this] { log.push_back("copy"); }, 0.5);
    original.reset();
    loop().advanceBy(2.0);
    EXPECT_EQ(log, (Log{"copy", "kept"}));
}

TEST_F(RunLoopTest, WallClockJumpMovesWallTimeButFiresNoTimers) {
    int fired = 0;
    loop().performAfterDelay(10.0, [&] { ++fired; });
    const double wall = loop().wallTime();
    const double mono = loop().now();
    clock->jumpWall(3600.0);
    EXPECT_DOUBLE_EQ(loop().wallTime(), wall + 3600.0);
    EXPECT_DOUBLE_EQ(loop().now(), mono);
    loop().drain();
    EXPECT_EQ(fired, 0);
    clock->jumpWall(-7200.0);
    loop().advanceBy(10.0);  // time passing moves both clocks together
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(loop().wallTime(), wall - 3600.0 + 10.0);
}

TEST_F(RunLoopTest, NextDeadlineReportsTheEarliestWorkAndResetDropsIt) {
    int fired = 0;
    EXPECT_FALSE(loop().nextDeadline().has_value());
    TimerHandle timer = loop().scheduleTimer(4.0, true, [&] { ++fired; });
    loop().performAfterDelay(2.0, [&] { ++fired; });
    EXPECT_DOUBLE_EQ(loop().nextDeadline().value_or(0), loop().now() + 2.0);
    loop().post([&] { ++fired; });
    EXPECT_DOUBLE_EQ(loop().nextDeadline().value_or(0), loop().now());
    loop().reset();
    EXPECT_FALSE(timer.isValid());
    EXPECT_FALSE(loop().nextDeadline().has_value());
    loop().advanceBy(5.0);
    EXPECT_EQ(fired, 0);
}

TEST_F(RunLoopTest, WorkerRunsBlocksSeriallyInOrderAndItsFollowUpsArriveOnTheMainLoop) {
    BackgroundWorker worker;
    std::vector<int> order;  // touched by the worker thread only until waitUntilIdle
    std::atomic<int> running{0}, overlap{0};
    for (int i = 0; i < 200; ++i)
        worker.dispatch([&, i] {
            if (running.fetch_add(1) != 0) overlap.fetch_add(1);
            if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            order.push_back(i);
            running.fetch_sub(1);
        });
    worker.waitUntilIdle();
    EXPECT_TRUE(worker.isIdle());
    EXPECT_EQ(overlap.load(), 0);
    std::vector<int> expected(200);
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_EQ(order, expected);

    std::atomic<bool> recorded{false};
    std::thread::id followUpThread;
    int followUps = 0;
    worker.dispatch([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a slow recording
        recorded = true;
        RunLoop::main().post([&] {
            followUpThread = std::this_thread::get_id();
            ++followUps;
        });
    });
    loop().advanceBy(0.0);  // waits for the worker, then runs the follow-up it posted
    EXPECT_TRUE(recorded.load());
    EXPECT_EQ(followUps, 1);
    EXPECT_EQ(followUpThread, std::this_thread::get_id());
}

TEST_F(RunLoopTest, ConcurrentPostsFromManyThreadsAllArriveInEachThreadsOrder) {
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::vector<int>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&seen, t] {
            for (int i = 0; i < kEach; ++i) RunLoop::main().post([&seen, t, i] { seen[static_cast<size_t>(t)].push_back(i); });
        });
    for (auto& th : threads) th.join();
    loop().runPass();
    std::vector<int> expected(kEach);
    std::iota(expected.begin(), expected.end(), 0);
    for (const auto& s : seen) EXPECT_EQ(s, expected);
}
