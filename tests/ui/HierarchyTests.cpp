// Views: geometry, sub-view order and ownership, lookup, coordinate conversion, hit testing and
// the window's dirty flag.
#include <numbers>

#include "UiTestSupport.h"
#include "platform/ui/ImageView.h"

namespace {

using HierarchyTest = WindowTest;

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

// Widgets build their sub-views in their constructors, before any shared pointer owns them.
class PanelWithChild : public View {
public:
    explicit PanelWithChild(Rect frame) : View(frame) { addSubview(inner = tagged(9)); }
    std::shared_ptr<View> inner;
    int touchesSeen = 0;
    void touchesBegan(const TouchSet&) override { ++touchesSeen; }
};

TEST_F(HierarchyTest, FrameFollowsCentreBoundsAndTransformAndPointsConvertThroughThem) {
    View v(Rect(10, 20, 40, 60));
    EXPECT_EQ(v.center(), Point(30, 50));
    v.setTransform(Transform::makeScale(0.5, 0.5));
    EXPECT_EQ(v.frame(), Rect(20, 35, 20, 30));
    // Setting the frame under a scale keeps the scale and sizes the bounds to match.
    v.setFrame(Rect(0, 0, 10, 10));
    EXPECT_EQ(v.bounds().size, Size(20, 20));
    v.setTransform(Transform::makeRotation(std::numbers::pi / 2));
    EXPECT_NEAR(v.frame().midX(), 5, 1e-9);

    auto stage = std::make_shared<View>(Rect(0, 200, 320, 200));
    auto person = std::make_shared<View>(Rect(100, 50, 40, 60));  // centre (120, 80) in the stage
    window->addSubview(stage);
    stage->addSubview(person);
    EXPECT_EQ(person->convertPointToView(Point(0, 0), nullptr), Point(100, 250));
    EXPECT_EQ(stage->convertPointFromView(Point(120, 280), nullptr), Point(120, 80));
    person->setTransform(Transform::makeScale(2, 2));
    // The centre stays; the corner moves out twice as far.
    EXPECT_EQ(person->convertPointToView(Point(0, 0), stage.get()), Point(80, 20));
    EXPECT_EQ(person->convertPointFromView(Point(80, 20), stage.get()), Point(0, 0));
    stage->setBounds(Rect(0, 100, 320, 200));  // scrolled by 100
    EXPECT_EQ(stage->convertPointToView(Point(0, 100), nullptr), Point(0, 200));
}

TEST_F(HierarchyTest, SubviewOrderAndOwnership) {
    auto root = std::make_shared<View>();
    auto a = tagged(1), b = tagged(2), c = tagged(3), d = tagged(4);
    for (auto& v : {a, b, c}) root->addSubview(v);
    root->insertSubviewBelow(d, b.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 4, 2, 3}));
    root->insertSubviewAbove(d, c.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{1, 2, 3, 4}));
    root->bringSubviewToFront(a.get());
    root->sendSubviewToBack(d.get());
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 2, 3, 1}));
    root->insertSubviewAtIndex(a, 1);
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1, 2, 3}));
    auto other = std::make_shared<View>();
    other->addSubview(b);  // moves
    c->removeFromSuperview();
    EXPECT_EQ(tags(*root), (std::vector<int>{4, 1}));
    EXPECT_EQ(b->superview(), other.get());
    EXPECT_EQ(c->superview(), nullptr);
    // The superview holds its sub-views; they know it weakly.
    root.reset();
    EXPECT_EQ(a->superview(), nullptr);

    // Children added in a constructor know their parent and pass touches to it.
    auto panel = std::make_shared<PanelWithChild>(Rect(0, 0, 100, 100));
    EXPECT_EQ(panel->inner->superviewPtr(), panel);
    panel->inner->touchesBegan(TouchSet{});
    EXPECT_EQ(panel->touchesSeen, 1);
}

TEST_F(HierarchyTest, LookupByTagAndNameSearchesDepthFirst) {
    auto panel = tagged(10);
    panel->setName("panel");
    auto icon = std::make_shared<ImageView>(Rect(0, 0, 5, 5));
    icon->setName("icon");
    icon->setTag(1912);
    panel->addSubview(icon);
    window->addSubview(panel);
    EXPECT_EQ(window->viewWithTag(1912), icon);
    EXPECT_EQ(window->viewWithName<ImageView>("icon"), icon);
    EXPECT_EQ(window->viewWithName<ImageView>("panel"), nullptr);
    EXPECT_EQ(window->viewWithTag(99), nullptr);
    EXPECT_TRUE(icon->isDescendantOfView(window.get()));
}

TEST_F(HierarchyTest, HitTestSkipsHiddenTransparentAndDisabledViewsAndFollowsTransforms) {
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
    // Scaled to half around its centre (100, 100) it covers 75..125; rotated, its corner is empty.
    front->setTransform(Transform::makeScale(0.5, 0.5));
    EXPECT_EQ(window->hitTest(Point(60, 60)), back);
    EXPECT_EQ(window->hitTest(Point(80, 80)), front);
    front->setTransform(Transform::makeRotation(std::numbers::pi / 4));
    EXPECT_EQ(window->hitTest(Point(145, 145)), window);
    // Sub-views outside their parent's bounds are not hit, clipped or not.
    auto child = tagged(3, Rect(90, 0, 30, 30));
    back->addSubview(child);
    EXPECT_EQ(window->hitTest(Point(95, 10)), child);
    EXPECT_EQ(window->hitTest(Point(110, 10)), window);
    // Pictures let touches pass unless enabled.
    auto picture = std::make_shared<ImageView>(Rect(200, 300, 50, 50));
    window->addSubview(picture);
    EXPECT_EQ(window->hitTest(Point(210, 310)), window);
    picture->setUserInteractionEnabled(true);
    EXPECT_EQ(window->hitTest(Point(210, 310)), picture);
}

TEST_F(HierarchyTest, VisibleChangesMarkTheWindowDirty) {
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
