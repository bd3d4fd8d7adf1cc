// The main screen on a 320 x 480 key window, where the scenario scripts cannot look.
#include <gtest/gtest.h>

#include <algorithm>

#include "explore/ExploreStatusView.h"
#include "explore/NMCommon.h"
#include "explore/RankingManager.h"
#include "explore/ViewController.h"
#include "model/GameTags.h"
#include "model/GoldManager.h"
#include "model/MemberManager.h"
#include "model/MonsterManager.h"
#include "model/SavePointHooks.h"
#include "model/SavedStateKeys.h"
#include "overlays/HUDManager.h"
#include "overlays/MangaViewManager.h"
#include "overlays/NMAlertViewManager.h"
#include "platform/core/Random.h"
#include "platform/resources/Format.h"
#include "platform/resources/LocalizedStrings.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/services/AlertPresenter.h"
#include "platform/services/LeaderboardService.h"
#include "platform/services/LocalNotificationCenter.h"
#include "platform/services/UrlOpener.h"
#include "platform/ui/ActionSheetView.h"
#include "platform/services/UserInteraction.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/EffectManager.h"
#include "stage/KingImageView.h"
#include "stage/PoseManager.h"
#include "stage/StageView.h"
#include "support/GameTestSupport.h"

namespace {

namespace Keys = SavedStateKeys;
using gametest::store;

struct RecordingRatingPrompt : RatingPrompt {
    bool wouldPrompt = false;
    std::vector<std::string> calls;  // in the order asked
    bool shouldPromptForRating() override { return calls.push_back("should"), wouldPrompt; }
    void setButtonTitles(const std::string&, const std::string&, const std::string&) override { calls.push_back("buttons"); }
    void setTitleAndMessage(const std::string&, const std::string&) override { calls.push_back("texts"); }
    void promptIfNetworkAvailable() override { calls.push_back("prompt"); }
    void logSignificantEventWithoutPrompt() override { calls.push_back("event"); }
};

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const auto folders = gametest::makeTestFolders("re-main");
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        gametest::resetGameSingletons();
        gametest::startManualTime(2024);
        UserInteraction::setShared(nullptr);
        gametest::installSilentSound();
        LocalNotificationCenter::setShared(notifications);
        Analytics::setShared(std::make_shared<RecordingAnalytics>());
        ViewController::setRatingPrompt(rating);
        for (auto key : {Keys::tutorialShown, Keys::firstMainDone, Keys::waitTutorialShown, Keys::swipeTutorialShown})
            store().setBool(true, key);  // past the first-run story and the hints
        makeWindow(480);
    }
    void TearDown() override {
        if (ctr) ctr->removeViewFromSuperview(), ctr.reset();
        window.reset();
        gametest::resetGameSingletons();
        ViewController::setRatingPrompt(nullptr);
        SoundEngine::installSharedEngine(nullptr);
    }
    void makeWindow(double height) {
        Screen::mainScreen().setHeight(height);
        window = std::make_shared<Window>(Rect(0, 0, 320, height));
        window->makeKeyAndVisible();
    }
    void load() {
        ctr = std::make_shared<ViewController>();
        ctr->addViewTo(*window);
        EXPECT_TRUE(ctr->layoutErrors().empty());
        advance(0);
    }
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
    // Explore pressed and confirmed, then the walks, the poster and the timer's start.
    void startExplore(int dungeon) {
        store().setInteger(dungeon, Keys::currentDungeonId);
        if (!ctr) load();
        tap(*ctr->exploreBtn());
        advance(1.0);
        tap(*alert()->okBtn());
        EXPECT_FALSE(ctr->isTimerRunning());
        advance(3.5);
        start = store().doubleForKey(Keys::timestampStart);
    }
    void advanceTo(double offset) { advance(start + offset - RunLoop::main().wallTime()); }
    static int64_t numComeback() { return store().integerForKey(Keys::numComeback); }
    static int exploringCount() {
        int n = 0;
        for (int id = 1; id <= MemberManager::numTotalMembers(); ++id) n += PersonManager::isPersonExploring(id);
        return n;
    }

    std::shared_ptr<Window> window;
    std::shared_ptr<ViewController> ctr;
    std::shared_ptr<InMemoryLocalNotificationCenter> notifications = std::make_shared<InMemoryLocalNotificationCenter>();
    std::shared_ptr<RecordingRatingPrompt> rating = std::make_shared<RecordingRatingPrompt>();
    double start = 0;
};

