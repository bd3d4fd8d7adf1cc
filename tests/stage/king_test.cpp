// The king: state animations, blinking, the hop on gold changes, all on the manual clock with
// the pictures the build draws.
#include <algorithm>
#include <set>

#include "stage_test_support.h"
#include "stage/KingImageView.h"

namespace {

using stagetests::StageTest;
using Names = std::vector<std::string>;

class StageKingTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        king = View::make<KingImageView>(Rect(0, 0, 80, 80));
        start = now();
    }
    void TearDown() override {
        king.reset();
        StageTest::TearDown();
    }
    std::string shownName() const {
        auto image = king->displayedImage();
        return image ? image->name() : "";
    }
    Names frameNames() const {
        Names names;
        for (const auto& image : king->animationImages()) names.push_back(image->name());
        return names;
    }
    static Names sequence(int id, int from, int to) {
        Names names;
        for (int f = from; f <= to; ++f) names.push_back(KingImageView::frameName(id, f));
        return names;
    }
    int countEvents(const std::string& name) const { return static_cast<int>(std::count(events.begin(), events.end(), name)); }

    std::shared_ptr<KingImageView> king;
    double start = 0;
};

TEST_F(StageKingTest, LoadsWaitingAndFrameListsSkipMissingPictures) {
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
    EXPECT_FALSE(king->isAnimating());
    EXPECT_FALSE(king->myTimer().isValid());
    EXPECT_EQ(shownName(), "king-1_1@2x.png");
    EXPECT_EQ(king->image()->size(), Size(80, 80));
    EXPECT_EQ(KingImageView::imagesWithAnimationId(2, 14).size(), 9u);
    EXPECT_EQ(KingImageView::imagesWithAnimationId(5, 11).size(), 11u);
    EXPECT_TRUE(KingImageView::imagesWithAnimationId(9, 5).empty());
}

TEST_F(StageKingTest, GoingExploreWavesOnceAndKeepsTheState) {
    king->startWaitingAnimation();
    ASSERT_TRUE(king->myTimer().isValid());
    king->startGoingExploreAnimation();
    EXPECT_FALSE(king->myTimer().isValid());
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
    EXPECT_EQ(frameNames(), sequence(2, 1, 9));
    EXPECT_EQ(king->animationRepeatCount(), 1);
    advanceTo(start, 0.45);
    EXPECT_EQ(shownName(), "king-2_5@2x.png");
    advanceTo(start, 0.9);
    EXPECT_FALSE(king->isAnimating());
    EXPECT_EQ(shownName(), "king-2_9@2x.png");
    RunLoop::main().advanceBy(10);  // the blink timer was stopped
    EXPECT_FALSE(king->isAnimating());

    // The end of an explore while he waits: the last waking frame, still.
    king->startExploreEndAnimation();
    EXPECT_FALSE(king->isAnimating());
    EXPECT_EQ(shownName(), "king-5_11@2x.png");
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
}

TEST_F(StageKingTest, FallingAsleepTwicePlaysOnceAndPostsOnce) {
    recordEvents({"sleepAnimationDidStart"});
    king->startWaitingAnimation();
    king->startSleepAnimation();
    EXPECT_FALSE(king->myTimer().isValid());  // the blink timer stops with every state change
    EXPECT_EQ(king->currentState(), KingImageView::kStateAsleep);
    EXPECT_EQ(frameNames(), sequence(3, 1, 9));
    EXPECT_EQ(king->image()->name(), "king-3_9@2x.png");

    advanceTo(start, 0.3);
    king->startSleepAnimation();  // already asleep: the fall is not restarted
    EXPECT_EQ(shownName(), "king-3_4@2x.png");
    advanceTo(start, 0.85);
    EXPECT_EQ(countEvents("sleepAnimationDidStart"), 0);
    advanceTo(start, 0.9);
    RunLoop::main().drain();
    EXPECT_EQ(countEvents("sleepAnimationDidStart"), 1);
    // The sleeping loop: six still frames, then a snore, 1.0 s, without end.
    Names loop(6, "king-4_1@2x.png");
    for (const char* name : {"king-4_2@2x.png", "king-4_3@2x.png", "king-4_2@2x.png", "king-4_1@2x.png"}) loop.push_back(name);
    EXPECT_EQ(frameNames(), loop);
    EXPECT_EQ(king->animationRepeatCount(), 0);
    EXPECT_DOUBLE_EQ(king->animationDuration(), 1.0);
    advanceTo(start, 0.9 + 10.75);
    EXPECT_EQ(shownName(), "king-4_3@2x.png");
    king->startSleepAnimation();
    RunLoop::main().advanceBy(5);
    EXPECT_EQ(countEvents("sleepAnimationDidStart"), 1);

    // Waking plays once.
    const double woke = now();
    king->startExploreEndAnimation();
    EXPECT_EQ(king->currentState(), KingImageView::kStateExploreEnded);
    EXPECT_EQ(frameNames(), sequence(5, 1, 11));
    EXPECT_DOUBLE_EQ(king->animationDuration(), 1.1);
    advanceTo(woke, 1.1);
    EXPECT_FALSE(king->isAnimating());
    EXPECT_EQ(shownName(), "king-5_11@2x.png");
}

