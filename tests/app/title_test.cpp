// The title on the headless window and the manual clock: the five persons after the logo, one
// count per person however often it is touched, the swipe that starts all five, the fade and the
// owner told in order, the hint that stops for good after the first success, the page views.
#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "model/SavedStateKeys.h"
#include "overlays/TitleViewController.h"
#include "platform/core/Clock.h"
#include "platform/core/RunLoop.h"
#include "platform/events/NotificationCenter.h"
#include "platform/resources/ResourceBundle.h"
#include "platform/services/Analytics.h"
#include "platform/sound/SilentSoundBackend.h"
#include "platform/sound/SoundEngine.h"
#include "platform/store/SavedStateStore.h"
#include "platform/ui/Image.h"
#include "platform/ui/ImageView.h"
#include "platform/ui/Screen.h"
#include "platform/ui/Window.h"
#include "stage/PersonView.h"

namespace fs = std::filesystem;

namespace {

struct Owner : OverlayViewControllerDelegate {
    std::vector<std::string> calls;
    std::shared_ptr<TitleViewController> title;
    void overlayWillClose(OverlayViewController&) override { calls.push_back("will"); }
    void overlayDidClose(OverlayViewController& o) override {
        calls.push_back("did");
        o.setDelegate(nullptr);
        title.reset();
    }
};

class TitleTest : public ::testing::Test {
protected:
    void SetUp() override {
        static const std::string data = [] {
            std::string pattern = (fs::temp_directory_path() / "re-title-XXXXXX").string();
            std::string dir = ::mkdtemp(pattern.data());
            SavedStateStore::configureDataDirectory(dir);
            return dir;
        }();
        ResourceBundle::setRootDirectory(RE_TEST_RESOURCE_DIR);
        Image::clearCache();
        RunLoop::main().reset();
        RunLoop::main().setClock(std::make_shared<ManualClock>(1.8e9));
        NotificationCenter::defaultCenter().removeAllObservers();
        const Value all = SavedStateStore::standardUserDefaults().dictionaryRepresentation();
        for (const auto& [key, value] : all.dictionaryValue()) SavedStateStore::standardUserDefaults().removeObjectForKey(key);
        Screen::mainScreen().setHeight(480);
        SoundEngine::installSharedEngine(std::make_unique<SoundEngine>([] { return std::make_unique<SilentSoundBackend>(); },
                                                                       [](const std::string&, const std::string&) { return ""; }, ""));
        analytics = std::make_shared<RecordingAnalytics>();
        Analytics::setShared(analytics);
        window = std::make_shared<Window>(Rect(0, 0, 320, 480));
        window->makeKeyAndVisible();
        owner.title = std::make_shared<TitleViewController>();
        owner.title->setDelegate(&owner);
        owner.title->addViewTo(*window);
        advance(2.0);
    }
    void TearDown() override {
        if (owner.title) owner.title->removeViewFromSuperview();
        owner.title.reset();
        window.reset();
        PersonView::waitForRecordings();
        RunLoop::main().reset();
        SoundEngine::installSharedEngine(nullptr);
    }
    void advance(double seconds) {
        for (double t = 0; t < seconds; t += 0.25) {
            RunLoop::main().advanceBy(0.25);
            PersonView::waitForRecordings();
            RunLoop::main().drain();
        }
    }
    std::vector<PersonView*> persons() {
        std::vector<PersonView*> list;
        if (!owner.title) return list;
        for (const auto& v : owner.title->view()->subviews())
            if (auto* p = dynamic_cast<PersonView*>(v.get())) list.push_back(p);
        return list;
    }
    void tapAt(Point p) {
        window->touchDown(p);
        window->touchUp(p);
        PersonView::waitForRecordings();
        RunLoop::main().drain();
    }

    std::shared_ptr<RecordingAnalytics> analytics;
    std::shared_ptr<Window> window;
    Owner owner;
};

}  // namespace

TEST_F(TitleTest, FivePersonsStandInARowCarryingTheLetters) {
    auto list = persons();
    ASSERT_EQ(list.size(), 5u);
    const double xs[] = {74, 117, 160, 203, 246};
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(list[i]->tag(), i + 1);
        EXPECT_DOUBLE_EQ(list[i]->center().x, xs[i]);
        EXPECT_DOUBLE_EQ(list[i]->center().y, 323);
        EXPECT_EQ(list[i]->currentYieldType(), PersonView::kYieldPicture);
    }
    EXPECT_TRUE(owner.title->flickImgView()->isAnimating());
    EXPECT_EQ(analytics->pageViews(), (std::vector<std::string>{"/FIRST_TITLE", "/TITLE"}));
    EXPECT_TRUE(SavedStateStore::standardUserDefaults().boolForKey(SavedStateKeys::firstTitleDone));
}

TEST_F(TitleTest, TouchingOnePersonTwiceCountsItOnce) {
    tapAt(Point(74, 323));
    tapAt(Point(74, 323));
    advance(4.0);
    EXPECT_EQ(owner.title->flickedCnt(), 1u);
    EXPECT_TRUE(owner.title->succeeded());
    EXPECT_FALSE(owner.title->flickImgView()->isAnimating());
    EXPECT_TRUE(owner.calls.empty());
}

TEST_F(TitleTest, AMissedTouchRestartsTheHint) {
    tapAt(Point(160, 120));
    EXPECT_FALSE(owner.title->succeeded());
    EXPECT_TRUE(owner.title->flickImgView()->isAnimating());
}

TEST_F(TitleTest, OneSwipeCollectsAllFiveAndTheTitleFadesAfterTheLast) {
    window->touchDown(Point(40, 323));
    for (int i = 1; i <= 25; ++i) window->touchMove(Point(40 + i * 10, 323));
    window->touchUp(Point(290, 323));
    PersonView::waitForRecordings();
    RunLoop::main().drain();
    EXPECT_TRUE(owner.calls.empty()) << "not closed at the end of the swipe";
    for (int i = 0; i < 40 && owner.calls.empty(); ++i) advance(0.25);
    ASSERT_EQ(owner.calls, (std::vector<std::string>{"will"}));
    // The fade takes a second before the owner hears the title has gone.
    advance(0.5);
    EXPECT_EQ(owner.calls.size(), 1u);
    advance(1.5);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"will", "did"}));
    EXPECT_FALSE(owner.title);
}

TEST_F(TitleTest, TheFirstTitlePageIsReportedOnlyOnce) {
    auto second = std::make_shared<TitleViewController>();
    second->view();
    EXPECT_EQ(analytics->pageViews(), (std::vector<std::string>{"/FIRST_TITLE", "/TITLE", "/TITLE"}));
}
