// The title on the headless window and the manual clock (the scenario scripts collect its persons
// one by one): the swipe hint's pictures read only when it first plays, one swipe, the fade.
#include "app/AppTestSupport.h"
#include "overlays/TitleViewController.h"
#include "platform/ui/ImageView.h"

namespace {

struct Owner : OverlayViewControllerDelegate {
    std::vector<std::string> calls;
    std::shared_ptr<TitleViewController> title;
    void overlayWillClose(OverlayViewController&) override { calls.push_back("will"); }
    void overlayDidClose(OverlayViewController&) override { calls.push_back("did"); title.reset(); }
};

}  // namespace

TEST_F(AppTest, TitleHintPicturesReadWhenItFirstPlaysThenOneSwipeCollectsAllFiveAndTheTitleGoesAfterTheFade) {
    Owner owner;
    owner.title = std::make_shared<TitleViewController>();
    owner.title->setDelegate(&owner);
    owner.title->addViewTo(*window);
    const std::shared_ptr<ImageView> hint = owner.title->flickImgView();
    EXPECT_TRUE(hint->animationImages().empty() && hint->isHidden());
    advance(2.0);
    ASSERT_EQ(hint->animationImages().size(), 24u);
    EXPECT_FALSE(hint->animationImages().back()->isEmpty());
    EXPECT_DOUBLE_EQ(hint->animationDuration(), 2.0);
    EXPECT_TRUE(hint->isAnimating() && !hint->isHidden());
    const auto first = hint->animationImages().front();
    window->touchDown(Point(10, 100));
    EXPECT_FALSE(hint->isAnimating()) << "stopped while the finger is down";
    window->touchUp(Point(10, 100));
    EXPECT_TRUE(hint->isAnimating() && hint->animationImages().front() == first) << "a miss restarts the same hint";

    std::weak_ptr<TitleViewController> watch = owner.title;
    window->touchDown(Point(40, 323));
    for (int x = 50; x <= 290; x += 10) window->touchMove(Point(x, 323));
    window->touchUp(Point(290, 323));
    EXPECT_FALSE(hint->isAnimating()) << "no hint after a success";
    EXPECT_TRUE(owner.calls.empty()) << "not closed before the collections finish";
    for (int i = 0; i < 40 && owner.calls.empty(); ++i) advance(0.25);
    ASSERT_EQ(owner.calls, (std::vector<std::string>{"will"}));
    advance(0.5);
    EXPECT_EQ(owner.calls.size(), 1u) << "still fading";
    advance(1.0);
    EXPECT_EQ(owner.calls, (std::vector<std::string>{"will", "did"}));
    RunLoop::main().drain();
    EXPECT_TRUE(watch.expired());
}
