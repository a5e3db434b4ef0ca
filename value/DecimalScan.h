// The decimal number at the front of a value, scanned once (internal to
// value/: shared by reading numbers and writing them). The scan follows the
// shape atof reads — white space, a sign, digits, a point, fraction digits;
// the exponent is left to the reader — which is also the shape of the
// numeric test, so the test is a look at the scan (PassesNumericTest).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace numeric {

// Significant digits kept before a number is written by its precision.
constexpr int kSignificant = 17;

// Longest precision written. Far beyond any output line (100,000 bytes), and
// it keeps a freak edit type such as "N.8999999999" from asking for gigabytes.
constexpr int kMaxPrecision = 100000;

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The bytes strtod skips before a number (isspace in the "C" locale). No
// byte of a double-byte character is one of them, nor a digit, a sign or
// the point, so byte-wise scanning is safe in code page 932 text.
inline bool IsSpace(char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

inline bool IsExponentMark(std::string_view value, size_t i) {
  return i < value.size() && (value[i] == 'e' || value[i] == 'E');
}

// Keeps the significant digits both as text (for writing them back) and as
// an integer (for reading them).
struct DecimalScan {
  bool negative = false;
  bool anyDigit = false;
  size_t start = 0;       // offset after the leading white space
  size_t mantissa = 0;    // offset of the first digit or point
  size_t end = 0;         // offset just after the last fraction digit
  int intDigits = 0;      // integer digits after leading zeros
  int leadingZeros = 0;   // fraction zeros before the first non-zero digit
  int fraction = 0;       // fraction digits
  int significant = 0;    // digits from the first non-zero one on
  uint64_t digitsValue = 0;       // the first 19 of them as a number
  char digitsText[kSignificant];  // the first 17 of them as text (only those taken are set)

  explicit DecimalScan(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && IsSpace(value[i])) ++i;
    start = i;
    if (i < value.size() && (value[i] == '+' || value[i] == '-')) negative = value[i++] == '-';
    mantissa = i;
    for (; i < value.size() && IsDigit(value[i]); ++i) {
      if (Take(value[i])) ++intDigits;
    }
    if (i < value.size() && value[i] == '.') {
      for (++i; i < value.size() && IsDigit(value[i]); ++i) {
        if (!Take(value[i])) ++leadingZeros;
        ++fraction;
      }
    }
    end = i;
  }

  // Counts one digit; false while it is a leading zero.
  bool Take(char c) {
    anyDigit = true;
    if (significant == 0 && c == '0') return false;
    if (significant < 19) digitsValue = digitsValue * 10 + static_cast<uint64_t>(c - '0');
    if (significant < kSignificant) digitsText[significant] = c;
    ++significant;
    return true;
  }
};

// The numeric test: after white space is trimmed from both ends, an
// optional sign, then only digits with at most one point, and not a lone
// point. That is a scan followed by nothing but white space.
inline bool PassesNumericTest(const DecimalScan& scan, std::string_view value) {
  size_t rest = scan.end;
  while (rest < value.size() && IsSpace(value[rest])) ++rest;
  return rest == value.size() && !(scan.end - scan.start == 1 && value[scan.start] == '.');
}

// The number a scanned value reads as (ReadNumber).
double ReadScanned(const DecimalScan& scan, std::string_view value);

}  // namespace numeric
