#include "platform/foundation/Value.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <cstdlib>
#include <limits>

namespace {

struct DataBox { Value::Bytes bytes; };

template <typename T>
const T& emptyOf() {
    static const T empty{};
    return empty;
}

// Doubles convert to integers by truncation, saturating instead of overflowing.
int64_t saturatingInt(double d) {
    if (std::isnan(d)) return 0;
    if (d >= 9223372036854775807.0) return std::numeric_limits<int64_t>::max();
    if (d <= -9223372036854775808.0) return std::numeric_limits<int64_t>::min();
    return static_cast<int64_t>(d);
}

uint64_t saturatingUnsigned(double d) {
    if (std::isnan(d)) return 0;
    if (d < 0) return static_cast<uint64_t>(saturatingInt(d));
    if (d >= 18446744073709551615.0) return std::numeric_limits<uint64_t>::max();
    return static_cast<uint64_t>(d);
}

const char* skipSpace(const char* p) {
    while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r' || *p == '\f' || *p == '\v') ++p;
    return p;
}

// The leading integer of a text, as the phone's string class reads it ("  42abc" is 42).
int64_t leadingInteger(const std::string& s) {
    const char* p = skipSpace(s.c_str());
    bool negative = false;
    if (*p == '+' || *p == '-') negative = (*p++ == '-');
    uint64_t magnitude = 0;
    bool overflow = false;
    while (*p >= '0' && *p <= '9') {
        unsigned digit = static_cast<unsigned>(*p++ - '0');
        if (magnitude > (std::numeric_limits<uint64_t>::max() - digit) / 10) overflow = true;
        else magnitude = magnitude * 10 + digit;
    }
    if (negative) {
        if (overflow || magnitude > 9223372036854775808ull) return std::numeric_limits<int64_t>::min();
        return magnitude == 9223372036854775808ull ? std::numeric_limits<int64_t>::min() : -static_cast<int64_t>(magnitude);
    }
    if (overflow || magnitude > static_cast<uint64_t>(std::numeric_limits<int64_t>::max()))
        return std::numeric_limits<int64_t>::max();
    return static_cast<int64_t>(magnitude);
}

const char* skipDigits(const char* p) {
    while (*p >= '0' && *p <= '9') ++p;
    return p;
}

// The leading decimal number of a text, as the phone's string class reads it: optional sign,
// digits, fraction and exponent, stopping at the first other character. Hex ("0x10" is 0),
// "inf" and "nan" are not numbers there.
double leadingDouble(const std::string& s) {
    const char* start = skipSpace(s.c_str());
    const char* p = start;
    if (*p == '+' || *p == '-') ++p;
    const char* digits = p;
    p = skipDigits(p);
    bool anyDigit = p != digits;
    if (*p == '.') {
        const char* fraction = p + 1;
        p = skipDigits(fraction);
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit) return 0.0;
    if (*p == 'e' || *p == 'E') {
        const char* e = p + 1;
        if (*e == '+' || *e == '-') ++e;
        if (*e >= '0' && *e <= '9') p = skipDigits(e);
    }
    // Only plain decimal text reaches strtod, so it cannot wander into hex or words.
    return std::strtod(std::string(start, p).c_str(), nullptr);
}

bool leadingBool(const std::string& s) {
    const char* p = skipSpace(s.c_str());
    if (*p == '+' || *p == '-') ++p;
    while (*p == '0') ++p;
    char c = *p;
    return c == 'Y' || c == 'y' || c == 'T' || c == 't' || (c >= '1' && c <= '9');
}

std::string shortestDouble(double d) {
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, d);
    return std::string(buf, result.ptr);
}

