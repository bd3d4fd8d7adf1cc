// The shared services: the event bus, duration texts and the weighted choice.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "explore/NMCommon.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"

namespace {

using Strings = std::vector<std::string>;

class NMCommonTest : public ::testing::Test {
protected:
    void SetUp() override {
        TearDown();
        RunLoop::main().setClock(std::make_shared<ManualClock>());
    }
    void TearDown() override {
        NotificationCenter::defaultCenter().removeAllObservers();
        RunLoop::main().reset();
    }
    void observe(const void* key, const std::string& name, const std::string& label) {
        NMCommon::addObserver(key, [this, label](const Notification& n) { log.push_back(label + ":" + n.name); }, name);
    }
    Strings log;
};

TEST_F(NMCommonTest, EventsWaitForTheMainLoopAreNeverNestedAndRemovedOrDestroyedObserversAreNeverCalled) {
    int a = 0, b = 0, c = 0, d = 0;
    NMCommon::addObserver(&a, [&](const Notification& n) {
        log.push_back("a:" + n.name + ":" + n.userInfo["error"].stringValue());
        NMCommon::sendNotification("inner");
        NMCommon::removeObserver(&c);  // c comes later in the same pass: skipped
    }, "outer");
    observe(&c, "outer", "c");
    observe(&b, "inner", "b");
    NMCommon::sendNotification("outer", Value(), Value{{"error", Value("none")}});
    NMCommon::sendNotification("later");
    observe(&b, "later", "b");  // registrations are taken at delivery
    observe(&d, "later", "d");
    NMCommon::removeObserver(&d);  // after posting, before delivery
    {
        auto widget = std::make_unique<Object>();
        NMCommon::addObserver(widget.get(), [&](const Notification&) { log.push_back("widget"); }, "later");
    }
    EXPECT_TRUE(log.empty()) << "never inside the poster's call";
    RunLoop::main().runPass();
    EXPECT_EQ(log, (Strings{"a:outer:none", "b:later"}));
    RunLoop::main().runPass();
    EXPECT_EQ(log.back(), "b:inner");
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("later"), 1u) << "the destroyed widget's registration is gone";
}

TEST_F(NMCommonTest, DirectEventsRunAtOnceOnThePosterThreadAndPostsFromThreadsOnTheMainLoop) {
    int key = 0;
    std::thread::id deliveredOn;  // direct events skip the main loop
    NMCommon::addObserver(&key, [&](const Notification&) { deliveredOn = std::this_thread::get_id(); }, "STORE_FAILED_PURCHASE");
    std::thread poster([] { NMCommon::sendDirectNotification("STORE_FAILED_PURCHASE"); });
    const std::thread::id posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(deliveredOn, posterId);
    EXPECT_FALSE(RunLoop::main().hasPostedBlocks());

    std::vector<std::thread::id> heardOn;  // ordinary events posted on a thread are heard on the main loop
    NMCommon::addObserver(&key, [&](const Notification&) { heardOn.push_back(std::this_thread::get_id()); }, "newMonster");
    std::thread([] { NMCommon::sendNotification("newMonster"); }).join();
    RunLoop::main().drain();
    EXPECT_EQ(heardOn, std::vector<std::thread::id>{std::this_thread::get_id()});
}

TEST(NMCommonTimeTest, DurationTexts) {
    EXPECT_EQ(NMCommon::stringFromTimer(9) + NMCommon::stringFromTimer(10) + NMCommon::stringFromTimer(123), "0910123");
    EXPECT_EQ(NMCommon::timeStringFromTime(3599.9) + " " + NMCommon::timeStringFromTime(360000), "00:59:59 100:00:00");
    EXPECT_EQ(NMCommon::timeStringShortFromTime(3725), "02:05") << "hours dropped";
}

TEST(NMCommonChoiceTest, BandsOfThousandthsInSinglePrecisionDrawnFromTheSharedSource) {
    auto pick = [](std::vector<float> weights, uint32_t x) { return NMCommon::selectedIndexWithProbabilities(weights, x); };
    EXPECT_EQ(pick({0.5f, 0.5f}, 499), 0u);
    EXPECT_EQ(pick({0.2f}, 200), 0u);  // a shortfall falls to index 0
    EXPECT_EQ(pick({0.5f, 0.001f, 0.499f}, 500) * 10 + pick({0.5f, 0.001f, 0.499f}, 501), 12u);  // 0.001 is one thousandth
    EXPECT_EQ(pick({0.5f, 0.0009f, 0.5f}, 500), 2u) << "anything below is worth nothing";
    EXPECT_EQ(pick({0.7f, 0.29f, 0.01f}, 989), 1u);  // 0.29f * 1000.0f is 290.000031 in float: 290 thousandths
    EXPECT_EQ(pick({0.7f, 0.29f, 0.01f}, 990), 2u);
    EXPECT_EQ(pick({0.0f, -0.5f, 1.0f}, 0), 2u);  // zero and negative weights take no room

    RandomSource replay;
    replay.seed(12345), RandomSource::shared().seed(12345);
    for (int i = 0; i < 20; ++i)
        EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(std::vector<float>{0.25f, 0.25f, 0.25f, 0.25f}), replay.next() % 1000u / 250u);
    const uint32_t x = replay.next() % 1000u;  // a list of values reads as floats too
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(Value(Value::Array{Value(0.5), Value(0.5)})), x < 500 ? 0u : 1u);
}

}  // namespace
