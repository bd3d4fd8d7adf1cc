#include "platform/foundation/BinaryPropertyListWriter.h"

#include <cstring>
#include <unordered_map>

#include "platform/foundation/PropertyList.h"

namespace {

// Decodes UTF-8 into UTF-16 code units; a malformed sequence becomes U+FFFD.
std::vector<uint16_t> toUtf16(const std::string& s) {
    std::vector<uint16_t> out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        uint8_t c = static_cast<uint8_t>(s[i]);
        uint32_t cp = 0xFFFD;
        size_t extra = 0;
        uint32_t minimum = 0;
        if (c < 0x80) { cp = c; }
        else if ((c & 0xE0) == 0xC0) { cp = c & 0x1F; extra = 1; minimum = 0x80; }
        else if ((c & 0xF0) == 0xE0) { cp = c & 0x0F; extra = 2; minimum = 0x800; }
        else if ((c & 0xF8) == 0xF0) { cp = c & 0x07; extra = 3; minimum = 0x10000; }
        else { extra = 0; cp = 0xFFFD; }
        ++i;
        bool ok = true;
        for (size_t k = 0; k < extra; ++k) {
            if (i >= s.size() || (static_cast<uint8_t>(s[i]) & 0xC0) != 0x80) { ok = false; break; }
            cp = (cp << 6) | (static_cast<uint8_t>(s[i]) & 0x3F);
            ++i;
        }
        if (!ok || cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<uint16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<uint16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<uint16_t>(cp));
        }
    }
    return out;
}

bool isUtf8(const std::string& s) {
    std::vector<uint16_t> units = toUtf16(s);
    size_t replacements = 0, expected = 0;
    for (uint16_t u : units) replacements += u == 0xFFFD;
    for (size_t i = 0; i + 2 < s.size(); ++i) expected += s.compare(i, 3, "\xEF\xBF\xBD") == 0;
    return replacements == expected;  // every U+FFFD was in the text already
}

class Writer {
public:
    Writer(int maxDepth) : maxDepth_(maxDepth) {}

    bool collect(const Value& v, int depth, std::string* error, size_t& index) {
        if ((v.isArray() || v.isDictionary()) && depth + 1 > maxDepth_) {
            if (error) *error = "nesting too deep";
            return false;
        }
        if (v.isString()) {
            index = stringIndex(v.stringValue());
            return true;
        }
        index = objects_.size();
        objects_.push_back({&v, {}, {}});
        std::vector<uint64_t> refs;
        if (v.isArray()) {
            for (const Value& element : v.arrayValue()) {
                if (element.isNil()) continue;
                size_t child;
                if (!collect(element, depth + 1, error, child)) return false;
                refs.push_back(child);
            }
        } else if (v.isDictionary()) {
            std::vector<uint64_t> values;
            for (const auto& [key, element] : v.dictionaryValue()) {
                if (element.isNil()) continue;
                size_t valueIndex;
                refs.push_back(stringIndex(key));
                if (!collect(element, depth + 1, error, valueIndex)) return false;
                values.push_back(valueIndex);
            }
            refs.insert(refs.end(), values.begin(), values.end());
        }
        objects_[index].refs = std::move(refs);
        return true;
    }

    std::vector<uint8_t> serialise(size_t top) {
        refSize_ = objects_.size() < 0x100 ? 1 : objects_.size() < 0x10000 ? 2 : 4;
        out_.assign({'b', 'p', 'l', 'i', 's', 't', '0', '0'});
        std::vector<uint64_t> offsets;
        offsets.reserve(objects_.size());
        for (const Object& object : objects_) {
            offsets.push_back(out_.size());
            writeObject(object);
        }
        uint64_t tableOffset = out_.size();
        unsigned offsetSize = tableOffset < 0x100 ? 1 : tableOffset < 0x10000 ? 2 : tableOffset < 0x100000000ull ? 4 : 8;
        for (uint64_t offset : offsets) appendBigEndian(offset, offsetSize);
        for (int i = 0; i < 6; ++i) out_.push_back(0);
        out_.push_back(static_cast<uint8_t>(offsetSize));
        out_.push_back(static_cast<uint8_t>(refSize_));
        appendBigEndian(objects_.size(), 8);
        appendBigEndian(top, 8);
        appendBigEndian(tableOffset, 8);
        return std::move(out_);
    }

private:
    struct Object {
        const Value* value;      // nil for a string object
        std::string text;        // the string of a string object
        std::vector<uint64_t> refs;
    };