// A real as the phone's number class writes it: the fewest digits that read back the same value,
// laid out as "%g" lays out 17 digits: plain from 1e-4 up to below 1e17 ("100000000", "0.0001"),
// with an exponent outside ("1e-05", "1e+17").
template <typename Real>
std::string numberText(Real d) {
    if (!std::isfinite(d)) return std::isnan(d) ? "nan" : (d < 0 ? "-inf" : "inf");
    if (d == 0) return std::signbit(d) ? "-0" : "0";
    char buf[64];
    auto result = std::to_chars(buf, buf + sizeof buf, d, std::chars_format::scientific);
    std::string sci(buf, result.ptr);  // "-1.2345e+04"
    std::string sign;
    if (sci[0] == '-') {
        sign = "-";
        sci.erase(0, 1);
    }
    size_t e = sci.find('e');
    int exponent = std::atoi(sci.c_str() + e + 1);
    std::string digits;
    for (size_t i = 0; i < e; ++i)
        if (sci[i] != '.') digits += sci[i];
    if (exponent < -4 || exponent >= 17) {
        std::string mantissa = digits.substr(0, 1) + (digits.size() > 1 ? "." + digits.substr(1) : "");
        std::string exp = std::to_string(exponent < 0 ? -exponent : exponent);
        if (exp.size() < 2) exp = "0" + exp;
        return sign + mantissa + (exponent < 0 ? "e-" : "e+") + exp;
    }
    if (exponent < 0) return sign + "0." + std::string(static_cast<size_t>(-exponent - 1), '0') + digits;
    size_t whole = static_cast<size_t>(exponent) + 1;
    if (digits.size() <= whole) return sign + digits + std::string(whole - digits.size(), '0');
    return sign + digits.substr(0, whole) + "." + digits.substr(whole);
}

}  // namespace

Value::Value(bool b) : type_(Type::Boolean) { scalar_.b_ = b; }
Value::Value(int i) : Value(static_cast<long long>(i)) {}
Value::Value(long i) : Value(static_cast<long long>(i)) {}
Value::Value(long long i) : type_(Type::Integer) { scalar_.i_ = i; }
Value::Value(unsigned u) : Value(static_cast<unsigned long long>(u)) {}
Value::Value(unsigned long u) : Value(static_cast<unsigned long long>(u)) {}
Value::Value(unsigned long long u) : type_(Type::Integer), unsigned_(true) { scalar_.u_ = u; }
Value::Value(double d) : type_(Type::Real) { scalar_.d_ = d; }
Value::Value(float f) : type_(Type::Real), single_(true) { scalar_.d_ = f; }
Value::Value(const char* s) : Value(std::string(s ? s : "")) {}
Value::Value(std::string s) : type_(Type::String), boxed_(std::make_shared<const std::string>(std::move(s))) {}
Value::Value(Array a) : type_(Type::Array), boxed_(std::make_shared<const Array>(std::move(a))) {}
Value::Value(Dictionary d) : type_(Type::Dictionary), boxed_(std::make_shared<const Dictionary>(std::move(d))) {}
Value::Value(std::initializer_list<std::pair<const std::string, Value>> entries) : Value(Dictionary(entries)) {}

Value Value::data(Bytes bytes) {
    Value v;
    v.type_ = Type::Data;
    v.boxed_ = std::make_shared<const DataBox>(DataBox{std::move(bytes)});
    return v;
}

Value Value::date(double secondsSince1970) {
    Value v;
    v.type_ = Type::Date;
    v.scalar_.d_ = secondsSince1970;
    return v;
}

const Value& Value::nilValue() {
    static const Value nil;
    return nil;
}

int64_t Value::integerValue() const {
    switch (type_) {
    case Type::Boolean: return scalar_.b_ ? 1 : 0;
    case Type::Integer: return unsigned_ ? static_cast<int64_t>(scalar_.u_) : scalar_.i_;
    case Type::Real:
    case Type::Date: return saturatingInt(scalar_.d_);
    case Type::String: return leadingInteger(*static_cast<const std::string*>(boxed_.get()));
    default: return 0;
    }
}

