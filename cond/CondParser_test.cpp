#include <gtest/gtest.h>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

const std::string kA = "\x83\x41";   // katakana a; trail byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table"; trail byte is "\"

class CondParserTest : public ::testing::Test {
 protected:
  // One SEL statement as the statement reader hands it over (value trimmed).
  int Sel(const std::string& value) {
    param.m_strLine = value;
    return param.ParseSelStatement();
  }
  const CSelCond& Term(int group, int term) const {
    return param.m_selCond[static_cast<size_t>(group) * CConvParam::kAndTerms + term];
  }

  FakePlatform fake;
  CConvParam param{fake};
};

TEST_F(CondParserTest, WorkedExampleFillsTheRecords) {
  ASSERT_EQ(Sel("1,3,a,=,\"x\"\"y\" & [file]"), 0);
  ASSERT_EQ(Sel("10, 2 ,N, >= ,20,2,n"), 0);
  EXPECT_EQ(param.m_nSelLast, 1);

  const CSelCond& t00 = Term(0, 0);
  EXPECT_EQ(t00.m_strKind, "SEL");
  EXPECT_EQ(t00.m_nPos, 1);
  EXPECT_EQ(t00.m_nLen, 3);
  EXPECT_EQ(t00.m_strType, "A");
  EXPECT_EQ(t00.m_strOp, "=");
  EXPECT_EQ(t00.m_eOp, kOpEq);
  EXPECT_EQ(t00.m_strLiteral, "x\"y");
  EXPECT_EQ(t00.m_nRightPos, 0);
  EXPECT_EQ(t00.m_nRightLen, 0);
  EXPECT_EQ(t00.m_strRightType, "");
  EXPECT_EQ(t00.m_strConst, "");
  EXPECT_EQ(t00.m_strRightConst, "");

  const CSelCond& t01 = Term(0, 1);
  EXPECT_EQ(t01.m_strKind, "SEA");
  EXPECT_EQ(t01.m_strType, "A");
  EXPECT_EQ(t01.m_strConst, "FILE");
  EXPECT_EQ(t01.m_strOp, "");
  EXPECT_EQ(t01.m_strLiteral, "");
  EXPECT_EQ(Term(0, 2).m_strKind, "");

  const CSelCond& t10 = Term(1, 0);
  EXPECT_EQ(t10.m_strKind, "SEL");
  EXPECT_EQ(t10.m_nPos, 10);
  EXPECT_EQ(t10.m_nLen, 2);
  EXPECT_EQ(t10.m_strType, "N");
  EXPECT_EQ(t10.m_strOp, ">=");
  EXPECT_EQ(t10.m_eOp, kOpGe);
  EXPECT_EQ(t10.m_nRightPos, 20);
  EXPECT_EQ(t10.m_nRightLen, 2);
  EXPECT_EQ(t10.m_strRightType, "N");
  EXPECT_EQ(t10.m_strLiteral, "");
  EXPECT_EQ(Term(1, 1).m_strKind, "");
}

TEST_F(CondParserTest, StoresEachOperatorFormAndSpacing) {
  const std::pair<const char*, ECondOp> forms[] = {
      {"=", kOpEq}, {"!=", kOpNe}, {"<>", kOpNe}, {"<", kOpLt},  {"<=", kOpLe},
      {"=<", kOpLe}, {">", kOpGt}, {">=", kOpGe}, {"=>", kOpGe}, {"==", kOpContains}};
  int group = 0;
  for (const auto& [form, op] : forms) {
    ASSERT_EQ(Sel(std::string("1 , 5 , at , ") + form + " , \"x\""), 0) << form;
    EXPECT_EQ(Term(group, 0).m_strOp, form);
    EXPECT_EQ(Term(group, 0).m_eOp, op) << form;
    EXPECT_EQ(Term(group, 0).m_strType, "AT");
    ++group;
  }
}

