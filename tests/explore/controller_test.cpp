// The main screen on a 320 x 480 key window, where the scenario scripts cannot look: the start
// text's truncation, stray OKs, the timer, the king, the dream, the rating, a member joining, the
// tall layout, a speed item, suspending, the map list's break-off, a lost start and the quake.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "explore/ViewController.h"
#include "model/MemberManager.h"
#include "model/PersonManager.h"
#include "model/SavedStateKeys.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/core/Random.h"
#include "platform/core/RunLoop.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/EffectManager.h"
#include "stage/KingImageView.h"
#include "stage/PersonView.h"
#include "stage/PoseManager.h"
#include "stage/StageView.h"
#include "support/GameTestSupport.h"

namespace {

namespace Keys = SavedStateKeys;
using gametest::store;

struct RecordingRatingPrompt : RatingPrompt {
    bool wouldPrompt = false;
    std::vector<std::string> calls;
    bool shouldPromptForRating() override { return calls.push_back("should"), wouldPrompt; }
    void setButtonTitles(const std::string&, const std::string&, const std::string&) override { calls.push_back("buttons"); }
    void setTitleAndMessage(const std::string&, const std::string&) override { calls.push_back("texts"); }
    void promptIfNetworkAvailable() override { calls.push_back("prompt"); }
    void logSignificantEventWithoutPrompt() override { calls.push_back("event"); }
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto data = [] {
            const auto root = gametest::makeTempFolder("re-main");
            ::setenv("RE_DATA_DIR", (root / "data").c_str(), 1);
            gametest::useDataFolder(root / "data");
            return root;
        }();
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        UserInteraction::setShared(nullptr);
        RandomSource::shared().seed(2024);
        Screen::mainScreen().setHeight(480);
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>([] { return std::make_unique<SilentSoundBackend>(); },
                                                                       [](const std::string&, const std::string&) { return ""; }, ""));
        notifications = std::make_shared<InMemoryLocalNotificationCenter>();
        LocalNotificationCenter::setShared(notifications);
        Analytics::setShared(std::make_shared<RecordingAnalytics>());
        rating = std::make_shared<RecordingRatingPrompt>();
        ViewController::setRatingPrompt(rating);
        store().setBool(true, Keys::tutorialShown);  // past the first-run story
        store().setBool(true, Keys::firstMainDone);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
    }
    void TearDown() override {
        if (ctr) ctr->removeViewFromSuperview();
        ctr.reset();
        window.reset();
        reset();
        ViewController::setRatingPrompt(nullptr);
        SoundEngine::installSharedEngine(nullptr);
    }
    static void reset() {
        Image::clearCache();
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        NotificationCenter::defaultCenter().removeAllObservers();
        NMAlertViewManager::resetInstanceForTesting();  // the overlays before the model, the stage after
        MangaViewManager::resetInstanceForTesting();
        gametest::resetModelSingletons();
        PoseManager::resetInstanceForTesting();
        EffectManager::resetInstanceForTesting();
        gametest::clearStore();
    }

    void load() {
        ctr = std::make_shared<ViewController>();
        ctr->addViewTo(*window);
        EXPECT_TRUE(ctr->layoutErrors().empty()) << (ctr->layoutErrors().empty() ? "" : ctr->layoutErrors().front());
        advance(0);
    }

    double wall() const { return RunLoop::main().wallTime(); }
    void advance(double seconds) {
        if (seconds > 0) RunLoop::main().advanceBy(seconds);
        PersonView::waitForRecordings();
        RunLoop::main().drain();
    }
    void tap(View& view) {
        const Point p = view.convertPointToView(view.bounds().center(), window.get());
        window->touchDown(p);
        window->touchUp(p);
        advance(0);
    }

    static NMAlertViewController* alert() { return NMAlertViewManager::getInstance()->alertCtr().get(); }
    bool alertShown() const { return alert() && alert()->view()->superview() && !alert()->view()->isHidden(); }
    std::string alertText() const { return alertShown() ? alert()->msgLabel()->text() : std::string(); }
    void closeAlert() {
        if (!alertShown()) return;
        alert()->pressClose();
        advance(1.0);
    }

    // Explore pressed and confirmed through the window; returns the stored start time.
    double startExploreByTouch() {
        closeAlert();
        tap(*ctr->exploreBtn());
        EXPECT_TRUE(alertShown());
        advance(1.0);
        tap(*alert()->okBtn());
        const double start = store().doubleForKey(Keys::timestampStart);
        EXPECT_GT(start, 0);
        return start;
    }
    // Walks, the poster, the timer's start and the remaining-time panel's entrance.
    void letEveryoneLeave() { advance(3.5); }

    int64_t numComeback() const { return store().integerForKey(Keys::numComeback); }
    int exploringCount() const {
        int n = 0;
        for (int id = 1; id <= MemberManager::numTotalMembers(); ++id) n += PersonManager::isPersonExploring(id) ? 1 : 0;
        return n;
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<ViewController> ctr;
    std::shared_ptr<InMemoryLocalNotificationCenter> notifications;
    std::shared_ptr<RecordingRatingPrompt> rating;
};

