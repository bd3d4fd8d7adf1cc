#pragma once
// A quick pass over an XML property list before libplist parses it: counts the nesting of
// <array> and <dict> elements and the number of values, skipping comments, CDATA, processing
// instructions and the doctype. It also notes the text of every <integer> in document order, so
// the reader can tell 18446744073709551615 from -1 (libplist hands both back as the same bits).
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

struct XmlPropertyListInteger {
    uint64_t bits = 0;        // the value as libplist stores it (two's complement for negatives)
    bool wideUnsigned = false;  // written without a sign and above 2^63 - 1
};

class XmlPropertyListScanner {
public:
    bool scan(const uint8_t* data, size_t size, int maxDepth, size_t maxNodes, std::string* error);

    const std::vector<XmlPropertyListInteger>& integers() const { return integers_; }
    size_t nodeCount() const { return nodeCount_; }
    int depth() const { return maxSeen_; }

private:
    std::vector<XmlPropertyListInteger> integers_;
    size_t nodeCount_ = 0;
    int maxSeen_ = 0;
};
