// The main run loop under a manual clock: posted blocks, delayed blocks, timers, objects that
// die before their blocks run, and the background worker's hand-over to the main thread.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "platform/core/RunLoop.h"

namespace {

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override {
        clock = std::make_shared<ManualClock>(1.8e9);
        loop().setClock(clock);
        loop().reset();
    }
    void TearDown() override { loop().reset(); }

    static RunLoop& loop() { return RunLoop::main(); }

    std::shared_ptr<ManualClock> clock;
    std::vector<std::string> log;
};

}  // namespace

TEST_F(RunLoopTest, PostedBlocksRunOnALaterPassInPostingOrder) {
    for (const char* name : {"a", "b", "c"}) loop().post([this, name] { log.push_back(name); });
    EXPECT_TRUE(log.empty());
    EXPECT_TRUE(loop().hasPostedBlocks());
    EXPECT_TRUE(loop().runPass());
    EXPECT_EQ(log, (std::vector<std::string>{"a", "b", "c"}));
    EXPECT_FALSE(loop().runPass());
}

TEST_F(RunLoopTest, ABlockPostedFromABlockRunsOnTheNextPass) {
    loop().post([this] {
        log.push_back("outer");
        loop().post([this] { log.push_back("inner"); });
    });
    loop().post([this] { log.push_back("second"); });
    loop().runPass();
    EXPECT_EQ(log, (std::vector<std::string>{"outer", "second"}));
    loop().runPass();
    EXPECT_EQ(log, (std::vector<std::string>{"outer", "second", "inner"}));
}

TEST_F(RunLoopTest, DelayedBlocksFireAtTheirInstantInDeadlineOrder) {
    const double start = loop().now();
    std::vector<double> firedAt;
    auto at = [&](const char* name, double delay) {
        loop().performAfterDelay(delay, [this, &firedAt, name] {
            log.push_back(name);
            firedAt.push_back(loop().now());
        });
    };
    at("three", 3.0);
    at("one", 1.0);
    at("twoA", 2.0);
    at("twoB", 2.0);  // a tie goes in scheduling order
    at("half", 0.5);

    loop().advanceBy(0.4);
    EXPECT_TRUE(log.empty());
    loop().advanceBy(0.1);
    EXPECT_EQ(log, (std::vector<std::string>{"half"}));
    loop().advanceBy(10.0);
    EXPECT_EQ(log, (std::vector<std::string>{"half", "one", "twoA", "twoB", "three"}));
    ASSERT_EQ(firedAt.size(), 5u);
    EXPECT_DOUBLE_EQ(firedAt[0] - start, 0.5);
    EXPECT_DOUBLE_EQ(firedAt[1] - start, 1.0);
    EXPECT_DOUBLE_EQ(firedAt[2] - start, 2.0);
    EXPECT_DOUBLE_EQ(firedAt[3] - start, 2.0);
    EXPECT_DOUBLE_EQ(firedAt[4] - start, 3.0);
    EXPECT_DOUBLE_EQ(loop().now() - start, 10.5);
    EXPECT_FALSE(loop().nextDeadline().has_value());
}

TEST_F(RunLoopTest, ABlockScheduledByAFiringBlockKeepsTimeOrder) {
    // A block scheduled from inside another lands at its own instant, before later ones.
    const double start = loop().now();
    std::vector<double> firedAt;
    loop().performAfterDelay(1.0, [&] {
        log.push_back("first");
        loop().performAfterDelay(0.5, [&] {
            log.push_back("nested");
            firedAt.push_back(loop().now() - start);
        });
    });
    loop().performAfterDelay(2.0, [&] { log.push_back("last"); });
    loop().advanceBy(3.0);
    EXPECT_EQ(log, (std::vector<std::string>{"first", "nested", "last"}));
    ASSERT_EQ(firedAt.size(), 1u);
    EXPECT_DOUBLE_EQ(firedAt[0], 1.5);
}

