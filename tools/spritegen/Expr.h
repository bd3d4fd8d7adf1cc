#pragma once
#include <map>
#include <string>

namespace spritegen {

using Variables = std::map<std::string, double>;

// Evaluates an arithmetic expression: numbers, variables (with or without '$'),
// + - * / %, comparisons (< <= > >= == !=, giving 1 or 0), && ||, parentheses and
// the functions sin cos (degrees), abs floor ceil round min max lerp clamp pick.
// pick(i, a, b, c, ...) gives the i-th of the values, counting from 1.
double evaluate(const std::string& text, const Variables& vars);

}  // namespace spritegen
