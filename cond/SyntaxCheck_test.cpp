#include "cond/SyntaxCheck.h"

#include <gtest/gtest.h>

namespace {

// Code page 932 texts whose second byte looks like ASCII.
const std::string kA = "\x83\x41";   // katakana a; trail byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table"; trail byte is "\"

// Result of CheckNumber as (error, value); -1 for "not written".
std::pair<int, int> Number(std::string_view text) {
  CSyntaxCheck syntax;
  int error = -1;
  int value = -1;
  bool failed = syntax.CheckNumber(text, error, value);
  EXPECT_EQ(failed, error != -1) << text;
  return {error, value};
}

TEST(SyntaxCheckNumber, AcceptsDigitsWithinA32BitInteger) {
  EXPECT_EQ(Number("1"), std::make_pair(-1, 1));
  EXPECT_EQ(Number("  0042\t"), std::make_pair(-1, 42));
  EXPECT_EQ(Number("2147483647"), std::make_pair(-1, 2147483647));
  EXPECT_EQ(Number("000000000002147483647"), std::make_pair(-1, 2147483647));
}

TEST(SyntaxCheckNumber, RejectsZeroEmptyNonDigitsAndOverflow) {
  EXPECT_EQ(Number("").first, 10);
  EXPECT_EQ(Number("   ").first, 10);
  EXPECT_EQ(Number("0").first, 10);
  EXPECT_EQ(Number("000").first, 10);
  for (std::string_view bad : {"-5", "+5", "5.0", "1 2", "x", "2147483648", "99999999999999999999",
                               "5\x81\x40"}) {
    EXPECT_EQ(Number(bad).first, 14) << bad;
  }
  EXPECT_EQ(Number("\x82\x4f").first, 14);  // full-width digit zero
  EXPECT_EQ(Number("1" + kA).first, 14);
}

TEST(SyntaxCheckTypesAndOperators, AcceptExactlyTheListedForms) {
  CSyntaxCheck syntax;
  int error = 0;
  for (std::string_view type : {"A", "AT", "AR", "AL", "N"}) {
    EXPECT_FALSE(syntax.CheckCompareType(type, error)) << type;
  }
  EXPECT_EQ(error, 0);
  for (std::string_view type : {"", "B", "a", "N.0", "AX", "A ", "ATT"}) {
    error = 0;
    EXPECT_TRUE(syntax.CheckCompareType(type, error)) << type;
    EXPECT_EQ(error, 18) << type;
  }

  for (std::string_view op : {"=", "!=", "<>", "<", "<=", "=<", ">", ">=", "=>", "=="}) {
    EXPECT_FALSE(syntax.CheckOperator("SEL", op, error)) << op;
  }
  for (std::string_view op : {"", "= =", "=!", "><", "===", "<<", " ="}) {
    error = 0;
    EXPECT_TRUE(syntax.CheckOperator("SEL", op, error)) << op;
    EXPECT_EQ(error, 19);
  }
  EXPECT_FALSE(syntax.CheckOperator("EDT", "=", error));
  for (std::string_view op : {"==", "<>", "<"}) {
    error = 0;
    EXPECT_TRUE(syntax.CheckOperator("WID", op, error)) << op;
    EXPECT_EQ(error, 19);
  }
}

TEST(SyntaxCheckQuoted, UnescapesDoubledQuotesAndLeavesTheRest) {
  std::string out = "old";
  std::string text = "a\"\"b\" & rest";
  ASSERT_TRUE(ReadQuoted(text, out));
  EXPECT_EQ(out, "a\"b");
  EXPECT_EQ(text, " & rest");

  text = "\"";  // the empty text
  ASSERT_TRUE(ReadQuoted(text, out));
  EXPECT_EQ(out, "");
  EXPECT_EQ(text, "");

  // Double-byte characters pass through whole, whatever their second byte.
  text = kHyo + kA + "\"x";
  ASSERT_TRUE(ReadQuoted(text, out));
  EXPECT_EQ(out, kHyo + kA);
  EXPECT_EQ(text, "x");

  for (std::string unterminated : {"abc", "", "a\"\"", "\"\"\"\""}) {
    EXPECT_FALSE(ReadQuoted(unterminated, out)) << unterminated;
  }
}

}  // namespace
