#include "Palette.h"

#include <fstream>
#include <sstream>
#include <vector>

#include "Error.h"

namespace spritegen {

uint32_t packRgba(Rgba c) {
  return (uint32_t{c.r} << 24) | (uint32_t{c.g} << 16) | (uint32_t{c.b} << 8) | c.a;
}

namespace {

std::optional<Rgba> parseHex(const std::string& s) {
  if (s.size() != 7 && s.size() != 9) return std::nullopt;
  if (s[0] != '#') return std::nullopt;
  unsigned v[4] = {0, 0, 0, 255};
  for (size_t i = 0; i < (s.size() - 1) / 2; ++i) {
    std::string byte = s.substr(1 + 2 * i, 2);
    if (byte.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos) return std::nullopt;
    v[i] = static_cast<unsigned>(std::stoul(byte, nullptr, 16));
  }
  return Rgba{static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2]),
              static_cast<uint8_t>(v[3])};
}

}  // namespace

void Palette::load(const std::string& path) {
  std::ifstream in(path);
  if (!in) throw SourceError("cannot read palette " + path);
  std::stringstream ss;
  ss << in.rdbuf();
  loadText(ss.str(), path);
}

void Palette::loadText(const std::string& text, const std::string& fileName) {
  std::istringstream in(text);
  std::string line;
  int lineNo = 0;
  while (std::getline(in, line)) {
    ++lineNo;
    std::istringstream ls(line);
    std::vector<std::string> words;
    for (std::string w; ls >> w;) {
      if (w[0] == '#' && words.size() != 1) break;  // comment (a colour only follows a name)
      words.push_back(w);
    }
    if (words.empty()) continue;
    if (words[0] == "ramp") {
      if (words.size() < 3) throw SourceError(fileName, lineNo, "a ramp needs at least two colours");
      std::vector<Rgba> ramp;
      for (size_t i = 1; i < words.size(); ++i) {
        auto it = colours_.find(words[i]);
        if (it == colours_.end())
          throw SourceError(fileName, lineNo, "ramp names unknown colour '" + words[i] + "'");
        ramp.push_back(it->second);
      }
      for (size_t i = 0; i < ramp.size(); ++i) {
        if (i > 0) darker_[packRgba(ramp[i])] = ramp[i - 1];
        if (i + 1 < ramp.size()) lighter_[packRgba(ramp[i])] = ramp[i + 1];
      }
      continue;
    }
    if (words.size() < 2 || words.size() > 3)
      throw SourceError(fileName, lineNo, "expected 'name #rrggbb [char]' or 'ramp name name ...'");
    auto colour = parseHex(words[1]);
    if (!colour)
      throw SourceError(fileName, lineNo,
                        "bad colour '" + words[1] + "' for '" + words[0] + "' (expected #rrggbb or #rrggbbaa)");
    if (words[0] == "none" || words[0].find('/') != std::string::npos)
      throw SourceError(fileName, lineNo, "'" + words[0] + "' cannot be a colour name");
    if (colours_.count(words[0])) throw SourceError(fileName, lineNo, "colour '" + words[0] + "' defined twice");
    char key = 0;
    if (words.size() == 3) {
      if (words[2].size() != 1 || words[2] == ".")
        throw SourceError(fileName, lineNo, "the key of '" + words[0] + "' must be one character other than '.'");
      key = words[2][0];
      if (keys_.count(key)) throw SourceError(fileName, lineNo, std::string("key '") + key + "' used twice");
    }
    add(words[0], *colour, key);
  }
}

void Palette::add(const std::string& name, Rgba colour, char key) {
  colours_[name] = colour;
  if (key) keys_[key] = colour;
}

std::optional<Rgba> Palette::find(const std::string& spec) const {
  if (spec == "none") return Rgba{};
  std::string name = spec;
  double alpha = 1.0;
  if (auto slash = spec.find('/'); slash != std::string::npos) {
    name = spec.substr(0, slash);
    try {
      alpha = std::stod(spec.substr(slash + 1)) / 100.0;
    } catch (...) {
      return std::nullopt;
    }
  }
  auto it = colours_.find(name);
  if (it == colours_.end()) return std::nullopt;
  Rgba c = it->second;
  c.a = static_cast<uint8_t>(c.a * std::min(1.0, std::max(0.0, alpha)) + 0.5);
  return c;
}

std::optional<Rgba> Palette::byKey(char key) const {
  if (key == '.') return Rgba{};
  auto it = keys_.find(key);
  if (it == keys_.end()) return std::nullopt;
  return it->second;
}

void Palette::setKey(char key, const std::string& name) {
  auto c = find(name);
  if (!c) throw SourceError("unknown colour '" + name + "'");
  keys_[key] = *c;
}

Rgba Palette::darker(Rgba c) const {
  auto it = darker_.find(packRgba(c));
  return it == darker_.end() ? c : it->second;
}

Rgba Palette::lighter(Rgba c) const {
  auto it = lighter_.find(packRgba(c));
  return it == lighter_.end() ? c : it->second;
}

}  // namespace spritegen
