// Number reading shared by the CSS and colour values: strict, locale-free, never raising.
#pragma once

#include <QString>
#include <optional>

namespace kavel::css {

// A decimal integer with an optional sign and blanks around it, within the 32-bit range.
std::optional<int> ParseInteger(const QString& text);

// A decimal number with an optional sign, fraction and exponent, and blanks around it.
// Infinities and NaN are not numbers here.
std::optional<double> ParseNumber(const QString& text);

// The value rounded to the nearest integer, halves to even, when the result fits 32 bits.
std::optional<int> RoundToInt(double value);

// The text without every occurrence of `unit`.
QString WithoutUnit(const QString& text, const QString& unit);

}  // namespace kavel::css
