#include "value/Numeric.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>

namespace {

using numeric::NumFormat;

std::string Format(double number, std::string_view spec) {
  std::string out;
  numeric::FormatNumber(number, numeric::ParseNumFormat(spec), out);
  return out;
}

TEST(NumericTest, NumericTestAcceptsBlanksSignsAndOnePoint) {
  for (const char* ok : {"", "   ", "-", "+", "-.", "+.", " 12.5 ", "\t7\r", "0", "-0.5", ".5", "5.",
                         "+123"}) {
    EXPECT_TRUE(numeric::IsNumeric(ok)) << '"' << ok << '"';
  }
  for (const char* bad : {".", " . ", "1 2", "1.2.3", "+-1", "1-", "1,000", "1e5", "--1", "abc",
                          "\x82\x50\x82\x51" /* full-width 12 */, "1\x83\x41" /* 1 + katakana a */,
                          "\x95\x5C" /* kanji whose trail byte is a backslash */}) {
    EXPECT_FALSE(numeric::IsNumeric(bad)) << '"' << bad << '"';
  }
}

TEST(NumericTest, ReadNumberFollowsAtof) {
  EXPECT_EQ(numeric::ReadNumber("  12"), 12.0);
  EXPECT_EQ(numeric::ReadNumber("12abc"), 12.0);
  EXPECT_EQ(numeric::ReadNumber("abc"), 0.0);
  EXPECT_EQ(numeric::ReadNumber(""), 0.0);
  EXPECT_EQ(numeric::ReadNumber("-"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("."), 0.0);
  EXPECT_EQ(numeric::ReadNumber("-.5"), -0.5);
  EXPECT_EQ(numeric::ReadNumber("+5."), 5.0);
  EXPECT_EQ(numeric::ReadNumber("\t 1e5"), 100000.0);
  EXPECT_EQ(numeric::ReadNumber("1E+2x"), 100.0);
  EXPECT_EQ(numeric::ReadNumber("2.5e-1"), 0.25);
  EXPECT_EQ(numeric::ReadNumber("12e"), 12.0);   // an exponent needs digits
  EXPECT_EQ(numeric::ReadNumber("12e+"), 12.0);
  EXPECT_EQ(numeric::ReadNumber("1 2"), 1.0);
  EXPECT_EQ(numeric::ReadNumber("0.1"), 0.1);    // correctly rounded
  // Only the decimal form: no hex, infinity or NaN words.
  EXPECT_EQ(numeric::ReadNumber("0x1A"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("inf"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("nan"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("\x82\x50"), 0.0);  // full-width 1
  // Out of range as strtod: infinity or zero, with the sign.
  EXPECT_EQ(numeric::ReadNumber("1e400"), HUGE_VAL);
  EXPECT_EQ(numeric::ReadNumber("-1e400"), -HUGE_VAL);
  EXPECT_EQ(numeric::ReadNumber("123456789e99999999999999"), HUGE_VAL);
  EXPECT_EQ(numeric::ReadNumber("1e-400"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("0.000001e-330"), 0.0);
  EXPECT_EQ(numeric::ReadNumber("0e999999"), 0.0);
  // A view is read only as far as it reaches: no terminator needed.
  std::string_view cut("123456", 3);
  EXPECT_EQ(numeric::ReadNumber(cut), 123.0);
  std::string_view cutExp("5e1234", 2);
  EXPECT_EQ(numeric::ReadNumber(cutExp), 5.0);
  // Many digits are still read exactly.
  std::string longValue(5000, '0');
  longValue += "1.5";
  EXPECT_EQ(numeric::ReadNumber(longValue), 1.5);
}

TEST(NumericTest, ParseNumFormat) {
  NumFormat f = numeric::ParseNumFormat("+010.2");
  EXPECT_TRUE(f.plus && f.zero && !f.left);
  EXPECT_EQ(f.width, 10);
  EXPECT_EQ(f.precision, 2);
  f = numeric::ParseNumFormat("");  // CSV "N": %f
  EXPECT_FALSE(f.plus || f.zero || f.left);
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.precision, 6);
  f = numeric::ParseNumFormat(".0");  // constants "N.0": %.0f
  EXPECT_EQ(f.width, 0);
  EXPECT_EQ(f.precision, 0);
  f = numeric::ParseNumFormat("-5.5x");
  EXPECT_TRUE(f.left);
  EXPECT_EQ(f.width, 5);
  EXPECT_EQ(f.precision, 5);
  EXPECT_EQ(numeric::ParseNumFormat("5.8999999999").precision, 100000);  // bounded
}

// The table of written edit types, each applied to three values, length 10.
TEST(NumericTest, DecimalRoundingNotBinary) {
  EXPECT_EQ(Format(1.45, ".1"), "1.5");    // 1.4499999999999999556 -> 17 digits 1.4500000000000000
  EXPECT_EQ(Format(2.5, ".0"), "3");
  EXPECT_EQ(Format(0.5, ".0"), "1");
  EXPECT_EQ(Format(1.5, ".0"), "2");
  EXPECT_EQ(Format(-2.5, ".0"), "-3");     // away from zero
  EXPECT_EQ(Format(-0.125, ".2"), "-0.13");
  EXPECT_EQ(Format(0.125, ".2"), "0.13");  // printf gives 0.12 (ties to even)
  EXPECT_EQ(Format(2.675, ".2"), "2.67");  // 17 digits: 2.6749999999999998
  EXPECT_EQ(Format(1.005, ".2"), "1.00");
  EXPECT_EQ(Format(9.995, ".2"), "9.99");
  EXPECT_EQ(Format(99.5, ".0"), "100");    // carry adds an integer digit
  EXPECT_EQ(Format(9.96, ".1"), "10.0");
  EXPECT_EQ(Format(0.004, ".2"), "0.00");
  EXPECT_EQ(Format(0.005, ".2"), "0.01");  // the first dropped digit is the first significant one
  EXPECT_EQ(Format(0.0004, ".2"), "0.00");
  EXPECT_EQ(Format(0.4, ".0"), "0");
  EXPECT_EQ(Format(0.1, ".20"), "0.10000000000000001000");  // 17 digits, then zeros
  EXPECT_EQ(Format(1.0 / 3.0, ".20"), "0.33333333333333331000");
  EXPECT_EQ(Format(123456789012345678.0, ".0"), "123456789012345680");
  // 1.00000001908817584999999995904e29 exactly: the 18th digit is 4, and a
  // 26-digit expansion would have carried into it.
  double tricky = std::ldexp(5684341994584519.0, 44);
  EXPECT_EQ(Format(tricky, ".0"), "100000001908817580000000000000");
}

TEST(NumericTest, WidthSignAndSpecialValues) {
  EXPECT_EQ(Format(1234.5678, ""), "1234.567800");  // CSV "N"
  EXPECT_EQ(Format(-5, ""), "-5.000000");
  EXPECT_EQ(Format(0, ""), "0.000000");
  EXPECT_EQ(Format(1234.5678, ".0"), "1235");       // constants "N.0"
  EXPECT_EQ(Format(12345, "3.0"), "12345");         // wider than the width: in full
  EXPECT_EQ(Format(-5, "-05.0"), "-5   ");          // "-" wins over "0"
  EXPECT_EQ(Format(5, "+05.1"), "+05.0");
  EXPECT_EQ(Format(-0.0, "4.0"), "  -0");           // as printf: the sign of zero stays
  std::string big = Format(1e300, "5.0");
  EXPECT_EQ(big.size(), 301u);
  // 1.00000000000000005250e300: the 18th digit 5 raises the 17th.
  EXPECT_EQ(big.substr(0, 17), "10000000000000001");
  EXPECT_EQ(big.find_first_not_of('0', 17), std::string::npos);
  EXPECT_EQ(Format(5e-324, ".0"), "0");
  EXPECT_EQ(Format(HUGE_VAL, "06.0"), "   inf");   // no zero padding of a non-number
  EXPECT_EQ(Format(-HUGE_VAL, "-6.2"), "-inf  ");
  EXPECT_EQ(Format(HUGE_VAL, "+.0"), "+inf");
}

TEST(NumericTest, FormatReusesCapacity) {
  std::string out;
  out.reserve(64);
  const char* before = out.data();
  numeric::FormatNumber(1234.5678, numeric::ParseNumFormat("+010.2"), out);
  numeric::FormatNumber(-1e20, numeric::ParseNumFormat("30.3"), out);
  EXPECT_EQ(out.data(), before);
  EXPECT_EQ(out, "    -100000000000000000000.000");
}

// Independent check of the 17-digit step on random doubles: the exact
// expansion from printf, cut after 18 digits, the 18th rounding the 17th.
TEST(NumericTest, SeventeenDigitsMatchExactExpansion) {
  std::mt19937_64 rng(42);
  std::uniform_real_distribution<double> mantissa(1.0, 10.0);
  std::uniform_int_distribution<int> exp10(-20, 20);
  char exact[900];
  for (int n = 0; n < 3000; ++n) {
    // Half of them dyadic (whole numbers, halves, ...): their expansions end
    // early, which takes the exact-expansion path.
    double v = n % 2 == 0 ? mantissa(rng) * std::pow(10.0, exp10(rng))
                          : std::ldexp(static_cast<double>(rng() >> (11 + n % 50)), exp10(rng) * 3);
    std::snprintf(exact, sizeof exact, "%.800e", v);
    std::string digits;
    digits.push_back(exact[0]);
    digits.append(exact + 2, 17);  // 18 digits
    int exponent = std::atoi(std::strchr(exact, 'e') + 1);
    bool up = digits[17] >= '5';
    digits.resize(17);
    if (up) {
      int k = 16;
      while (k >= 0 && digits[k] == '9') digits[k--] = '0';
      if (k < 0) {
        digits.insert(digits.begin(), '1');
        digits.pop_back();
        ++exponent;
      } else {
        ++digits[k];
      }
    }
    // Scientific view of our fixed output with enough precision for all 17 digits.
    int precision = 16 - exponent;
    if (precision < 0) precision = 0;
    std::string spec = "." + std::to_string(precision);
    std::string ours = Format(v, spec);
    std::string ourDigits;
    for (char c : ours) {
      if (c >= '0' && c <= '9' && !(ourDigits.empty() && c == '0')) ourDigits.push_back(c);
    }
    ourDigits.resize(17, '0');
    ASSERT_EQ(ourDigits, digits) << exact << " -> " << ours;
  }
}

}  // namespace

TEST(NumericTest, ReadNumberMatchesStrtodOnRandomDecimals) {
  // Short decimals take a one-division shortcut; it must give exactly what a
  // full conversion gives, also next to the 15-digit boundary.
  std::mt19937_64 rng(7);
  char text[64];
  for (int n = 0; n < 20000; ++n) {
    int intDigits = static_cast<int>(rng() % 12);
    int fracDigits = static_cast<int>(rng() % 8);
    std::string s = (rng() % 4 == 0) ? "-" : (rng() % 4 == 0 ? "  +" : " ");
    for (int k = 0; k < intDigits; ++k) s.push_back(static_cast<char>('0' + rng() % 10));
    if (fracDigits > 0 || intDigits == 0) {
      s.push_back('.');
      for (int k = 0; k < fracDigits + 1; ++k) s.push_back(static_cast<char>('0' + rng() % 10));
    }
    std::snprintf(text, sizeof text, "%s", s.c_str());
    ASSERT_EQ(numeric::ReadNumber(s), std::strtod(text, nullptr)) << s;
  }
}

TEST(NumericTest, FormatNumberTextAgreesWithReadThenFormat) {
  // The shortcut for short decimals must write exactly what reading the
  // number and formatting it writes, around every boundary it tests.
  std::mt19937_64 rng(11);
  const char* const specs[] = {"", ".0", ".2", "+010.2", "-12.3", "010.1", ".5", ".13", "+.9"};
  std::string viaText;
  std::string viaNumber;
  for (int n = 0; n < 40000; ++n) {
    std::string s = (rng() % 3 == 0) ? "-" : (rng() % 5 == 0 ? " +" : "  ");
    int intDigits = static_cast<int>(rng() % 17);
    for (int k = 0; k < intDigits; ++k) s.push_back(static_cast<char>('0' + rng() % 10));
    if (rng() % 3 != 0) {
      s.push_back('.');
      int frac = static_cast<int>(rng() % 14);
      for (int k = 0; k < frac; ++k) s.push_back(static_cast<char>('0' + (rng() % 4 == 0 ? 5 : rng() % 10)));
    }
    if (rng() % 10 == 0) s += "e3";
    if (rng() % 10 == 0) s += "  x";
    const NumFormat format = numeric::ParseNumFormat(specs[rng() % (sizeof specs / sizeof *specs)]);
    numeric::FormatNumberText(s, format, viaText);
    numeric::FormatNumber(numeric::ReadNumber(s), format, viaNumber);
    ASSERT_EQ(viaText, viaNumber) << "'" << s << "'";
  }
  // The value may live in the output string itself.
  std::string inPlace = " 12.5";
  numeric::FormatNumberText(inPlace, numeric::ParseNumFormat("8.2"), inPlace);
  EXPECT_EQ(inPlace, "   12.50");
}

TEST(NumericTest, ReadIfNumericIsTheTestThenTheReading) {
  const char* const values[] = {"",      "   ",  "-",     "+",   "-.",      "+.",   ".",   " 12.5 ",
                                "1 2",   "1.2.3", "+-1",  "1-",  "1,000",   "1e5",  "007", "-0",
                                "\x82\x50", "12345678901234567.5", "-000.000125", "99999999999999999999"};
  for (const char* v : values) {
    double number = -1.0;
    const bool numeric = numeric::ReadIfNumeric(v, number);
    EXPECT_EQ(numeric, numeric::IsNumeric(v)) << "'" << v << "'";
    if (numeric) {
      EXPECT_EQ(number, numeric::ReadNumber(v)) << "'" << v << "'";
      EXPECT_EQ(std::signbit(number), std::signbit(numeric::ReadNumber(v))) << "'" << v << "'";
    }
  }
}

TEST(NumericTest, FormatIfNumericIsTheTestThenTheFormat) {
  const char* const values[] = {"",   "   ", "-",     "+",   "-.",  "+.",  ".",      " 12.5 ",
                                "1 2", "1.2.3", "+-1", "1-",  "1e5", "007", " -0.125", "\x82\x50",
                                "12.", ".5", "2.675", "123456789012345678"};
  const NumFormat format = numeric::ParseNumFormat("+010.2");
  for (const char* v : values) {
    std::string out = "untouched";
    const bool numeric = numeric::FormatIfNumeric(v, format, out);
    EXPECT_EQ(numeric, numeric::IsNumeric(v)) << "'" << v << "'";
    std::string expected = "untouched";
    if (numeric) numeric::FormatNumberText(v, format, expected);
    EXPECT_EQ(out, expected) << "'" << v << "'";
  }
}
