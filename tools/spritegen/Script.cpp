#include "Script.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

#include "Error.h"

namespace spritegen {

namespace {

namespace fs = std::filesystem;

const std::set<std::string> kBlocks = {"part", "sprite", "macro", "layer", "at", "for", "if"};

// Splits a line into words at blanks outside parentheses; '#' at the start of a word
// begins a comment.
std::vector<std::string> splitWords(const std::string& line, const std::string& file, int lineNo) {
  std::vector<std::string> words;
  std::string cur;
  int depth = 0;
  for (char c : line) {
    if (depth == 0 && cur.empty() && c == '#') break;
    if (c == '(') ++depth;
    if (c == ')') --depth;
    if (depth < 0) throw SourceError(file, lineNo, "unbalanced ')'");
    if (depth == 0 && (c == ' ' || c == '\t' || c == '\r')) {
      if (!cur.empty()) words.push_back(cur), cur.clear();
    } else {
      cur += c;
    }
  }
  if (depth != 0) throw SourceError(file, lineNo, "unbalanced '('");
  if (!cur.empty()) words.push_back(cur);
  return words;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SourceError("cannot read " + path);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

class Loader {
 public:
  std::vector<Statement> load(const std::string& text, const std::string& file, int includeDepth) {
    if (includeDepth > 16) throw SourceError(file, 1, "includes nested too deeply");
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string l; std::getline(in, l);) lines.push_back(l);
    size_t i = 0;
    auto body = block(lines, i, file, includeDepth, false, 0);
    return body;
  }

 private:
  std::vector<Statement> block(const std::vector<std::string>& lines, size_t& i, const std::string& file,
                               int includeDepth, bool nested, int openLine) {
    std::vector<Statement> out;
    while (i < lines.size()) {
      int lineNo = static_cast<int>(i) + 1;
      auto words = splitWords(lines[i++], file, lineNo);
      if (words.empty()) continue;
      if (words[0] == "end") {
        if (!nested) throw SourceError(file, lineNo, "'end' without a block to close");
        return out;
      }
      Statement s{file, lineNo, words, {}, {}};
      if (words[0] == "include") {
        if (words.size() != 2) throw SourceError(file, lineNo, "include takes one file name");
        fs::path p = fs::path(file).parent_path() / words[1];
        auto inc = load(readFile(p.string()), p.string(), includeDepth + 1);
        for (auto& st : inc) out.push_back(std::move(st));
        continue;
      }
      if (words[0] == "palette") {
        if (words.size() != 2) throw SourceError(file, lineNo, "palette takes one file name");
        s.words[1] = (fs::path(file).parent_path() / words[1]).string();
      }
      if (words[0] == "rows") {
        bool closed = false;
        while (i < lines.size()) {
          std::string raw = lines[i++];
          auto rowWords = splitWords(raw, file, static_cast<int>(i));
          if (rowWords.size() == 1 && rowWords[0] == "end") { closed = true; break; }
          if (rowWords.empty()) continue;
          if (rowWords.size() != 1)
            throw SourceError(file, static_cast<int>(i), "a pixel row is one word (use '.' for empty pixels)");
          s.rows.push_back(rowWords[0]);
        }
        if (!closed) throw SourceError(file, lineNo, "'rows' without 'end'");
      } else if (kBlocks.count(words[0])) {
        s.body = block(lines, i, file, includeDepth, true, lineNo);
      }
      out.push_back(std::move(s));
    }
    if (nested) throw SourceError(file, openLine, "block is not closed with 'end'");
    return out;
  }
};

std::string formatNumber(double v) {
  if (std::fabs(v - std::round(v)) < 1e-9) return std::to_string(static_cast<long long>(std::llround(v)));
  std::ostringstream ss;
  ss << v;
  return ss.str();
}

}  // namespace

Script::Script(const std::string& path) {
  top_ = Loader().load(readFile(path), path, 0);
}

Script Script::fromText(const std::string& text, const std::string& fileName) {
  Script s;
  s.top_ = Loader().load(text, fileName, 0);
  return s;
}

void Script::run(const std::function<void(const Picture&)>& emit) {
  emit_ = &emit;
  Variables globals;
  exec(top_, nullptr, 0, 0, globals);
  emit_ = nullptr;
}

double Script::num(const Statement& s, size_t i, const Variables& vars) const {
  if (i >= s.words.size()) throw SourceError(s.file, s.line, "'" + s.words[0] + "' needs more values");
  try {
    return evaluate(s.words[i], vars);
  } catch (const std::exception& e) {
    throw SourceError(s.file, s.line, e.what());
  }
}

// `if` and `set` take everything after their name as one expression, blanks included, so
// `if d==4 || d==6` tests both sides instead of silently dropping the second.
double Script::restAsNumber(const Statement& s, size_t i, const Variables& vars) const {
  if (i >= s.words.size()) throw SourceError(s.file, s.line, "'" + s.words[0] + "' needs more values");
  std::string expr;
  for (size_t k = i; k < s.words.size(); ++k) expr += (k > i ? " " : "") + s.words[k];
  try {
    return evaluate(expr, vars);
  } catch (const std::exception& e) {
    throw SourceError(s.file, s.line, e.what());
  }
}

int Script::integer(const Statement& s, size_t i, const Variables& vars) const {
  return static_cast<int>(std::lround(num(s, i, vars)));
}

Rgba Script::colour(const Statement& s, size_t i) const {
  if (i >= s.words.size()) throw SourceError(s.file, s.line, "'" + s.words[0] + "' needs a colour");
  if (palette_.empty()) throw SourceError(s.file, s.line, "no palette loaded (start the file with 'palette FILE')");
  auto c = palette_.find(s.words[i]);
  if (!c) throw SourceError(s.file, s.line, "unknown colour '" + s.words[i] + "' (not in the palette)");
  return *c;
}

std::string Script::interpolate(const Statement& s, const std::string& text, const Variables& vars) const {
  std::string out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '{') {
      out += text[i];
      continue;
    }
    size_t close = text.find('}', i);
    if (close == std::string::npos) throw SourceError(s.file, s.line, "'{' without '}' in '" + text + "'");
    try {
      out += formatNumber(evaluate(text.substr(i + 1, close - i - 1), vars));
    } catch (const std::exception& e) {
      throw SourceError(s.file, s.line, e.what());
    }
    i = close;
  }
  return out;
}

