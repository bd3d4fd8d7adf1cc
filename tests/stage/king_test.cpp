// The king's states, blinks and gold hops, and the person poses and effect frames, with the
// pictures the build draws and with a package that lacks some of them.
#include <set>

#include "stage_test_support.h"
#include "stage/KingImageView.h"

namespace stagetests {
namespace {

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
    std::string shownName() const { return king->displayedImage() ? king->displayedImage()->name() : ""; }
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
    std::shared_ptr<KingImageView> king;
    double start = 0;
};

TEST_F(StageKingTest, GoingExploreWavesOnceAndKeepsTheState) {
    EXPECT_EQ(KingImageView::imagesWithAnimationId(2, 14).size(), 9u);  // missing pictures are skipped
    king->startWaitingAnimation();
    ASSERT_TRUE(king->myTimer().isValid());
    king->startGoingExploreAnimation();
    EXPECT_EQ(frameNames(), sequence(2, 1, 9));
    advanceTo(start, 0.45);
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
    EXPECT_EQ(frameNames(), sequence(3, 1, 9));
    advanceTo(start, 0.3);
    king->startSleepAnimation();  // already asleep: the fall is not restarted
    EXPECT_EQ(shownName(), "king-3_4@2x.png");
    advanceTo(start, 0.85);
    EXPECT_EQ(count("sleepAnimationDidStart"), 0u);
    advanceTo(start, 0.9);
    settle();
    EXPECT_EQ(count("sleepAnimationDidStart"), 1u);
    // The sleeping loop snores without end.
    advanceTo(start, 0.9 + 10.75);
    EXPECT_EQ(shownName(), "king-4_3@2x.png");
    king->startSleepAnimation();
    RunLoop::main().advanceBy(5);
    EXPECT_EQ(count("sleepAnimationDidStart"), 1u);
    // Waking plays once.
    const double woke = now();
    king->startExploreEndAnimation();
    advanceTo(woke, 1.1);
    EXPECT_FALSE(king->isAnimating());
    EXPECT_EQ(shownName(), "king-5_11@2x.png");
}

TEST_F(StageKingTest, WakingBeforeTheFallEndsCancelsTheSleepingLoopAndCheckEndWaitsAgain) {
    recordEvents({"sleepAnimationDidStart"});
    king->startSleepAnimation();
    advanceTo(start, 0.5);
    king->startExploreEndAnimation();
    RunLoop::main().advanceBy(3);
    EXPECT_TRUE(events.empty());
    EXPECT_EQ(shownName(), "king-5_11@2x.png");
    king->timerHandler();  // a timer firing outside the waiting state only stops itself
    EXPECT_FALSE(king->myTimer().isValid());
    const double t = now();
    king->startCheckEndAnimation();
    EXPECT_EQ(frameNames(), (Names{"king-2_3@2x.png", "king-2_2@2x.png", "king-2_1@2x.png", "king-1_1@2x.png"}));
    advanceTo(t, 0.39);
    advanceTo(t, 0.4);
    EXPECT_EQ(king->currentState(), KingImageView::kStateWaiting);
    EXPECT_TRUE(king->myTimer().isValid());
    king->startCheckEndAnimation();  // while waiting: the waiting loop at once
    EXPECT_FALSE(king->isAnimating());
}

TEST_F(StageKingTest, BlinksEveryThreeToFiveSecondsWhileWaiting) {
    king->startWaitingAnimation();
    std::set<double> gaps;
    std::set<int> repeats;
    bool wasAnimating = false;
    double previous = 0;
    int blinks = 0;
    for (int i = 1; i <= 4 * 120; ++i) {
        RunLoop::main().advanceBy(0.25);  // exact in binary: whole-second deadlines are hit exactly
        const bool animating = king->isAnimating();
        if (animating && !wasAnimating) {
            ++blinks;
            gaps.insert(now() - start - previous);
            previous = now() - start;
            repeats.insert(king->animationRepeatCount());
        }
        wasAnimating = animating;
    }
    ASSERT_GE(blinks, 24);
    EXPECT_EQ(gaps, (std::set<double>{3.0, 4.0, 5.0}));
    EXPECT_EQ(repeats, (std::set<int>{1, 2}));
}

TEST_F(StageKingTest, GoldChangesDuringAHopGiveOneSequenceOfFourHops) {
    const Point c = king->center();
    const double top = c.y - 8;  // a tenth of the 80-point height
    GoldManager::getInstance()->addGold(10);
    settle();
    ASSERT_TRUE(king->animating());
    const double t0 = now();
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
    EXPECT_FALSE(king->animating());
    GoldManager::getInstance()->addGold(1);  // once settled, the next change hops again
    settle();
    EXPECT_TRUE(king->animating());
}

TEST_F(StageKingTest, NothingRunsIntoADestroyedKingOrAGoneGoldManager) {
    recordEvents({"sleepAnimationDidStart"});
    king->startSleepAnimation();
    GoldManager::getInstance()->addGold(3);
    settle();
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
    // A king without a gold source still animates but never hops.
    auto sheetKing = View::make<KingImageView>(Rect(0, 0, 80, 80), nullptr);
    GoldManager::getInstance()->addGold(10);
    settle();
    EXPECT_FALSE(sheetKing->animating());
}

// ---- Person poses and effect frames

class StagePoseTest : public StageTest {
protected:
    void SetUp() override {
        StageTest::SetUp();
        person = View::make<ImageView>(Rect(0, 0, 43, 60));
        start = now();
    }
    void TearDown() override {
        person.reset();
        StageTest::TearDown();
    }
    // A package holding only these pictures of the build's.
    static void usePartialPackage(const char* folder, std::initializer_list<const char*> names) {
        const auto dir = folders().root / folder;
        fs::remove_all(dir);
        fs::create_directories(dir / "images");
        for (const char* name : names) fs::copy_file(fs::path(RE_TEST_RESOURCE_DIR) / "images" / name, dir / "images" / name);
        useResources(dir.string());
    }
    std::shared_ptr<ImageView> person;
    double start = 0;
};

TEST_F(StagePoseTest, FivePosesTheirPassesAndTheThrowAtTwentyFourFramesASecond) {
    auto* poses = PoseManager::getInstance();
    for (int pose = 0; pose < 4; ++pose) EXPECT_EQ(poses->framesOfPose(pose).size(), 2u) << pose;
    EXPECT_EQ(poses->framesOfPose(4).size(), 25u);
    RandomSource::shared().seed(seedDrawing(3, 2));  // carrying: half the pass of the draw
    poses->changePose(2, *person, true, 0);
    EXPECT_DOUBLE_EQ(person->animationDuration(), 0.35);
    std::set<double> seen;
    for (int i = 0; i < 60; ++i) {
        poses->changePose(0, *person, true, 0);
        seen.insert(std::round(person->animationDuration() * 10) / 10);
    }
    EXPECT_EQ(seen, (std::set<double>{0.5, 0.6, 0.7}));
    start = now();
    poses->changePose(4, *person, false, 0);
    advanceTo(start, 12.5 / 24.0);
    EXPECT_EQ(person->displayedImage()->name(), "person_1_5_13.png");
    advanceTo(start, 25.0 / 24.0);
    EXPECT_FALSE(person->isAnimating());
    EXPECT_EQ(person->displayedImage()->name(), "person_1_5_25.png");
}

TEST_F(StagePoseTest, DelayedStartsWaitAndAreCancelledByTheNextPose) {
    PoseManager::getInstance()->changePose(1, *person, true, 0.5);
    EXPECT_EQ(person->image()->name(), "person_1_2_2.png");
    advanceTo(start, 0.49);
    EXPECT_FALSE(person->isAnimating());
    advanceTo(start, 0.5);
    EXPECT_TRUE(person->isAnimating());
    // A delayed start, then a pose at once that is stopped: the old start must not revive it.
    person->stopAnimating();
    PoseManager::getInstance()->changePose(0, *person, true, 0.3);
    PoseManager::getInstance()->changePose(3, *person, false, 0);
    person->stopAnimating();
    RunLoop::main().advanceBy(1.0);
    EXPECT_FALSE(person->isAnimating());
    // Unknown poses leave the picture alone; a picture destroyed before its start is forgotten.
    person->setImage(PoseManager::getInstance()->waitingImage());
    for (int pose : {-1, 5, 9}) PoseManager::getInstance()->changePose(pose, *person, true, 0);
    EXPECT_FALSE(person->isAnimating());
    EXPECT_EQ(person->image()->name(), "person_1_6_1.png");
    PoseManager::getInstance()->changePose(1, *person, true, 0.2);
    person.reset();
    RunLoop::main().advanceBy(1.0);
}

TEST_F(StagePoseTest, AnIncompletePackageKeepsThePosesInTheirPlaces) {
    // Only the idle pair and three throw frames.
    usePartialPackage("partial", {"person_1_1_1.png", "person_1_1_2.png", "person_1_5_2.png", "person_1_5_7.png", "person_1_5_20.png"});
    auto* poses = PoseManager::getInstance();
    ASSERT_EQ(poses->framesOfPose(4).size(), 3u);
    EXPECT_EQ(poses->framesOfPose(4)[1]->name(), "person_1_5_7.png");
    poses->changePose(4, *person, false, 0);
    EXPECT_DOUBLE_EQ(person->animationDuration(), 3.0 / 24.0);
    // Without any person picture there is no set at all.
    resetSingletons();
    usePartialPackage("empty", {});
    EXPECT_TRUE(PoseManager::getInstance()->personImages().empty());
    PoseManager::getInstance()->changePose(0, *person, true, 0);  // and no pose to fall over
}

}  // namespace
}  // namespace stagetests
