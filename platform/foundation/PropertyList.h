#pragma once
// Property-list reading and writing, XML and binary.
//
// Reading goes through libplist after a scan of our own: libplist has no nesting limit and frees,
// copies and writes its trees recursively, so a hostile file (100,000 nested arrays, an object
// graph that expands to billions of nodes) could blow the stack. Before libplist sees a byte we
// check the size, the nesting depth and the number of nodes; anything over the limits is
// unreadable.
//
// Kinds: libplist 2.2 keeps every integer as a 64-bit pattern without its sign, every real as a
// double and dates as whole seconds plus microseconds in 32 bits. The binary form carries more, and
// we keep it:
//   - signed integers in 1, 2, 4 or 8 bytes (negative ones in 8), unsigned integers in 16 bytes
//     with a zero upper half (the form binary property lists use above 2^63);
//   - single-precision reals in 4 bytes, double-precision reals in 8 bytes;
//   - dates as the 8-byte real of seconds since 2001, read back exactly.
// Every other reader sees plain integers, reals and dates. The binary writer is our own, since
// libplist 2.2 picks the widths from the value (a double of 0.5 becomes a 4-byte real and an
// unsigned 2^64-1 an 8-byte -1). XML goes through libplist both ways: integers above 2^63 keep
// their unsignedness, other integers read back signed and reals read back double precision.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/foundation/Value.h"

class PropertyList {
public:
    static constexpr size_t maxBytes = 16u * 1024u * 1024u;   // larger inputs are refused unread
    static constexpr int maxDepth = 64;                        // nested arrays and dictionaries
    // Values after expanding shared objects: a real save holds a few thousand, and a file at the
    // limit still loads in a fraction of a second.
    static constexpr size_t maxNodes = 250000;

    enum class Format { Xml, Binary };

    // Parses XML or binary (told apart by the "bplist" signature). nullopt when the input is not a
    // readable property list, is over the limits, or its root is not of the expected kind; the
    // reason goes to *error.
    static std::optional<Value> read(const std::vector<uint8_t>& bytes, std::string* error = nullptr,
                                     std::optional<Value::Type> expectedRoot = std::nullopt);
    static std::optional<Value> readFile(const std::string& path, std::string* error = nullptr,
                                         std::optional<Value::Type> expectedRoot = std::nullopt);

    // Serialises a value. Nil entries of arrays and dictionaries are left out. Empty on failure
    // (a nil root, nesting deeper than maxDepth); the reason goes to *error.
    static std::vector<uint8_t> writeXml(const Value& value, std::string* error = nullptr);
    static std::vector<uint8_t> writeBinary(const Value& value, std::string* error = nullptr);
    static std::vector<uint8_t> write(const Value& value, Format format, std::string* error = nullptr) {
        return format == Format::Xml ? writeXml(value, error) : writeBinary(value, error);
    }

    // Seconds between 1970-01-01 and 2001-01-01, the epoch of property-list dates.
    static constexpr double referenceDateOffset = 978307200.0;
};