void Script::exec(const std::vector<Statement>& body, Canvas* canvas, double ox, double oy, Variables& vars) {
  for (const Statement& s : body) execOne(s, canvas, ox, oy, vars);
}

Canvas Script::renderPart(const Statement& s, const std::string& name, const Variables& vars) {
  auto it = parts_.find(name);
  if (it == parts_.end()) throw SourceError(s.file, s.line, "unknown part '" + name + "'");
  const Statement& def = *it->second;
  if (++depth_ > 64) throw SourceError(s.file, s.line, "parts and macros nested too deeply");
  Variables local = vars;
  Canvas c(integer(def, 2, local), integer(def, 3, local));
  exec(def.body, &c, 0, 0, local);
  --depth_;
  return c;
}

void Script::execOne(const Statement& s, Canvas* canvas, double ox, double oy, Variables& vars) {
  const std::string& cmd = s.words[0];
  auto need = [&](size_t n) {
    if (s.words.size() < n + 1)
      throw SourceError(s.file, s.line, "'" + cmd + "' needs " + std::to_string(n) + " argument(s)");
  };
  auto drawing = [&]() -> Canvas& {
    if (!canvas) throw SourceError(s.file, s.line, "'" + cmd + "' draws, so it belongs inside a sprite, part or macro");
    return *canvas;
  };
  auto X = [&](size_t i) { return ox + num(s, i, vars); };
  auto Y = [&](size_t i) { return oy + num(s, i, vars); };

  if (cmd == "palette") {
    // A palette shared by several included files is read once.
    if (loadedPalettes_.insert(std::filesystem::weakly_canonical(s.words[1]).string()).second) palette_.load(s.words[1]);
  } else if (cmd == "key") {
    need(2);
    if (s.words[1].size() != 1) throw SourceError(s.file, s.line, "a key is one character");
    try {
      palette_.setKey(s.words[1][0], s.words[2]);
    } catch (const std::exception& e) {
      throw SourceError(s.file, s.line, e.what());
    }
  } else if (cmd == "set") {
    need(2);
    vars[s.words[1]] = restAsNumber(s, 2, vars);
  } else if (cmd == "part") {
    need(3);
    parts_[s.words[1]] = &s;
  } else if (cmd == "macro") {
    need(1);
    macros_[s.words[1]] = &s;
  } else if (cmd == "sprite") {
    need(3);
    if (canvas) throw SourceError(s.file, s.line, "a sprite cannot be declared inside another drawing");
    Picture pic;
    pic.name = interpolate(s, s.words[1], vars);
    if (pic.name.size() < 5 || pic.name.substr(pic.name.size() - 4) != ".png")
      throw SourceError(s.file, s.line, "sprite name '" + pic.name + "' must end in .png");
    int w = integer(s, 2, vars), h = integer(s, 3, vars);
    if (w <= 0 || h <= 0 || w > 4096 || h > 4096)
      throw SourceError(s.file, s.line, "sprite size " + std::to_string(w) + " x " + std::to_string(h) + " is out of range");
    pic.scale = pic.name.find("@2x") != std::string::npos ? 2 : 1;
    if (s.words.size() > 4) pic.scale = integer(s, 4, vars);
    if (pic.scale < 1 || pic.scale > 16) throw SourceError(s.file, s.line, "scale must be 1 to 16");
    pic.canvas = Canvas(w, h);
    Variables local = vars;
    local["W"] = w;
    local["H"] = h;
    exec(s.body, &pic.canvas, 0, 0, local);
    if (emit_) (*emit_)(pic);
  } else if (cmd == "for") {
    need(3);
    double from = num(s, 2, vars), to = num(s, 3, vars);
    double step = s.words.size() > 4 ? num(s, 4, vars) : 1;
    if (step == 0 || (to - from) / step > 100000) throw SourceError(s.file, s.line, "bad loop step");
    for (double v = from; step > 0 ? v <= to + 1e-9 : v >= to - 1e-9; v += step) {
      vars[s.words[1]] = v;
      exec(s.body, canvas, ox, oy, vars);
    }
  } else if (cmd == "if") {
    need(1);
    if (restAsNumber(s, 1, vars) != 0) exec(s.body, canvas, ox, oy, vars);
  } else if (cmd == "at") {
    need(2);
    exec(s.body, canvas, X(1), Y(2), vars);
  } else if (cmd == "layer") {
    Canvas& c = drawing();
    Canvas layer(c.width(), c.height());
    exec(s.body, &layer, ox, oy, vars);
    c.blit(layer, 0, 0, false, false, 1.0);
  } else if (cmd == "call") {
    need(1);
    auto it = macros_.find(s.words[1]);
    if (it == macros_.end()) throw SourceError(s.file, s.line, "unknown macro '" + s.words[1] + "'");
    const Statement& def = *it->second;
    size_t params = def.words.size() - 2;
    if (s.words.size() - 2 != params)
      throw SourceError(s.file, s.line, "macro '" + s.words[1] + "' takes " + std::to_string(params) + " value(s)");
    Variables local = vars;
    for (size_t i = 0; i < params; ++i) local[def.words[i + 2]] = num(s, i + 2, vars);
    if (++depth_ > 64) throw SourceError(s.file, s.line, "parts and macros nested too deeply");
    exec(def.body, canvas, ox, oy, local);
    --depth_;
  } else if (cmd == "place") {
    need(3);
    Canvas& c = drawing();
    bool fx = false, fy = false;
    double opacity = 1.0;
    for (size_t i = 4; i < s.words.size(); ++i) {
      if (s.words[i] == "flipx") fx = true;
      else if (s.words[i] == "flipy") fy = true;
      else if (s.words[i] == "opacity") opacity = num(s, ++i, vars);
      else throw SourceError(s.file, s.line, "unknown place option '" + s.words[i] + "'");
    }
    Canvas part = renderPart(s, interpolate(s, s.words[1], vars), vars);
    c.blit(part, static_cast<int>(std::lround(X(2))), static_cast<int>(std::lround(Y(3))), fx, fy, opacity);
  } else if (cmd == "rows") {
    Canvas& c = drawing();
    double x0 = s.words.size() > 2 ? X(1) : ox, y0 = s.words.size() > 2 ? Y(2) : oy;
    for (size_t j = 0; j < s.rows.size(); ++j)
      for (size_t i = 0; i < s.rows[j].size(); ++i) {
        char k = s.rows[j][i];
        if (k == '.') continue;
        auto col = palette_.byKey(k);
        if (!col) throw SourceError(s.file, s.line + 1 + static_cast<int>(j), std::string("no colour has the key '") + k + "'");
        c.plot(static_cast<int>(std::lround(x0)) + static_cast<int>(i), static_cast<int>(std::lround(y0)) + static_cast<int>(j), *col);
      }
  } else if (cmd == "rect") {
    need(5);
    Rgba col = colour(s, 5);
    drawing().fillRect(static_cast<int>(std::lround(X(1))), static_cast<int>(std::lround(Y(2))), integer(s, 3, vars),
                       integer(s, 4, vars), col, col.a == 0);
  } else if (cmd == "ellipse") {
    need(5);
    Rgba col = colour(s, 5);
    drawing().fillEllipse(X(1), Y(2), num(s, 3, vars), num(s, 4, vars), col, col.a == 0);
  } else if (cmd == "disc") {
    need(4);
    Rgba col = colour(s, 4);
    drawing().fillEllipse(X(1), Y(2), num(s, 3, vars), num(s, 3, vars), col, col.a == 0);
  } else if (cmd == "line") {
    need(5);
    Rgba col = colour(s, 5);
    int width = s.words.size() > 6 ? integer(s, 6, vars) : 1;
    drawing().drawLine(X(1), Y(2), X(3), Y(4), width, col, col.a == 0);
  } else if (cmd == "pixel") {
    need(3);
    Rgba col = colour(s, 3);
    drawing().plot(static_cast<int>(std::lround(X(1))), static_cast<int>(std::lround(Y(2))), col, col.a == 0);
  } else if (cmd == "poly") {
    need(7);
    Rgba col = colour(s, 1);
    if ((s.words.size() - 2) % 2 != 0) throw SourceError(s.file, s.line, "poly needs x y pairs");
    std::vector<double> xy;
    for (size_t i = 2; i < s.words.size(); i += 2) {
      xy.push_back(X(i));
      xy.push_back(Y(i + 1));
    }
    drawing().fillPolygon(xy, col, col.a == 0);
  } else if (cmd == "outline") {
    Rgba col = s.words.size() > 1 ? colour(s, 1) : colour(Statement{s.file, s.line, {"outline", "ink"}, {}, {}}, 1);
    bool eight = s.words.size() > 2 && s.words[2] == "8";
    drawing().outline(col, eight);
  } else if (cmd == "shade" || cmd == "light") {
    bool dark = cmd == "shade";
    int dx = s.words.size() > 2 ? integer(s, 1, vars) : (dark ? 1 : -1);
    int dy = s.words.size() > 2 ? integer(s, 2, vars) : (dark ? 1 : -1);
    Rgba border = palette_.find("ink").value_or(Rgba{});
    drawing().rim(dx, dy, border, [&](Rgba p) {
      Rgba q = dark ? palette_.darker(Rgba{p.r, p.g, p.b, 255}) : palette_.lighter(Rgba{p.r, p.g, p.b, 255});
      q.a = p.a;
      return q;
    });
  } else if (cmd == "recolor") {
    need(2);
    drawing().recolor(colour(s, 1), colour(s, 2));
  } else if (cmd == "fade") {
    need(1);
    drawing().fade(num(s, 1, vars));
  } else if (cmd == "mirror") {
    drawing().mirrorX();
  } else if (cmd == "mirrorleft") {
    need(1);
    drawing().mirrorLeft(integer(s, 1, vars));
  } else {
    throw SourceError(s.file, s.line, "unknown command '" + cmd + "'");
  }
}

}  // namespace spritegen
