// The main run loop under a manual clock: posted and delayed blocks, timers, objects that die
// before their blocks run, and the background worker's hand-over to the main thread.
#include <gtest/gtest.h>

#include <atomic>
#include <numeric>
#include <thread>

#include "platform/core/RunLoop.h"

using Log = std::vector<std::string>;

class RunLoopTest : public ::testing::Test {
protected:
    void SetUp() override { loop.setClock(clock), loop.reset(), start = loop.now(); }
    void TearDown() override { loop.reset(); }
    // A block that logs its name and the whole seconds since the test began.
    std::function<void()> note(std::string name) {
        return [this, name] { log.push_back(name + "@" + std::to_string(int(loop.now() - start))); };
    }

    RunLoop& loop = RunLoop::main();
    std::shared_ptr<ManualClock> clock = std::make_shared<ManualClock>(1.8e9);
    double start = 0;
    Log log;
};

TEST_F(RunLoopTest, PostedBlocksAndZeroDelaysRunOnALaterPassInOrderNeverNested) {
    loop.post([this] { note("posted")(), loop.post(note("fromPosted")), loop.performAfterDelay(0.0, note("timerFromPosted")); });
    loop.performAfterDelay(0.0, [this] { note("timer")(), loop.performAfterDelay(0.0, note("fromTimer")); });
    loop.post(note("second"));
    loop.performAfterDelay(-5.0, note("negative"));
    EXPECT_TRUE(log.empty() && loop.hasPostedBlocks() && loop.nextDeadline() == start);
    EXPECT_TRUE(loop.runPass());
    EXPECT_EQ(log, (Log{"posted@0", "second@0", "timer@0", "negative@0"}));
    loop.runPass();
    EXPECT_EQ(log.size(), 7u) << "whatever a pass schedules runs on the next one";
    EXPECT_FALSE(loop.runPass());
}

TEST_F(RunLoopTest, DelayedBlocksFireAtTheirInstantInDeadlineOrder) {
    loop.performAfterDelay(3.0, note("three"));
    loop.performAfterDelay(1.0, [this] { note("one")(), loop.performAfterDelay(1.0, note("nested")); });  // before later ones
    loop.performAfterDelay(2.5, note("twoA"));
    loop.performAfterDelay(2.5, note("twoB"));  // a tie goes in scheduling order
    loop.performAfterDelay(0.5, note("half"));
    EXPECT_DOUBLE_EQ(loop.nextDeadline().value_or(0), start + 0.5);
    loop.advanceBy(0.4);
    EXPECT_TRUE(log.empty());
    loop.advanceBy(0.1);
    EXPECT_EQ(log, (Log{"half@0"}));
    loop.advanceBy(10.0);
    EXPECT_EQ(log, (Log{"half@0", "one@1", "nested@2", "twoA@2", "twoB@2", "three@3"}));
    EXPECT_DOUBLE_EQ(loop.now() - start, 10.5);
    EXPECT_FALSE(loop.nextDeadline().has_value());
}

TEST_F(RunLoopTest, TimersRepeatPerIntervalUntilInvalidatedAndOneShotsAreSpent) {
    int fired = 0, inside = 0, once = 0;
    TimerHandle timer = loop.scheduleTimer(1.0, true, [&] { ++fired; });
    loop.advanceBy(0.999);
    EXPECT_EQ(fired, 0);
    loop.advanceBy(0.001);
    EXPECT_EQ(fired, 1);
    loop.advanceBy(4.0);
    EXPECT_EQ(fired, 5);
    TimerHandle(timer).invalidate();  // a copy of the handle stops the same timer
    EXPECT_FALSE(timer.isValid());
    TimerHandle self = loop.scheduleTimer(1.0, true, [&] { if (++inside == 3) self.invalidate(); });
    TimerHandle shot = loop.scheduleTimer(1.0, false, [&] { ++once; });
    loop.performAfterDelay(1.0, [&] { ++once; }).invalidate();  // before its instant: never fires
    loop.advanceBy(10.0);
    EXPECT_EQ(std::vector({fired, inside, once}), std::vector({5, 3, 1}));
    EXPECT_FALSE(shot.isValid());
}

TEST_F(RunLoopTest, PerformBlockIsDroppedWhenTheObjectDiesFirst) {
    auto keeper = std::make_unique<Object>(), doomed = std::make_unique<Object>(), original = std::make_unique<Object>();
    keeper->performBlock(note("kept"), 1.0);
    doomed->performBlock(note("doomed"), 1.0);
    doomed->performBlock(note("doomedNow"), 0.0);
    Object copy(*original);  // a copied object has a lifetime of its own
    copy.performBlock(note("copy"), 0.5);
    doomed.reset(), original.reset();
    loop.advanceBy(2.0);
    EXPECT_EQ(log, (Log{"copy@0", "kept@1"}));
}

TEST_F(RunLoopTest, WallClockJumpFiresNoTimers) {
    int fired = 0;
    loop.performAfterDelay(10.0, [&] { ++fired; });
    const double wall = loop.wallTime();
    clock->jumpWall(3600.0);
    loop.drain();
    EXPECT_TRUE(fired == 0 && loop.now() == start) << fired;
    EXPECT_DOUBLE_EQ(loop.wallTime(), wall + 3600.0);
    loop.advanceBy(10.0);  // time passing moves both clocks together
    EXPECT_EQ(fired, 1);
    EXPECT_DOUBLE_EQ(loop.wallTime(), wall + 3610.0);
}

TEST_F(RunLoopTest, WorkerRunsBlocksSeriallyInOrderAndItsFollowUpsArriveOnTheMainLoop) {
    BackgroundWorker worker;
    std::vector<int> order, expected(200);  // touched by the worker thread only until waitUntilIdle
    std::atomic<int> running{0}, overlap{0};
    for (int i = 0; i < 200; ++i)
        worker.dispatch([&, i] {
            overlap += running++ != 0;
            if (i % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(2));
            order.push_back(i), --running;
        });
    worker.waitUntilIdle();
    std::iota(expected.begin(), expected.end(), 0);
    EXPECT_TRUE(worker.isIdle() && overlap == 0 && order == expected);

    std::thread::id followUpThread;
    worker.dispatch([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));  // a slow recording
        RunLoop::main().post([&] { followUpThread = std::this_thread::get_id(); });
    });
    loop.advanceBy(0.0);  // waits for the worker, then runs the follow-up it posted
    EXPECT_EQ(followUpThread, std::this_thread::get_id());
}

TEST_F(RunLoopTest, ConcurrentPostsFromManyThreadsAllArriveInEachThreadsOrder) {
    std::vector<std::vector<int>> seen(4);
    std::vector<int> expected(500);
    std::vector<std::thread> threads;
    for (size_t t = 0; t < seen.size(); ++t)
        threads.emplace_back([&seen, t] {
            for (int i = 0; i < 500; ++i) RunLoop::main().post([&seen, t, i] { seen[t].push_back(i); });
        });
    for (auto& thread : threads) thread.join();
    loop.runPass();
    std::iota(expected.begin(), expected.end(), 0);
    for (const auto& s : seen) EXPECT_EQ(s, expected);
}