    // Strings, keys included, are stored once.
    size_t stringIndex(const std::string& s) {
        auto [it, fresh] = strings_.emplace(s, objects_.size());
        if (fresh) objects_.push_back({nullptr, s, {}});
        return it->second;
    }

    void writeString(const std::string& s) {
        bool ascii = true;
        for (char c : s) ascii = ascii && static_cast<uint8_t>(c) < 0x80;
        // Text that is not UTF-8 (from a damaged file) is kept byte for byte in the one-byte
        // form: turned into U+FFFD, two such keys would become one and a value would be lost.
        if (ascii || !isUtf8(s)) {
            writeMarker(0x5, s.size());
            out_.insert(out_.end(), s.begin(), s.end());
        } else {
            std::vector<uint16_t> units = toUtf16(s);
            writeMarker(0x6, units.size());
            for (uint16_t u : units) appendBigEndian(u, 2);
        }
    }

    void appendBigEndian(uint64_t v, unsigned bytes) {
        for (unsigned i = bytes; i-- > 0;) out_.push_back(static_cast<uint8_t>(v >> (8 * i)));
    }

    void writeMarker(uint8_t kind, uint64_t count) {
        if (count < 15) {
            out_.push_back(static_cast<uint8_t>((kind << 4) | count));
            return;
        }
        out_.push_back(static_cast<uint8_t>((kind << 4) | 0x0F));
        writeUnsignedShort(count);
    }

    // The shortest 1/2/4/8-byte form of a non-negative integer.
    void writeUnsignedShort(uint64_t v) {
        if (v <= 0xFF) { out_.push_back(0x10); appendBigEndian(v, 1); }
        else if (v <= 0xFFFF) { out_.push_back(0x11); appendBigEndian(v, 2); }
        else if (v <= 0xFFFFFFFFull) { out_.push_back(0x12); appendBigEndian(v, 4); }
        else { out_.push_back(0x13); appendBigEndian(v, 8); }
    }

    void writeObject(const Object& object) {
        if (!object.value) {
            writeString(object.text);
            return;
        }
        const Value& v = *object.value;
        switch (v.type()) {
        case Value::Type::Boolean:
            out_.push_back(v.boolValue() ? 0x09 : 0x08);
            break;
        case Value::Type::Integer:
            if (v.isUnsigned()) {
                out_.push_back(0x14);
                appendBigEndian(0, 8);
                appendBigEndian(v.unsignedValue(), 8);
            } else if (v.integerValue() < 0) {
                out_.push_back(0x13);
                appendBigEndian(static_cast<uint64_t>(v.integerValue()), 8);
            } else {
                writeUnsignedShort(static_cast<uint64_t>(v.integerValue()));
            }
            break;
        case Value::Type::Real:
            if (v.isSinglePrecision()) {
                float f = v.floatValue();
                uint32_t bits;
                std::memcpy(&bits, &f, sizeof bits);
                out_.push_back(0x22);
                appendBigEndian(bits, 4);
            } else {
                writeDouble(0x23, v.doubleValue());
            }
            break;
        case Value::Type::Date:
            writeDouble(0x33, v.dateValue() - PropertyList::referenceDateOffset);
            break;
        case Value::Type::Data:
            writeMarker(0x4, v.dataValue().size());
            out_.insert(out_.end(), v.dataValue().begin(), v.dataValue().end());
            break;
        case Value::Type::String:
            writeString(v.stringValue());
            break;
        case Value::Type::Array:
            writeMarker(0xA, object.refs.size());
            for (uint64_t r : object.refs) appendBigEndian(r, refSize_);
            break;
        case Value::Type::Dictionary:
            writeMarker(0xD, object.refs.size() / 2);
            for (uint64_t r : object.refs) appendBigEndian(r, refSize_);
            break;
        case Value::Type::Nil:
            break;
        }
    }

    void writeDouble(uint8_t marker, double d) {
        uint64_t bits;
        std::memcpy(&bits, &d, sizeof bits);
        out_.push_back(marker);
        appendBigEndian(bits, 8);
    }

    int maxDepth_;
    std::vector<Object> objects_;
    std::unordered_map<std::string, size_t> strings_;
    std::vector<uint8_t> out_;
    unsigned refSize_ = 1;
};

}  // namespace

std::vector<uint8_t> BinaryPropertyListWriter::write(const Value& root, int maxDepth, std::string* error) {
    if (root.isNil()) {
        if (error) *error = "nothing to write";
        return {};
    }
    Writer writer(maxDepth);
    size_t top = 0;
    if (!writer.collect(root, 0, error, top)) return {};
    return writer.serialise(top);
}
