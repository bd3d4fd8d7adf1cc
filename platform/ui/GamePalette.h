#pragma once
// The colours of the game's pixel art (the same palette as the pictures), for the panels,
// buttons and indicators the toolkit draws itself.
#include "platform/ui/Color.h"

namespace GamePalette {
constexpr Color ink = Color::fromRGBA8(0x1b, 0x14, 0x26);
constexpr Color night = Color::fromRGBA8(0x33, 0x26, 0x3f);
constexpr Color stoneDark = Color::fromRGBA8(0x4a, 0x4e, 0x69);
constexpr Color stone = Color::fromRGBA8(0x7a, 0x7f, 0x9a);
constexpr Color stoneLight = Color::fromRGBA8(0xb4, 0xb9, 0xcf);
constexpr Color white = Color::fromRGBA8(0xf4, 0xf1, 0xe8);
constexpr Color cream = Color::fromRGBA8(0xff, 0xf4, 0xcc);
constexpr Color brownDark = Color::fromRGBA8(0x4e, 0x31, 0x24);
constexpr Color brown = Color::fromRGBA8(0x7f, 0x52, 0x36);
constexpr Color goldDark = Color::fromRGBA8(0xa0, 0x59, 0x1b);
constexpr Color gold = Color::fromRGBA8(0xe8, 0xa2, 0x3a);
constexpr Color goldLight = Color::fromRGBA8(0xff, 0xe2, 0x7a);
constexpr Color redDark = Color::fromRGBA8(0x7a, 0x1f, 0x2b);
constexpr Color red = Color::fromRGBA8(0xc0, 0x39, 0x2b);
constexpr Color redLight = Color::fromRGBA8(0xec, 0x6a, 0x4f);
constexpr Color greenDark = Color::fromRGBA8(0x25, 0x53, 0x3f);
constexpr Color green = Color::fromRGBA8(0x3f, 0x8f, 0x4f);
constexpr Color greenLight = Color::fromRGBA8(0x8c, 0xc8, 0x5a);
constexpr Color blueDark = Color::fromRGBA8(0x24, 0x34, 0x68);
constexpr Color blue = Color::fromRGBA8(0x3b, 0x5d, 0xc9);
constexpr Color blueLight = Color::fromRGBA8(0x73, 0xa5, 0xf0);
}  // namespace GamePalette
