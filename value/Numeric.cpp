// Numbers: the numeric test, reading a value as a number, the canonical
// numeric edit type and writing a number by it.
//
// Reading and writing use std::from_chars / std::to_chars, which are exact and
// do not depend on the C locale (a decimal comma in LC_NUMERIC can never leak
// into records) and need neither a terminator nor the heap.
#include "value/Numeric.h"

#include <charconv>
#include <climits>
#include <cmath>
#include <algorithm>
#include <bit>
#include <cstdint>

namespace numeric {

namespace {

inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// The bytes strtod skips before a number (isspace in the "C" locale).
inline bool IsSpace(char c) { return c == ' ' || (c >= 0x09 && c <= 0x0D); }

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

// Longest precision we write. Far beyond any output line (100,000 bytes), and
// it keeps a freak edit type such as "N.8999999999" from asking for gigabytes.
constexpr int kMaxPrecision = 100000;

// Significant digits kept before the precision is applied.
constexpr int kSignificant = 17;

// 10^k as 128-bit integers, k = 0..38.
__extension__ typedef unsigned __int128 Uint128;

constexpr int kMaxPow10 = 38;

constexpr Uint128 Pow10(int k) {
  Uint128 v = 1;
  while (k-- > 0) v *= 10;
  return v;
}

constexpr auto kPow10 = [] {
  struct Table {
    Uint128 v[kMaxPow10 + 1];
  } t{};
  for (int k = 0; k <= kMaxPow10; ++k) t.v[k] = Pow10(k);
  return t;
}();

// The first 18 significant digits of the exact value of `number` (> 0),
// truncated, as an integer in [10^17, 10^18), with `exponent` the decimal
// exponent of the first digit. Integer arithmetic on the double's mantissa
// and binary exponent; false when the value lies outside the range where
// 128 bits hold the intermediate products (very small or very large
// magnitudes), which the exact text expansion then handles.
bool EighteenDigits(double number, uint64_t& head, int& exponent) {
  const auto bits = std::bit_cast<uint64_t>(number);
  const int biased = static_cast<int>(bits >> 52) & 0x7FF;
  if (biased == 0 || biased == 0x7FF) return false;  // subnormal, or not finite
  const uint64_t mantissa = (bits & ((uint64_t{1} << 52) - 1)) | (uint64_t{1} << 52);
  const int shift = biased - 1075;  // number = mantissa * 2^shift, 2^52 <= mantissa < 2^53
  // number lies in [2^(shift+52), 2^(shift+53)): its decimal exponent is
  // floor((shift+52) * log10 2) or one more; 78913 / 2^18 is log10 2 to
  // enough places for every double exponent.
  int e = ((shift + 52) * 78913) >> 18;
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int p = 17 - e;  // head = floor(number * 10^p)
    Uint128 n;
    if (shift < 0) {
      if (p < 0 || p > 22 || -shift >= 128) return false;
      n = (static_cast<Uint128>(mantissa) * kPow10.v[p]) >> -shift;
    } else {
      if (shift > 74) return false;
      const Uint128 whole = static_cast<Uint128>(mantissa) << shift;  // < 2^127
      if (p >= 0) {
        if (p > 2) return false;  // whole >= 2^53 has at least 16 digits
        n = whole * kPow10.v[p];
      } else {
        if (-p > kMaxPow10) return false;
        n = whole / kPow10.v[-p];
      }
    }
    if (n >= kPow10.v[18]) {
      ++e;  // log10 rounded up across a power of ten
    } else if (n < kPow10.v[17]) {
      --e;
    } else {
      head = static_cast<uint64_t>(n);
      exponent = e;
      return true;
    }
  }
  return false;
}

// SeventeenDigits for the common magnitudes, without any text conversion.
bool SeventeenDigitsFast(double number, char (&digits)[kSignificant], int& exponent) {
  uint64_t head = 0;
  if (!EighteenDigits(number, head, exponent)) return false;
  // An 18th digit of 5 or more raises the 17th.
  uint64_t kept = head / 10 + (head % 10 >= 5 ? 1 : 0);
  if (kept >= 100000000000000000ull) {  // 99..9 carried into an 18th digit
    kept /= 10;
    ++exponent;
  }
  // Two digits per division.
  static constexpr char kPairs[] =
      "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
      "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
      "8081828384858687888990919293949596979899";
  int k = kSignificant - 1;
  for (; k >= 1; k -= 2) {
    const unsigned pair = static_cast<unsigned>(kept % 100);
    kept /= 100;
    digits[k - 1] = kPairs[2 * pair];
    digits[k] = kPairs[2 * pair + 1];
  }
  if (k == 0) digits[0] = static_cast<char>('0' + kept % 10);
  return true;
}

// The decimal digits of |number| rounded to 17 significant digits the way
// the format prescribes: the exact expansion is cut after the 18th digit and
// an 18th digit of 5 or more raises the 17th. digits[] receives 17 ASCII
// digits, the result is the decimal exponent of digits[0]. number is finite
// and not negative.
int SeventeenDigits(double number, char (&digits)[kSignificant]) {
  if (number == 0) {
    for (char& d : digits) d = '0';
    return 0;
  }
  int exponent = 0;
  if (SeventeenDigitsFast(number, digits, exponent)) return exponent;
  // 26 significant digits, correctly rounded at the 26th. The first 18 are
  // the exact ones unless rounding carried into them, which leaves digits
  // 19-26 all zero; only then is the (slow, exact) long expansion needed. A
  // double has at most 767 significant decimal digits.
  char shortText[48];
  char longText[800];
  const char* text = shortText;
  auto res = std::to_chars(shortText, shortText + sizeof shortText, number,
                           std::chars_format::scientific, 25);
  // Layout: d.dddddddddddddddddddddddde+XX; digit k (k >= 1) is at k + 1.
  bool ambiguous = true;
  for (int k = 18; k <= 25; ++k) {
    if (shortText[k + 1] != '0') ambiguous = false;
  }
  if (ambiguous) {
    // The exact expansion ends at the place of the lowest set bit: 2^-k has k
    // decimal places. Asking for just that many digits keeps the common exact
    // values (whole numbers, halves, quarters) cheap.
    int binaryExponent = 0;
    const double fraction = std::frexp(number, &binaryExponent);
    const auto mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int lowestBit = binaryExponent - 53 + std::countr_zero(mantissa);
    int decimalExponent = 0;
    const char* e = shortText;
    while (e < res.ptr && *e != 'e') ++e;
    std::from_chars(e + (e[1] == '+' ? 2 : 1), res.ptr, decimalExponent);
    int precision = decimalExponent + 1 + (lowestBit < 0 ? -lowestBit : 0);
    precision = std::clamp(precision, kSignificant, 780);
    res = std::to_chars(longText, longText + sizeof longText, number,
                        std::chars_format::scientific, precision);
    text = longText;
  }
  const char* end = res.ptr;
  auto digitAt = [text](int k) { return k == 0 ? text[0] : text[k + 1]; };

  for (int k = 0; k < kSignificant; ++k) digits[k] = digitAt(k);
  const char* e = text;
  while (e < end && *e != 'e') ++e;
  exponent = 0;
  std::from_chars(e + (e[1] == '+' ? 2 : 1), end, exponent);

  if (digitAt(kSignificant) >= '5') {
    int k = kSignificant - 1;
    while (k >= 0 && digits[k] == '9') digits[k--] = '0';
    if (k >= 0) {
      ++digits[k];
    } else {
      digits[0] = '1';
      ++exponent;
    }
  }
  return exponent;
}

}  // namespace

