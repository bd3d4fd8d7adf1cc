#pragma once
#include <map>
#include <optional>
#include <string>

#include "Canvas.h"

namespace spritegen {

// The fixed set of named colours, the character each one has in pixel rows, and the
// light ramps (dark to light) that shading walks along.
class Palette {
 public:
  // Reads "name #rrggbb[aa] [char]" and "ramp name name ..." lines; '#' starts a comment
  // only at the start of a line or after whitespace.
  void load(const std::string& path);
  void loadText(const std::string& text, const std::string& fileName);

  void add(const std::string& name, Rgba colour, char key);
  // A colour argument: a name, "none" (transparent) or "name/percent" for a see-through tone.
  std::optional<Rgba> find(const std::string& spec) const;
  std::optional<Rgba> byKey(char key) const;
  void setKey(char key, const std::string& name);
  Rgba darker(Rgba c) const;
  Rgba lighter(Rgba c) const;
  bool empty() const { return colours_.empty(); }
  const std::map<std::string, Rgba>& colours() const { return colours_; }

 private:
  std::map<std::string, Rgba> colours_;
  std::map<char, Rgba> keys_;
  std::map<uint32_t, Rgba> darker_, lighter_;
};

uint32_t packRgba(Rgba c);

}  // namespace spritegen