TEST_F(RunLoopTest, DelayZeroMeansTheNextPass) {
    loop().performAfterDelay(0.0, [this] { log.push_back("top"); });
    loop().runPass();
    EXPECT_EQ(log, (std::vector<std::string>{"top"}));

    // Scheduled by a block of the current pass: not in this pass, in the next one.
    loop().post([this] {
        log.push_back("posted");
        loop().performAfterDelay(0.0, [this] { log.push_back("fromPosted"); });
    });
    loop().runPass();
    EXPECT_EQ(log, (std::vector<std::string>{"top", "posted"}));
    loop().runPass();
    EXPECT_EQ(log, (std::vector<std::string>{"top", "posted", "fromPosted"}));

    // Scheduled by a firing timer: the same.
    loop().performAfterDelay(0.0, [this] {
        log.push_back("timer");
        loop().performAfterDelay(0.0, [this] { log.push_back("fromTimer"); });
    });
    loop().runPass();
    EXPECT_EQ(log.back(), "timer");
    loop().runPass();
    EXPECT_EQ(log.back(), "fromTimer");
    EXPECT_EQ(log.size(), 5u);

    // A negative delay is the next pass too.
    loop().performAfterDelay(-5.0, [this] { log.push_back("negative"); });
    loop().runPass();
    EXPECT_EQ(log.back(), "negative");
}

TEST_F(RunLoopTest, RepeatingTimerFiresOncePerIntervalUntilInvalidated) {
    int fired = 0;
    TimerHandle timer = loop().scheduleTimer(1.0, true, [&] { ++fired; });
    loop().advanceBy(0.999);
    EXPECT_EQ(fired, 0);
    loop().advanceBy(0.001);
    EXPECT_EQ(fired, 1);
    loop().advanceBy(4.0);
    EXPECT_EQ(fired, 5);
    EXPECT_TRUE(timer.isValid());
    timer.invalidate();
    EXPECT_FALSE(timer.isValid());
    loop().advanceBy(10.0);
    EXPECT_EQ(fired, 5);

    // A copy of the handle stops the same timer.
    int other = 0;
    TimerHandle second = loop().scheduleTimer(0.5, true, [&] { ++other; });
    TimerHandle copy = second;
    loop().advanceBy(1.0);
    copy.invalidate();
    EXPECT_FALSE(second.isValid());
    loop().advanceBy(1.0);
    EXPECT_EQ(other, 2);
}

TEST_F(RunLoopTest, RepeatingTimerStopsFromInsideItsOwnBlock) {
    int fired = 0;
    TimerHandle timer;
    timer = loop().scheduleTimer(1.0, true, [&] {
        if (++fired == 3) timer.invalidate();
    });
    loop().advanceBy(10.0);
    EXPECT_EQ(fired, 3);
    EXPECT_FALSE(timer.isValid());
}

TEST_F(RunLoopTest, OneShotTimerIsSpentAfterFiring) {
    int fired = 0;
    TimerHandle once = loop().scheduleTimer(1.0, false, [&] { ++fired; });
    loop().advanceBy(5.0);
    EXPECT_EQ(fired, 1);
    EXPECT_FALSE(once.isValid());
    // Invalidated before its instant: never fires.
    TimerHandle dropped = loop().performAfterDelay(1.0, [&] { ++fired; });
    dropped.invalidate();
    loop().advanceBy(5.0);
    EXPECT_EQ(fired, 1);
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
    loop().advanceBy(2.0);
    EXPECT_EQ(log, (std::vector<std::string>{"kept"}));

    // A copied object has a lifetime of its own.
    auto original = std::make_unique<Object>();
    Object copy(*original);
    copy.performBlock([this] { log.push_back("copy"); }, 0.5);
    original.reset();
    loop().advanceBy(1.0);
    EXPECT_EQ(log.back(), "copy");
}