bool IsNumeric(std::string_view value) {
  // Every byte of a double-byte character is outside the alphabet, and no
  // trail byte is white space, so byte-wise trimming is safe here.
  size_t begin = 0;
  size_t end = value.size();
  while (begin < end && IsSpace(value[begin])) ++begin;
  while (end > begin && IsSpace(value[end - 1])) --end;
  size_t i = begin;
  if (i < end && (value[i] == '-' || value[i] == '+')) ++i;
  bool point = false;
  for (; i < end; ++i) {
    char c = value[i];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (!IsDigit(c)) {
      return false;
    }
  }
  return !(point && end - begin == 1);
}

namespace {

// The decimal number at the front of a value, scanned once the way atof
// reads it: white space, sign, digits, point, fraction digits (the exponent
// is left to the caller). Keeps its significant digits both as text (for
// writing them back) and as an integer (for reading them).
struct DecimalScan {
  bool negative = false;
  bool anyDigit = false;
  size_t mantissa = 0;    // offset of the first digit or point
  size_t end = 0;         // offset just after the last fraction digit
  int intDigits = 0;      // integer digits after leading zeros
  int leadingZeros = 0;   // fraction zeros before the first non-zero digit
  int fraction = 0;       // fraction digits
  int significant = 0;    // digits from the first non-zero one on
  uint64_t digitsValue = 0;    // the first 19 of them as a number
  char digitsText[kSignificant];  // the first 17 of them as text (only those taken are set)