TEST_F(CondParserTest, SearchTermsRightConstantsAndFields) {
  ASSERT_EQ(Sel("\"a\"\"b\""), 0);
  EXPECT_EQ(Term(0, 0).m_strKind, "SEA");
  EXPECT_EQ(Term(0, 0).m_strLiteral, "a\"b");

  ASSERT_EQ(Sel("\"\""), 0);  // empty search text
  EXPECT_EQ(Term(1, 0).m_strKind, "SEA");
  EXPECT_EQ(Term(1, 0).m_strLiteral, "");

  ASSERT_EQ(Sel("[In_Line]&\"" + kHyo + kA + "\""), 0);
  EXPECT_EQ(Term(2, 0).m_strType, "N.0");
  EXPECT_EQ(Term(2, 0).m_strConst, "IN_LINE");
  EXPECT_EQ(Term(2, 1).m_strLiteral, kHyo + kA);

  ASSERT_EQ(Sel("1,8,A,=,[yyyy] & 1,5,A,<,3,2,al"), 0);
  EXPECT_EQ(Term(3, 0).m_strRightConst, "YYYY");
  EXPECT_EQ(Term(3, 0).m_strRightType, "A");
  EXPECT_EQ(Term(3, 0).m_strConst, "");
  EXPECT_EQ(Term(3, 1).m_strRightType, "AL");
  EXPECT_EQ(Term(3, 1).m_nRightPos, 3);
  EXPECT_EQ(Term(3, 1).m_nRightLen, 2);

  // A literal is checked only when records are evaluated.
  EXPECT_EQ(Sel("1,5,N,=,\"abc\""), 0);
  // A double-byte character whose trail byte is "\" or "A" is plain literal text.
  ASSERT_EQ(Sel("1,2,A,==,\"" + kHyo + "\""), 0);
  EXPECT_EQ(Term(5, 0).m_strLiteral, kHyo);
}

TEST_F(CondParserTest, EmptyStatementAddsAGroupWithoutTerms) {
  EXPECT_EQ(Sel(""), 0);
  EXPECT_EQ(param.m_nSelLast, 0);
  EXPECT_EQ(Term(0, 0).m_strKind, "");
}

// Every code of the condition syntax, each with the statements that raise it.
TEST_F(CondParserTest, ErrorCodes) {
  const std::pair<int, std::vector<std::string>> cases[] = {
      {10,
       {"\"abc", "\"x\" &", "\"x\" \"y\"", "\"x\" & ", "[ FILE ]", "[FILE ]", "[NOW]", "[FILE",
        "[]", "[FILE],=,\"a.txt\"", "0,5,A,=,\"x\"", ",5,A,=,\"x\"", "1,5,A,=,\"x\"@1,2,A,=,\"y\"",
        "1,5,A,=,\"x", "1,5,A,=,\"x\" \"y\"", "1,5,A,=,[NAME]", "1,5,A,=,", "1,5,A,=,2,0,A",
        "1,5,A,=,\"x\" & &", "1", "1,5"}},
      {14, {"1,-5,A,=,\"x\"", "1,5.0,A,=,\"x\"", "x,5,A,=,\"x\"", "1,5,A,=,3,x,A",
            "1,2147483648,A,=,\"x\"", "1," + kA + ",A,=,\"x\""}},
      {16, {"1,5,A,=,\"\"", "1,5,A,=,3,2,N", "1,5,A,=,[IN_LINE]", "1,5,N,=,3,2,A",
            "1,5,N,=,[FILE]"}},
      {18, {"1,5,B,=,\"x\"", "1,5,N,==,\"1\"", "1,5,N,>,[IN_LINE]", "1,5,AX,=,3,2,AX",
            "1,5,A,=,3,2,AY", "1,5,,=,\"x\""}},
      {19, {"1,5,A,= =,\"x\"", "1,5,A,,\"x\"", "1,5,A,=!,\"x\"", "1,5,A"}},
  };
  for (const auto& [code, statements] : cases) {
    for (const std::string& statement : statements) {
      FakePlatform otherFake;
      CConvParam fresh(otherFake);
      fresh.m_strLine = statement;
      EXPECT_EQ(fresh.ParseSelStatement(), code) << statement;
    }
  }
}

TEST_F(CondParserTest, LimitsOfTermsAndGroups) {
  std::string thirty = "\"t\"";
  for (int i = 1; i < 30; ++i) thirty += " & 1,1,A,=,\"t\"";
  EXPECT_EQ(Sel(thirty), 0);
  EXPECT_EQ(Term(0, 29).m_strKind, "SEL");
  EXPECT_EQ(Sel(thirty + "&\"u\""), 23);

  // Edit-definition condition lists report their own limit code.
  std::string text = thirty + " & \"u\"";
  EXPECT_EQ(param.ParseCondList(text, &param.m_editCond[0], 25), 25);

  FakePlatform otherFake;
  CConvParam fresh(otherFake);
  for (int i = 0; i < 300; ++i) {
    fresh.m_strLine = "\"x\"";
    ASSERT_EQ(fresh.ParseSelStatement(), 0) << i;
  }
  fresh.m_strLine = "\"x\"";
  EXPECT_EQ(fresh.ParseSelStatement(), 22);
  EXPECT_LT(fresh.m_nSelLast, CConvParam::kOrGroups);
}