TEST_F(ControllerTest, StartMessagesTruncateToWholeSecondsAndMinutes) {
    const auto format = [](const char* key, std::vector<Value> args) { return stringWithFormat(NSLocalizedString(key), args); };
    EXPECT_EQ(ViewController::startMessageForExploreTime(59.999), format("FormatStartBodySec", {Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(3599.9), format("FormatStartBody", {Value(59u), Value(59u)}));
    EXPECT_EQ(ViewController::startMessageForExploreTime(7199.9), format("FormatStartBodyLong", {Value(1u), Value(59u)}));
}

TEST_F(ControllerTest, StrayOKsAreIgnoredTheTimerStartsWhenTheLastHasLeftTheKingDreamsAndNoRatingIsAsked) {
    load();
    // Only the confirmation's own OK starts an explore, not an "okPressed" heard from elsewhere.
    NMCommon::sendNotification("okPressed", Value(static_cast<int64_t>(GameTags::kStartExplore)));
    advance(1.0);
    EXPECT_EQ(exploringCount(), 0);
    startExplore(1);
    EXPECT_TRUE(ctr->numMovedPerson() == 20u && ctr->isTimerRunning());
    advance(2.0);
    EXPECT_EQ(ctr->kingImgView()->currentState(), KingImageView::kStateAsleep);
    EXPECT_FALSE(ctr->imagineImgView()->isHidden()) << "the first dungeon's dream";
    EXPECT_TRUE(rating->calls.empty()) << "a second per person is too short";
    advance(30.0);
    EXPECT_TRUE(ctr->imagineImgView()->isHidden()) << "everyone is back";
}

TEST_F(ControllerTest, LongExploresAskTheRatingServiceWithoutADream) {
    rating->wouldPrompt = true;
    startExplore(5);  // 90 s
    advance(3.0);
    EXPECT_EQ(rating->calls, (std::vector<std::string>{"should", "buttons", "texts", "prompt"}));
    EXPECT_TRUE(ctr->imagineImgView()->isHidden());
}

TEST_F(ControllerTest, ANewMemberJoinsTheStageAndTheTallScreenTakesItsOwnLayout) {
    makeWindow(568);
    load();
    EXPECT_EQ(ctr->stageView()->frame().origin.y, 160 + 88);
    MemberManager::addMemberWithId(1);
    advance(0);
    EXPECT_EQ(ctr->stageView()->persons().size(), 21u);
    EXPECT_TRUE(alertShown() && alert()->msgLabel()->text() == NSLocalizedString("MemberAdded"));
}

TEST_F(ControllerTest, APostWithoutAnAddressOpenerIsExplainedAndOnlyTheFirstButtonOfTheShareSheetPosts) {
    auto alerts = std::make_shared<RecordingAlertPresenter>();
    AlertPresenter::setShared(alerts);
    UrlOpener::shared().setRecordOnly(false);
    UrlOpener::shared().setOpenerProgram("");
    load();
    ctr->pressShare();
    ASSERT_TRUE(ctr->shareSheet() && ctr->shareSheet()->alertTag() == GameTags::kShareSheet);
    ctr->shareSheet()->dismissWithClickedButtonIndex(1, false);  // Cancel
    advance(1);
    EXPECT_TRUE(alerts->shownAlerts().empty());
    ctr->pressShare();
    ctr->shareSheet()->dismissWithClickedButtonIndex(0, false);
    advance(1);
    ASSERT_EQ(alerts->shownAlerts().size(), 1u);
    EXPECT_EQ(alerts->shownAlerts()[0].title, NSLocalizedString("TwitterAlertTitle"));
    EXPECT_EQ(alerts->shownAlerts()[0].message, NSLocalizedString("TwitterAlertBody"));
    EXPECT_FALSE(HUDManager::getInstance()->isShowing()) << "no progress indicator without a composer";
    EXPECT_EQ(MemberManager::numAddedMembers(), 0);
    UrlOpener::shared().setOpenerProgram("xdg-open");
    AlertPresenter::setShared(nullptr);
}

TEST_F(ControllerTest, ASavePairReportsFromSaveGoldWithTheSavedMonsterTotalAndTheCurrentHuntedCounts) {
    auto boards = std::make_shared<LeaderboardService>((gametest::makeTempFolder("re-boards") / "boards.sqlite").string());
    LeaderboardService::setShared(boards);
    SavePointHooks::setAfterSaveHandler([] { RankingManager::reportIfNeeded(); });
    boards->authenticateLocalPlayer([](bool ok, const std::string&) { store().setBool(ok, Keys::gkLoginSucceeded); });
    advance(0);
    store().setInteger(8, Keys::totalMonster);
    MonsterManager::getInstance()->addMonsterWithId(1);  // counted, not saved yet
    auto lastScores = [&] {
        boards->waitUntilIdle();
        std::vector<int64_t> last;
        for (const auto& b : boards->readBoards(LeaderboardTimeScope::allTime, RunLoop::main().wallTime()).boards) last.push_back(b.last.value_or(-1));
        return last;
    };
    GoldManager::getInstance()->saveGold();
    MonsterManager::getInstance()->saveMonsters();  // the same second: not reported
    EXPECT_EQ(lastScores(), (std::vector<int64_t>{0, 8, 1, 0}));
    advance(60);
    MonsterManager::getInstance()->saveMonsters();
    EXPECT_EQ(lastScores(), (std::vector<int64_t>{0, 9, 1, 0}));
    // A clock moved back an hour does not hold the reports off for the hour.
    store().setDouble(RunLoop::main().wallTime() + 3600, Keys::timestampLastReport);
    GoldManager::getInstance()->saveGold();
    EXPECT_EQ(store().doubleForKey(Keys::timestampLastReport), RunLoop::main().wallTime());
    SavePointHooks::setAfterSaveHandler({});
    LeaderboardService::setShared(nullptr);
}

TEST_F(ControllerTest, AFasterIntervalMovesTheReturnsButNotTheNotifications) {
    startExplore(2);  // 6 s a person
    advanceTo(13.01);
    ASSERT_EQ(numComeback(), 2);
    const double lastFire = notifications->scheduledLocalNotifications().back().fireDate;
    store().setFloat(0.5f, Keys::timeRate);  // a speed item: 3 s
    NMCommon::sendNotification("equipUpdated");
    advance(1.0);
    EXPECT_EQ(numComeback(), 4);  // floor(14.01 / 3)
    EXPECT_EQ(notifications->scheduledLocalNotifications().back().fireDate, lastFire);
}

TEST_F(ControllerTest, SuspendingLeavesOnlyTheReturnedHoldingAnything) {
    startExplore(2);
    advanceTo(17.01);  // two back, their walks over; the third is due at 18
    ASSERT_EQ(numComeback(), 2);
    tap(*ctr->exploreStatusView()->suspendBtn());
    ASSERT_TRUE(alertShown());
    EXPECT_EQ(alert()->alertTag(), GameTags::kSuspend);
    advance(1.0);
    tap(*alert()->okBtn());
    advance(5.0);
    EXPECT_TRUE(exploringCount() == 0 && !ctr->isTimerRunning());
    const auto& persons = ctr->stageView()->persons();
    EXPECT_EQ(std::count_if(persons.begin(), persons.end(), [](auto& p) { return p->currentYieldType() != PersonView::kYieldNothing; }), 2);
}

TEST_F(ControllerTest, TheMapListBreaksOffWithoutAnimationAndBattlesQuakeTheScreenOnceAtATime) {
    startExplore(2);
    advanceTo(7.8);  // the first return walk's battle
    NMCommon::sendNotification("battling");
    NMCommon::sendNotification("battling");
    RunLoop::main().runPass();
    EXPECT_TRUE(ctr->isQuaking());
    advance(0.13);
    EXPECT_FALSE(ctr->isQuaking());
    NMCommon::sendNotification("exploreSuspended");
    advance(0);
    EXPECT_TRUE(!ctr->isTimerRunning() && store().doubleForKey(Keys::timestampStart) == 0);
    advance(3.0);  // the one on the walk home finishes it
    EXPECT_EQ(exploringCount(), 0);
}

}  // namespace
