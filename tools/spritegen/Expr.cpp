#include "Expr.h"

#include <cctype>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace spritegen {

namespace {

class Parser {
 public:
  Parser(const std::string& text, const Variables& vars) : s_(text), vars_(vars) {}

  double parseAll() {
    double v = parseOr();
    skip();
    if (pos_ != s_.size()) fail("unexpected '" + s_.substr(pos_) + "'");
    return v;
  }

 private:
  [[noreturn]] void fail(const std::string& why) const {
    throw std::runtime_error("bad expression '" + s_ + "': " + why);
  }
  void skip() {
    while (pos_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[pos_]))) ++pos_;
  }
  bool eat(const char* op) {
    skip();
    size_t n = std::char_traits<char>::length(op);
    if (s_.compare(pos_, n, op) == 0) {
      pos_ += n;
      return true;
    }
    return false;
  }
  double parseOr() {
    double v = parseAnd();
    while (eat("||")) { double r = parseAnd(); v = (v != 0 || r != 0) ? 1 : 0; }
    return v;
  }
  double parseAnd() {
    double v = parseCompare();
    while (eat("&&")) { double r = parseCompare(); v = (v != 0 && r != 0) ? 1 : 0; }
    return v;
  }
  double parseCompare() {
    double v = parseSum();
    for (;;) {
      if (eat("<=")) v = v <= parseSum();
      else if (eat(">=")) v = v >= parseSum();
      else if (eat("==")) v = v == parseSum();
      else if (eat("!=")) v = v != parseSum();
      else if (eat("<")) v = v < parseSum();
      else if (eat(">")) v = v > parseSum();
      else return v;
    }
  }
  double parseSum() {
    double v = parseProduct();
    for (;;) {
      if (eat("+")) v += parseProduct();
      else if (eat("-")) v -= parseProduct();
      else return v;
    }
  }
  double parseProduct() {
    double v = parseUnary();
    for (;;) {
      if (eat("*")) v *= parseUnary();
      else if (eat("/")) {
        double d = parseUnary();
        if (d == 0) fail("division by zero");
        v /= d;
      } else if (eat("%")) {
        double d = parseUnary();
        if (d == 0) fail("division by zero");
        v = std::fmod(v, d);
      } else return v;
    }
  }
  double parseUnary() {
    if (eat("-")) return -parseUnary();
    if (eat("+")) return parseUnary();
    if (eat("!")) return parseUnary() == 0 ? 1 : 0;
    return parsePrimary();
  }
  double parsePrimary() {
    skip();
    if (pos_ >= s_.size()) fail("value missing");
    if (eat("(")) {
      double v = parseOr();
      if (!eat(")")) fail("')' missing");
      return v;
    }
    char c = s_[pos_];
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      size_t used = 0;
      double v = std::stod(s_.substr(pos_), &used);
      pos_ += used;
      return v;
    }
    if (c == '$') ++pos_;
    size_t start = pos_;
    while (pos_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[pos_])) || s_[pos_] == '_')) ++pos_;
    std::string name = s_.substr(start, pos_ - start);
    if (name.empty()) fail("unexpected '" + std::string(1, c) + "'");
    if (eat("(")) {
      std::vector<double> args;
      if (!eat(")")) {
        do args.push_back(parseOr());
        while (eat(","));
        if (!eat(")")) fail("')' missing after the arguments of " + name);
      }
      return call(name, args);
    }
    if (name == "pi") return std::numbers::pi;
    auto it = vars_.find(name);
    if (it == vars_.end()) fail("unknown variable '" + name + "'");
    return it->second;
  }
  double call(const std::string& f, const std::vector<double>& a) {
    auto need = [&](size_t n) {
      if (a.size() != n) fail(f + " takes " + std::to_string(n) + " argument(s)");
    };
    const double deg = std::numbers::pi / 180.0;
    if (f == "sin") { need(1); return std::sin(a[0] * deg); }
    if (f == "cos") { need(1); return std::cos(a[0] * deg); }
    if (f == "abs") { need(1); return std::fabs(a[0]); }
    if (f == "floor") { need(1); return std::floor(a[0]); }
    if (f == "ceil") { need(1); return std::ceil(a[0]); }
    if (f == "round") { need(1); return std::round(a[0]); }
    if (f == "min") { need(2); return std::min(a[0], a[1]); }
    if (f == "max") { need(2); return std::max(a[0], a[1]); }
    if (f == "lerp") { need(3); return a[0] + (a[1] - a[0]) * a[2]; }
    if (f == "clamp") { need(3); return std::min(std::max(a[0], a[1]), a[2]); }
    if (f == "pick") {
      if (a.size() < 2) fail("pick needs an index and at least one value");
      long i = std::lround(a[0]);
      if (i < 1 || i >= static_cast<long>(a.size())) fail("pick index " + std::to_string(i) + " out of range");
      return a[static_cast<size_t>(i)];
    }
    fail("unknown function '" + f + "'");
  }

  const std::string& s_;
  const Variables& vars_;
  size_t pos_ = 0;
};

}  // namespace

double evaluate(const std::string& text, const Variables& vars) {
  return Parser(text, vars).parseAll();
}

}  // namespace spritegen
