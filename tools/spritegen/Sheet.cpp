#include "Sheet.h"

#include <algorithm>
#include <cctype>
#include <map>

namespace spritegen {

namespace {

const std::map<char, const char*>& glyphs() {
  static const std::map<char, const char*> g = {
      {'0', "####.##.##.####"}, {'1', ".#.##..#..#.###"}, {'2', "###..#####..###"},
      {'3', "###..#.##..####"}, {'4', "#.##.####..#..#"}, {'5', "####..###..####"},
      {'6', "####..####.####"}, {'7', "###..#.#..#..#."}, {'8', "####.#####.####"},
      {'9', "####.####..####"}, {'a', ".#.#.#####.##.#"}, {'b', "##.#.###.#.###."},
      {'c', ".###..#..#...##"}, {'d', "##.#.##.##.###."}, {'e', "####..##.#..###"},
      {'f', "####..##.#..#.."}, {'g', ".###..#.##.#.##"}, {'h', "#.##.#####.##.#"},
      {'i', "###.#..#..#.###"}, {'j', "..#..#..##.#.#."}, {'k', "#.##.###.#.##.#"},
      {'l', "#..#..#..#..###"}, {'m', "#.########.##.#"}, {'n', "##.#.##.##.##.#"},
      {'o', ".#.#.##.##.#.#."}, {'p', "##.#.###.#..#.."}, {'q', ".#.#.##.###..##"},
      {'r', "##.#.###.#.##.#"}, {'s', ".###...#...###."}, {'t', "###.#..#..#..#."},
      {'u', "#.##.##.##.####"}, {'v', "#.##.##.##.#.#."}, {'w', "#.##.########.#"},
      {'x', "#.##.#.#.#.##.#"}, {'y', "#.##.#.#..#..#."}, {'z', "###..#.#.#..###"},
      {'_', "............###"}, {'-', "......###......"}, {'.', ".............#."},
      {'@', ".#.#.#####...##"}, {'%', "#.#..#.#.#..#.#"}, {' ', "..............."},
  };
  return g;
}

}  // namespace

int textWidth(const std::string& text, int size) { return static_cast<int>(text.size()) * 4 * size; }

void drawText(Canvas& canvas, int x, int y, const std::string& text, Rgba colour, int size) {
  for (size_t n = 0; n < text.size(); ++n) {
    char ch = static_cast<char>(std::tolower(static_cast<unsigned char>(text[n])));
    auto it = glyphs().find(ch);
    std::string bits = it == glyphs().end() ? "####.##.##.####" : it->second;
    bits.resize(15, '.');
    for (int j = 0; j < 5; ++j)
      for (int i = 0; i < 3; ++i)
        if (bits[static_cast<size_t>(j * 3 + i)] == '#')
          canvas.fillRect(x + static_cast<int>(n) * 4 * size + i * size, y + j * size, size, size, colour, false);
  }
}

Canvas makeSheet(const std::vector<std::pair<std::string, Canvas>>& pictures, int columns, int zoom) {
  const int pad = 6, labelSize = zoom >= 3 ? 2 : 1, labelHeight = 5 * labelSize + 4;
  int cellW = 16, cellH = 16;
  for (const auto& [name, pic] : pictures) {
    cellW = std::max({cellW, pic.width() * zoom, textWidth(name, labelSize)});
    cellH = std::max(cellH, pic.height() * zoom);
  }
  columns = std::max(1, std::min(columns, static_cast<int>(pictures.size())));
  int rows = (static_cast<int>(pictures.size()) + columns - 1) / columns;
  int stepX = cellW + pad, stepY = cellH + labelHeight + pad;
  Canvas sheet(pad + columns * stepX, pad + std::max(1, rows) * stepY);
  sheet.fillRect(0, 0, sheet.width(), sheet.height(), Rgba{40, 36, 52, 255}, true);
  const Rgba light{92, 104, 92, 255}, dark{80, 92, 80, 255}, label{236, 232, 220, 255};
  for (size_t n = 0; n < pictures.size(); ++n) {
    const auto& [name, pic] = pictures[n];
    int cx = pad + static_cast<int>(n % columns) * stepX, cy = pad + static_cast<int>(n / columns) * stepY;
    for (int y = 0; y < cellH; y += 4)
      for (int x = 0; x < cellW; x += 4)
        sheet.fillRect(cx + x, cy + y, std::min(4, cellW - x), std::min(4, cellH - y), ((x + y) / 4) % 2 ? light : dark, true);
    Canvas big = zoom > 1 ? pic.scaled(zoom) : pic;
    sheet.blit(big, cx + (cellW - big.width()) / 2, cy + cellH - big.height(), false, false, 1.0);
    drawText(sheet, cx, cy + cellH + 2, name, label, labelSize);
  }
  return sheet;
}

}  // namespace spritegen
