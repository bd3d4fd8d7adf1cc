#pragma once
// Walks a binary property list ("bplist00") without building anything: checks the trailer, the
// offset table, every object reachable from the top and every reference, and measures the nesting
// depth and the number of values the file expands to, iteratively. What it learns about each
// object (integer and real widths, raw date values, references) lets the reader restore the kinds
// that libplist forgets.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct BinaryPropertyListObject {
    uint8_t marker = 0;          // high nibble: kind; low nibble: width or count
    bool parsed = false;
    bool wideUnsigned = false;   // a 16-byte integer whose upper half is zero
    double rawDate = 0;          // dates: seconds since 2001 as stored
    std::vector<uint64_t> refs;  // arrays: the elements; dictionaries: the keys, then the values

    uint8_t kind() const { return marker >> 4; }
    uint8_t width() const { return marker & 0x0F; }
};

class BinaryPropertyListScanner {
public:
    enum Kind : uint8_t { Simple = 0x0, Integer = 0x1, Real = 0x2, Date = 0x3, Data = 0x4,
                          AsciiString = 0x5, Utf16String = 0x6, Array = 0xA, Dictionary = 0xD };

    // True when the input is structurally sound and within the limits; the reason otherwise.
    bool scan(const uint8_t* data, size_t size, int maxDepth, size_t maxNodes, std::string* error);

    uint64_t topObject() const { return top_; }
    const BinaryPropertyListObject& object(uint64_t index) const { return objects_[index]; }
    size_t nodeCount() const { return nodeCount_; }
    int depth() const { return depth_; }

private:
    bool parseObject(uint64_t index, std::string* error);
    bool readCount(uint8_t lowNibble, size_t& pos, uint64_t& count, std::string* error) const;
    bool readSized(size_t pos, unsigned bytes, uint64_t& out) const;

    const uint8_t* data_ = nullptr;
    size_t end_ = 0;            // objects lie before the offset table
    unsigned offsetSize_ = 0;
    unsigned refSize_ = 0;
    uint64_t count_ = 0;
    uint64_t top_ = 0;
    size_t tableOffset_ = 0;
    std::vector<BinaryPropertyListObject> objects_;
    size_t nodeCount_ = 0;
    int depth_ = 0;
};
