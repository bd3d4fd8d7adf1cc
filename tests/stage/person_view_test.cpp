// The visible side of a person: the carried yield and its bobbing, coffins and their effects, and
// the collect animation, seen through the view state at chosen instants.
#include <cmath>
#include <numbers>

#include "stage_test_support.h"
#include "stage/NMAnimationCommon.h"

namespace stagetests {
namespace {

constexpr double kPi = std::numbers::pi;
bool near(Point a, Point b, double eps = 1e-9) { return std::fabs(a.x - b.x) < eps && std::fabs(a.y - b.y) < eps; }

class PersonViewTest : public PersonTest {
protected:
    void SetUp() override {
        PersonTest::SetUp();
        stage = View::make<View>(Rect(0, 0, 320, 480));
        person = makePerson(1, Point(100, 100));  // frame (78.5, 70, 43, 60)
        stage->addSubview(person);
        person->setDelegate(&owner);
    }
    size_t yieldCount() {
        size_t n = 0;
        for (const auto& v : person->subviews()) n += v->tag() >= PersonView::kYieldTag;
        return n;
    }
    std::shared_ptr<View> stage;
    std::shared_ptr<PersonView> person;
    RecordingDelegate owner;
};

TEST_F(PersonViewTest, AMonsterIsCarriedUpsideDownOverTheHeadAndBobsByThreePoints) {
    person->showMonsterWithId(1, 1);  // m1.png is 160 x 160: a 40 x 40 yield
    auto yield = person->yieldImgView();
    EXPECT_EQ(person->subviews()[1], yield);  // directly below the effect view
    EXPECT_TRUE(near(yield->center(), Point(21.5, 18.0)));
    EXPECT_NEAR(std::fabs(yield->transform().rotation()), kPi, 1e-9);
    person->showMonsterWithId(2, 1);  // a new yield replaces the old picture
    EXPECT_EQ(yieldCount(), 1u);
    EXPECT_EQ(yield->superview(), nullptr);
    // Not walking home the yield timer runs, every 0.2 or 0.25 s by the draw's low bit.
    auto frame1 = Image::named("person_1_4_1.png");
    for (uint32_t bit = 0; bit < 2; ++bit) {
        uint64_t seed = 1;
        while (RandomSource(seed).next() % 2 != bit) ++seed;
        RandomSource::shared().seed(seed);
        person->showMonsterWithId(3, 1);
        const double interval = bit ? 0.25 : 0.2;
        person->personImgView()->setImage(nullptr);
        advance(interval - 0.001);
        EXPECT_EQ(person->personImgView()->image(), nullptr) << "interval " << interval;
        advance(0.002);
        double lastY = person->yieldImgView()->center().y;
        for (int tick = 0; tick < 4; ++tick) {
            advance(interval);
            const double y = person->yieldImgView()->center().y;
            EXPECT_NEAR(std::fabs(y - lastY), 3.0, 1e-9);
            EXPECT_NEAR(y, person->personImgView()->image() == frame1 ? 18.0 : 21.0, 1e-9);
            lastY = y;
        }
        auto lastImage = person->personImgView()->image();
        person->removeYields();  // stops the timer
        advance(1.0);
        EXPECT_EQ(person->personImgView()->image(), lastImage);
    }
}

TEST_F(PersonViewTest, WalkingHomeCarriesTheYieldAndPosesFollowTheState) {
    person->setIsMovingForBack(true);
    person->showMonsterWithId(3, 1);
    EXPECT_FALSE(person->myTimer().isValid());
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(2));
    person->setIsMovingForBack(false);
    person->waitingWithYield();  // at the end of the walk the owner starts the timer
    EXPECT_TRUE(person->myTimer().isValid());
    person->showWaitingCheck();
    EXPECT_EQ(person->personImgView()->image(), PoseManager::getInstance()->waitingImage());
    // Idle after the delay; the yield goes, its type stays.
    person->showResultNoneWithDelay(0.2);
    EXPECT_EQ(yieldCount(), 0u);
    EXPECT_EQ(person->currentYieldType(), 3u);
    EXPECT_FALSE(person->personImgView()->isAnimating());
    advance(0.2);
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(0));
    person->showExploring();
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(1));
    // A person that goes away stops its timer with it.
    person->waitingWithYield();
    person->removeFromSuperview();
    person.reset();
    advance(1.0);
}

