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
