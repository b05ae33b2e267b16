#pragma once

#include <QString>

#include <cstdint>
#include <optional>

// Number rules shared by every window: how numbers are typed, rounded and
// written back as text.
namespace conv {

// Plain decimal text of a whole number: no leading blank, no leading zeros.
QString decimalText(long long value);

// True when the text is a number as the measurement boxes accept it: optional
// blanks (spaces, tabs) around it, an optional sign, digits with at most one
// decimal point and an optional exponent. Empty or blank text is not a number,
// nor is a number too large for a double; one too small for a double is zero.
bool isNumeric(const QString &text);

// The value of a text that isNumeric() accepts; nothing otherwise.
std::optional<double> parseNumber(const QString &text);

// Nearest whole number, a half going to the even neighbour (0.5 -> 0,
// 1.5 -> 2, 2.5 -> 2, -2.5 -> -2).
double roundHalfEven(double value);

// The whole-number conversion to a 16-bit integer. Nothing when the rounded
// value lies outside -32768..32767 (an overflow) or the value is not finite.
std::optional<std::int16_t> toInt16(double value);

// A number written as text: whole numbers without a point, other values with
// at most 15 significant digits and no trailing zeros (2.4000000000000004 gives
// 2.4, 12.5 gives 12.5). The text of a finite value always reads back as a
// number.
QString numberText(double value);

} // namespace conv
