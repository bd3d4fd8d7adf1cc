#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"

namespace spritegen {

// Lays pictures out on a grid, each on a checkered cell with its name written below.
Canvas makeSheet(const std::vector<std::pair<std::string, Canvas>>& pictures, int columns, int zoom);

// Writes text in a small built-in 3 x 5 pixel font (letters, digits and _-.@%).
void drawText(Canvas& canvas, int x, int y, const std::string& text, Rgba colour, int size);
int textWidth(const std::string& text, int size);

}  // namespace spritegen
