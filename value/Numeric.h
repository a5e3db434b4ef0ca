// Numbers in the parameter language: the numeric test that a value of type N
// must pass, reading a value as a number (as atof reads it), the canonical
// form of a numeric edit type and writing a number by it. Pure code.
#pragma once

#include <string>
#include <string_view>

namespace numeric {

// The numeric test: after trimming white space, an optional leading "+" or
// "-", then only ".0123456789" with at most one "."; a lone "." fails. The
// empty value and a lone sign pass.
bool IsNumeric(std::string_view value);

// Reads the value as atof does: leading white space, optional sign, digits
// with an optional point and fraction, an optional exponent; stops at the
// first byte that does not fit; no digits give 0. Needs no terminator.
double ReadNumber(std::string_view value);

// The numeric test and the reading together: returns false when the value
// is not numeric, else sets `number` to what ReadNumber gives.
bool ReadIfNumeric(std::string_view value, double& number);

// A parsed numeric edit format: the canonical edit type without its "N",
// e.g. "+010.2" = flags "+0", width 10, precision 2.
struct NumFormat {
  bool plus = false;   // "+": sign before zero and positive numbers
  bool left = false;   // "-": pad on the right
  bool zero = false;   // "0": pad with zeros after the sign
  int width = 0;       // minimum width; 0 = none
  int precision = 6;   // digits after the point; 0 = no point
};

// Parses "[flags][width][.precision]" (the part after "N" of a canonical edit
// type, or after "N" of a CSV type: "" gives %f, ".0" gives %.0f).
NumFormat ParseNumFormat(std::string_view spec);

// Writes `number` by `format` into `out` (overwritten; no allocation once its
// capacity suffices). Rounds on decimal digits: the number is first taken to
// 17 significant digits (an 18th digit of 5 or more raises the 17th), then
// rounded half away from zero at the precision. 1.45 -> "1.5" at precision 1,
// 2.5 -> "3", -0.125 -> "-0.13", 2.675 -> "2.67".
void FormatNumber(double number, const NumFormat& format, std::string& out);

// FormatNumber(ReadNumber(value)) with the same result, faster for the usual
// short decimals. `value` may be a view into `out`.
void FormatNumberText(std::string_view value, const NumFormat& format, std::string& out);

// The numeric test, then FormatNumberText, in one pass: false (and `out`
// untouched) when the value is not numeric.
bool FormatIfNumeric(std::string_view value, const NumFormat& format, std::string& out);

}  // namespace numeric
