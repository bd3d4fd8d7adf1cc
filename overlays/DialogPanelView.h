#pragma once
// The parchment panel of the overlays' boxes: a gold frame around cream parchment with a thin
// brown line inside and a soft shadow, drawn over the whole view. Layouts name it
// "DialogPanelView"; its sub-views lie on the parchment.
#include "platform/ui/View.h"

class DialogPanelView : public View {
public:
    explicit DialogPanelView(const Rect& frame = {}) : View(frame) {}
    void drawContent(DrawContext& context) const override;
};

// A screen's root that, while passesTouchesAround is set, takes no touch itself: a touch beside
// its panels reaches the screen below (a hint box leaves the stage to the player). Layouts name
// it "TouchThroughView".
class TouchThroughView : public View {
public:
    explicit TouchThroughView(const Rect& frame = {}) : View(frame) {}
    void setPassesTouchesAround(bool passes) { passesTouchesAround_ = passes; }
    bool passesTouchesAround() const { return passesTouchesAround_; }
    std::shared_ptr<View> hitTest(Point p) override {
        auto hit = View::hitTest(p);
        return passesTouchesAround_ && hit.get() == this ? nullptr : hit;
    }

private:
    bool passesTouchesAround_ = false;
};
