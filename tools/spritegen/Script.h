#pragma once
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "Canvas.h"
#include "Expr.h"
#include "Palette.h"

namespace spritegen {

// One line of a source, with the block it opens (if any) and the pixel rows of a `rows` block.
struct Statement {
  std::string file;
  int line = 0;
  std::vector<std::string> words;
  std::vector<std::string> rows;
  std::vector<Statement> body;
};

// A picture the script declared: its file name, its canvas in points and its pixel scale.
struct Picture {
  std::string name;
  Canvas canvas;
  int scale = 1;
};

// Parses an art source (with its includes) and runs it, handing out each declared picture.
class Script {
 public:
  explicit Script(const std::string& path);
  static Script fromText(const std::string& text, const std::string& fileName);

  void run(const std::function<void(const Picture&)>& emit);
  const Palette& palette() const { return palette_; }

 private:
  Script() = default;
  void exec(const std::vector<Statement>& body, Canvas* canvas, double ox, double oy, Variables& vars);
  void execOne(const Statement& s, Canvas* canvas, double ox, double oy, Variables& vars);
  double num(const Statement& s, size_t i, const Variables& vars) const;
  double restAsNumber(const Statement& s, size_t i, const Variables& vars) const;
  int integer(const Statement& s, size_t i, const Variables& vars) const;
  Rgba colour(const Statement& s, size_t i) const;
  std::string interpolate(const Statement& s, const std::string& text, const Variables& vars) const;
  Canvas renderPart(const Statement& s, const std::string& name, const Variables& vars);

  std::vector<Statement> top_;
  Palette palette_;
  std::map<std::string, const Statement*> parts_;
  std::map<std::string, const Statement*> macros_;
  const std::function<void(const Picture&)>* emit_ = nullptr;
  int depth_ = 0;
  std::set<std::string> loadedPalettes_;
};

}  // namespace spritegen
