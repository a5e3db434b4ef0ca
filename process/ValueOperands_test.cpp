#include <gtest/gtest.h>

#include <string>

#include "cond/SyntaxCheck.h"

namespace {

// The six out-parameters of one call, plus what is left of the text.
struct COperands {
  std::string strText;
  std::string strText1, strText2, strConst1, strConst2, strType1, strType2;
  int nErr = 0;
};

COperands Parse(const std::string& text, const char* kind) {
  COperands r;
  r.strText = text;
  CSyntaxCheck syntax;
  syntax.ParseValueOperands(r.strText, r.strText1, r.strText2, r.strConst1, r.strConst2,
                            r.strType1, r.strType2, kind, r.nErr);
  return r;
}

TEST(ValueOperands, QuotedTextsAreUnescaped) {
  COperands r = Parse("\"a\"\"b\" , \"c\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText1, "a\"b");
  EXPECT_EQ(r.strText2, "c");
  EXPECT_EQ(r.strConst1, "");
  EXPECT_EQ(r.strText, "");

  // The empty quoted text leaves both descriptions of the operand empty.
  r = Parse("\"\",\"x\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText1, "");
  EXPECT_EQ(r.strConst1, "");
  EXPECT_EQ(r.strText2, "x");

  // Double-byte texts pass unchanged, trail bytes 0x41 ("A") and 0x5C ("\") included.
  r = Parse("\"\x83\x41\x95\x5C\",\"\x95\x5C\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText1, "\x83\x41\x95\x5C");
  EXPECT_EQ(r.strText2, "\x95\x5C");
}

TEST(ValueOperands, ConstantsGiveTypeAndUpperCaseName) {
  COperands r = Parse("\"a\",[OUT_LINE]", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText2, "");
  EXPECT_EQ(r.strType2, "N.0");
  EXPECT_EQ(r.strConst2, "OUT_LINE");

  r = Parse("\"a\",[out_line] @ \"z\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strConst2, "OUT_LINE");
  EXPECT_EQ(r.strText, "\"z\"");

  r = Parse("[FILE],\"x\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strConst1, "FILE");
  EXPECT_EQ(r.strType1, "A");
  EXPECT_EQ(r.strText1, "");
  EXPECT_EQ(r.strText2, "x");
}

TEST(ValueOperands, ChangeNeedsTwoOperandsAndAtMostAConditionList) {
  COperands r = Parse("\"a\",\"b\" @ 1,1,A,=,\"x\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText, "1,1,A,=,\"x\"");

  r = Parse("\"a\",\"b\" @ \"\x95\x5C\"", "CHA");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText, "\"\x95\x5C\"");

  for (const char* bad : {"\"a\"", "\"a\",\"b\"@", "\"a\",\"b\" @  ", "\"a\",\"b\" x",
                          "\"a\" \"b\"", "\"a\",", "\"a\",b", "\"a\",\"b\" & \"c\""}) {
    EXPECT_EQ(Parse(bad, "CHA").nErr, 10) << bad;
  }
}

TEST(ValueOperands, CsvTakesOneOperandAndLeavesTheRest) {
  COperands r = Parse("\"a\"", "CSV");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText1, "a");
  EXPECT_EQ(r.strText, "");

  r = Parse("\"a\",\"b\" x", "CSV");
  EXPECT_EQ(r.nErr, 0);
  EXPECT_EQ(r.strText2, "b");
  EXPECT_EQ(r.strText, "x");

  // After one operand the only thing CSV accepts is the comma of a header.
  EXPECT_EQ(Parse("\"a\" x", "CSV").nErr, 10);
  EXPECT_EQ(Parse("\"a\",", "CSV").nErr, 10);
}

TEST(ValueOperands, SyntaxErrors) {
  for (const char* bad : {"", "   ", "1,5,A,\"x\"", "abc", "\"abc", "\"a\"\"", "[ FILE ],\"x\"",
                          "[NOW],\"x\"", "[FILE,\"x\"", "[],\"x\"", "\"a\",\"b"}) {
    EXPECT_EQ(Parse(bad, "CHA").nErr, 10) << bad;
    EXPECT_EQ(Parse(bad, "CSV").nErr, 10) << bad;
  }
}

TEST(ValueOperands, FirstErrorKeepsWhatWasWritten) {
  COperands r = Parse("\"keep\",[NOW]", "CHA");
  EXPECT_EQ(r.nErr, 10);
  EXPECT_EQ(r.strText1, "keep");
  EXPECT_EQ(r.strConst2, "");
}

}  // namespace