TEST_F(ControllerTest, StartMessagesTruncateToWholeSecondsAndMinutes) {
    const auto format = [](const char* key, std::vector<Value> args) { return stringWithFormat(NSLocalizedString(key), args); };
    EXPECT_EQ(ViewController::startMessageForExploreTime(59.999), format("FormatStartBodySec", {Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(3599.9), format("FormatStartBody", {Value(59u), Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(7199.9), format("FormatStartBodyLong", {Value(1u), Value(59u)}));
}

TEST_F(ControllerTest, StrayOKsAreIgnoredTheTimerStartsWhenTheLastHasLeftTheKingDreamsAndNoRatingIsAsked) {
    load();
    NMCommon::sendNotification("okPressed", Value(static_cast<int64_t>(777)));  // another tag
    NMCommon::sendNotification("okPressed", Value("12345"));                     // no number
    NMCommon::sendNotification("okPressed");
    advance(1.0);
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_EQ(exploringCount(), 0);
    startExploreByTouch();
    EXPECT_EQ(exploringCount(), 20);
    EXPECT_FALSE(ctr->isTimerRunning());
    letEveryoneLeave();
    EXPECT_EQ(ctr->numMovedPerson(), 20u);
    EXPECT_TRUE(ctr->isTimerRunning());
    advance(2.0);
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateAsleep);
    const auto& subs = ctr->view()->subviews();
    const auto at = [&](const View* v) { return std::find_if(subs.begin(), subs.end(), [v](const auto& s) { return s.get() == v; }); };
    EXPECT_GT(at(ctr->kingImgView().get()), at(ctr->exploreStatusView().get())) << "the king sleeps in front of the panel";
    EXPECT_FALSE(ctr->imagineImgView()->isHidden()) << "the first dungeon's dream";
    EXPECT_TRUE(rating->calls.empty()) << "a second per person is too short";
    advance(30.0);
    EXPECT_TRUE(ctr->imagineImgView()->isHidden()) << "everyone is back";
}

TEST_F(ControllerTest, LongExploresAskTheRatingServiceWithoutADream) {
    store().setInteger(5, Keys::currentDungeonId);  // 90 s
    store().setBool(true, Keys::waitTutorialShown);
    rating->wouldPrompt = true;
    load();
    startExploreByTouch();
    letEveryoneLeave();
    advance(3.0);
    EXPECT_EQ(rating->calls, (std::vector<std::string>{"should", "buttons", "texts", "prompt"}));
    EXPECT_TRUE(ctr->imagineImgView()->isHidden());
}

TEST_F(ControllerTest, YieldsLeftFromTheLastRunWakeTheKingAtOnce) {
    PersonManager::updatePersonInfoWithId(1, PersonView::kYieldMonster, 1, 1);
    store().setBool(true, Keys::swipeTutorialShown);
    load();
    ctr->appear();
    advance(2.0);
    EXPECT_TRUE(ctr->exploreBtnContainer()->isHidden());
    EXPECT_EQ(ctr->kingImgView()->image(), Image::named(KingImageView::frameName(5, 11))) << "the wake-up's last picture";
}

TEST_F(ControllerTest, ANewMemberJoinsTheStage) {
    load();
    MemberManager::addMemberWithId(1);
    advance(0);
    EXPECT_EQ(ctr->stageView()->persons().size(), 21u);
    EXPECT_EQ(alertText(), NSLocalizedString("MemberAdded"));
}

TEST_F(ControllerTest, TheTallScreenTakesItsOwnLayout) {
    Screen::mainScreen().setHeight(568);
    window = std::make_shared<Window>(Rect(0, 0, 320, 568));
    window->makeKeyAndVisible();
    load();
    EXPECT_EQ(ctr->view()->frame().height(), 568);
    EXPECT_EQ(ctr->stageView()->frame().origin.y, 160 + 88);
    EXPECT_EQ(ctr->bgImgView()->frame().origin.y, 0);
}

// An explore of the second dungeon (6 s a person) under way, everyone gone.
class ControllerScheduleTest : public ControllerTest {
protected:
    void SetUp() override {
        ControllerTest::SetUp();
        store().setInteger(2, Keys::currentDungeonId);
        store().setBool(true, Keys::waitTutorialShown);
        store().setBool(true, Keys::swipeTutorialShown);
        load();
        start = startExploreByTouch();
        letEveryoneLeave();
    }
    double start = 0;
};

TEST_F(ControllerScheduleTest, AFasterIntervalMovesTheReturnsButNotTheNotifications) {
    advance(start + 13.01 - wall());
    ASSERT_EQ(numComeback(), 2);
    const auto before = notifications->scheduledLocalNotifications();
    store().setFloat(0.5f, Keys::timeRate);  // a speed item: 3 s
    NMCommon::sendNotification("equipUpdated");
    advance(0);
    EXPECT_EQ(ctr->currentInterval(), 3.0);
    advance(1.0);
    EXPECT_EQ(numComeback(), 4);  // floor(14.01 / 3)
    const auto after = notifications->scheduledLocalNotifications();
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) EXPECT_EQ(after[i].fireDate, before[i].fireDate);
}

TEST_F(ControllerScheduleTest, SuspendingLeavesOnlyTheReturnedHoldingAnything) {
    advance(start + 17.01 - wall());  // two back, their walks over; the third is due at 18
    ASSERT_EQ(numComeback(), 2);
    tap(*ctr->exploreStatusView()->suspendBtn());
    ASSERT_TRUE(alertShown());
    EXPECT_EQ(alertText(), NSLocalizedString("Suspend"));
    EXPECT_EQ(alert()->alertTag(), ViewController::kSuspendTag);
    advance(1.0);
    tap(*alert()->okBtn());
    advance(1.0);
    EXPECT_FALSE(ctr->isTimerRunning());
    advance(4.0);
    EXPECT_EQ(exploringCount(), 0);
    const auto& persons = ctr->stageView()->persons();
    EXPECT_EQ(std::count_if(persons.begin(), persons.end(), [](auto& p) { return p->currentYieldType() != PersonView::kYieldNothing; }), 2);
}

TEST_F(ControllerScheduleTest, TheMapListBreaksOffWithoutAnimation) {
    advance(start + 6.5 - wall());
    NMCommon::sendNotification("exploreSuspended");
    advance(0);
    EXPECT_EQ(store().doubleForKey(Keys::timestampStart), 0);
    EXPECT_EQ(exploringCount(), 0);
    advance(3.0);
    EXPECT_FALSE(ctr->isTimerRunning());
}

TEST_F(ControllerScheduleTest, APollWithoutAStoredStartFinishesEmptyHanded) {
    store().removeObjectForKey(Keys::timestampStart);
    advance(1.0);
    EXPECT_FALSE(ctr->isTimerRunning());
    EXPECT_TRUE(notifications->scheduledLocalNotifications().empty());
    advance(2.0);
    EXPECT_EQ(exploringCount(), 0);
    EXPECT_FALSE(ctr->stageView()->isAnyoneHavingYield());
}

TEST_F(ControllerScheduleTest, BattlesQuakeTheScreenOnceAtATime) {
    advance(start + 6.5 - wall());
    advance(1.3);  // the battle's moment in the return walk
    NMCommon::sendNotification("battling");
    NMCommon::sendNotification("battling");
    RunLoop::main().runPass();
    EXPECT_TRUE(ctr->isQuaking());
    advance(0.13);
    EXPECT_FALSE(ctr->isQuaking());
}

}  // namespace
