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

TEST(StatementTextTest, PositionAndLengthMarkEachNumber) {
  struct Case {
    const char* text;
    ErrorCode error;
    size_t mark;      // the offset marked last
    const char* rest;  // what is left after success
  } const cases[] = {
      {" 12 , 5 ,A", ErrorCode::kNone, 5, "A"},
      {"1,2", ErrorCode::kBadParameter, 2, nullptr},  // a type always follows the length
      {"x,5,A", ErrorCode::kNotDigits, 0, nullptr},
      {"1,5x,A", ErrorCode::kNotDigits, 2, nullptr},
      {"1,0,A", ErrorCode::kBadParameter, 2, nullptr},
      {"15", ErrorCode::kBadParameter, 0, nullptr},  // no comma: no position
      // The second byte of ア (0x83 0x41) and of 表 (0x95 0x5C) are no separator.
      {"1\x95\x5C,2,A", ErrorCode::kNotDigits, 0, nullptr},
  };
  for (const Case& c : cases) {
    const std::string line = c.text;
    StatementText text(line, 0);
    FieldRef field;
    EXPECT_EQ(ReadPositionAndLength(text, field), c.error) << c.text;
    EXPECT_EQ(text.MarkedOffset(), c.mark) << c.text;
    if (c.rest != nullptr) {
      EXPECT_EQ(text.Rest(), c.rest) << c.text;
    }
  }
  const std::string line = "007,010,N";
  StatementText text(line, 0);
  FieldRef field;
  ASSERT_EQ(ReadPositionAndLength(text, field), ErrorCode::kNone);
  EXPECT_EQ(std::pair(field.position, field.length), std::pair(7, 10));
}

TEST(StatementTextTest, QuotedTextOrConstant) {
  const std::string quoted = "\"a\"\"\x83\x41\",x";
  StatementText text(quoted, 0);
  Operand operand;
  ASSERT_EQ(ReadQuotedOrConstant(text, operand), ErrorCode::kNone);
  EXPECT_EQ(operand.kind, Operand::Kind::kText);
  EXPECT_EQ(operand.text, "a\"\x83\x41");  // a doubled quote is one quote
  EXPECT_EQ(text.Rest(), ",x");

  const std::string constant = "[in_line]&x";
  text = StatementText(constant, 0);
  ASSERT_EQ(ReadQuotedOrConstant(text, operand), ErrorCode::kNone);
  EXPECT_EQ(operand.kind, Operand::Kind::kConstant);
  EXPECT_EQ(operand.constant, Constant::kInLine);
  EXPECT_EQ(text.Rest(), "&x");

  // Unterminated, unknown, a "]" that is a second byte (0x81 0x5D), or
  // neither form: 10, marked at the operand.
  for (const char* bad : {"\"abc", "[NOW]", "[FILE\x81]", "[FILE", "abc", ""}) {
    const std::string line = std::string("  ") + bad;
    StatementText cursor(line, 2);
    EXPECT_EQ(ReadQuotedOrConstant(cursor, operand), ErrorCode::kBadParameter) << bad;
    EXPECT_EQ(cursor.MarkedOffset(), 2u) << bad;
  }
}

}  // namespace
