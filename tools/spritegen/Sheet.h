#pragma once
#include <string>
#include <utility>
#include <vector>

#include "Canvas.h"

namespace spritegen {

// Lays pictures out in rows of at most `columns`, each on a checkered cell with its name
// written below. With `samePointSize`, pictures without "@2x" in their name are drawn twice
// as large, so that every picture shows at the same size per point. An entry with an empty
// name starts a new row.
Canvas makeSheet(const std::vector<std::pair<std::string, Canvas>>& pictures, int columns, int zoom,
                 bool samePointSize);

// Writes text in a small built-in 3 x 5 pixel font (letters, digits and _-.@%).
void drawText(Canvas& canvas, int x, int y, const std::string& text, Rgba colour, int size);
int textWidth(const std::string& text, int size);

}  // namespace spritegen