uint64_t Value::unsignedValue() const {
    switch (type_) {
    case Type::Boolean: return scalar_.b_ ? 1 : 0;
    case Type::Integer: return unsigned_ ? scalar_.u_ : static_cast<uint64_t>(scalar_.i_);
    case Type::Real:
    case Type::Date: return saturatingUnsigned(scalar_.d_);
    case Type::String: return static_cast<uint64_t>(leadingInteger(*static_cast<const std::string*>(boxed_.get())));
    default: return 0;
    }
}

double Value::doubleValue() const {
    switch (type_) {
    case Type::Boolean: return scalar_.b_ ? 1.0 : 0.0;
    case Type::Integer: return unsigned_ ? static_cast<double>(scalar_.u_) : static_cast<double>(scalar_.i_);
    case Type::Real:
    case Type::Date: return scalar_.d_;
    case Type::String: return leadingDouble(*static_cast<const std::string*>(boxed_.get()));
    default: return 0.0;
    }
}

float Value::floatValue() const { return static_cast<float>(doubleValue()); }

bool Value::boolValue() const {
    switch (type_) {
    case Type::Boolean: return scalar_.b_;
    case Type::Integer: return scalar_.u_ != 0;
    case Type::Real:
    case Type::Date: return scalar_.d_ != 0.0;
    case Type::String: return leadingBool(*static_cast<const std::string*>(boxed_.get()));
    default: return false;
    }
}

std::string Value::stringValue() const {
    switch (type_) {
    case Type::String: return *static_cast<const std::string*>(boxed_.get());
    case Type::Boolean: return scalar_.b_ ? "1" : "0";
    case Type::Integer: return unsigned_ ? std::to_string(scalar_.u_) : std::to_string(scalar_.i_);
    case Type::Real: return single_ ? numberText(static_cast<float>(scalar_.d_)) : numberText(scalar_.d_);
    default: return "";
    }
}

double Value::dateValue() const { return doubleValue(); }

const Value::Bytes& Value::dataValue() const {
    if (type_ != Type::Data) return emptyOf<Bytes>();
    return static_cast<const DataBox*>(boxed_.get())->bytes;
}

const Value::Array& Value::arrayValue() const {
    if (type_ != Type::Array) return emptyOf<Array>();
    return *static_cast<const Array*>(boxed_.get());
}

const Value::Dictionary& Value::dictionaryValue() const {
    if (type_ != Type::Dictionary) return emptyOf<Dictionary>();
    return *static_cast<const Dictionary*>(boxed_.get());
}

size_t Value::count() const {
    switch (type_) {
    case Type::Array: return arrayValue().size();
    case Type::Dictionary: return dictionaryValue().size();
    case Type::String: return static_cast<const std::string*>(boxed_.get())->size();
    case Type::Data: return dataValue().size();
    default: return 0;
    }
}

const Value& Value::operator[](const std::string& key) const {
    if (type_ != Type::Dictionary) return nilValue();
    const auto& d = dictionaryValue();
    auto it = d.find(key);
    return it == d.end() ? nilValue() : it->second;
}

const Value& Value::operator[](size_t index) const {
    if (type_ != Type::Array) return nilValue();
    const auto& a = arrayValue();
    return index < a.size() ? a[index] : nilValue();
}

bool Value::contains(const std::string& key) const {
    return type_ == Type::Dictionary && dictionaryValue().count(key) > 0;
}

Value Value::with(const std::string& key, Value v) const {
    Dictionary d = dictionaryValue();
    d[key] = std::move(v);
    return Value(std::move(d));
}

Value Value::without(const std::string& key) const {
    Dictionary d = dictionaryValue();
    d.erase(key);
    return Value(std::move(d));
}

Value Value::appending(Value v) const {
    Array a = arrayValue();
    a.push_back(std::move(v));
    return Value(std::move(a));
}

