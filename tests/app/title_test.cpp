// The title on the headless window and the manual clock: the five persons after the logo, one
// count per person however often it is touched, the swipe that starts all five, the fade and the
// owner told in order, the hint that stops for good after the first success, the page views.
#include "app/AppTestSupport.h"
#include "overlays/TitleViewController.h"
#include "platform/ui/ImageView.h"

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

class TitleTest : public AppTest {
protected:
    void SetUp() override {
        AppTest::SetUp();
        owner.title = std::make_shared<TitleViewController>();
        owner.title->setDelegate(&owner);
        owner.title->addViewTo(*window);
        advance(2.0);
    }
    void TearDown() override {
        if (owner.title) owner.title->removeViewFromSuperview();
        owner.title.reset();
        AppTest::TearDown();
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
