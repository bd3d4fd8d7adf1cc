// Person poses and effect frames, with the pictures the build draws and with a package that
// lacks some of them.
#include <set>

#include "stage_test_support.h"
#include "platform/ui/ImageView.h"
#include "stage/EffectManager.h"
#include "stage/PoseManager.h"

namespace {

using stagetests::StageTest;
namespace fs = stagetests::fs;

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
        const auto dir = stagetests::folders().root / folder;
        fs::remove_all(dir);
        fs::create_directories(dir / "images");
        for (const char* name : names) fs::copy_file(fs::path(RE_TEST_RESOURCE_DIR) / "images" / name, dir / "images" / name);
        stagetests::useResources(dir.string());
    }
    std::shared_ptr<ImageView> person;
    double start = 0;
};

TEST_F(StagePoseTest, OneSetOfFivePosesAndTheEffectFrames) {
    auto* poses = PoseManager::getInstance();
    ASSERT_EQ(poses->personImages().size(), 1u);
    const auto& set = poses->personImages()[0];
    ASSERT_EQ(set.size(), 5u);
    for (int pose = 0; pose < 4; ++pose) {
        ASSERT_EQ(set[pose].size(), 2u) << pose;
        EXPECT_EQ(set[pose][1]->name(), "person_1_" + std::to_string(pose + 1) + "_2.png");
        EXPECT_EQ(set[pose][0]->size(), Size(43, 60));
    }
    ASSERT_EQ(set[4].size(), 25u);
    EXPECT_EQ(set[4][24]->name(), "person_1_5_25.png");
    EXPECT_EQ(poses->waitingImage()->name(), "person_1_6_1.png");
    EXPECT_FALSE(poses->waitingImage()->isEmpty());

    auto* effects = EffectManager::getInstance();
    ASSERT_EQ(effects->kemuriEffects().size(), 6u);
    EXPECT_EQ(effects->kemuriEffects()[5]->name(), "k6.png");
    ASSERT_EQ(effects->kanokeEffects().size(), 15u);
    EXPECT_EQ(effects->kanokeEffects()[14]->name(), "ef15@2x.png");
    EXPECT_EQ(effects->kanokeEffects()[0]->size(), Size(60, 90));
}

TEST_F(StagePoseTest, PassDurationsDependOnTheDraw) {
    EXPECT_DOUBLE_EQ(PoseManager::poseDuration(2, 2, 5), 0.35);  // carrying: half, draw mod 3
    RandomSource::shared().seed(seedDrawing(3, 2));
    PoseManager::getInstance()->changePose(2, *person, true, 0);
    EXPECT_DOUBLE_EQ(person->animationDuration(), 0.35);
    EXPECT_EQ(person->animationRepeatCount(), 0);
    EXPECT_EQ(person->image()->name(), "person_1_3_2.png");
    RunLoop::main().advanceBy(60);
    EXPECT_TRUE(person->isAnimating());

    std::set<double> seen;
    for (int i = 0; i < 60; ++i) {
        PoseManager::getInstance()->changePose(0, *person, true, 0);
        seen.insert(std::round(person->animationDuration() * 10) / 10);
    }
    EXPECT_EQ(seen, (std::set<double>{0.5, 0.6, 0.7}));
}

TEST_F(StagePoseTest, ThrowPlaysOnceAtTwentyFourFramesASecond) {
    PoseManager::getInstance()->changePose(4, *person, false, 0);
    EXPECT_EQ(person->animationRepeatCount(), 1);
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

    // Unknown poses leave the picture alone.
    person->setImage(PoseManager::getInstance()->waitingImage());
    for (int pose : {-1, 5, 9}) PoseManager::getInstance()->changePose(pose, *person, true, 0);
    EXPECT_FALSE(person->isAnimating());
    EXPECT_EQ(person->image()->name(), "person_1_6_1.png");

    // A picture destroyed before its start is simply forgotten.
    PoseManager::getInstance()->changePose(1, *person, true, 0.2);
    person.reset();
    RunLoop::main().advanceBy(1.0);
}

TEST_F(StagePoseTest, AnIncompletePackageKeepsThePosesInTheirPlaces) {
    // Only the idle pair, half of the walking pair, three throw frames and two smoke puffs.
    usePartialPackage("partial", {"person_1_1_1.png", "person_1_1_2.png", "person_1_2_1.png", "person_1_5_2.png",
                                  "person_1_5_7.png", "person_1_5_20.png", "k1.png", "k4.png", "ef3@2x.png"});
    auto* poses = PoseManager::getInstance();
    ASSERT_EQ(poses->personImages().size(), 1u);
    EXPECT_EQ(poses->framesOfPose(0).size(), 2u);
    EXPECT_TRUE(poses->framesOfPose(1).empty());
    ASSERT_EQ(poses->framesOfPose(4).size(), 3u);
    EXPECT_EQ(poses->framesOfPose(4)[1]->name(), "person_1_5_7.png");
    EXPECT_TRUE(poses->waitingImage()->isEmpty());

    person->setImage(poses->framesOfPose(0)[0]);
    poses->changePose(1, *person, true, 0);
    EXPECT_FALSE(person->isAnimating());
    EXPECT_EQ(person->image()->name(), "person_1_1_1.png");
    poses->changePose(4, *person, false, 0);
    EXPECT_DOUBLE_EQ(person->animationDuration(), 3.0 / 24.0);
    EXPECT_EQ(EffectManager::getInstance()->kemuriEffects().size(), 2u);
    EXPECT_EQ(EffectManager::getInstance()->kanokeEffects().size(), 1u);

    // Without any person picture there is no set at all.
    PoseManager::resetInstanceForTesting();
    EffectManager::resetInstanceForTesting();
    usePartialPackage("empty", {});
    person->stopAnimating();
    EXPECT_TRUE(PoseManager::getInstance()->personImages().empty());
    PoseManager::getInstance()->changePose(0, *person, true, 0);
    EXPECT_FALSE(person->isAnimating());
    EXPECT_TRUE(EffectManager::getInstance()->kanokeEffects().empty());
}

}  // namespace
