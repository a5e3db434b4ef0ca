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

// Powers of ten that are exact doubles.
inline constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                         1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// ReadScanned for a value with an exponent or many digits.
double ReadScannedInFull(const DecimalScan& scan, std::string_view value);

// The number a scanned value reads as (ReadNumber). Only the decimal form is
// read: "inf", "nan" and "0x..." are not numbers here (they read as 0, or as
// far as their leading digits go).
inline double ReadScanned(const DecimalScan& scan, std::string_view value) {
  if (!scan.anyDigit) return 0.0;
  // The usual field — at most 15 significant digits, no exponent — is read
  // exactly by one division: both the digits and the power of ten are exact
  // doubles, and IEEE division rounds the quotient correctly, which is what
  // a full decimal conversion would give.
  if (scan.significant <= 15 && scan.fraction <= 22 && !IsExponentMark(value, scan.end)) {
    const double whole = static_cast<double>(scan.digitsValue);
    const double number = scan.fraction == 0 ? whole : whole / kExactPow10[scan.fraction];
    return scan.negative ? -number : number;
  }
  return ReadScannedInFull(scan, value);
}

}  // namespace numeric
