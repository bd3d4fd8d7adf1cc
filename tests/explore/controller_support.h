#pragma once
// The main screen on a 320 x 480 key window: the build's resources, the store in a temporary
// folder, a manual clock, in-memory notifications and analytics, a silent sound engine.
#include <gtest/gtest.h>

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

namespace controllertests {

namespace Keys = SavedStateKeys;
using gametest::store;

// The overlay managers go before the model's singletons, the stage's after them.
inline void resetSingletons() {
    NMAlertViewManager::resetInstanceForTesting();
    MangaViewManager::resetInstanceForTesting();
    gametest::resetModelSingletons();
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
}

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
        resetSingletons();
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

}  // namespace controllertests
