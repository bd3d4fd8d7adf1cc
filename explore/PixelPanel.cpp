#include "explore/PixelPanel.h"

namespace {

void addRect(View& parent, double x, double y, double w, double h, Color color) {
    if (w <= 0 || h <= 0) return;
    auto piece = View::make(Rect(x, y, w, h));
    piece->setBackgroundColor(color);
    piece->setUserInteractionEnabled(false);
    parent.addSubview(piece);
}

}  // namespace

namespace PixelPanel {

std::shared_ptr<View> make(const Rect& frame, const PanelStyle& style) {
    auto panel = View::make(frame);
    panel->setUserInteractionEnabled(false);
    const double w = frame.size.width, h = frame.size.height;
    // The outline leaves the four corner points empty, so the panel reads as rounded.
    addRect(*panel, 1, 0, w - 2, 1, style.outline);
    addRect(*panel, 1, h - 1, w - 2, 1, style.outline);
    addRect(*panel, 0, 1, 1, h - 2, style.outline);
    addRect(*panel, w - 1, 1, 1, h - 2, style.outline);
    addRect(*panel, 1, 1, w - 2, h - 2, style.fill);
    addRect(*panel, 1, 1, w - 3, 1, style.light);
    addRect(*panel, 1, 2, 1, h - 4, style.light);
    addRect(*panel, 2, h - 2, w - 3, 1, style.shade);
    addRect(*panel, w - 2, 2, 1, h - 4, style.shade);
    return panel;
}

std::shared_ptr<View> makeSocket(const Rect& frame, Color fill, Color dark, Color lit) {
    auto socket = View::make(frame);
    socket->setUserInteractionEnabled(false);
    const double w = frame.size.width, h = frame.size.height;
    addRect(*socket, 0, 0, w, h, fill);
    addRect(*socket, 0, 0, w, 1, dark);
    addRect(*socket, 0, 1, 1, h - 1, dark);
    addRect(*socket, 1, h - 1, w - 1, 1, lit);
    addRect(*socket, w - 1, 1, 1, h - 2, lit);
    return socket;
}

}  // namespace PixelPanel
