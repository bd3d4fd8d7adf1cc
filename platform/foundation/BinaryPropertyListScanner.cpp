#include "platform/foundation/BinaryPropertyListScanner.h"

#include <algorithm>
#include <cstring>

namespace {

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool isContainer(uint8_t kind) {
    return kind == BinaryPropertyListScanner::Array || kind == BinaryPropertyListScanner::Dictionary;
}

bool isString(uint8_t kind) {
    return kind == BinaryPropertyListScanner::AsciiString || kind == BinaryPropertyListScanner::Utf16String;
}

}  // namespace

bool BinaryPropertyListScanner::readSized(size_t pos, unsigned bytes, uint64_t& out) const {
    if (pos > end_ || bytes > end_ - pos) return false;
    out = 0;
    for (unsigned i = 0; i < bytes; ++i) out = (out << 8) | data_[pos + i];
    return true;
}

bool BinaryPropertyListScanner::readCount(uint8_t lowNibble, size_t& pos, uint64_t& count, std::string* error) const {
    if (lowNibble != 0x0F) {
        count = lowNibble;
        return true;
    }
    if (pos >= end_) return fail(error, "count runs past the objects");
    uint8_t marker = data_[pos++];
    if ((marker >> 4) != Integer || (marker & 0x0F) > 3) return fail(error, "malformed count");
    unsigned bytes = 1u << (marker & 0x0F);
    if (!readSized(pos, bytes, count)) return fail(error, "count runs past the objects");
    pos += bytes;
    return true;
}

bool BinaryPropertyListScanner::parseObject(uint64_t index, std::string* error) {
    BinaryPropertyListObject& object = objects_[index];
    if (object.parsed) return true;
    // The offset table lies past end_ (checked in scan()), so it is read directly.
    uint64_t offset = 0;
    for (unsigned i = 0; i < offsetSize_; ++i) offset = (offset << 8) | data_[tableOffset_ + index * offsetSize_ + i];
    if (offset < 8 || offset >= end_) return fail(error, "object offset out of range");
    size_t pos = static_cast<size_t>(offset);
    object.marker = data_[pos++];
    uint8_t low = object.width();
    uint64_t length = 0;
    switch (object.kind()) {
    case Simple:
        if (low != 0x08 && low != 0x09) return fail(error, "unsupported simple object");
        break;
    case Integer: {
        if (low > 4) return fail(error, "unsupported integer width");
        unsigned bytes = 1u << low;
        if (pos > end_ || bytes > end_ - pos) return fail(error, "integer runs past the objects");
        if (bytes == 16) {
            bool upperZero = std::all_of(data_ + pos, data_ + pos + 8, [](uint8_t b) { return b == 0; });
            object.wideUnsigned = upperZero;
        }
        break;
    }
    case Real: {
        if (low != 2 && low != 3) return fail(error, "unsupported real width");
        unsigned bytes = 1u << low;
        if (pos > end_ || bytes > end_ - pos) return fail(error, "real runs past the objects");
        break;
    }
    case Date: {
        if (low != 3) return fail(error, "unsupported date width");
        uint64_t bits = 0;
        if (!readSized(pos, 8, bits)) return fail(error, "date runs past the objects");
        std::memcpy(&object.rawDate, &bits, sizeof bits);
        break;
    }
    case Data:
    case AsciiString:
    case Utf16String: {
        if (!readCount(low, pos, length, error)) return false;
        uint64_t unit = object.kind() == Utf16String ? 2 : 1;
        if (length > (end_ - pos) / unit) return fail(error, "string or data runs past the objects");
        // libplist asserts (and so aborts) on a string holding a NUL character.
        if (object.kind() == AsciiString && std::memchr(data_ + pos, 0, static_cast<size_t>(length)))
            return fail(error, "string holds a NUL character");
        if (object.kind() == Utf16String) {
            for (uint64_t i = 0; i < length; ++i)
                if (data_[pos + 2 * i] == 0 && data_[pos + 2 * i + 1] == 0) return fail(error, "string holds a NUL character");
        }
        break;
    }
    case Array:
    case Dictionary: {
        if (!readCount(low, pos, length, error)) return false;
        uint64_t refs = object.kind() == Dictionary ? length * 2 : length;
        if (length > (end_ - pos) / refSize_ || refs > (end_ - pos) / refSize_)
            return fail(error, "container runs past the objects");
        object.refs.resize(static_cast<size_t>(refs));
        for (uint64_t i = 0; i < refs; ++i) {
            uint64_t ref = 0;
            readSized(pos, refSize_, ref);
            pos += refSize_;
            if (ref >= count_) return fail(error, "object reference out of range");
            object.refs[static_cast<size_t>(i)] = ref;
        }
        break;
    }
    default:
        return fail(error, "unsupported object kind");
    }
    object.parsed = true;
    return true;
}

