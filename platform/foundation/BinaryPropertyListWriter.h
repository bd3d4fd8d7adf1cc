#pragma once
// Writes a Value as a binary property list ("bplist00") keeping every kind: signed integers in the
// shortest of 1/2/4/8 bytes, unsigned integers in 16 bytes, floats in 4-byte reals, doubles in
// 8-byte reals, dates as 8-byte reals since 2001, ASCII strings as bytes and other strings as
// UTF-16. Equal strings (dictionary keys above all) are stored once.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class BinaryPropertyListWriter {
public:
    // Empty on failure (nil root, nesting deeper than maxDepth).
    static std::vector<uint8_t> write(const Value& root, int maxDepth, std::string* error);
};
