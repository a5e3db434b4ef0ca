// The pieces the statement parsers share: positions and lengths, constant
// names, and searches that keep to character boundaries.
#include "job/StatementText.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(StatementTextTest, PositiveNumbers) {
  for (const auto& [text, value] : {std::pair("1", 1), {"  0042\t", 42}, {"2147483647", 2147483647},
                                    {"000000000002147483647", 2147483647}}) {
    int32_t read = 0;
    EXPECT_EQ(ReadPositiveNumber(text, read), ErrorCode::kNone) << text;
    EXPECT_EQ(read, value) << text;
  }
  int32_t read = 0;
  for (const char* zero : {"", "   ", "000"}) {
    EXPECT_EQ(ReadPositiveNumber(zero, read), ErrorCode::kBadParameter) << zero;
  }
  // Out of range, signs, points, inner blanks, full-width blanks and digits.
  for (const char* bad : {"2147483648", "99999999999999999999x", "-5", "+5", "5.0", "1 2",
                          "5\x81\x40", "\x82\x4f", "1\x83\x41"}) {
    EXPECT_EQ(ReadPositiveNumber(bad, read), ErrorCode::kNotDigits) << bad;
  }
  EXPECT_EQ(read, 0);
}

TEST(StatementTextTest, ConstantNamesAreCaseBlindButNeverTrimmed) {
  const std::pair<const char*, Constant> known[] = {
      {"file", Constant::kFile},  {"In_Line", Constant::kInLine}, {"OUT_LINE", Constant::kOutLine},
      {"yyyy", Constant::kYear},  {"Mm", Constant::kMonth},       {"dD", Constant::kDay},
      {"ho", Constant::kHour},    {"MI", Constant::kMinute},      {"se", Constant::kSecond}};
  for (const auto& [name, expected] : known) {
    Constant constant = Constant::kFile;
    ASSERT_TRUE(LookupConstant(name, constant)) << name;
    EXPECT_EQ(constant, expected) << name;
  }
  // Full-width "FILE", blanks, unknown and empty names are no constants.
  for (const char* bad : {" FILE ", "FILE ", "NOW", "", "FILES", "OUT_LINES", "IN-LINE",
                          "\x82\x65\x82\x68\x82\x6b\x82\x64"}) {
    Constant constant = Constant::kSecond;
    EXPECT_FALSE(LookupConstant(bad, constant)) << bad;
    EXPECT_EQ(constant, Constant::kSecond) << bad;
  }
}

TEST(StatementTextTest, SeparatorsAreFoundOnCharacterBoundaries) {
  // The full-width blank 0x81 0x40 ends in the byte of "@", 0x95 0x5C in the
  // byte of "\": as second bytes neither is a separator.
  const std::string line = "a\x81\x40\x95\x5C@b,c";
  StatementText text(line, 0);
  EXPECT_EQ(text.BeforeComma(), "a\x81\x40\x95\x5C@b");
  EXPECT_EQ(text.TakeUntil('@'), "a\x81\x40\x95\x5C");
  EXPECT_EQ(text.Offset(), 5u);
  text.DropThroughComma();
  EXPECT_EQ(text.Rest(), "c");
  EXPECT_EQ(text.TakeUntil('@'), "c");  // none: all of it
  EXPECT_TRUE(text.Empty());
  // Upper-casing for types and keywords keeps second bytes as they are.
  EXPECT_EQ(TrimUpper(" at\x82\x81\x83\x61\t"), "AT\x82\x60\x83\x61");
}

}  // namespace
