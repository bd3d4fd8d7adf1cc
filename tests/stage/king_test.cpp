// The king's states and gold hops, and the person poses, with the build's pictures and
// with a package that lacks some of them.
#include "stage_test_support.h"
#include "stage/KingImageView.h"

namespace stagetests {
namespace {

class StageKingTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        king = View::make<KingImageView>(Rect(0, 0, 80, 80));
        person = View::make<ImageView>(Rect(0, 0, 43, 60));
        start = now();
    }
    void TearDown() override {
        king.reset();
        person.reset();
        StageTest::TearDown();
    }
    std::string shownName() const { return king->displayedImage() ? king->displayedImage()->name() : ""; }
    std::shared_ptr<KingImageView> king;
    std::shared_ptr<ImageView> person;
    double start = 0;
};

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
    GoldManager::getInstance()->addGold(1);  // once settled, the next change hops again
    settle();
    EXPECT_TRUE(king->animating());
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

using StagePoseTest = StageKingTest;

TEST_F(StagePoseTest, DelayedStartsWaitAndAreCancelledByTheNextPose) {
    PoseManager::getInstance()->changePose(1, *person, true, 0.5);
    advanceTo(start + 0.49);
    EXPECT_FALSE(person->isAnimating());
    advanceTo(start + 0.5);
    EXPECT_TRUE(person->isAnimating());
    // A delayed start, then a pose at once that is stopped: the old start must not revive it.
    PoseManager::getInstance()->changePose(0, *person, true, 0.3);
    PoseManager::getInstance()->changePose(3, *person, false, 0);
    person->stopAnimating();
    advance(1.0);
    EXPECT_FALSE(person->isAnimating());
    PoseManager::getInstance()->changePose(1, *person, true, 0.2);  // a picture freed before its start is forgotten
    person.reset();
    advance(1.0);
}

TEST_F(StagePoseTest, AnIncompletePackageKeepsThePosesInTheirPlaces) {
    // Only the idle pair and three throw frames.
    const auto dir = bundle().parent_path() / "partial";
    fs::create_directories(dir / "images");
    for (const char* name : {"person_1_1_1.png", "person_1_1_2.png", "person_1_5_2.png", "person_1_5_7.png", "person_1_5_20.png"})
        fs::copy_file(fs::path(RE_TEST_RESOURCE_DIR) / "images" / name, dir / "images" / name, fs::copy_options::overwrite_existing);
    useResources(dir.string());
    auto* poses = PoseManager::getInstance();
    EXPECT_TRUE(poses->framesOfPose(1).empty());
    ASSERT_EQ(poses->framesOfPose(4).size(), 3u);
    EXPECT_EQ(poses->framesOfPose(4)[1]->name(), "person_1_5_7.png");
    poses->changePose(4, *person, false, 0);
    EXPECT_DOUBLE_EQ(person->animationDuration(), 3.0 / 24.0);
    poses->changePose(1, *person, true, 0);  // a missing pose leaves the person as it is
    EXPECT_DOUBLE_EQ(person->animationDuration(), 3.0 / 24.0);
}

}  // namespace
}  // namespace stagetests
