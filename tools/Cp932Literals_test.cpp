// The literal rewriter: which bytes become code page 932 escapes, which stay,
// and which line an error names.
#include "tools/Cp932Literals.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Convert(const std::string& source) {
  std::string out;
  LiteralResult result = ConvertLiteralsToCp932(source, out);
  EXPECT_EQ(result.error, LiteralError::kNone) << DescribeLiteralError(result);
  return out;
}

TEST(Cp932Literals, TextInLiteralsBecomesThreeDigitOctalEscapes) {
  // 表 is 0x95 0x5C: a following digit or letter stays a character of its own.
  EXPECT_EQ(Convert("s = \"表A1\";"), "s = \"\\225\\134A1\";");
  EXPECT_EQ(Convert("\"\\x4表\\1ｱ7\""), "\"\\x4\\225\\134\\1\\2617\"");  // 表, then ｱ (0xB1)
  EXPECT_EQ(Convert("c = '表';"), "c = '\\225\\134';");
  EXPECT_EQ(Convert("\"行目\\n\""), "\"\\215\\163\\226\\332\\n\"");
  EXPECT_EQ(Convert("  #  define kMark \"表\"\n"), "  #  define kMark \"\\225\\134\"\n");
}

TEST(Cp932Literals, EverythingOutsideOrdinaryLiteralsStaysAsWritten) {
  const std::string kept[] = {
      "// 表 \"表\" '\n",
      "/* 表\n \"表\" */\n",
      "#include \"表.h\"\n",
      "u8\"表\" u\"表\" U'表' L\"表\" u8R\"(表)\" LR\"x(表)x\"\n",
      "int 表示 = 1;\n",
  };
  for (const std::string& source : kept) EXPECT_EQ(Convert(source), source);
}

TEST(Cp932Literals, QuotesInsideLiteralsNeitherEndNorOpenOne) {
  // An escaped quote or backslash, a quote as a character, a digit separator
  // and a raw string with quotes must not shift where literals begin and end.
  EXPECT_EQ(Convert("\"a\\\"表\" // 表"), "\"a\\\"\\225\\134\" // 表");
  EXPECT_EQ(Convert("\"\\\\\" // 表\n\"表\""), "\"\\\\\" // 表\n\"\\225\\134\"");
  EXPECT_EQ(Convert("f('\"', \"表\"); // \"表"), "f('\"', \"\\225\\134\"); // \"表");
  EXPECT_EQ(Convert("c = '\\'' + '表';"), "c = '\\'' + '\\225\\134';");
  EXPECT_EQ(Convert("n = 1'000 + '表';"), "n = 1'000 + '\\225\\134';");
  EXPECT_EQ(Convert("R\"x(a\")\"x)x\" \"表\""), "R\"x(a\")\"x)x\" \"\\225\\134\"");
  EXPECT_EQ(Convert("\"a\\\n表\""), "\"a\\\n\\225\\134\"");  // continued line
}

TEST(Cp932Literals, ErrorsNameTheLineOfTheCharacter) {
  std::string out;
  LiteralResult result =
      ConvertLiteralsToCp932("/* a\n b */ \"表\"\n\"x\\\ny\" \"caf\xc3\xa9\"\n", out);
  EXPECT_EQ(result.error, LiteralError::kNoCp932Form);
  EXPECT_EQ(result.line, 4);
  EXPECT_EQ(result.codePoint, U'\u00e9');
  EXPECT_NE(DescribeLiteralError(result).find("U+00E9"), std::string::npos);

  result = ConvertLiteralsToCp932("x;\n\"\xff\"", out);
  EXPECT_EQ(result.error, LiteralError::kBadUtf8);
  EXPECT_EQ(result.line, 2);
  result = ConvertLiteralsToCp932("\"\xe8\xa1\"", out);  // cut short
  EXPECT_EQ(result.error, LiteralError::kBadUtf8);

  result = ConvertLiteralsToCp932("\n\nR\"(\n表)\"", out);
  EXPECT_EQ(result.error, LiteralError::kRawString);
  EXPECT_EQ(result.line, 4);
}

}  // namespace
