#pragma once
// Value: the property-list value the game passes around (nil, boolean, integer, real, string,
// data, date, array, dictionary). Immutable and cheap to copy: containers and strings are shared.
// Reads convert the way the phone's number class does: numbers convert between each other,
// a numeric string converts too, and anything absent reads as 0, 0.0, NO or nil.
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

class Value {
public:
    enum class Type { Nil, Boolean, Integer, Real, String, Data, Date, Array, Dictionary };
    using Array = std::vector<Value>;
    using Dictionary = std::map<std::string, Value>;
    using Bytes = std::vector<uint8_t>;

    Value() = default;
    Value(std::nullptr_t) {}
    Value(bool b);
    Value(int i);
    Value(long i);
    Value(long long i);
    Value(unsigned u);
    Value(unsigned long u);
    Value(unsigned long long u);
    Value(double d);
    Value(float f);
    Value(const char* s);
    Value(std::string s);
    Value(Array a);
    Value(Dictionary d);
    Value(std::initializer_list<std::pair<const std::string, Value>> entries);

    static Value data(Bytes bytes);
    static Value date(double secondsSince1970);
    static Value array(Array a = {}) { return Value(std::move(a)); }
    static Value dictionary(Dictionary d = {}) { return Value(std::move(d)); }

    Type type() const { return type_; }
    bool isNil() const { return type_ == Type::Nil; }
    bool isBoolean() const { return type_ == Type::Boolean; }
    bool isInteger() const { return type_ == Type::Integer; }
    bool isReal() const { return type_ == Type::Real; }
    bool isNumber() const { return type_ == Type::Boolean || type_ == Type::Integer || type_ == Type::Real; }
    bool isString() const { return type_ == Type::String; }
    bool isData() const { return type_ == Type::Data; }
    bool isDate() const { return type_ == Type::Date; }
    bool isArray() const { return type_ == Type::Array; }
    bool isDictionary() const { return type_ == Type::Dictionary; }
    // An integer stored as unsigned (values above 2^63 keep their magnitude).
    bool isUnsigned() const { return type_ == Type::Integer && unsigned_; }
    // A real that was stored in single precision.
    bool isSinglePrecision() const { return type_ == Type::Real && single_; }

    // Conversions in the manner of the phone's number and string classes.
    int64_t integerValue() const;
    uint64_t unsignedValue() const;
    int intValue() const { return static_cast<int>(integerValue()); }
    float floatValue() const;
    double doubleValue() const;
    bool boolValue() const;
    // Text of a string; numbers give their decimal text; anything else gives "".
    std::string stringValue() const;
    double dateValue() const;  // seconds since 1970; numbers convert too
    const Bytes& dataValue() const;

    // Containers: a value of another kind reads as empty.
    const Array& arrayValue() const;
    const Dictionary& dictionaryValue() const;
    size_t count() const;
    bool empty() const { return count() == 0; }
    // Field of a dictionary, or nil when absent or not a dictionary.
    const Value& operator[](const std::string& key) const;
    const Value& operator[](const char* key) const { return (*this)[std::string(key)]; }
    // Element of an array, or nil when out of range or not an array.
    const Value& operator[](size_t index) const;
    const Value& operator[](int index) const { return index < 0 ? nilValue() : (*this)[static_cast<size_t>(index)]; }
    bool contains(const std::string& key) const;

    // Copies with one change: records are immutable, a change copies and writes whole.
    Value with(const std::string& key, Value v) const;   // a dictionary copy (nil self gives a new one)
    Value without(const std::string& key) const;
    Value appending(Value v) const;                      // an array copy (nil self gives a new one)
    Value replacingAt(size_t index, Value v) const;
    Value reversed() const;                              // reversedArray

    bool operator==(const Value& other) const;
    bool operator!=(const Value& other) const { return !(*this == other); }
    // Equal and of the same kinds all the way down (signedness and precision too): what the
    // saved file would hold is the same. == compares numbers by value alone.
    bool isIdenticalTo(const Value& other) const;

    // A short text for logs and test failures; not a serialisation.
    std::string debugDescription() const;

    static const Value& nilValue();

private:
    Type type_ = Type::Nil;
    bool unsigned_ = false;
    bool single_ = false;
    union {
        bool b_;
        int64_t i_;
        uint64_t u_;
        double d_;
    } scalar_{};
    std::shared_ptr<const void> boxed_;  // string, data, array or dictionary
};
