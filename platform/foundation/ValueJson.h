// Property-list values as JSON and back: the script driver prints the saved state this way and
// the desktop notification centre keeps its schedule this way.
#pragma once

#include <nlohmann/json.hpp>

#include "platform/foundation/Value.h"

// Integers keep their sign (unsigned ones stay unsigned), non-finite reals and nil become null,
// dates become their seconds since 1970, data becomes "<N bytes>" (for reading, not a round trip).
nlohmann::json valueToJson(const Value& value);

// Booleans, integers (signed, unless beyond the signed range), reals, strings, arrays and
// objects; null becomes nil.
Value valueFromJson(const nlohmann::json& json);