  explicit DecimalScan(std::string_view value) {
    size_t i = 0;
    while (i < value.size() && IsSpace(value[i])) ++i;
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

// Powers of ten that are exact doubles.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

inline bool IsExponentMark(std::string_view value, size_t i) {
  return i < value.size() && (value[i] == 'e' || value[i] == 'E');
}

}  // namespace

double ReadNumber(std::string_view value) {
  // Only the decimal form is read: "inf", "nan" and "0x..." are not numbers
  // here (they read as 0, or as far as their leading digits go).
  const DecimalScan scan(value);
  if (!scan.anyDigit) return 0.0;
  size_t i = scan.end;

  // The usual field — at most 15 significant digits, no exponent — is read
  // exactly by one division: both the digits and the power of ten are exact
  // doubles, and IEEE division rounds the quotient correctly, which is what
  // a full decimal conversion would give.
  if (scan.significant <= 15 && scan.fraction <= 22 && !IsExponentMark(value, i)) {
    const double whole = static_cast<double>(scan.digitsValue);
    const double number = scan.fraction == 0 ? whole : whole / kExactPow10[scan.fraction];
    return scan.negative ? -number : number;
  }

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

bool ReadIfNumeric(std::string_view value, double& number) {
  // One pass for the usual field: the numeric test's alphabet is exactly
  // what the shortcut of ReadNumber reads, so a value that passes the test
  // with few digits is also read here.
  size_t begin = 0;
  size_t end = value.size();
  while (begin < end && IsSpace(value[begin])) ++begin;
  while (end > begin && IsSpace(value[end - 1])) --end;
  size_t i = begin;
  bool negative = false;
  if (i < end && (value[i] == '-' || value[i] == '+')) negative = value[i++] == '-';
  bool point = false;
  bool anyDigit = false;
  uint64_t digits = 0;
  int significant = 0;
  int fraction = 0;
  for (; i < end; ++i) {
    const char c = value[i];
    if (c == '.') {
      if (point) return false;
      point = true;
    } else if (IsDigit(c)) {
      anyDigit = true;
      if (significant > 0 || c != '0') {
        if (significant < 19) digits = digits * 10 + static_cast<uint64_t>(c - '0');
        ++significant;
      }
      if (point) ++fraction;
    } else {
      return false;
    }
  }
  if (point && end - begin == 1) return false;
  if (!anyDigit) {
    number = 0.0;  // empty, blanks or a lone sign: numeric, and read as 0
  } else if (significant <= 15 && fraction <= 22) {
    const double whole = static_cast<double>(digits);
    number = fraction == 0 ? whole : whole / kExactPow10[fraction];
    if (negative) number = -number;
  } else {
    number = ReadNumber(value);
  }
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

namespace {

// Writes a number given by its 17 significant digits (digits[0] at decimal
// place `exponent`), or a special text, by `format`: rounds half away from
// zero at the precision, then sign, width and flags.
void WriteDigits(bool negative, const char* special, char (&digits)[kSignificant],
                 int64_t exponent, const NumFormat& format, std::string& out) {
  const char sign = negative ? '-' : (format.plus ? '+' : '\0');
  const int precision = format.precision < 0 ? 0 : std::min(format.precision, kMaxPrecision);

  // Body without sign: either a special text, or integer digits, point and
  // fraction built from the rounded significant digits.
  bool zero = false;
  if (special == nullptr) {
    // Significant digits that lie at or above the last written place.
    const int64_t kept = exponent + precision + 1;
    if (kept < 0) {
      zero = true;
    } else if (kept < kSignificant) {
      const bool up = digits[kept] >= '5';
      for (int64_t k = kept; k < kSignificant; ++k) digits[k] = '0';
      if (up) {
        int64_t k = kept - 1;
        while (k >= 0 && digits[k] == '9') digits[k--] = '0';
        if (k >= 0) {
          ++digits[k];
        } else {
          // All kept digits were nines (or none was kept): one more place.
          digits[0] = '1';
          for (int n = 1; n < kSignificant; ++n) digits[n] = '0';
          exponent = kept == 0 ? -precision : exponent + 1;
        }
      } else if (kept == 0) {
        zero = true;
      }
    }
    if (!zero) {
      zero = true;
      for (char d : digits) zero = zero && d == '0';
    }
  }

  // Lengths: integer part, then point and fraction when precision > 0.
  size_t bodyLen;
  size_t intLen = 1;
  if (special != nullptr) {
    bodyLen = 3;
  } else {
    if (!zero && exponent >= 0) intLen = static_cast<size_t>(exponent) + 1;
    bodyLen = intLen + (precision > 0 ? 1 + static_cast<size_t>(precision) : 0);
  }
  const size_t signLen = sign != '\0' ? 1 : 0;
  const size_t width = format.width > 0 ? static_cast<size_t>(format.width) : 0;
  const size_t fill = width > bodyLen + signLen ? width - bodyLen - signLen : 0;
  // Zero padding applies to numbers only, and "-" wins over "0".
  const bool zeroFill = format.zero && !format.left && special == nullptr;

  // Sized once and filled through a pointer: this runs for every numeric
  // field of every record.
  out.resize(fill + signLen + bodyLen);
  char* p = out.data();
  if (!format.left && !zeroFill) p = std::fill_n(p, fill, ' ');
  if (sign != '\0') *p++ = sign;
  if (zeroFill) p = std::fill_n(p, fill, '0');
  if (special != nullptr) {
    p = std::copy_n(special, 3, p);
  } else {
    auto digitAt = [&](int64_t place) -> char {  // place = exponent of 10
      if (zero) return '0';
      int64_t k = exponent - place;
      return (k >= 0 && k < kSignificant) ? digits[k] : '0';
    };
    for (int64_t place = static_cast<int64_t>(intLen) - 1; place >= 0; --place) *p++ = digitAt(place);
    if (precision > 0) {
      *p++ = '.';
      for (int64_t place = -1; place >= -precision; --place) *p++ = digitAt(place);
    }
  }
  if (format.left) std::fill_n(p, fill, ' ');
}

}  // namespace

void FormatNumber(double number, const NumFormat& format, std::string& out) {
  const char* special = nullptr;
  char digits[kSignificant] = {};
  int64_t exponent = 0;  // decimal exponent of digits[0]
  if (std::isnan(number)) {
    special = "nan";
  } else if (std::isinf(number)) {
    special = "inf";
  } else {
    exponent = SeventeenDigits(std::fabs(number), digits);
  }
  WriteDigits(std::signbit(number), special, digits, exponent, format, out);
}

namespace {

// FormatNumberText for a value already scanned.
void FormatScanned(DecimalScan& scan, std::string_view value, const NumFormat& format,
                   std::string& out) {
  // When the value's digits can be written as they stand — no more than 15
  // significant digits up to the last written place, and no digit beyond the
  // precision — the double nearest to them expands to 17 digits that round
  // back to exactly these digits, so the conversion through binary is
  // skipped.
  const int precision = format.precision < 0 ? 0 : std::min(format.precision, kMaxPrecision);
  bool simple = scan.anyDigit && !IsExponentMark(value, scan.end);
  int64_t exponent = 0;
  if (simple && scan.significant > 0) {
    exponent = scan.intDigits > 0 ? scan.intDigits - 1 : -(scan.leadingZeros + 1);
    simple = scan.fraction <= precision && exponent + precision <= 14;
  }
  if (!simple) {
    FormatNumber(ReadNumber(value), format, out);
    return;
  }
  for (int k = scan.significant; k < kSignificant; ++k) scan.digitsText[k] = '0';
  WriteDigits(scan.negative, nullptr, scan.digitsText, exponent, format, out);
}

}  // namespace

void FormatNumberText(std::string_view value, const NumFormat& format, std::string& out) {
  DecimalScan scan(value);
  FormatScanned(scan, value, format, out);
}

bool FormatIfNumeric(std::string_view value, const NumFormat& format, std::string& out) {
  // The numeric test's shape is exactly what the scan reads — blanks, a
  // sign, digits with at most one point — followed by blanks only; a lone
  // point is the one such value that fails.
  DecimalScan scan(value);
  size_t begin = 0;
  while (begin < value.size() && IsSpace(value[begin])) ++begin;
  size_t rest = scan.end;
  while (rest < value.size() && IsSpace(value[rest])) ++rest;
  if (rest != value.size() || (scan.end - begin == 1 && value[begin] == '.')) return false;
  FormatScanned(scan, value, format, out);
  return true;
}

}  // namespace numeric
