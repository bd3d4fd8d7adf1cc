// Stock animations and the quake, the king's states and gold hops, delayed person poses, and the
// pixel buffer with its silhouettes.
#include <cmath>

#include "stage_test_support.h"
#include "stage/ByteImage.h"
#include "stage/KingImageView.h"
#include "stage/NMAnimationCommon.h"
#include "stage/ViewEffects.h"

namespace stagetests {
namespace {

class StageAnimationTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        view = View::make(Rect(0, 0, 60, 40));
        view->setCenter({10, 10});
        king = View::make<KingImageView>(Rect(0, 0, 80, 80));
        person = View::make<ImageView>(Rect(0, 0, 43, 60));
        start = now();
    }
    void TearDown() override {
        view.reset();
        king.reset();
        person.reset();
        StageTest::TearDown();
    }
    std::string shownName() const { return king->displayedImage() ? king->displayedImage()->name() : ""; }
    std::shared_ptr<View> view;
    std::shared_ptr<KingImageView> king;
    std::shared_ptr<ImageView> person;
    double start = 0;
    int calls = 0;
};
using StageKingTest = StageAnimationTest;
using StagePoseTest = StageAnimationTest;

TEST_F(StageAnimationTest, GrowAndShrinkKeepThePlaceUnknownTypesNeverCallBackAndDeathGivesTouchesBack) {
    NMAnimationCommon::animateView(*view, {300, 300}, NMAnimationCommon::kShrinkOut, true, [this] { ++calls; });
    advanceTo(start + 0.25);
    EXPECT_DOUBLE_EQ(view->alpha(), 0.0);
    EXPECT_NEAR(view->transform().scaleY(), 0.1, 1e-12);
    NMAnimationCommon::animateView(*view, NMAnimationCommon::kGrowInWithBounce, true, [this] { ++calls; });
    EXPECT_NEAR(view->presentationTransform().scaleX(), 0.00001, 1e-9);
    advance(0.25 + 0.2);
    EXPECT_NEAR(view->presentationTransform().scaleX(), 1.02, 1e-9);
    advance(0.1);
    EXPECT_TRUE(view->transform().isIdentity());
    EXPECT_DOUBLE_EQ(view->alpha(), 1.0);
    EXPECT_EQ(calls, 2);
    for (int type : {-1, 7, 8}) NMAnimationCommon::animateView(*view, {50, 50}, type, false, [this] { ++calls; });
    for (int type : {0, 8}) NMAnimationCommon::animateView(*view, type, false, [this] { ++calls; });
    EXPECT_TRUE(touchesEnabled());
    advance(2.0);
    EXPECT_EQ(calls, 2);
    EXPECT_EQ(view->center(), Point(10, 10));
    NMAnimationCommon::animateView(*view, NMAnimationCommon::kShrinkOut, false, [this] { ++calls; });  // touches are off until it ends,
    advance(0.1);
    EXPECT_FALSE(touchesEnabled());
    view.reset();  // or until the view dies half-way
    advance(1.0);
    EXPECT_TRUE(touchesEnabled());
    EXPECT_EQ(calls, 3);
}

// Twenty steps: even counts shake within half the count, odd ones put the view back.
TEST_F(StageAnimationTest, QuakeShakesWithinItsShrinkingCountAndEndsOnItsCentre) {
    const Point c = view->center();
    int largestAt20 = 0;
    for (int round = 0; round < 40; ++round) {
        ViewEffects::quakeWithCount(*view, 20, 0.02);
        start = now();
        for (int step = 1; step <= 20; ++step) {
            advanceTo(start + (step + 0.5) * 0.02);
            const int b = 21 - step;  // this step's count
            const double dx = view->center().x - c.x, dy = view->center().y - c.y;
            for (double d : {dx, dy}) ASSERT_TRUE(b % 2 ? d == 0 : d >= -b / 2 && d < b / 2) << "step " << step << ": " << d;
            if (b == 20) largestAt20 = std::max(largestAt20, static_cast<int>(std::abs(dx)));
        }
        ASSERT_FALSE(RunLoop::main().nextDeadline().has_value());  // no 21st step
    }
    EXPECT_EQ(largestAt20, 10);
    ViewEffects::quakeWithCount(*view, 20, 0.02);  // a freed view is left alone
    advance(0.05);
    view.reset();
    advance(1.0);
}

TEST_F(StageKingTest, FallingAsleepPlaysOnceAndWakingCancelsTheSleepingLoop) {
    recordEvents({"sleepAnimationDidStart"});
    king->startWaitingAnimation();
    king->startSleepAnimation();
    EXPECT_FALSE(king->myTimer().isValid());  // no blinking while asleep
    advanceTo(start + 0.3);
    king->startSleepAnimation();  // already asleep: the fall is not restarted
    EXPECT_EQ(shownName(), "king-3_4@2x.png");
    advanceTo(start + 0.85);
    EXPECT_TRUE(events.empty());
    advanceTo(start + 0.9);
    settle();
    EXPECT_EQ(count("sleepAnimationDidStart"), 1u);
    advanceTo(start + 0.9 + 10.75);  // the sleeping loop snores without end
    EXPECT_EQ(shownName(), "king-4_3@2x.png");
    // Woken before the fall ends: no sleeping loop follows.
    king->startWaitingAnimation();
    king->startSleepAnimation();
    advance(0.5);
    king->startExploreEndAnimation();
    advance(3);
    EXPECT_EQ(count("sleepAnimationDidStart"), 1u);
    EXPECT_EQ(shownName(), "king-5_11@2x.png");
    const double t = now();
    king->startCheckEndAnimation();  // four frames, then waiting with the blink timer again
    advanceTo(t + 0.39);
    EXPECT_NE(king->currentState(), KingImageView::kStateWaiting);
    advanceTo(t + 0.4);
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
    EXPECT_TRUE(king->myTimer().isValid());
}

