#pragma once
#include <stdexcept>
#include <string>

namespace spritegen {

// Every fault of a source is reported as "file:line: message".
class SourceError : public std::runtime_error {
 public:
  SourceError(const std::string& file, int line, const std::string& message)
      : std::runtime_error(file + ":" + std::to_string(line) + ": " + message) {}
  explicit SourceError(const std::string& message) : std::runtime_error(message) {}
};

}  // namespace spritegen
