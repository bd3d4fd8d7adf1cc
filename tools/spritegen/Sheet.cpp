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

Canvas makeSheet(const std::vector<std::pair<std::string, Canvas>>& pictures, int columns, int zoom,
                 bool samePointSize) {
  const int pad = 6, labelSize = zoom >= 3 ? 2 : 1, labelHeight = 5 * labelSize + 4;
  // Shelf layout: up to `columns` pictures per row, each row as tall as its tallest picture.
  struct Cell { const std::string* name; Canvas big; int x, y, w, h; };
  std::vector<Cell> cells;
  std::vector<int> rowHeights;
  int x = pad, y = pad, rowH = 0, inRow = 0, sheetW = 0;
  for (const auto& [name, pic] : pictures) {
    if (name.empty()) {  // a row break
      if (inRow > 0) inRow = std::max(1, columns);
      continue;
    }
    int z = zoom * (samePointSize && name.find("@2x") == std::string::npos ? 2 : 1);
    Canvas big = z > 1 ? pic.scaled(z) : pic;
    int w = std::max({16, big.width(), textWidth(name, labelSize)});
    if (inRow == std::max(1, columns)) {
      y += rowH + labelHeight + pad;
      x = pad, rowH = 0, inRow = 0;
    }
    cells.push_back(Cell{&name, std::move(big), x, y, w, 0});
    rowH = std::max(rowH, cells.back().big.height());
    for (size_t i = cells.size() - inRow - 1; i < cells.size(); ++i) cells[i].h = rowH;
    x += w + pad;
    sheetW = std::max(sheetW, x);
    ++inRow;
  }
  Canvas sheet(std::max(sheetW, 2 * pad), y + rowH + labelHeight + pad);
  sheet.fillRect(0, 0, sheet.width(), sheet.height(), Rgba{40, 36, 52, 255}, true);
  const Rgba light{92, 104, 92, 255}, dark{80, 92, 80, 255}, label{236, 232, 220, 255};
  for (const Cell& c : cells) {
    for (int j = 0; j < c.h; j += 4)
      for (int i = 0; i < c.w; i += 4)
        sheet.fillRect(c.x + i, c.y + j, std::min(4, c.w - i), std::min(4, c.h - j), ((i + j) / 4) % 2 ? light : dark, true);
    sheet.blit(c.big, c.x + (c.w - c.big.width()) / 2, c.y + c.h - c.big.height(), false, false, 1.0);
    drawText(sheet, c.x, c.y + c.h + 2, *c.name, label, labelSize);
  }
  return sheet;
}

}  // namespace spritegen