TEST_F(StageKingTest, GoldChangesDuringAHopGiveOneSequenceOfFourHops) {
    const Point c = king->center();
    const double top = c.y - 8;  // a tenth of the 80-point height
    GoldManager::getInstance()->addGold(10);
    settle();
    const double t0 = now();
    int tops = 0;
    for (int k = 1; k <= 10; ++k) {
        if (k == 2 || k == 5) GoldManager::getInstance()->addGold(5);  // more gold while hopping
        advanceTo(t0 + k * KingImageView::kHopStepDuration);
        const double y = king->presentationCenter().y;
        if (std::abs(y - top) < 0.01) ++tops;
        else EXPECT_NEAR(y, c.y, 0.01) << "step " << k;
    }
    EXPECT_EQ(tops, 4);
    EXPECT_FALSE(king->animating());
}

TEST_F(StageKingTest, NothingRunsIntoADestroyedKingOrAGoneGoldManager) {
    recordEvents({"sleepAnimationDidStart"});
    king->startSleepAnimation();
    GoldManager::getInstance()->addGold(3);  // hopping and falling asleep when it goes
    settle();
    king.reset();
    advance(5);
    EXPECT_TRUE(events.empty());
    // The gold manager torn down before the king: the king lets go of nothing it no longer has.
    king = View::make<KingImageView>(Rect(0, 0, 80, 80));
    king->startWaitingAnimation();
    GoldManager::resetInstanceForTesting();
    GoldManager::getInstance()->addGold(3);
    advance(10);
    king.reset();
    GoldManager::getInstance()->addGold(3);
}

// ---- Person poses

TEST_F(StagePoseTest, DelayedStartsWaitAndAreCancelledByTheNextPose) {
    PoseManager::getInstance()->changePose(1, *person, true, 0.5);
    advanceTo(start + 0.49);
    EXPECT_FALSE(person->isAnimating());
    advanceTo(start + 0.5);
    EXPECT_TRUE(person->isAnimating());
    PoseManager::getInstance()->changePose(0, *person, true, 0.3);
    PoseManager::getInstance()->changePose(3, *person, false, 0);
    person->stopAnimating();
    advance(1.0);
    EXPECT_FALSE(person->isAnimating());  // the pose at once cancelled the delayed start
    PoseManager::getInstance()->changePose(1, *person, true, 0.2);  // a picture freed before its start is forgotten
    person.reset();
    advance(1.0);
}

using Bytes = std::vector<uint8_t>;

Bytes pixel(const Image& image, int x) { return {image.pixels().begin() + 4 * x, image.pixels().begin() + 4 * x + 4}; }

TEST(StageByteImageTest, ContextsBlendPremultipliedAndSilhouettesKeepBlackAndAlpha) {
    auto context = ATByteImage::initWithSize(Size(4.7, 1.2))->newContext();  // keeps its byte image
    // Nearest-neighbour: a 2 x 1 picture over 4 pixels, half-transparent white and opaque red.
    context->drawImage(*Image::fromRGBA(2, 1, {255, 255, 255, 128, 255, 0, 0, 255}), Rect(0, 0, 4, 1));
    context->fillRect(Rect(3, 0, 1, 1), Color(0, 0, 1, 0.5f));  // half blue over red
    const uint8_t* b = context->byteImage().bytes();
    EXPECT_EQ(Bytes(b, b + 16), (Bytes{128, 128, 128, 128, 128, 128, 128, 128, 255, 0, 0, 255, 127, 0, 128, 255}));
    EXPECT_EQ(pixel(*context->byteImage().extractImage(), 0), (Bytes{255, 255, 255, 128}));
    // Silhouettes: pixels 0 half-transparent red, 1 invisible, 2 black, 3 opaque green.
    auto source = Image::fromRGBA(4, 1, {255, 0, 0, 128, 200, 100, 50, 0, 0, 0, 0, 255, 10, 200, 30, 255}, 2.0);
    auto black = ImageByteOperations::imageFilledBlack(*source);
    EXPECT_EQ(pixel(*black, 0), (Bytes{0, 0, 0, 128}));
    EXPECT_EQ(black->size(), Size(2, 0.5));
    auto tinted = ImageByteOperations::imageFilledWithColor(*source, Color(0.2f, 0.4f, 0.6f));
    EXPECT_EQ(pixel(*tinted, 1)[3], 0);
    EXPECT_EQ(pixel(*tinted, 2), (Bytes{0, 0, 0, 255}));  // pure black is left alone
    EXPECT_EQ(pixel(*tinted, 3), (Bytes{51, 102, 153, 255}));
}

}  // namespace
}  // namespace stagetests