Value Value::replacingAt(size_t index, Value v) const {
    Array a = arrayValue();
    if (index < a.size()) a[index] = std::move(v);
    return Value(std::move(a));
}

Value Value::reversed() const {
    Array a = arrayValue();
    return Value(Array(a.rbegin(), a.rend()));
}

bool Value::operator==(const Value& other) const {
    if (isNumber() && other.isNumber()) {
        if (type_ == Type::Real || other.type_ == Type::Real) return doubleValue() == other.doubleValue();
        if (type_ == Type::Boolean && other.type_ == Type::Boolean) return scalar_.b_ == other.scalar_.b_;
        // Compare integers by value, minding the unsigned ones above 2^63.
        bool thisHuge = isUnsigned() && scalar_.u_ > static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        bool otherHuge = other.isUnsigned() && other.scalar_.u_ > static_cast<uint64_t>(std::numeric_limits<int64_t>::max());
        if (thisHuge || otherHuge) return thisHuge && otherHuge && scalar_.u_ == other.scalar_.u_;
        return integerValue() == other.integerValue();
    }
    if (type_ != other.type_) return false;
    switch (type_) {
    case Type::Nil: return true;
    case Type::Date: return scalar_.d_ == other.scalar_.d_;
    case Type::String: return stringValue() == other.stringValue();
    case Type::Data: return dataValue() == other.dataValue();
    case Type::Array: return boxed_ == other.boxed_ || arrayValue() == other.arrayValue();
    case Type::Dictionary: return boxed_ == other.boxed_ || dictionaryValue() == other.dictionaryValue();
    default: return false;
    }
}

bool Value::isIdenticalTo(const Value& other) const {
    if (type_ != other.type_ || isUnsigned() != other.isUnsigned() || isSinglePrecision() != other.isSinglePrecision())
        return false;
    switch (type_) {
    case Type::Array: {
        if (boxed_ == other.boxed_) return true;
        const auto &a = arrayValue(), &b = other.arrayValue();
        if (a.size() != b.size()) return false;
        for (size_t i = 0; i < a.size(); ++i)
            if (!a[i].isIdenticalTo(b[i])) return false;
        return true;
    }
    case Type::Dictionary: {
        if (boxed_ == other.boxed_) return true;
        const auto &a = dictionaryValue(), &b = other.dictionaryValue();
        if (a.size() != b.size()) return false;
        for (auto i = a.begin(), j = b.begin(); i != a.end(); ++i, ++j)
            if (i->first != j->first || !i->second.isIdenticalTo(j->second)) return false;
        return true;
    }
    case Type::Real:
    case Type::Date: {
        // Bit for bit: -0 and 0 are saved differently, and a NaN is the same NaN.
        const double x = type_ == Type::Real ? doubleValue() : scalar_.d_;
        const double y = type_ == Type::Real ? other.doubleValue() : other.scalar_.d_;
        return std::memcmp(&x, &y, sizeof x) == 0;
    }
    default: return *this == other;
    }
}

std::string Value::debugDescription() const {
    switch (type_) {
    case Type::Nil: return "nil";
    case Type::Boolean: return scalar_.b_ ? "YES" : "NO";
    case Type::Integer:
    case Type::Real: return stringValue();
    case Type::String: return "\"" + stringValue() + "\"";
    case Type::Data: return "<" + std::to_string(dataValue().size()) + " bytes>";
    case Type::Date: return "@" + shortestDouble(scalar_.d_);
    case Type::Array: {
        std::string s = "(";
        for (size_t i = 0; i < count(); ++i) s += (i ? ", " : "") + arrayValue()[i].debugDescription();
        return s + ")";
    }
    case Type::Dictionary: {
        std::string s = "{";
        bool first = true;
        for (const auto& [k, v] : dictionaryValue()) {
            s += (first ? "" : "; ") + k + " = " + v.debugDescription();
            first = false;
        }
        return s + "}";
    }
    }
    return "";
}