TEST_F(StageKingTest, WakingBeforeTheFallEndsCancelsTheSleepingLoop) {
    recordEvents({"sleepAnimationDidStart"});
    king->startSleepAnimation();
    advanceTo(start, 0.5);
    king->startExploreEndAnimation();
    RunLoop::main().advanceBy(3);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(king->currentState(), KingImageView::kStateExploreEnded);
    EXPECT_EQ(shownName(), "king-5_11@2x.png");

    // A timer firing outside the waiting state only stops itself.
    king->timerHandler();
    EXPECT_FALSE(king->myTimer().isValid());
}

TEST_F(StageKingTest, CheckEndLooksTheHaulOverThenWaits) {
    king->startCheckEndAnimation();  // while waiting: the waiting loop at once
    EXPECT_FALSE(king->isAnimating());
    EXPECT_TRUE(king->myTimer().isValid());

    king->startSleepAnimation();
    RunLoop::main().advanceBy(2);
    king->startExploreEndAnimation();
    RunLoop::main().advanceBy(2);
    const double t = now();
    king->startCheckEndAnimation();
    EXPECT_EQ(frameNames(), (Names{"king-2_3@2x.png", "king-2_2@2x.png", "king-2_1@2x.png", "king-1_1@2x.png"}));
    EXPECT_DOUBLE_EQ(king->animationDuration(), 0.4);
    EXPECT_FALSE(king->myTimer().isValid());
    advanceTo(t, 0.39);
    EXPECT_EQ(king->currentState(), KingImageView::kStateExploreEnded);
    advanceTo(t, 0.4);
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
    EXPECT_TRUE(king->myTimer().isValid());
    EXPECT_EQ(shownName(), "king-1_1@2x.png");
}

TEST_F(StageKingTest, BlinksEveryThreeToFiveSecondsWhileWaiting) {
    king->startWaitingAnimation();
    std::vector<double> blinks;
    std::set<int> repeats;
    bool wasAnimating = false;
    for (int i = 1; i <= 4 * 120; ++i) {
        RunLoop::main().advanceBy(0.25);  // exact in binary: whole-second deadlines are hit exactly
        const bool animating = king->isAnimating();
        if (animating && !wasAnimating) {
            blinks.push_back(now() - start);
            repeats.insert(king->animationRepeatCount());
            EXPECT_EQ(king->animationImages().size(), 5u);
            EXPECT_DOUBLE_EQ(king->animationDuration(), 0.5);
        }
        wasAnimating = animating;
    }
    ASSERT_GE(blinks.size(), 24u);
    std::set<double> gaps;
    double previous = 0;
    for (double t : blinks) {
        gaps.insert(t - previous);
        previous = t;
    }
    EXPECT_EQ(gaps, (std::set<double>{3.0, 4.0, 5.0}));
    EXPECT_EQ(repeats, (std::set<int>{1, 2}));
}

TEST_F(StageKingTest, GoldChangesDuringAHopGiveOneSequenceOfFourHops) {
    const Point c = king->center();
    const double top = c.y - 8;  // a tenth of the 80-point height
    GoldManager::getInstance()->addGold(10);
    RunLoop::main().drain();
    ASSERT_TRUE(king->animating());
    EXPECT_FALSE(king->hasAnimationsBlockingInteraction());
    const double t0 = now();
    advanceTo(t0, KingImageView::kHopStepDuration / 2);
    EXPECT_LT(king->presentationCenter().y, c.y - 4);  // ease out: past half way at half time
    int tops = 0;
    for (int k = 1; k <= 10; ++k) {
        if (k == 2 || k == 5) GoldManager::getInstance()->addGold(5);  // more gold while hopping
        if (k == 3) GoldManager::getInstance()->setCurrentGold(1);
        advanceTo(t0, k * KingImageView::kHopStepDuration);
        const double y = king->presentationCenter().y;
        if (std::abs(y - top) < 0.01) ++tops;
        else EXPECT_NEAR(y, c.y, 0.01) << "step " << k;
    }
    EXPECT_EQ(tops, 4);
    EXPECT_EQ(king->center(), c);
    EXPECT_FALSE(king->animating());
    GoldManager::getInstance()->addGold(1);  // once settled, the next change hops again
    RunLoop::main().drain();
    EXPECT_TRUE(king->animating());
}

TEST_F(StageKingTest, NothingRunsIntoADestroyedKingOrAGoneGoldManager) {
    recordEvents({"sleepAnimationDidStart"});
    king->startSleepAnimation();
    GoldManager::getInstance()->addGold(3);
    RunLoop::main().drain();
    king.reset();
    GoldManager::getInstance()->addGold(3);
    RunLoop::main().advanceBy(5);
    EXPECT_TRUE(events.empty());

    // The gold manager torn down before the king: the king lets go of nothing it no longer has.
    king = View::make<KingImageView>(Rect(0, 0, 80, 80));
    king->startWaitingAnimation();
    GoldManager::resetInstanceForTesting();
    GoldManager::getInstance()->addGold(3);
    RunLoop::main().advanceBy(10);
    king.reset();
    GoldManager::getInstance()->addGold(3);
    RunLoop::main().advanceBy(1);

    // A king without a gold source still animates but never hops.
    auto sheetKing = View::make<KingImageView>(Rect(0, 0, 80, 80), nullptr);
    GoldManager::getInstance()->addGold(10);
    RunLoop::main().drain();
    EXPECT_FALSE(sheetKing->animating());
    sheetKing->startSleepAnimation();
    EXPECT_TRUE(sheetKing->isAnimating());
}

}  // namespace