bool BinaryPropertyListScanner::scan(const uint8_t* data, size_t size, int maxDepth, size_t maxNodes, std::string* error) {
    data_ = data;
    if (size < 8 + 32 + 1 || std::memcmp(data, "bplist00", 8) != 0) return fail(error, "not a binary property list");
    const uint8_t* trailer = data + size - 32;
    offsetSize_ = trailer[6];
    refSize_ = trailer[7];
    auto be64 = [](const uint8_t* p) {
        uint64_t v = 0;
        for (int i = 0; i < 8; ++i) v = (v << 8) | p[i];
        return v;
    };
    count_ = be64(trailer + 8);
    top_ = be64(trailer + 16);
    uint64_t tableOffset = be64(trailer + 24);
    auto validWidth = [](unsigned w) { return w == 1 || w == 2 || w == 4 || w == 8; };
    if (!validWidth(offsetSize_) || !validWidth(refSize_)) return fail(error, "bad trailer widths");
    if (count_ == 0 || count_ > maxNodes) return fail(error, "object count out of range");
    if (top_ >= count_) return fail(error, "top object out of range");
    size_t tableEnd = size - 32;
    if (tableOffset < 9 || tableOffset > tableEnd || count_ > (tableEnd - tableOffset) / offsetSize_)
        return fail(error, "offset table out of range");
    tableOffset_ = static_cast<size_t>(tableOffset);
    end_ = tableOffset_;
    objects_.assign(static_cast<size_t>(count_), BinaryPropertyListObject{});

    // Depth-first over the object graph with our own stack. Shared objects are measured once;
    // a reference back into the current path is a cycle.
    enum : uint8_t { White, Gray, Black };
    std::vector<uint8_t> color(static_cast<size_t>(count_), White);
    std::vector<uint64_t> size_(static_cast<size_t>(count_), 0);   // values the object expands to
    std::vector<uint8_t> height(static_cast<size_t>(count_), 0);   // container levels, 0 for scalars
    struct Frame { uint64_t object; size_t next; uint64_t nodes; int height; };
    std::vector<Frame> stack;
    auto saturatingAdd = [&](uint64_t a, uint64_t b) { return std::min<uint64_t>(a + b, maxNodes + 1); };

    if (!parseObject(top_, error)) return false;
    if (!isContainer(objects_[top_].kind())) {
        nodeCount_ = 1;
        depth_ = 0;
        return true;
    }
    if (maxDepth < 1) return fail(error, "nesting too deep");
    color[top_] = Gray;
    stack.push_back({top_, 0, 1, 1});
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const BinaryPropertyListObject& parent = objects_[frame.object];
        if (frame.next < parent.refs.size()) {
            size_t position = frame.next++;
            uint64_t child = parent.refs[position];
            if (color[child] == Gray) return fail(error, "object graph has a cycle");
            if (!parseObject(child, error)) return false;
            const BinaryPropertyListObject& c = objects_[child];
            bool isKey = parent.kind() == Dictionary && position < parent.refs.size() / 2;
            if (isKey && !isString(c.kind())) return fail(error, "dictionary key is not a string");
            if (color[child] == Black) {
                if (static_cast<int>(stack.size()) + height[child] > maxDepth) return fail(error, "nesting too deep");
                frame.nodes = saturatingAdd(frame.nodes, size_[child]);
                frame.height = std::max<int>(frame.height, 1 + height[child]);
                if (frame.nodes > maxNodes) return fail(error, "too many values");
            } else if (isContainer(c.kind())) {
                if (static_cast<int>(stack.size()) + 1 > maxDepth) return fail(error, "nesting too deep");
                color[child] = Gray;
                stack.push_back({child, 0, 1, 1});
            } else {
                color[child] = Black;
                size_[child] = 1;
                frame.nodes = saturatingAdd(frame.nodes, 1);
                if (frame.nodes > maxNodes) return fail(error, "too many values");
            }
            continue;
        }
        Frame done = frame;
        stack.pop_back();
        color[done.object] = Black;
        size_[done.object] = done.nodes;
        height[done.object] = static_cast<uint8_t>(done.height);
        if (!stack.empty()) {
            Frame& up = stack.back();
            up.nodes = saturatingAdd(up.nodes, done.nodes);
            up.height = std::max(up.height, 1 + done.height);
            if (up.nodes > maxNodes) return fail(error, "too many values");
        }
    }
    nodeCount_ = static_cast<size_t>(size_[top_]);
    depth_ = height[top_];
    if (nodeCount_ > maxNodes) return fail(error, "too many values");
    return true;
}
