// The shared services: the event bus (deferred, ordered, never nested, direct events), alerts,
// the reminder's cancelling, duration texts and the weighted choice.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "explore/NMCommon.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/services/LocalNotificationCenter.h"

namespace {

using Strings = std::vector<std::string>;

class NMCommonTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>());
        NotificationCenter::defaultCenter().removeAllObservers();
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

TEST_F(NMCommonTest, EventsWaitForTheMainLoopKeepPostingOrderAndCarryTheirPayload) {
    int a = 0, b = 0;
    observe(&a, "first", "a");
    observe(&b, "first", "b");
    observe(&a, "second", "a");
    NMCommon::sendNotification("first");
    NMCommon::sendNotification("second");
    NMCommon::sendNotification("nobody");  // dropped silently
    NMCommon::sendNotification("first");
    EXPECT_TRUE(log.empty()) << "never inside the poster's call";
    RunLoop::main().runPass();
    EXPECT_EQ(log, (Strings{"a:first", "b:first", "a:second", "a:first", "b:first"}));

    Notification got;
    NMCommon::addObserver(&got, [&](const Notification& n) { got = n; }, "newMap");
    NMCommon::sendNotification("newMap", Value(3u), Value{{"error", Value("none")}});
    RunLoop::main().drain();
    EXPECT_TRUE(got.object.unsignedValue() == 3u && got.userInfo["error"].stringValue() == "none");
}

TEST_F(NMCommonTest, PostingFromAnObserverIsDeliveredAfterNeverNested) {
    int a = 0, b = 0;
    NMCommon::addObserver(&a, [&](const Notification&) {
        log.push_back("a:outer");
        NMCommon::sendNotification("inner");
        log.push_back("a:outer-done");
    }, "outer");
    observe(&b, "outer", "b");
    observe(&b, "inner", "b");
    NMCommon::sendNotification("outer");
    NMCommon::sendNotification("later");  // posted before the inner one
    observe(&b, "later", "b");            // registrations are taken at delivery
    RunLoop::main().runPass();
    EXPECT_EQ(log, (Strings{"a:outer", "a:outer-done", "b:outer", "b:later"}));
    RunLoop::main().runPass();
    EXPECT_EQ(log.back(), "b:inner");
}

TEST_F(NMCommonTest, RemovedAndDestroyedObserversAreNeverCalled) {
    int a = 0, b = 0, c = 0;
    observe(&a, "x", "a");
    observe(&a, "y", "a");
    NMCommon::addObserver(&b, [&](const Notification&) {
        log.push_back("b");
        NMCommon::removeObserver(&c);  // c comes later in the same pass: skipped
    }, "x");
    observe(&c, "x", "c");
    NMCommon::sendNotification("x");
    NMCommon::removeObserver(&a);  // after posting, before delivery: every registration at once
    NMCommon::sendNotification("y");
    RunLoop::main().drain();
    EXPECT_EQ(log, Strings{"b"});
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("y"), 0u);

    int calls = 0;
    {
        auto widget = std::make_unique<Object>();
        NMCommon::addObserver(widget.get(), [&](const Notification&) { ++calls; }, "equipUpdated");
        NMCommon::sendNotification("equipUpdated");  // still queued when the object goes
    }
    RunLoop::main().drain();
    EXPECT_EQ(calls, 0);
    EXPECT_EQ(NotificationCenter::defaultCenter().observerCount("equipUpdated"), 0u);
}

