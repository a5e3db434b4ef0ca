// Numbers read: the numeric test, reading a value as atof would, and the
// numeric edit format.
//
// Reading uses std::from_chars, which is exact, does not depend on the C
// locale (a decimal comma in LC_NUMERIC can never leak into records) and
// needs neither a terminator nor the heap.
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdint>

#include "value/DecimalScan.h"
#include "value/Numeric.h"

namespace numeric {

namespace {

// Reads decimal digits from text[i] on, saturating at `limit`; advances i.
int ReadDigits(std::string_view text, size_t& i, int limit) {
  int64_t value = 0;
  while (i < text.size() && IsDigit(text[i])) {
    value = value * 10 + (text[i] - '0');
    if (value > limit) value = limit;
    ++i;
  }
  return static_cast<int>(value);
}

}  // namespace

bool IsNumeric(std::string_view value) { return PassesNumericTest(DecimalScan(value), value); }

double ReadScannedInFull(const DecimalScan& scan, std::string_view value) {
  size_t i = scan.end;
  // An exponent counts only when it has at least one digit ("12e" reads 12).
  int64_t exponent = 0;
  if (IsExponentMark(value, i)) {
    size_t j = i + 1;
    bool expNegative = false;
    if (j < value.size() && (value[j] == '+' || value[j] == '-')) expNegative = value[j++] == '-';
    if (j < value.size() && IsDigit(value[j])) {
      while (j < value.size() && IsDigit(value[j])) {
        if (exponent < 100000000) exponent = exponent * 10 + (value[j] - '0');
        ++j;
      }
      if (expNegative) exponent = -exponent;
      i = j;
    }
  }

  double number = 0.0;
  auto res = std::from_chars(value.data() + scan.mantissa, value.data() + i, number,
                             std::chars_format::general);
  if (res.ec == std::errc::result_out_of_range) {
    // As strtod: too large gives infinity, too small gives zero. The decimal
    // exponent of the first significant digit tells which one happened.
    int64_t magnitude = scan.intDigits > 0 ? scan.intDigits + exponent
                                            : exponent - scan.leadingZeros;
    number = magnitude > 0 ? HUGE_VAL : 0.0;
  }
  return scan.negative ? -number : number;
}

double ReadNumber(std::string_view value) { return ReadScanned(DecimalScan(value), value); }

bool ReadIfNumeric(std::string_view value, double& number) {
  const DecimalScan scan(value);
  if (!PassesNumericTest(scan, value)) return false;
  number = ReadScanned(scan, value);
  return true;
}

NumFormat ParseNumFormat(std::string_view spec) {
  NumFormat format;
  size_t i = 0;
  for (; i < spec.size(); ++i) {
    if (spec[i] == '+') {
      format.plus = true;
    } else if (spec[i] == '-') {
      format.left = true;
    } else if (spec[i] == '0') {
      format.zero = true;
    } else {
      break;
    }
  }
  format.width = ReadDigits(spec, i, INT_MAX);
  if (i < spec.size() && spec[i] == '.') {
    ++i;
    // The digits after the point, as far as they go: ".5x" means 5.
    format.precision = ReadDigits(spec, i, kMaxPrecision);
  }
  return format;
}

}  // namespace numeric
