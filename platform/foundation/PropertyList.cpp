#include "platform/foundation/PropertyList.h"

#include <plist/plist.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <memory>

#include "platform/foundation/BinaryPropertyListScanner.h"
#include "platform/foundation/DataFile.h"
#include "platform/foundation/BinaryPropertyListWriter.h"
#include "platform/foundation/XmlPropertyListScanner.h"

namespace {

struct PlistFree {
    void operator()(plist_t p) const { plist_free(p); }
};
using PlistPtr = std::unique_ptr<void, PlistFree>;

std::optional<Value> failRead(std::string* error, const std::string& why) {
    if (error) *error = why;
    return std::nullopt;
}

// Turns a libplist tree into a Value. The tree is known to be within the depth limit. The kinds
// libplist forgets come from our own scan: per object for binary input, in document order for
// XML. Should the scan and the tree ever disagree, the hints are dropped and we read again plainly.
class Converter {
public:
    const BinaryPropertyListScanner* binary = nullptr;
    const XmlPropertyListScanner* xml = nullptr;
    bool mismatch = false;
    bool unsupported = false;

    Value convert(plist_t node, uint64_t object, int depth) {
        if (depth > PropertyList::maxDepth + 1) {
            unsupported = true;
            return Value();
        }
        const BinaryPropertyListObject* info = binary ? &binary->object(object) : nullptr;
        switch (plist_get_node_type(node)) {
        case PLIST_BOOLEAN: {
            uint8_t b = 0;
            plist_get_bool_val(node, &b);
            return Value(b != 0);
        }
        case PLIST_UINT: {
            uint64_t bits = 0;
            plist_get_uint_val(node, &bits);
            bool wideUnsigned = false;
            if (info) {
                if (info->kind() != BinaryPropertyListScanner::Integer) mismatch = true;
                wideUnsigned = info->wideUnsigned;
            } else if (xml) {
                if (xmlCursor_ >= xml->integers().size() || xml->integers()[xmlCursor_].bits != bits) mismatch = true;
                else wideUnsigned = xml->integers()[xmlCursor_].wideUnsigned;
                ++xmlCursor_;
            }
            if (wideUnsigned) return Value(static_cast<unsigned long long>(bits));
            return Value(static_cast<long long>(bits));
        }
        case PLIST_REAL: {
            double d = 0;
            plist_get_real_val(node, &d);
            if (info) {
                if (info->kind() != BinaryPropertyListScanner::Real) mismatch = true;
                else if (info->width() == 2) return Value(static_cast<float>(d));
            }
            return Value(d);
        }
        case PLIST_STRING: {
            char* s = nullptr;
            plist_get_string_val(node, &s);
            Value v(std::string(s ? s : ""));
            free(s);
            return v;
        }
        case PLIST_DATA: {
            char* bytes = nullptr;
            uint64_t length = 0;
            plist_get_data_val(node, &bytes, &length);
            Value v = Value::data(Value::Bytes(reinterpret_cast<uint8_t*>(bytes), reinterpret_cast<uint8_t*>(bytes) + length));
            free(bytes);
            return v;
        }
        case PLIST_DATE: {
            if (info) {
                if (info->kind() != BinaryPropertyListScanner::Date) mismatch = true;
                else return Value::date(info->rawDate + PropertyList::referenceDateOffset);
            }
            int32_t sec = 0, usec = 0;
            plist_get_date_val(node, &sec, &usec);
            return Value::date(sec + usec / 1e6 + PropertyList::referenceDateOffset);
        }
        case PLIST_ARRAY: {
            uint32_t n = plist_array_get_size(node);
            if (info && (info->kind() != BinaryPropertyListScanner::Array || info->refs.size() != n)) {
                mismatch = true;
                info = nullptr;
            }
            // libplist 2.2 finds an element by index walking from the first one: read in order
            // through its iterator, or a long array costs the square of its length.
            Value::Array a;
            a.reserve(n);
            plist_array_iter it = nullptr;
            plist_array_new_iter(node, &it);
            for (uint32_t i = 0; i < n && !mismatch && !unsupported; ++i) {
                plist_t item = nullptr;
                plist_array_next_item(node, it, &item);
                if (!item) {
                    unsupported = true;
                    break;
                }
                a.push_back(convert(item, info ? info->refs[i] : 0, depth + 1));
            }
            free(it);
            return Value(std::move(a));
        }
        case PLIST_DICT: {
            uint32_t n = plist_dict_get_size(node);
            if (info && (info->kind() != BinaryPropertyListScanner::Dictionary || info->refs.size() != 2ull * n)) {
                mismatch = true;
                info = nullptr;
            }
            Value::Dictionary d;
            plist_dict_iter it = nullptr;
            plist_dict_new_iter(node, &it);
            for (uint32_t i = 0; i < n && !mismatch && !unsupported; ++i) {
                char* key = nullptr;
                plist_t item = nullptr;
                plist_dict_next_item(node, it, &key, &item);
                if (!key || !item) {
                    free(key);
                    unsupported = true;
                    break;
                }
                Value v = convert(item, info ? info->refs[n + i] : 0, depth + 1);
                d.emplace(key, std::move(v));  // the first of repeated keys wins
                free(key);
            }
            free(it);
            return Value(std::move(d));
        }
        default:
            unsupported = true;  // UIDs, keys outside dictionaries
            return Value();
        }
    }

private:
    size_t xmlCursor_ = 0;
};

// A libplist integer node that prints and writes as unsigned: libplist marks those it parsed from
// text above 2^63 - 1, and has no call to make one directly.
plist_t newWideUnsigned(uint64_t u) {
    std::string xml = "<plist><integer>" + std::to_string(u) + "</integer></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.c_str(), static_cast<uint32_t>(xml.size()), &node);
    return node ? node : plist_new_uint(u);
}

plist_t toPlist(const Value& v, int depth, std::string* error) {
    switch (v.type()) {
    case Value::Type::Boolean: return plist_new_bool(v.boolValue());
    case Value::Type::Integer:
        if (v.isUnsigned() && v.unsignedValue() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return newWideUnsigned(v.unsignedValue());
        return plist_new_uint(v.unsignedValue());
    case Value::Type::Real: return plist_new_real(v.doubleValue());
    case Value::Type::String: return plist_new_string(v.stringValue().c_str());
    case Value::Type::Data: {
        const auto& bytes = v.dataValue();
        return plist_new_data(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    }
    case Value::Type::Date: {
        // libplist keeps dates as 32-bit seconds since 2001 and microseconds.
        double since2001 = v.dateValue() - PropertyList::referenceDateOffset;
        double whole = std::floor(since2001);
        if (std::isnan(whole)) whole = 0;
        whole = std::fmax(std::fmin(whole, 2147483647.0), -2147483648.0);
        int32_t usec = static_cast<int32_t>(std::lround((since2001 - whole) * 1e6));
        if (usec >= 1000000 || usec < 0) usec = 0;
        return plist_new_date(static_cast<int32_t>(whole), usec);
    }
    case Value::Type::Array:
    case Value::Type::Dictionary: {
        if (depth + 1 > PropertyList::maxDepth) {
            if (error) *error = "nesting too deep";
            return nullptr;
        }
        bool isArray = v.isArray();
        PlistPtr node(isArray ? plist_new_array() : plist_new_dict());
        if (isArray) {
            for (const Value& element : v.arrayValue()) {
                if (element.isNil()) continue;
                plist_t child = toPlist(element, depth + 1, error);
                if (!child) return nullptr;
                plist_array_append_item(node.get(), child);
            }
        } else {
            for (const auto& [key, element] : v.dictionaryValue()) {
                if (element.isNil()) continue;
                plist_t child = toPlist(element, depth + 1, error);
                if (!child) return nullptr;
                plist_dict_set_item(node.get(), key.c_str(), child);
            }
        }
        return node.release();
    }
    case Value::Type::Nil: break;
    }
    if (error) *error = "nothing to write";
    return nullptr;
}

}  // namespace

std::optional<Value> PropertyList::read(const std::vector<uint8_t>& bytes, std::string* error,
                                        std::optional<Value::Type> expectedRoot) {
    if (bytes.empty()) return failRead(error, "empty input");
    if (bytes.size() > maxBytes) return failRead(error, "input larger than the limit");
    const char* data = reinterpret_cast<const char*>(bytes.data());
    uint32_t length = static_cast<uint32_t>(bytes.size());
    bool isBinary = bytes.size() >= 6 && std::memcmp(data, "bplist", 6) == 0;

    BinaryPropertyListScanner binaryScan;
    XmlPropertyListScanner xmlScan;
    std::string why;
    plist_t raw = nullptr;
    if (isBinary) {
        if (!binaryScan.scan(bytes.data(), bytes.size(), maxDepth, maxNodes, &why)) return failRead(error, why);
        plist_from_bin(data, length, &raw);
    } else {
        if (!xmlScan.scan(bytes.data(), bytes.size(), maxDepth, maxNodes, &why)) return failRead(error, why);
        plist_from_xml(data, length, &raw);
    }
    PlistPtr root(raw);
    if (!root) return failRead(error, isBinary ? "malformed binary property list" : "malformed XML property list");

    Converter converter;
    if (isBinary) converter.binary = &binaryScan;
    else converter.xml = &xmlScan;
    Value value = converter.convert(root.get(), binaryScan.topObject(), 1);
    if (converter.mismatch) {
        Converter plain;
        value = plain.convert(root.get(), 0, 1);
        converter.unsupported = plain.unsupported;
    }
    if (converter.unsupported) return failRead(error, "unsupported value in property list");
    if (expectedRoot && value.type() != *expectedRoot) return failRead(error, "root is not of the expected kind");
    return value;
}

std::optional<Value> PropertyList::readFile(const std::string& path, std::string* error,
                                            std::optional<Value::Type> expectedRoot) {
    DataFile::Contents contents = DataFile::read(path, maxBytes);
    if (contents.status == DataFile::Status::Missing) return failRead(error, "cannot open " + path + ": no such file");
    if (contents.status == DataFile::Status::Unusable) return failRead(error, contents.error);
    return read(contents.bytes, error, expectedRoot);
}

std::vector<uint8_t> PropertyList::writeXml(const Value& value, std::string* error) {
    PlistPtr root(toPlist(value, 0, error));
    if (!root) return {};
    char* xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (!xml) {
        if (error) *error = "libplist wrote nothing";
        return {};
    }
    std::vector<uint8_t> out(xml, xml + length);
    free(xml);
    return out;
}

std::vector<uint8_t> PropertyList::writeBinary(const Value& value, std::string* error) {
    return BinaryPropertyListWriter::write(value, maxDepth, error);
}
