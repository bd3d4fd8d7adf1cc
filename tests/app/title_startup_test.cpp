// The title gets its first frame out before reading the swipe hint's pictures: they are read
// when the hint first plays, after the logo, and the hint then runs at its 12 pictures a second.
#include "app/AppTestSupport.h"
#include "overlays/TitleViewController.h"
#include "platform/ui/ImageView.h"

TEST_F(AppTest, TitleReadsTheHintPicturesOnlyWhenTheHintFirstPlays) {
    auto title = std::make_shared<TitleViewController>();
    title->addViewTo(*window);
    const std::shared_ptr<ImageView> hint = title->flickImgView();
    ASSERT_NE(hint, nullptr);
    EXPECT_TRUE(hint->animationImages().empty());
    EXPECT_TRUE(hint->isHidden());
    EXPECT_FALSE(hint->isAnimating());

    advance(2.0);
    ASSERT_EQ(hint->animationImages().size(), 24u);
    EXPECT_EQ(hint->animationImages().front(), Image::named("f1@2x.png"));
    EXPECT_FALSE(hint->animationImages().back()->isEmpty());
    EXPECT_DOUBLE_EQ(hint->animationDuration(), 2.0);
    EXPECT_FALSE(hint->isHidden());
    EXPECT_TRUE(hint->isAnimating());

    // A touch that misses restarts the same hint; nothing is read twice.
    const auto first = hint->animationImages().front();
    window->touchDown(Point(10, 100));
    window->touchUp(Point(10, 100));
    EXPECT_EQ(hint->animationImages().size(), 24u);
    EXPECT_EQ(hint->animationImages().front(), first);
    EXPECT_TRUE(hint->isAnimating());
    title->removeViewFromSuperview();
}
