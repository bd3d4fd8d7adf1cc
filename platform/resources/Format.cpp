#include "platform/resources/Format.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>

namespace {

// One conversion as written in the format, from its '%' to its conversion character.
struct Directive {
    size_t end = 0;            // index just past the directive
    bool complete = false;     // the text did not stop inside it
    bool positional = false;   // written as "%n$..."
    size_t position = 0;       // 1-based; 0 is never an argument
    std::string flags;         // only characters of "-+ #0", each once
    int width = -1;
    int precision = -1;
    bool star = false;         // '*' width or precision: not supported
    bool wide = false;         // l, ll, q, z, j or t: unsigned wrap at 64 bits
    char conversion = 0;
};

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// Reads digits at i, capping the number instead of overflowing.
size_t readNumber(const std::string& s, size_t& i, size_t cap) {
    size_t n = 0;
    while (i < s.size() && isDigit(s[i])) {
        n = n * 10 + static_cast<size_t>(s[i] - '0');
        if (n > cap) n = cap;
        ++i;
    }
    return n;
}

Directive parse(const std::string& f, size_t percentAt) {
    Directive d;
    size_t i = percentAt + 1;
    const size_t n = f.size();

    // "%2$": a position is digits closed by '$'; anything else is read again as flags and width.
    if (i < n && isDigit(f[i])) {
        size_t j = i;
        size_t pos = readNumber(f, j, 1u << 20);
        if (j < n && f[j] == '$') {
            d.positional = true;
            d.position = pos;
            i = j + 1;
        }
    }
    for (; i < n; ++i) {
        char c = f[i];
        if (c == '\'') continue;  // thousands grouping: locale-dependent, ignored
        if (c != '-' && c != '+' && c != ' ' && c != '#' && c != '0') break;
        if (d.flags.find(c) == std::string::npos) d.flags += c;
    }
    if (i < n && f[i] == '*') {
        d.star = true;
        ++i;
        readNumber(f, i, 1u << 20);
        if (i < n && f[i] == '$') ++i;
    } else if (i < n && isDigit(f[i])) {
        d.width = static_cast<int>(readNumber(f, i, kMaxFormatWidth));
    }
    if (i < n && f[i] == '.') {
        ++i;
        if (i < n && f[i] == '*') {
            d.star = true;
            ++i;
            readNumber(f, i, 1u << 20);
            if (i < n && f[i] == '$') ++i;
        } else {
            d.precision = static_cast<int>(readNumber(f, i, kMaxFormatWidth));
        }
    }
    while (i < n && std::strchr("hlqLzjt", f[i]) != nullptr && f[i] != '\0') {
        if (f[i] != 'h' && f[i] != 'L') d.wide = true;
        ++i;
    }
    if (i >= n) {
        d.end = n;
        return d;
    }
    d.conversion = f[i++];
    // An unknown conversion that starts a multi-byte character takes the whole character with it.
    if (static_cast<unsigned char>(d.conversion) >= 0x80)
        while (i < n && (static_cast<unsigned char>(f[i]) & 0xC0) == 0x80) ++i;
    d.end = i;
    d.complete = true;
    return d;
}

enum class Kind { Percent, Text, String, Signed, Unsigned, Floating, Character, Unknown };

Kind kindOf(char c) {
    switch (c) {
    case '%': return Kind::Percent;
    case '@': return Kind::Text;
    case 's': case 'S': return Kind::String;
    case 'd': case 'i': return Kind::Signed;
    case 'u': case 'x': case 'X': case 'o': return Kind::Unsigned;
    case 'f': case 'F': case 'e': case 'E': case 'g': case 'G': case 'a': case 'A': return Kind::Floating;
    case 'c': case 'C': return Kind::Character;
    default: return Kind::Unknown;  // %n is refused here too
    }
}

bool usesArgument(const Directive& d) {
    if (!d.complete || d.star) return false;
    Kind k = kindOf(d.conversion);
    return k != Kind::Percent && k != Kind::Unknown;
}

// The C conversion spec for one directive, made only from parsed flags, capped numbers and a
// conversion chosen here, never from the player's or the table's text.
std::string cSpec(const Directive& d, const char* flagsAllowed, const char* lengthAndConversion) {
    std::string spec = "%";
    for (char c : d.flags)
        if (std::strchr(flagsAllowed, c) != nullptr) spec += c;
    if (d.width >= 0) spec += std::to_string(d.width);
    if (d.precision >= 0) spec += "." + std::to_string(d.precision);
    spec += lengthAndConversion;
    return spec;
}

template <typename T>
std::string cFormat(const std::string& spec, T value) {
    char small[128];
    int len = std::snprintf(small, sizeof small, spec.c_str(), value);
    if (len < 0) return "";
    if (static_cast<size_t>(len) < sizeof small) return std::string(small, static_cast<size_t>(len));
    std::string out(static_cast<size_t>(len) + 1, '\0');
    std::snprintf(out.data(), out.size(), spec.c_str(), value);
    out.resize(static_cast<size_t>(len));
    return out;
}

size_t codePoints(const std::string& s) {
    size_t count = 0;
    for (unsigned char c : s)
        if ((c & 0xC0) != 0x80) ++count;
    return count;
}

// The first `limit` characters of a UTF-8 text, cut on a character boundary.
std::string firstCharacters(const std::string& s, size_t limit) {
    size_t seen = 0;
    for (size_t i = 0; i < s.size(); ++i) {
        if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) {
            if (seen == limit) return s.substr(0, i);
            ++seen;
        }
    }
    return s;
}

