#include "platform/foundation/ValueJson.h"

#include <cmath>
#include <cstdint>
#include <string>

using nlohmann::json;

json valueToJson(const Value& v) {
    switch (v.type()) {
        case Value::Type::Boolean: return v.boolValue();
        case Value::Type::Integer: return v.isUnsigned() ? json(v.unsignedValue()) : json(v.integerValue());
        case Value::Type::Real: return std::isfinite(v.doubleValue()) ? json(v.doubleValue()) : json(nullptr);
        case Value::Type::String: return v.stringValue();
        case Value::Type::Date: return v.dateValue();
        case Value::Type::Data: return "<" + std::to_string(v.dataValue().size()) + " bytes>";
        case Value::Type::Array: {
            json a = json::array();
            for (const auto& item : v.arrayValue()) a.push_back(valueToJson(item));
            return a;
        }
        case Value::Type::Dictionary: {
            json o = json::object();
            for (const auto& [key, item] : v.dictionaryValue()) o[key] = valueToJson(item);
            return o;
        }
        default: return nullptr;
    }
}

Value valueFromJson(const json& j) {
    if (j.is_boolean()) return Value(j.get<bool>());
    // Only integers beyond the signed range come back unsigned.
    if (j.is_number_unsigned() && j.get<uint64_t>() > uint64_t(INT64_MAX)) return Value(static_cast<unsigned long long>(j.get<uint64_t>()));
    if (j.is_number_integer()) return Value(j.get<int64_t>());
    if (j.is_number()) return Value(j.get<double>());
    if (j.is_string()) return Value(j.get<std::string>());
    if (j.is_array()) {
        Value::Array a;
        for (const auto& item : j) a.push_back(valueFromJson(item));
        return Value(std::move(a));
    }
    if (j.is_object()) {
        Value::Dictionary d;
        for (auto it = j.begin(); it != j.end(); ++it) d[it.key()] = valueFromJson(it.value());
        return Value(std::move(d));
    }
    return Value();
}