TEST_F(NMCommonTest, DirectEventsRunAtOnceOnThePosterThreadAndPostsFromThreadsOnTheMainLoopInOrder) {
    int key = 0;
    std::thread::id deliveredOn;
    NMCommon::addObserver(&key, [&](const Notification& n) {
        deliveredOn = std::this_thread::get_id();
        log.push_back(n.name + ":" + n.userInfo["error"].stringValue());
    }, "STORE_FAILED_PURCHASE");
    NMCommon::sendDirectNotification("STORE_FAILED_PURCHASE", Value("observer"), Value{{"error", Value("cancelled")}});
    EXPECT_EQ(log, Strings{"STORE_FAILED_PURCHASE:cancelled"});
    std::thread poster([] { NMCommon::sendDirectNotification("STORE_FAILED_PURCHASE"); });
    const std::thread::id posterId = poster.get_id();
    poster.join();
    EXPECT_EQ(deliveredOn, posterId);
    EXPECT_FALSE(RunLoop::main().hasPostedBlocks());

    const std::thread::id mainId = std::this_thread::get_id();
    std::vector<int> order;
    NMCommon::addObserver(&key, [&](const Notification& n) {
        EXPECT_EQ(std::this_thread::get_id(), mainId);
        order.push_back(n.object.intValue());
    }, "newMonster");
    std::thread worker([] {
        for (int i = 0; i < 50; ++i) NMCommon::sendNotification("newMonster", Value(i));
    });
    worker.join();
    RunLoop::main().drain();
    ASSERT_EQ(order.size(), 50u);
    for (int i = 0; i < 50; ++i) EXPECT_EQ(order[static_cast<size_t>(i)], i);
}

TEST(NMCommonTimeTest, DurationTexts) {
    const std::pair<int, const char*> fields[] = {{0, "00"}, {7, "07"}, {10, "10"}, {123, "123"}};
    for (const auto& [n, text] : fields) EXPECT_EQ(NMCommon::stringFromTimer(n), text);
    const std::pair<double, const char*> long_[] = {{0, "00:00:00"}, {3661, "01:01:01"}, {360000, "100:00:00"}, {3599.9, "00:59:59"}};
    for (const auto& [t, text] : long_) EXPECT_EQ(NMCommon::timeStringFromTime(t), text) << t;
    const std::pair<double, const char*> short_[] = {{3599.5, "59:59"}, {0.99, "00:00"}, {3725, "02:05"}};  // hours dropped
    for (const auto& [t, text] : short_) EXPECT_EQ(NMCommon::timeStringShortFromTime(t), text) << t;
}

TEST(NMCommonChoiceTest, BandsOfThousandthsInSinglePrecisionDrawnFromTheSharedSource) {
    auto pick = [](std::vector<float> weights, uint32_t x) { return NMCommon::selectedIndexWithProbabilities(weights, x); };
    EXPECT_EQ(pick({0.5f, 0.5f}, 499), 0u);
    EXPECT_EQ(pick({0.5f, 0.5f}, 500), 1u);
    EXPECT_EQ(pick({0.2f}, 200), 0u);  // a shortfall falls to index 0
    EXPECT_EQ(pick({}, 500), 0u);
    // 0.001 is worth one thousandth; anything below is worth nothing and never chosen.
    EXPECT_EQ(pick({0.5f, 0.001f, 0.499f}, 500), 1u);
    EXPECT_EQ(pick({0.5f, 0.001f, 0.499f}, 501), 2u);
    for (uint32_t x = 0; x < 1000; ++x) EXPECT_NE(pick({0.5f, 0.0009f, 0.5f}, x), 1u);
    // 0.7f * 1000.0f is 700.000061 in float: 700 thousandths. 0.29f * 1000.0f is 290.000031.
    EXPECT_EQ(pick({0.7f, 0.29f, 0.01f}, 699), 0u);
    EXPECT_EQ(pick({0.7f, 0.29f, 0.01f}, 989), 1u);
    EXPECT_EQ(pick({0.7f, 0.29f, 0.01f}, 990), 2u);
    EXPECT_EQ(pick({0.0f, -0.5f, 1.0f}, 0), 2u);  // zero and negative weights take no room

    RandomSource replay;
    replay.seed(12345);
    RandomSource::shared().seed(12345);
    for (int i = 0; i < 200; ++i)
        EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(std::vector<float>{0.25f, 0.25f, 0.25f, 0.25f}), replay.next() % 1000u / 250u);
    const uint32_t x = replay.next() % 1000u;  // a list of values reads as floats too
    EXPECT_EQ(NMCommon::selectedIndexWithProbabilities(Value(Value::Array{Value(0.5), Value(0.5)})), x < 500 ? 0u : 1u);
}

