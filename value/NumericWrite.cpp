// Numbers written: the 17 significant digits of a double, decimal rounding
// at the precision, and the fixed-point form of the numeric edit format.
//
// Digits come from integer arithmetic on the double or from std::to_chars,
// which are exact and do not depend on the C locale.
#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

#include "value/DecimalScan.h"
#include "value/Numeric.h"

namespace numeric {

namespace {

// Adds one to digits[last] with carry towards digits[0]; false when every
// digit up to `last` was a nine (they are all zeros then).
bool CarryUp(char* digits, int64_t last) {
  int64_t k = last;
  while (k >= 0 && digits[k] == '9') digits[k--] = '0';
  if (k < 0) return false;
  ++digits[k];
  return true;
}

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

  if (digitAt(kSignificant) >= '5' && !CarryUp(digits, kSignificant - 1)) {
    digits[0] = '1';
    ++exponent;
  }
  return exponent;
}

// Rounds the 17 digits (digits[0] at decimal place `exponent`) half away
// from zero at `precision` places after the point; a carry past the first
// digit moves `exponent`. True when the rounded number is zero.
bool RoundAtPrecision(char (&digits)[kSignificant], int64_t& exponent, int precision) {
  // Significant digits that lie at or above the last written place.
  const int64_t kept = exponent + precision + 1;
  if (kept < 0) return true;
  if (kept < kSignificant) {
    const bool up = digits[kept] >= '5';
    for (int64_t k = kept; k < kSignificant; ++k) digits[k] = '0';
    if (up && !CarryUp(digits, kept - 1)) {
      // All kept digits were nines (or none was kept): one more place.
      digits[0] = '1';
      for (int n = 1; n < kSignificant; ++n) digits[n] = '0';
      exponent = kept == 0 ? -precision : exponent + 1;
    } else if (!up && kept == 0) {
      return true;
    }
  }
  return std::all_of(digits, digits + kSignificant, [](char d) { return d == '0'; });
}

// Writes the integer part (`intLen` digits) and, with a precision, the point
// and the fraction of rounded digits; returns the end.
char* WriteFixed(char* p, const char (&digits)[kSignificant], int64_t exponent, bool zero,
                 size_t intLen, int precision) {
  auto digitAt = [&](int64_t place) -> char {  // place = exponent of 10
    if (zero) return '0';
    const int64_t k = exponent - place;
    return (k >= 0 && k < kSignificant) ? digits[k] : '0';
  };
  for (int64_t place = static_cast<int64_t>(intLen) - 1; place >= 0; --place) *p++ = digitAt(place);
  if (precision > 0) {
    *p++ = '.';
    for (int64_t place = -1; place >= -precision; --place) *p++ = digitAt(place);
  }
  return p;
}

// Writes a number given by its 17 significant digits (digits[0] at decimal
// place `exponent`), or a special text, by `format`: rounds half away from
// zero at the precision, then sign, width and flags.
void WriteDigits(bool negative, const char* special, char (&digits)[kSignificant],
                 int64_t exponent, const NumFormat& format, std::string& out) {
  const char sign = negative ? '-' : (format.plus ? '+' : '\0');
  const int precision = format.precision < 0 ? 0 : std::min(format.precision, kMaxPrecision);
  const bool zero = special == nullptr && RoundAtPrecision(digits, exponent, precision);

  // Lengths: integer part, then point and fraction when precision > 0.
  size_t intLen = 1;
  if (special == nullptr && !zero && exponent >= 0) intLen = static_cast<size_t>(exponent) + 1;
  const size_t bodyLen =
      special != nullptr ? 3 : intLen + (precision > 0 ? 1 + static_cast<size_t>(precision) : 0);
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
  p = special != nullptr ? std::copy_n(special, 3, p)
                         : WriteFixed(p, digits, exponent, zero, intLen, precision);
  if (format.left) std::fill_n(p, fill, ' ');
}

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
    FormatNumber(ReadScanned(scan, value), format, out);
    return;
  }
  for (int k = scan.significant; k < kSignificant; ++k) scan.digitsText[k] = '0';
  WriteDigits(scan.negative, nullptr, scan.digitsText, exponent, format, out);
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

void FormatNumberText(std::string_view value, const NumFormat& format, std::string& out) {
  DecimalScan scan(value);
  FormatScanned(scan, value, format, out);
}

bool FormatIfNumeric(std::string_view value, const NumFormat& format, std::string& out) {
  DecimalScan scan(value);
  if (!PassesNumericTest(scan, value)) return false;
  FormatScanned(scan, value, format, out);
  return true;
}

}  // namespace numeric
