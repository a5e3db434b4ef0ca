#include <gtest/gtest.h>

#include <string>

#include "value/Conversion.h"

namespace {

#define WB "\x81\x40"

using enum Conversion;

// Prepares `value` under `conversion`, as a number written by `format` (the
// numeric format text, ParseNumFormat's input) when one is given.
std::string Edit(Conversion conversion, const char* format, int length, std::string value) {
  std::string scratch;
  numeric::NumFormat parsed;
  if (format != nullptr) parsed = numeric::ParseNumFormat(format);
  PrepareOutput(conversion, format != nullptr ? &parsed : nullptr, length, value, scratch);
  return value;
}

TEST(PrepareOutputTest, CaseConversion) {
  // AbC１Ａ -> abc１ａ
  EXPECT_EQ(Edit(kLower, nullptr, 0, "AbC\x82\x50\x82\x60"), "abc\x82\x50\x82\x81");
  // ｶﾅabc -> ｶﾅABC: half-width katakana have no case.
  EXPECT_EQ(Edit(kUpper, nullptr, 0, "\xB6\xC5" "abc"), "\xB6\xC5" "ABC");
  // Trail bytes that look like letters are not converted: ア (0x83 0x41), 表.
  EXPECT_EQ(Edit(kLower, nullptr, 0, "\x83\x41\x95\x5C" "B"), "\x83\x41\x95\x5C" "b");
  EXPECT_EQ(Edit(kUpper, nullptr, 0, "\x83\x61"), "\x83\x61");  // ャ is not a letter
}

TEST(PrepareOutputTest, WidthConversion) {
  const std::string wide = "\x82\x81\x82\x82" WB "\x82\x50";  // ａｂ　１
  EXPECT_EQ(Edit(kWide, nullptr, 0, "ab 1"), wide);
  EXPECT_EQ(Edit(kNarrow, nullptr, 0, wide), "ab 1");
  EXPECT_EQ(Edit(kNarrow, nullptr, 0, "\x8A\xBF\x8E\x9A"), "\x8A\xBF\x8E\x9A");  // 漢字 stays
  EXPECT_EQ(Edit(kNarrow, nullptr, 0, "\x82\x60\x82\x61"), "AB");
  EXPECT_EQ(Edit(kWide, nullptr, 4, "ab"), "\x82\x81\x82\x82");                // ａｂ fills 4
}

TEST(PrepareOutputTest, Padding) {
  EXPECT_EQ(Edit(kNone, nullptr, 5, "ab"), "ab   ");
  EXPECT_EQ(Edit(kNone, nullptr, 2, "abcd"), "abcd");  // never cut
  EXPECT_EQ(Edit(kWide, nullptr, 6, "a"), "\x82\x81" WB WB);
  EXPECT_EQ(Edit(kWide, nullptr, 5, "a"), "\x82\x81" WB WB);  // odd gap: one byte beyond
  EXPECT_EQ(Edit(kWide, nullptr, 0, "a"), "\x82\x81");
  for (Conversion conversion : {kUpper, kLower, kNarrow, kWide, kNone}) {
    EXPECT_EQ(Edit(conversion, nullptr, 0, ""), "") << static_cast<int>(conversion);
  }
  EXPECT_EQ(Edit(kUpper, nullptr, 3, ""), "   ");
  EXPECT_EQ(Edit(kWide, nullptr, 4, ""), WB WB);
}

TEST(PrepareOutputTest, NumericStepThenConversion) {
  EXPECT_EQ(Edit(kNone, "10.2", 10, "1234.5678"), "   1234.57");
  EXPECT_EQ(Edit(kNone, "+010.2", 10, "-5"), "-000005.00");
  EXPECT_EQ(Edit(kNone, "8.2", 8, " 12.5"), "   12.50");
  EXPECT_EQ(Edit(kNone, "3.0", 3, "12345"), "12345");
  // WID: width 5 from length 10, then every character doubles: " 1235" -> 10 bytes.
  EXPECT_EQ(Edit(kWide, "5.0", 10, "1234.5678"), WB "\x82\x50\x82\x51\x82\x52\x82\x54");
  EXPECT_EQ(Edit(kWide, "-4.1", 8, "-2"), "\x81\x7C\x82\x51\x81\x44\x82\x4F");  // －２．０
  // CSV's formats: "" is %f, ".0" whole numbers; no format leaves a text as it is.
  EXPECT_EQ(Edit(kNone, "", 0, "1234.5678"), "1234.567800");
  EXPECT_EQ(Edit(kNone, "", 0, ""), "0.000000");
  EXPECT_EQ(Edit(kNone, "", 0, "abc"), "0.000000");
  EXPECT_EQ(Edit(kNone, ".0", 0, "42"), "42");
  EXPECT_EQ(Edit(kNone, nullptr, 0, " 12 "), " 12 ");
  EXPECT_EQ(Edit(kNone, nullptr, 0, "x"), "x");
}

TEST(PrepareOutputTest, LoneLeadByteAtTheEnd) {
  // A field cut through a character: the lone lead byte is kept as it is and
  // nothing beyond the value is read or written.
  EXPECT_EQ(Edit(kUpper, nullptr, 0, "a\x83"), "A\x83");
  EXPECT_EQ(Edit(kLower, nullptr, 0, "A\x82"), "a\x82");
  EXPECT_EQ(Edit(kWide, nullptr, 6, "a\x83"), std::string("\x82\x81\x83", 3) + WB WB);
  EXPECT_EQ(Edit(kNarrow, nullptr, 4, "\x82\x60\x82"), "A\x82  ");
}

TEST(PrepareOutputTest, SteadyStateDoesNotAllocate) {
  std::string value;
  std::string scratch;
  value.reserve(64);
  // Warm up the scratch buffer, then check the value keeps its buffer.
  value = "warm up";
  PrepareOutput(Conversion::kWide, nullptr, 20, value, scratch);
  const numeric::NumFormat format = numeric::ParseNumFormat("-8.1");
  for (Conversion conversion : {Conversion::kWide, Conversion::kNarrow, Conversion::kUpper,
                                Conversion::kNone}) {
    value = "ab 12";
    const char* before = value.data();
    PrepareOutput(conversion, &format, 16, value, scratch);
    EXPECT_EQ(value.data(), before) << static_cast<int>(conversion);
  }
}

}  // namespace
