#include "platform/foundation/XmlPropertyListScanner.h"

#include <cstring>
#include <limits>
#include <string_view>

namespace {

bool fail(std::string* error, const std::string& why) {
    if (error) *error = why;
    return false;
}

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

XmlPropertyListInteger parseInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && isSpace(text[i])) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
    unsigned base = 10;
    if (i + 1 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
        base = 16;
        i += 2;
    }
    uint64_t magnitude = 0;
    for (; i < text.size(); ++i) {
        char c = text[i];
        unsigned digit;
        if (c >= '0' && c <= '9') digit = static_cast<unsigned>(c - '0');
        else if (base == 16 && c >= 'a' && c <= 'f') digit = static_cast<unsigned>(c - 'a' + 10);
        else if (base == 16 && c >= 'A' && c <= 'F') digit = static_cast<unsigned>(c - 'A' + 10);
        else break;
        magnitude = magnitude * base + digit;
    }
    XmlPropertyListInteger result;
    result.bits = negative ? ~magnitude + 1 : magnitude;
    result.wideUnsigned = !negative && magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
    return result;
}

bool isValueElement(std::string_view name) {
    static const char* names[] = {"array", "dict", "key", "string", "integer", "real", "true", "false", "date", "data"};
    for (const char* n : names)
        if (name == n) return true;
    return false;
}

}  // namespace

bool XmlPropertyListScanner::scan(const uint8_t* bytes, size_t size, int maxDepth, size_t maxNodes, std::string* error) {
    std::string_view text(reinterpret_cast<const char*>(bytes), size);
    integers_.clear();
    nodeCount_ = 0;
    maxSeen_ = 0;
    // libplist asserts (and so aborts) on a string holding a NUL character, raw or as a reference.
    if (text.find('\0') != std::string_view::npos) return fail(error, "NUL character in XML");
    for (size_t at = text.find("&#"); at != std::string_view::npos; at = text.find("&#", at + 2)) {
        size_t i = at + 2;
        bool hex = i < text.size() && (text[i] == 'x' || text[i] == 'X');
        if (hex) ++i;
        size_t digits = i;
        while (i < text.size() && text[i] == '0') ++i;
        if (i > digits && i < text.size() && text[i] == ';') return fail(error, "NUL character in XML");
    }
    int depth = 0;
    size_t pos = 0;
    auto skipPast = [&](std::string_view terminator) {
        size_t at = text.find(terminator, pos);
        if (at == std::string_view::npos) return false;
        pos = at + terminator.size();
        return true;
    };
    while ((pos = text.find('<', pos)) != std::string_view::npos) {
        std::string_view rest = text.substr(pos);
        if (rest.starts_with("<!--")) {
            if (!skipPast("-->")) return fail(error, "unterminated comment");
            continue;
        }
        if (rest.starts_with("<![CDATA[")) {
            if (!skipPast("]]>")) return fail(error, "unterminated CDATA");
            continue;
        }
        if (rest.starts_with("<?")) {
            if (!skipPast("?>")) return fail(error, "unterminated processing instruction");
            continue;
        }
        if (rest.starts_with("<!")) {
            // Doctype, possibly with an internal subset in brackets.
            int brackets = 0;
            size_t i = pos + 2;
            for (; i < text.size(); ++i) {
                if (text[i] == '[') ++brackets;
                else if (text[i] == ']') --brackets;
                else if (text[i] == '>' && brackets <= 0) break;
            }
            if (i >= text.size()) return fail(error, "unterminated doctype");
            pos = i + 1;
            continue;
        }
        bool closing = rest.size() > 1 && rest[1] == '/';
        size_t nameStart = pos + (closing ? 2 : 1);
        size_t nameEnd = nameStart;
        while (nameEnd < text.size() && !isSpace(text[nameEnd]) && text[nameEnd] != '>' && text[nameEnd] != '/') ++nameEnd;
        std::string_view name = text.substr(nameStart, nameEnd - nameStart);
        // The end of the tag, minding quoted attribute values.
        char quote = 0;
        size_t i = nameEnd;
        for (; i < text.size(); ++i) {
            char c = text[i];
            if (quote) {
                if (c == quote) quote = 0;
            } else if (c == '"' || c == '\'') {
                quote = c;
            } else if (c == '>') {
                break;
            }
        }
        if (i >= text.size()) return fail(error, "unterminated tag");
        bool selfClosing = !closing && text[i - 1] == '/';
        pos = i + 1;
        bool container = name == "array" || name == "dict";
        if (closing) {
            if (container && depth > 0) --depth;
            continue;
        }
        if (isValueElement(name) && ++nodeCount_ > maxNodes) return fail(error, "too many values");
        if (container && !selfClosing) {
            if (++depth > maxDepth) return fail(error, "nesting too deep");
            if (depth > maxSeen_) maxSeen_ = depth;
        } else if (container && maxSeen_ < depth + 1) {
            maxSeen_ = depth + 1;
            if (maxSeen_ > maxDepth) return fail(error, "nesting too deep");
        }
        if (name == "integer" && selfClosing) {
            integers_.push_back({});
        } else if (name == "integer") {
            size_t close = text.find('<', pos);
            if (close == std::string_view::npos) return fail(error, "unterminated integer");
            integers_.push_back(parseInteger(text.substr(pos, close - pos)));
        }
    }
    return true;
}