TEST_F(PersonViewTest, ACoffinComesHomeWithASmokePuffAndIsCollectedAtOnce) {
    person->showMonsterWithId(3, 1);
    person->showKanokePre();
    EXPECT_EQ(person->currentYieldType(), 2u);
    person->setTransform(Transform::makeRotation(2.0));  // spun on the way back
    const auto& smoke = EffectManager::getInstance()->kemuriEffects();
    person->showKanokeWithEffect(true);
    EXPECT_TRUE(person->transform().isIdentity());
    EXPECT_EQ(person->personImgView()->image(), Image::named("k.png"));
    auto effect = person->effectImgView();
    EXPECT_EQ(effect->animationImages(), smoke);
    advance(0.15);
    EXPECT_EQ(effect->displayedImage(), smoke[3]);
    advance(0.16);
    EXPECT_FALSE(effect->isAnimating());
    // Collecting plays the coffin effect and ends without waiting for it, with nothing thrown.
    ASSERT_TRUE(person->checkResult());
    settle();
    EXPECT_EQ(effect->animationImages(), EffectManager::getInstance()->kanokeEffects());
    EXPECT_EQ(owner.finished, (std::vector<int>{1}));
    EXPECT_TRUE(owner.thrown.empty());
    // Without the effect only the picture changes.
    auto quiet = makePerson(2);
    quiet->showKanokePre();
    quiet->showKanokeWithEffect(false);
    EXPECT_TRUE(quiet->effectImgView()->isHidden());
    EXPECT_EQ(quiet->personImgView()->image(), Image::named("k.png"));
}

TEST_F(PersonViewTest, TheCollectAnimationDropsTheYieldThenThrowsItFromAboveTheHead) {
    // A tall picture: 20 x 80, centred at (21.5, -2), sticking 42 points out above the head.
    person->showImage(Image::fromRGBA(20, 80, std::vector<uint8_t>(20 * 80 * 4, 255)), Size(20, 80));
    auto yield = person->yieldImgView();
    EXPECT_TRUE(near(yield->center(), Point(21.5, -2.0)));
    person->updateCurrentRect();
    EXPECT_NEAR(person->currentRect().minY(), 70.0 - 42.0, 1e-9);
    ASSERT_TRUE(person->checkResult());
    settle();
    EXPECT_EQ(person->personImgView()->animationImages(), PoseManager::getInstance()->framesOfPose(4));
    // At the end of the drop: centre (21.5, 45 - 0.3 x 80) = (21.5, 21).
    advance(0.25);
    advance(0.249);
    EXPECT_NEAR(yield->presentationCenter().y, 21.0, 0.05);
    // Then it jumps to just above the head, (21.5, -40), and is handed to the owner from there.
    advance(0.002);
    ASSERT_EQ(owner.thrown, (std::vector<int>{1}));
    EXPECT_TRUE(near(owner.throwCenters[0], Point(21.5, -40.0)));
    EXPECT_EQ(yield->superview(), nullptr);
    EXPECT_EQ(sounds->names(), (std::vector<std::string>{"check.mp3", "pochi_short.wav"}));
}

TEST_F(PersonViewTest, AThrowOfItsOwnFliesUpsideDownUpOverAndDown) {
    owner.offersThrow = false;
    person->showMonsterWithId(1, 1);  // 40 x 40
    auto yield = person->yieldImgView();
    ASSERT_TRUE(person->checkResult());
    advance(0.5);
    EXPECT_TRUE(near(yield->presentationCenter(), Point(21.5, -20.0)));
    // The rise: 0.3 s to scale 1.66 and (21.5 - 30, -100); the monster stays upside down.
    advance(0.15);
    advance(0.15);
    EXPECT_TRUE(near(yield->presentationCenter(), Point(-8.5, -100.0), 1e-6));
    EXPECT_NEAR(yield->presentationTransform().scaleX(), 1.66, 1e-6);
    const double fall = NMAnimationCommon::throwFallDuration(-100.0, 480.0);
    advance(0.1 + fall / 2);
    EXPECT_NEAR(std::fabs(yield->presentationTransform().rotation()), kPi, 1e-9);
    advance(fall / 2 - 0.01);
    EXPECT_GT(person->convertPointToView(yield->presentationCenter(), stage.get()).y, 480.0);  // below the bottom
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 0u);
    advance(0.02);
    EXPECT_EQ(GoldManager::getInstance()->currentGold(), 10u);  // gold on landing
    settle();
    EXPECT_EQ(yield->image(), nullptr);  // the landed picture is emptied and set straight
    EXPECT_TRUE(yield->transform().isIdentity());
}

}  // namespace
}  // namespace stagetests