std::string padText(std::string text, const Directive& d) {
    if (d.precision >= 0) text = firstCharacters(text, static_cast<size_t>(d.precision));
    size_t length = codePoints(text);
    if (d.width > 0 && length < static_cast<size_t>(d.width)) {
        std::string pad(static_cast<size_t>(d.width) - length, ' ');
        bool left = d.flags.find('-') != std::string::npos;
        text = left ? text + pad : pad + text;
    }
    return text;
}

std::string utf8(uint32_t cp) {
    std::string out;
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return out;
}

uint64_t unsignedBits(const Value& v, bool wide) {
    if (v.isUnsigned()) return v.unsignedValue();
    if (v.isReal() && v.doubleValue() >= 0) return v.unsignedValue();  // saturates at 2^64 - 1
    int64_t s = v.integerValue();
    if (s >= 0) return static_cast<uint64_t>(s);
    if (!wide && s >= std::numeric_limits<int32_t>::min())
        return static_cast<uint32_t>(static_cast<int32_t>(s));
    return static_cast<uint64_t>(s);
}

std::string convert(const Directive& d, const Value& v) {
    switch (kindOf(d.conversion)) {
    case Kind::Text:
        if (v.isString() || v.isNumber()) return padText(v.stringValue(), d);
        if (v.isNil()) return padText("(null)", d);
        return padText(v.debugDescription(), d);
    case Kind::String:
        return v.isString() ? padText(v.stringValue(), d) : "";
    case Kind::Signed:
        if (!v.isNumber()) return "";
        if (v.isUnsigned() && v.unsignedValue() > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
            return cFormat(cSpec(d, "-+ 0", "llu"), static_cast<unsigned long long>(v.unsignedValue()));
        return cFormat(cSpec(d, "-+ 0", "lld"), static_cast<long long>(v.integerValue()));
    case Kind::Unsigned: {
        if (!v.isNumber()) return "";
        const char* conv = d.conversion == 'u' ? "llu" : d.conversion == 'o' ? "llo" : d.conversion == 'x' ? "llx" : "llX";
        return cFormat(cSpec(d, "-#0", conv), static_cast<unsigned long long>(unsignedBits(v, d.wide)));
    }
    case Kind::Floating: {
        if (!v.isNumber()) return "";
        const char conv[2] = {d.conversion, '\0'};
        return cFormat(cSpec(d, "-+ #0", conv), v.doubleValue());
    }
    case Kind::Character: {
        if (!v.isNumber()) return "";
        int64_t cp = v.integerValue();
        if (cp <= 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return "";
        Directive noPrecision = d;
        noPrecision.precision = -1;
        return padText(utf8(static_cast<uint32_t>(cp)), noPrecision);
    }
    case Kind::Percent:
    case Kind::Unknown:
        break;
    }
    return "";
}

}  // namespace

std::string stringWithFormat(const std::string& format, const std::vector<Value>& args) {
    // First look: a format uses positions everywhere or nowhere.
    bool positional = false, plain = false;
    for (size_t i = format.find('%'); i != std::string::npos; i = format.find('%', i)) {
        Directive d = parse(format, i);
        if (usesArgument(d)) (d.positional ? positional : plain) = true;
        i = d.end;
    }
    const bool mixed = positional && plain;

    std::string out;
    out.reserve(format.size() + 16 * args.size());
    size_t nextArgument = 0;
    size_t i = 0;
    while (i < format.size()) {
        size_t percent = format.find('%', i);
        if (percent == std::string::npos) {
            out.append(format, i, std::string::npos);
            break;
        }
        out.append(format, i, percent - i);
        Directive d = parse(format, percent);
        i = d.end;
        if (!d.complete) continue;
        if (d.conversion == '%') {
            out += '%';
            continue;
        }
        if (!usesArgument(d) || mixed) continue;
        if (d.positional && d.position == 0) continue;
        size_t index = d.positional ? d.position - 1 : nextArgument++;
        if (index >= args.size()) continue;
        out += convert(d, args[index]);
    }
    return out;
}
