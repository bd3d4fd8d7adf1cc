// Views: geometry under transforms, ownership, and hit testing.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/ui/ImageView.h"

namespace {

using HierarchyTest = WindowTest;

TEST_F(HierarchyTest, FrameFollowsBoundsAndTransformAndPointsConvertThroughThem) {
    auto stage = std::make_shared<View>(Rect(0, 200, 320, 200));
    auto person = std::make_shared<View>(Rect(100, 50, 40, 60));  // centre (120, 80) in the stage
    window->addSubview(stage);
    stage->addSubview(person);
    person->setTransform(Transform::makeScale(2, 2));
    EXPECT_EQ(person->frame(), Rect(80, 20, 80, 120));
    // The centre stays; the corner moves out twice as far, and back.
    EXPECT_EQ(person->convertPointToView(Point(0, 0), stage.get()), Point(80, 20));
    EXPECT_EQ(person->convertPointFromView(Point(80, 220), nullptr), Point(0, 0));
    stage->setBounds(Rect(0, 100, 320, 200));  // scrolled by 100
    EXPECT_EQ(stage->convertPointToView(Point(0, 100), nullptr), Point(0, 200));
    person->setFrame(Rect(0, 0, 10, 10));  // keeps the scale and sizes the bounds to match
    EXPECT_EQ(person->bounds().size, Size(5, 5));
}

// Widgets build their sub-views in their constructors, before any shared pointer owns them.
struct PanelWithChild : View {
    PanelWithChild() { addSubview(inner); }
    std::shared_ptr<View> inner = std::make_shared<View>();
};

TEST_F(HierarchyTest, ChildrenAddedInAConstructorKnowTheirParentWeakly) {
    auto panel = std::make_shared<PanelWithChild>();
    auto inner = panel->inner;
    EXPECT_EQ(inner->superviewPtr(), panel);
    panel.reset();
    EXPECT_EQ(inner->superview(), nullptr);
}

TEST_F(HierarchyTest, HitTestSkipsHiddenTransparentAndDisabledViewsAndFollowsTransforms) {
    auto back = std::make_shared<View>(Rect(0, 0, 100, 100));
    auto front = std::make_shared<ImageView>(Rect(50, 50, 100, 100));
    window->addSubview(back);
    window->addSubview(front);
    EXPECT_EQ(window->hitTest(Point(75, 75)), back) << "pictures let touches pass unless enabled";
    front->setUserInteractionEnabled(true);
    EXPECT_EQ(window->hitTest(Point(75, 75)), front);
    front->setAlpha(0.005);
    EXPECT_EQ(window->hitTest(Point(75, 75)), back);
    front->setAlpha(1);
    // Scaled to half around its centre (100, 100) it covers 75..125; rotated, its corner is empty.
    front->setTransform(Transform::makeScale(0.5, 0.5));
    EXPECT_EQ(window->hitTest(Point(60, 60)), back);
    EXPECT_EQ(window->hitTest(Point(80, 80)), front);
    front->setTransform(Transform::makeRotation(std::numbers::pi / 4));
    EXPECT_EQ(window->hitTest(Point(145, 145)), window);
    back->addSubview(std::make_shared<View>(Rect(90, 0, 30, 30)));
    EXPECT_EQ(window->hitTest(Point(110, 10)), window) << "outside its parent's bounds";
}

}  // namespace
