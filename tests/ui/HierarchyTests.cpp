// Views: geometry, sub-view order, lookup, coordinate conversion and hit testing.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/ui/ImageView.h"

namespace {

using HierarchyTest = UiTest;

std::vector<int> tags(const View& v) {
    std::vector<int> out;
    for (auto& s : v.subviews()) out.push_back(s->tag());
    return out;
}

std::shared_ptr<View> tagged(int tag, Rect frame = Rect(0, 0, 10, 10)) {
    auto v = std::make_shared<View>(frame);
    v->setTag(tag);
    return v;
}

TEST_F(HierarchyTest, FrameFollowsCentreBoundsAndTransform) {
    View v(Rect(10, 20, 40, 60));
    EXPECT_EQ(v.center(), Point(30, 50));
    EXPECT_EQ(v.bounds(), Rect(0, 0, 40, 60));
    v.setTransform(Transform::makeScale(0.5, 0.5));
    EXPECT_EQ(v.frame(), Rect(20, 35, 20, 30));
    // Setting the frame under a scale keeps the scale and sizes the bounds to match.
    v.setFrame(Rect(0, 0, 10, 10));
    EXPECT_EQ(v.bounds().size, Size(20, 20));
    EXPECT_EQ(v.center(), Point(5, 5));
    v.setTransform(Transform::makeRotation(std::numbers::pi / 2));
    const Rect f = v.frame();
    EXPECT_NEAR(f.width(), 20, 1e-9);
    EXPECT_NEAR(f.midX(), 5, 1e-9);
}

TEST_F(HierarchyTest, SubviewOrderOperations) {
    auto root = std::make_shared<View>();
    auto a = tagged(1), b = tagged(2), c = tagged(3), d = tagged(4);
    root->addSubview(a);
    root->addSubview(b);
    root->addSubview(c);
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2, 3}));
    root->insertSubviewBelow(d, b.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 4, 2, 3}));
    root->insertSubviewAbove(d, c.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2, 3, 4}));
    root->bringSubviewToFront(a.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{2, 3, 4, 1}));
    root->sendSubviewToBack(d.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 2, 3, 1}));
    root->insertSubviewAtIndex(a, 1);
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1, 2, 3}));
    // Adding to another superview moves the view.
    auto other = std::make_shared<View>();
    other->addSubview(b);
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1, 3}));
    EXPECT_EQ(b->superview(), other.get());
    c->removeFromSuperview();
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1}));
    EXPECT_EQ(c->superview(), nullptr);
}

TEST_F(HierarchyTest, SuperviewHoldsSubviewsAndSubviewsKnowItWeakly) {
    std::weak_ptr<View> child;
    auto root = std::make_shared<View>();
    {
        auto c = tagged(7);
        root->addSubview(c);
        child = c;
    }
    ASSERT_FALSE(child.expired());
    auto keep = child.lock();
    root.reset();
    EXPECT_EQ(keep->superview(), nullptr);
}

// Widgets build their sub-views in their constructors, before any shared pointer owns them:
// the children must still know their parent, and touches on them must reach it.
class PanelWithButton : public View {
public:
    explicit PanelWithButton(Rect frame) : View(frame) {
        inner = std::make_shared<View>(Rect(10, 10, 20, 20));
        addSubview(inner);
    }
    std::shared_ptr<View> inner;
    int touchesSeen = 0;
    void touchesBegan(const TouchSet&) override { ++touchesSeen; }
};

TEST_F(HierarchyTest, SubviewsAddedDuringConstructionKnowTheirParent) {
    auto panel = std::make_shared<PanelWithButton>(Rect(0, 0, 100, 100));
    EXPECT_EQ(panel->inner->superview(), panel.get());
    EXPECT_EQ(panel->inner->superviewPtr(), panel);
    panel->inner->touchesBegan(TouchSet{});
    EXPECT_EQ(panel->touchesSeen, 1);
    auto inner = panel->inner;
    panel.reset();
    EXPECT_EQ(inner->superview(), nullptr);
}

TEST_F(HierarchyTest, LookupByTagAndNameSearchesDepthFirst) {
    auto root = std::make_shared<View>();
    auto panel = tagged(10);
    panel->setName("panel");
    auto icon = std::make_shared<ImageView>(Rect(0, 0, 5, 5));
    icon->setName("icon");
    icon->setTag(1912);
    panel->addSubview(icon);
    root->addSubview(panel);
    EXPECT_EQ(root->viewWithTag(1912), icon);
    EXPECT_EQ(root->viewWithName("panel"), panel);
    EXPECT_EQ(root->viewWithName<ImageView>("icon"), icon);
    EXPECT_EQ(root->viewWithName<ImageView>("panel"), nullptr);
    EXPECT_EQ(root->viewWithTag(99), nullptr);
    EXPECT_TRUE(icon->isDescendantOfView(root.get()));
}