// The explore's own notifications are checked end to end by the scenario scripts.
TEST(NMCommonPushTest, CancellingByUserInfoKeepsTheOthersAndAnEmptyCancelAllAsksNothing) {
    auto center = std::make_shared<InMemoryLocalNotificationCenter>();
    LocalNotificationCenter::setShared(center);
    NMCommon::showLocalPushAtTime(1000.0, "All are back", "Default.png", Value(), std::optional<std::string>("menu_tap.mp3"));
    NMCommon::showLocalPushAtTime(300000.0, "come back", "Default.png", Value{{"id", Value(1)}}, std::nullopt);
    NMCommon::showLocalPushAtTime(500.0, 3);
    EXPECT_EQ(center->scheduledLocalNotifications().at(1).userInfo["id"].intValue(), 1);
    NMCommon::cancelAllLocalPushWithUserInfo();
    const auto list = center->scheduledLocalNotifications();
    ASSERT_EQ(list.size(), 2u);
    EXPECT_EQ(list[1].badgeNumber, std::optional<int64_t>(3));
    for (const auto& n : list) EXPECT_TRUE(n.userInfo.isNil());
    NMCommon::cancelAllLocalPush();
    EXPECT_TRUE(center->scheduledLocalNotifications().empty());
    NMCommon::cancelAllLocalPush();
    EXPECT_EQ(center->cancelAllCount(), 1);
    LocalNotificationCenter::setShared(nullptr);
}

using Answers = std::vector<std::pair<int64_t, int>>;
struct RecordingDelegate : Object, AlertViewDelegate {
    Answers* answers;
    explicit RecordingDelegate(Answers* a) : answers(a) {}
    void alertViewClickedButtonAtIndex(const AlertView& alert, int index) override { answers->emplace_back(alert.tag, index); }
};

TEST_F(NMCommonTest, AlertsShowOnTheMainLoopWithLiteralButtons) {
    auto presenter = std::make_shared<RecordingAlertPresenter>();
    AlertPresenter::setShared(presenter);
    Answers answers;
    RecordingDelegate delegate(&answers);
    NMCommon::showAlertWithTitle("Title", "Message", nullptr, 0);
    NMCommon::showAlertHavingCancelBtnWithTitle("Give up?", "Really", &delegate, 20);
    std::thread([] { NMCommon::showAlertWithTitle("From", "afar", nullptr, 7); }).join();
    EXPECT_TRUE(presenter->shownAlerts().empty()) << "put on screen on a later pass";
    RunLoop::main().drain();
    auto shown = presenter->shownAlerts();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].buttonTitles, Strings{"OK"});
    EXPECT_EQ(shown[0].title, "Title");
    EXPECT_EQ(shown[1].buttonTitles, (Strings{"Cancel", "OK"}));
    EXPECT_EQ(shown[1].cancelButtonIndex, 0);
    EXPECT_EQ(shown[2].tag, 7);

    EXPECT_TRUE(presenter->pressButton(0));  // no delegate: nothing to tell
    EXPECT_TRUE(presenter->pressButtonOnAlertWithTag(20, 1));
    {
        RecordingDelegate gone(&answers);  // gone before the answer: not told
        NMCommon::showAlertWithTitle("T", "M", &gone, 1);
        RunLoop::main().drain();
    }
    while (presenter->pressButton(0)) {
    }
    EXPECT_EQ(answers, (Answers{{20, 1}}));
    AlertPresenter::setShared(nullptr);
}

}  // namespace