TEST_F(RunLoopTest, WallClockJumpMovesWallTimeButFiresNoTimers) {
    int fired = 0;
    loop().performAfterDelay(10.0, [&] { ++fired; });
    const double wall = loop().wallTime();
    const double mono = loop().now();
    clock->jumpWall(3600.0);
    EXPECT_DOUBLE_EQ(loop().wallTime(), wall + 3600.0);
    EXPECT_DOUBLE_EQ(loop().now(), mono);
    loop().runPass();
    loop().drain();
    EXPECT_EQ(fired, 0);
    clock->jumpWall(-7200.0);
    EXPECT_DOUBLE_EQ(loop().wallTime(), wall - 3600.0);
    // Time passing moves both clocks together.
    loop().advanceBy(10.0);
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(loop().wallTime(), wall - 3600.0 + 10.0);
}

TEST_F(RunLoopTest, ResetDropsEverythingWaiting) {
    int fired = 0;
    TimerHandle timer = loop().scheduleTimer(1.0, true, [&] { ++fired; });
    loop().post([&] { ++fired; });
    loop().reset();
    EXPECT_FALSE(timer.isValid());
    EXPECT_FALSE(loop().nextDeadline().has_value());
    loop().advanceBy(5.0);
    EXPECT_EQ(fired, 0);
}

TEST_F(RunLoopTest, NextDeadlineReportsTheEarliestWork) {
    EXPECT_FALSE(loop().nextDeadline().has_value());
    loop().performAfterDelay(4.0, [] {});
    loop().performAfterDelay(2.0, [] {});
    ASSERT_TRUE(loop().nextDeadline().has_value());
    EXPECT_DOUBLE_EQ(*loop().nextDeadline(), loop().now() + 2.0);
    loop().post([] {});
    EXPECT_DOUBLE_EQ(*loop().nextDeadline(), loop().now());
}

TEST_F(RunLoopTest, WorkerRunsBlocksSeriallyInOrder) {
    BackgroundWorker worker;
    std::vector<int> order;  // touched by the worker thread only until waitUntilIdle
    std::atomic<int> running{0};
    std::atomic<int> overlap{0};
    for (int i = 0; i < 200; ++i) {
        worker.dispatch([&, i] {
            if (running.fetch_add(1) != 0) overlap.fetch_add(1);
            if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            order.push_back(i);
            running.fetch_sub(1);
        });
    }
    worker.waitUntilIdle();
    EXPECT_TRUE(worker.isIdle());
    EXPECT_EQ(overlap.load(), 0);
    ASSERT_EQ(order.size(), 200u);
    for (int i = 0; i < 200; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST_F(RunLoopTest, WorkerFollowUpArrivesOnTheMainLoopAfterAdvanceBy) {
    BackgroundWorker worker;
    const auto mainThread = std::this_thread::get_id();
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
    // advanceBy waits for the worker, then runs the follow-up it posted.
    loop().advanceBy(0.0);
    EXPECT_TRUE(recorded.load());
    EXPECT_EQ(followUps, 1);
    EXPECT_EQ(followUpThread, mainThread);
}

TEST_F(RunLoopTest, ConcurrentPostsFromManyThreadsAllArrive) {
    constexpr int kThreads = 4, kEach = 500;
    std::vector<std::vector<int>> seen(kThreads);
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t)
        threads.emplace_back([&seen, t] {
            for (int i = 0; i < kEach; ++i) RunLoop::main().post([&seen, t, i] { seen[static_cast<size_t>(t)].push_back(i); });
        });
    for (auto& th : threads) th.join();
    loop().runPass();
    for (int t = 0; t < kThreads; ++t) {
        ASSERT_EQ(seen[static_cast<size_t>(t)].size(), static_cast<size_t>(kEach));
        // Each thread's blocks keep its posting order.
        for (int i = 0; i < kEach; ++i) EXPECT_EQ(seen[static_cast<size_t>(t)][static_cast<size_t>(i)], i);
    }
}