TEST_F(HierarchyTest, ConvertPointThroughTransformsAndBoundsOrigins) {
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    auto stage = std::make_shared<View>(Rect(0, 200, 320, 200));
    auto person = std::make_shared<View>(Rect(100, 50, 40, 60));  // centre (120, 80) in the stage
    window->addSubview(stage);
    stage->addSubview(person);
    EXPECT_EQ(person->convertPointToView(Point(0, 0), nullptr), Point(100, 250));
    EXPECT_EQ(stage->convertPointFromView(Point(120, 280), nullptr), Point(120, 80));
    EXPECT_EQ(person->convertPointToView(Point(20, 30), stage.get()), Point(120, 80));
    person->setTransform(Transform::makeScale(2, 2));
    // The centre stays; the corner moves out twice as far.
    EXPECT_EQ(person->convertPointToView(Point(0, 0), stage.get()), Point(80, 20));
    EXPECT_EQ(person->convertPointFromView(Point(80, 20), stage.get()), Point(0, 0));
    stage->setBounds(Rect(0, 100, 320, 200));  // scrolled by 100
    EXPECT_EQ(stage->convertPointToView(Point(0, 100), nullptr), Point(0, 200));
}

TEST_F(HierarchyTest, HitTestSkipsHiddenTransparentAndDisabledViewsAndFollowsTransforms) {
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    auto back = tagged(1, Rect(0, 0, 100, 100));
    auto front = tagged(2, Rect(50, 50, 100, 100));
    window->addSubview(back);
    window->addSubview(front);
    EXPECT_EQ(window->hitTest(Point(75, 75)), front);
    EXPECT_EQ(window->hitTest(Point(25, 25)), back);
    front->setHidden(true);
    EXPECT_EQ(window->hitTest(Point(75, 75)), back);
    front->setHidden(false);
    front->setAlpha(0.005);
    EXPECT_EQ(window->hitTest(Point(75, 75)), back);
    front->setAlpha(1);
    front->setUserInteractionEnabled(false);
    EXPECT_EQ(window->hitTest(Point(75, 75)), back);
    front->setUserInteractionEnabled(true);

    // A view scaled to half its size around its centre (100, 100) covers 75..125.
    front->setTransform(Transform::makeScale(0.5, 0.5));
    EXPECT_EQ(window->hitTest(Point(60, 60)), back);
    EXPECT_EQ(window->hitTest(Point(80, 80)), front);
    // Rotated by 45 degrees: the corner region is empty, the middle hit.
    front->setTransform(Transform::makeRotation(std::numbers::pi / 4));
    EXPECT_EQ(window->hitTest(Point(100, 100)), front);
    EXPECT_EQ(window->hitTest(Point(145, 145)), window);

    // Sub-views outside their parent's bounds are not hit, clipped or not.
    auto child = tagged(3, Rect(90, 0, 30, 30));
    back->addSubview(child);
    EXPECT_EQ(window->hitTest(Point(95, 10)), child);
    EXPECT_EQ(window->hitTest(Point(110, 10)), window);
}

TEST_F(HierarchyTest, ImageViewsAndLabelsLetTouchesPassUnlessEnabled) {
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    auto picture = std::make_shared<ImageView>(Rect(0, 0, 50, 50));
    window->addSubview(picture);
    EXPECT_EQ(window->hitTest(Point(10, 10)), window);
    picture->setUserInteractionEnabled(true);
    EXPECT_EQ(window->hitTest(Point(10, 10)), picture);
}

TEST_F(HierarchyTest, VisibleChangesMarkTheWindowDirty) {
    auto window = std::make_shared<Window>(Rect(0, 0, 320, 480));
    auto v = tagged(1);
    window->addSubview(v);
    window->clearDirty();
    v->setBackgroundColor(Color::redColor());
    EXPECT_TRUE(window->isDirty());
    window->clearDirty();
    v->setTag(5);  // not visible
    EXPECT_FALSE(window->isDirty());
    v->removeFromSuperview();
    EXPECT_TRUE(window->isDirty());
    window->clearDirty();
    v->setCenter(Point(1, 1));  // no longer in the window
    EXPECT_FALSE(window->isDirty());
}

}  // namespace
