#pragma once
// Flat pixel-art panels for the main screen's widgets, built from plain coloured views on the
// point grid: a 1-point ink outline, a lit top-left rim, a shaded bottom-right rim and a fill.
// Used where a widget has no picture of its own (the gold counter, the remaining-time panel).
#include <memory>
#include <vector>

#include "platform/ui/View.h"

namespace Palette {
inline constexpr Color ink = Color::fromRGBA8(0x1b, 0x14, 0x26);
inline constexpr Color night = Color::fromRGBA8(0x33, 0x26, 0x3f);
inline constexpr Color stoneDark = Color::fromRGBA8(0x4a, 0x4e, 0x69);
inline constexpr Color stone = Color::fromRGBA8(0x7a, 0x7f, 0x9a);
inline constexpr Color white = Color::fromRGBA8(0xf4, 0xf1, 0xe8);
inline constexpr Color cream = Color::fromRGBA8(0xff, 0xf4, 0xcc);
inline constexpr Color goldDark = Color::fromRGBA8(0xa0, 0x59, 0x1b);
inline constexpr Color gold = Color::fromRGBA8(0xe8, 0xa2, 0x3a);
inline constexpr Color goldLight = Color::fromRGBA8(0xff, 0xe2, 0x7a);
inline constexpr Color brownDark = Color::fromRGBA8(0x4e, 0x31, 0x24);
inline constexpr Color brown = Color::fromRGBA8(0x7f, 0x52, 0x36);
inline constexpr Color brownLight = Color::fromRGBA8(0xb5, 0x80, 0x4f);
inline constexpr Color redDark = Color::fromRGBA8(0x7a, 0x1f, 0x2b);
inline constexpr Color red = Color::fromRGBA8(0xc0, 0x39, 0x2b);
inline constexpr Color redLight = Color::fromRGBA8(0xec, 0x6a, 0x4f);
}  // namespace Palette

struct PanelStyle {
    Color outline = Palette::ink;
    Color light;   // top and left rim inside the outline
    Color shade;   // bottom and right rim inside the outline
    Color fill;
};

namespace PixelPanel {
// A view of the frame holding the panel's pieces; touches pass through it.
std::shared_ptr<View> make(const Rect& frame, const PanelStyle& style);
// A sunken socket (dark top-left rim, lit bottom-right rim) for a figure or an icon.
std::shared_ptr<View> makeSocket(const Rect& frame, Color fill, Color dark, Color lit);
}  // namespace PixelPanel