// The EDIT definition parser drives the term parser in edit-definition mode.
struct CEditTerm {
  int nPos = -1, nLen = -1, nRightPos = -1, nRightLen = -1;
  std::string strType, strOp, strRightType, strLiteral, strConst, strRightConst;
  std::string strRest;
  int nError = 0;
};

CEditTerm ParseEdit(std::string_view mode, const std::string& text) {
  CSyntaxCheck syntax;
  CEditTerm t;
  t.strRest = text;
  syntax.ParseCondTerm(t.strRest, t.nPos, t.nLen, t.strType, t.strOp, t.nRightPos, t.nRightLen,
                       t.strRightType, t.strLiteral, t.strConst, t.strRightConst, mode, t.nError);
  return t;
}

TEST(CondTermEditMode, CanonicalTypeRightSideAndConditionRest) {
  CEditTerm t = ParseEdit("EDT", "1,6,N-0.2,=,10,6,N");
  ASSERT_EQ(t.nError, 0);
  EXPECT_EQ(t.strType, "N-06.2");
  EXPECT_EQ(t.nPos, 1);
  EXPECT_EQ(t.nLen, 6);
  EXPECT_EQ(t.nRightPos, 10);
  EXPECT_EQ(t.nRightLen, 6);
  EXPECT_EQ(t.strRightType, "N");
  EXPECT_EQ(t.strRest, "");

  // The length text goes to the edit-type check as written, blanks and all.
  t = ParseEdit("WID", "1, 8 ,n,=,\"12\"");
  ASSERT_EQ(t.nError, 0);
  EXPECT_EQ(t.strType, "N4.0");
  EXPECT_EQ(t.strRightType, "N");  // taken from the canonical type for a quoted text
  EXPECT_EQ(t.strLiteral, "12");

  // "@" hands the rest over as the definition's condition list; "&" is data there.
  t = ParseEdit("EDT", "5,3,A,=,1,3,AT @ 1,1,A,=,\"" + kHyo + "\" & \"x\"");
  ASSERT_EQ(t.nError, 0);
  EXPECT_EQ(t.strRightType, "AT");
  EXPECT_EQ(t.strRest, "1,1,A,=,\"" + kHyo + "\" & \"x\"");

  t = ParseEdit("EDT", "1,8,N,=,[IN_LINE]");
  ASSERT_EQ(t.nError, 0);
  EXPECT_EQ(t.strRightConst, "IN_LINE");
  EXPECT_EQ(t.strRightType, "N.0");
  EXPECT_EQ(t.strType, "N8.0");
}

TEST(CondTermEditMode, ErrorCodes) {
  const std::pair<int, std::vector<std::pair<std::string, std::string>>> cases[] = {
      {10, {{"EDT", "[FILE],=,\"x\""}, {"EDT", "1,5,A,=,\"x\"@"}, {"EDT", "1,5,A,=,\"x\" & 1"},
            {"EDT", "1,5,A,=,\"x"}}},
      {16, {{"EDT", "1,8,A,=,[IN_LINE]"}, {"EDT", "1,8,N,=,[FILE]"}, {"EDT", "1,5,A,=,3,2,N"}}},
      {17, {{"EDT", "1,5,AT,=,\"x\""}, {"EDT", "1,5,N10.2,=,\"1\""}, {"UPP", "1,5,B,=,\"x\""}}},
      {18, {{"EDT", "1,5,A,=,\"\""}, {"EDT", "1,5,A,=,3,2,B"}}},
      {19, {{"EDT", "1,5,A,==,\"x\""}, {"NAR", "1,5,A,<>,\"x\""}}},
      {27, {{"WID", "1,5,N,=,\"12\""}}},
  };
  for (const auto& [code, statements] : cases) {
    for (const auto& [mode, text] : statements) {
      EXPECT_EQ(ParseEdit(mode, text).nError, code) << mode << " " << text;
    }
  }
}

}  // namespace
