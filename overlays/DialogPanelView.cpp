#include "overlays/DialogPanelView.h"

#include "platform/ui/PixelFrame.h"

void DialogPanelView::drawContent(DrawContext& context) const { PixelFrame::drawDialogPanel(context, bounds()); }
