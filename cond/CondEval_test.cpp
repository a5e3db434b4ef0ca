#include <gtest/gtest.h>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

const std::string kA = "\x83\x41";   // katakana a; trail byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table"; trail byte is "\"

// One SEL statement against one record, with the given option letters.
bool Holds(const std::string& statement, const std::string& record, const std::string& options = "",
           int* errorOut = nullptr) {
  CFakePlatform fake;
  CConvParam param(fake);
  param.m_strLine = statement;
  int parsed = param.ParseSelStatement();
  EXPECT_EQ(parsed, 0) << statement;
  param.m_strOption = options;
  param.m_strLine = record;
  int error = 0;
  bool holds = param.IsRecordSelected(error, 1, 0, "f.txt");
  if (errorOut != nullptr) {
    *errorOut = error;
  } else {
    EXPECT_EQ(error, 0) << statement << " / " << record;
  }
  return parsed == 0 && holds;
}

class CondEvalTest : public ::testing::Test {
 protected:
  // Adds SEL statements; fails the test when one does not parse.
  void Sel(std::initializer_list<std::string> statements) {
    for (const std::string& statement : statements) {
      param.m_strLine = statement;
      ASSERT_EQ(param.ParseSelStatement(), 0) << statement;
    }
  }
  // The selection test for one record; the error lands in `error`.
  bool Selected(const std::string& record, int inCount = 1, int outCount = 0) {
    param.m_strLine = record;
    error = 0;
    return param.IsRecordSelected(error, inCount, outCount, "Sales01.txt");
  }

  CFakePlatform fake;
  CConvParam param{fake};
  int error = 0;
};

TEST_F(CondEvalTest, WithoutSelEveryRecordIsSelected) {
  EXPECT_TRUE(Selected(""));
  EXPECT_TRUE(Selected("anything"));
}

TEST_F(CondEvalTest, GroupsAreOrAndTermsAreAnd) {
  Sel({"1,3,A,=,\"abc\"", "5,2,A,=,\"xy\" & 1,1,A,=,\"q\""});
  EXPECT_TRUE(Selected("abc-zz"));
  EXPECT_TRUE(Selected("qbc-xy"));
  EXPECT_FALSE(Selected("rbc-xy"));  // second group: its first term fails
  EXPECT_FALSE(Selected("qbc-xz"));
  EXPECT_EQ(error, 0);
}

TEST_F(CondEvalTest, ShortCircuitRaisesNoErrorForUndecidedTerms) {
  Sel({"1,1,A,=,\"x\" & 20,5,A,=,\"y\"", "1,3,A,=,\"abc\"", "40,1,A,=,\"z\""});
  // The first term fails, so the out-of-range second term is never looked at;
  // the second group holds, so the out-of-range third group is not either.
  EXPECT_TRUE(Selected("abc3456789"));
  EXPECT_EQ(error, 0);
  // The first term holds: the second is evaluated and is out of range.
  EXPECT_FALSE(Selected("x123456789"));
  EXPECT_EQ(error, 20);
  // No group holds: every group is evaluated, the last one raises.
  EXPECT_FALSE(Selected("0123456789"));
  EXPECT_EQ(error, 20);
}

TEST_F(CondEvalTest, EmptyStatementSelectsAllButEarlierGroupsStillCount) {
  Sel({"30,1,A,=,\"x\"", "", "1,1,N,=,\"x\""});
  EXPECT_FALSE(Selected("short"));
  EXPECT_EQ(error, 20);  // the group before the empty one is still evaluated
  param.m_strOption = "S";
  EXPECT_TRUE(Selected("short"));
  EXPECT_EQ(error, 0);   // the group after it (error 26 if evaluated) is not
}

TEST_F(CondEvalTest, FieldBoundsAndOptionS) {
  Sel({"10,5,A,=,\"x\""});
  EXPECT_FALSE(Selected(std::string(12, 'a')));
  EXPECT_EQ(error, 20);
  EXPECT_FALSE(Selected(std::string(14, 'a')));  // ends at the last byte: no error
  EXPECT_EQ(error, 0);
  param.m_strOption = "TS";
  EXPECT_FALSE(Selected(std::string(12, 'a')));
  EXPECT_EQ(error, 0);
}

TEST_F(CondEvalTest, RightFieldBoundsAndLargePositions) {
  Sel({"1,2,A,=,9,2,A", "2147483647,2147483647,A,=,\"x\""});
  EXPECT_FALSE(Selected("abcdefghi"));  // right field ends at byte 10
  EXPECT_EQ(error, 20);
  EXPECT_TRUE(Selected("ab______ab"));
  EXPECT_FALSE(Selected("ab______cd"));  // the second group's field lies far beyond
  EXPECT_EQ(error, 20);
  param.m_strOption = "S";
  EXPECT_FALSE(Selected("abcdefghi"));
  EXPECT_EQ(error, 0);
}

TEST_F(CondEvalTest, SearchTermsAreCharacterAligned) {
  Sel({"\"A\"", "\"\\\""});
  EXPECT_FALSE(Selected(kA + kHyo));  // trail bytes "A" and "\" are not characters
  EXPECT_TRUE(Selected(kHyo + "A"));
  EXPECT_TRUE(Selected(kA + "\\"));
  EXPECT_FALSE(Selected("\x82\xA0" + kHyo + kA + "\x81\x40"));
}

TEST_F(CondEvalTest, JapaneseSearchTextAndEmptySearch) {
  Sel({"\"" + kHyo + kA + "\""});
  EXPECT_TRUE(Selected("abc" + kHyo + kA + "def"));
  EXPECT_FALSE(Selected("abc" + kHyo + "x" + kA));

  CFakePlatform otherFake;
  CConvParam empty(otherFake);
  empty.m_strLine = "\"\"";
  ASSERT_EQ(empty.ParseSelStatement(), 0);
  int err = 0;
  empty.m_strLine = "x";
  EXPECT_TRUE(empty.IsRecordSelected(err, 1, 0, "f"));
  empty.m_strLine = "";
  EXPECT_FALSE(empty.IsRecordSelected(err, 1, 0, "f"));  // an empty record contains nothing
}

TEST(CondEval, OptionUIgnoresCaseInSearchesAndComparisons) {
  const char* fullWidthLowerA = "\x82\x81";
  const char* fullWidthUpperA = "\x82\x60";
  const std::pair<std::string, std::string> cases[] = {
      {"\"abc\"", "xxaBcxx"},
      {"1,5,A,==,\"b\"", "zzBzz"},
      {std::string("1,2,A,=,\"") + fullWidthLowerA + "\"", std::string(fullWidthUpperA) + "z"},
      {"1,2,A,<,4,2,A", "ab_AC"},  // AB < AC, while "ab" > "AC" by bytes
      {"1,5,A,=,[FILE]", "F.TXT"},
  };
  for (const auto& [statement, record] : cases) {
    EXPECT_FALSE(Holds(statement, record)) << statement;
    EXPECT_TRUE(Holds(statement, record, "-U")) << statement;
  }
  // Upper-casing keeps double-byte characters whole: "a" becomes "A", which
  // still does not match the trail byte of 0x83 0x41.
  EXPECT_FALSE(Holds("\"a\"", "zz" + kA + "zz", "U"));
  EXPECT_FALSE(Holds("1,4,A,==,\"a\"", "z" + kA + "z", "U"));
}

TEST_F(CondEvalTest, ContainsTestOnAField) {
  Sel({"1,5,A,==,\"b\"", "1,4,AT,==,\"\\\""});
  EXPECT_TRUE(Selected("aaab_"));
  EXPECT_FALSE(Selected("aaaa_b"));  // b is beyond the field
  EXPECT_FALSE(Selected(" " + kHyo + kA + "zz"));
  EXPECT_TRUE(Selected(" a\\ zz"));
}

TEST(CondEval, StringOrderIsCodePage932CharacterOrder) {
  // Half-width katakana 0xB1 sorts before the double-byte 0x82 0xA0, though
  // its byte is larger.
  EXPECT_TRUE(Holds("1,1,A,<,2,2,A", "\xB1\x82\xA0"));
  EXPECT_TRUE(Holds("1,2,A,>,3,1,A", "\x82\xA0\xB1"));
  // A prefix sorts first.
  EXPECT_TRUE(Holds("1,3,A,>,\"ab\"", "abc"));
  EXPECT_TRUE(Holds("1,2,A,<,\"abc\"", "ab"));

  // Every operator against "abc" (holds for every one) and "abz" (holds only
  // for the ones that accept greater).
  const std::pair<const char*, bool> forms[] = {
      {"1,3,A,<,\"abd\"", false}, {"1,3,A,<=,\"abc\"", false}, {"1,3,A,=<,\"abc\"", false},
      {"1,3,A,=,\"abc\"", false}, {"1,3,A,!=,\"abd\"", true},  {"1,3,A,<>,\"abd\"", true},
      {"1,3,A,>,\"abb\"", true},  {"1,3,A,>=,\"abc\"", true},  {"1,3,A,=>,\"abc\"", true}};
  for (const auto& [statement, holdsForAbz] : forms) {
    EXPECT_TRUE(Holds(statement, "abc")) << statement;
    EXPECT_EQ(Holds(statement, "abz"), holdsForAbz) << statement;
  }
}

TEST_F(CondEvalTest, JustifiedFieldsAgainstUnjustifiedLiterals) {
  Sel({"1,10,A,=,\"abc\"", "1,10,AT,=,\"zz\"", "1,4,AR,=,6,4,AL"});
  EXPECT_FALSE(Selected("abc       "));
  EXPECT_TRUE(Selected("  zz      "));
  EXPECT_TRUE(Selected("qq  _\x81\x40qq_"));  // "qq" against "qq"
  EXPECT_EQ(error, 0);
}

TEST_F(CondEvalTest, NumericComparisons) {
  Sel({"1,4,N,>,\"10\""});
  EXPECT_TRUE(Selected("0011"));
  EXPECT_FALSE(Selected("9.99"));
  EXPECT_FALSE(Selected("    "));  // blanks read as 0
  EXPECT_EQ(error, 0);
  EXPECT_FALSE(Selected("1e03"));
  EXPECT_EQ(error, 26);
  param.m_strOption = "N";
  EXPECT_TRUE(Selected("1e03"));
  EXPECT_EQ(error, 0);
}

TEST_F(CondEvalTest, NumericEqualityIgnoresNotation) {
  Sel({"1,3,N,=,\"5\""});
  for (const char* field : {"005", "+05", "5  ", " 5 ", "5.0"}) {
    EXPECT_TRUE(Selected(field)) << field;
  }
  EXPECT_FALSE(Selected("-05"));
  EXPECT_FALSE(Selected("1 2"));
  EXPECT_EQ(error, 26);
}

TEST_F(CondEvalTest, NumericTestCoversTheRightSideAndDoubleBytes) {
  Sel({"1,2,N,<,\"abc\""});
  EXPECT_FALSE(Selected("12"));
  EXPECT_EQ(error, 26);
  CFakePlatform otherFake;
  CConvParam p(otherFake);
  p.m_strLine = "1,2,N,=,3,2,N";
  ASSERT_EQ(p.ParseSelStatement(), 0);
  p.m_strLine = "12" + kA;  // the right field holds a double-byte character
  int err = 0;
  EXPECT_FALSE(p.IsRecordSelected(err, 1, 0, "f"));
  EXPECT_EQ(err, 26);
  p.m_strLine = "-1-1";
  err = 0;
  EXPECT_TRUE(p.IsRecordSelected(err, 1, 0, "f"));
}

TEST_F(CondEvalTest, QuotedNumberIsDecidedOnceAndMatchesAHandBuiltTerm) {
  Sel({"1,4,N,>,\"1e1\"", "1,4,N,<,\" +10 \""});
  const CSelCond& parsed = param.m_selCond[0];
  EXPECT_EQ(parsed.m_nLiteralNumeric, -1);  // "e" fails the numeric test
  EXPECT_EQ(param.m_selCond[30].m_nLiteralNumeric, 1);
  EXPECT_EQ(param.m_selCond[30].m_dLiteral, 10.0);

  // A term built without the parser's decision reads its literal itself and
  // gives the same answers, with and without options N and U.
  CSelCond handBuilt = parsed;
  handBuilt.m_nLiteralNumeric = 0;
  handBuilt.m_dLiteral = 0;
  for (const char* options : {"", "N", "NU", "U"}) {
    param.m_strOption = options;
    for (const char* record : {"0011", "0009", "abcd", "1e03"}) {
      param.m_strLine = record;
      int errorParsed = 0, errorHand = 0;
      bool holdsParsed = param.EvaluateCondTerm(parsed, 1, 0, "f", errorParsed);
      bool holdsHand = param.EvaluateCondTerm(handBuilt, 1, 0, "f", errorHand);
      EXPECT_EQ(holdsParsed, holdsHand) << options << " " << record;
      EXPECT_EQ(errorParsed, errorHand) << options << " " << record;
    }
  }
  param.m_strOption = "N";
  EXPECT_TRUE(Selected("0011"));   // 11 > 10 (the first group reads "1e1")
  EXPECT_TRUE(Selected("0009"));   // second group: 9 < 10
  EXPECT_FALSE(Selected("0010"));
  param.m_strOption = "";
  EXPECT_FALSE(Selected("0009"));
  EXPECT_EQ(error, 26);            // the literal fails the test, every record
}

TEST_F(CondEvalTest, ConstantsInSearchesAndComparisons) {
  fake.m_nNow = 978512707;  // 2001-01-03 09:05:07 UTC
  Sel({"[FILE]", "1,4,A,=,[YYYY] & [IN_LINE]"});
  EXPECT_TRUE(Selected("from Sales01.txt"));
  EXPECT_FALSE(Selected("from sales01.txt"));
  EXPECT_TRUE(Selected("2001 line 7", 7));
  EXPECT_FALSE(Selected("2001 line 7", 8));
  param.m_strOption = "U";
  EXPECT_TRUE(Selected("from SALES01.TXT"));

  CFakePlatform otherFake;
  CConvParam p(otherFake);
  p.m_strLine = "[OUT_LINE]";
  ASSERT_EQ(p.ParseSelStatement(), 0);
  p.m_strLine = "record 0";
  int err = 0;
  EXPECT_TRUE(p.IsRecordSelected(err, 1, 0, "f"));
  EXPECT_FALSE(p.IsRecordSelected(err, 1, 3, "f"));
}

TEST_F(CondEvalTest, EditConditionListsUseTheSameRules) {
  std::string text = "1,1,A,=,\"x\" & 5,5,A,=,\"y\"";
  ASSERT_EQ(param.ParseCondList(text, &param.m_editCond[30], 25), 0);
  param.m_strLine = "abc";
  int err = 0;
  EXPECT_FALSE(param.EvaluateCondList(&param.m_editCond[30], err, 1, 1, "f"));
  EXPECT_EQ(err, 0);
  param.m_strLine = "xbc";
  EXPECT_FALSE(param.EvaluateCondList(&param.m_editCond[30], err, 1, 1, "f"));
  EXPECT_EQ(err, 20);
  err = 0;
  EXPECT_TRUE(param.EvaluateCondList(&param.m_editCond[60], err, 1, 1, "f"));  // no terms
}

TEST_F(CondEvalTest, NoAllocationOnceBuffersHaveGrown) {
  Sel({"\"zz\"", "1,3,AT,=,[FILE]", "[IN_LINE] & 1,4,N,=,5,4,N"});
  param.m_strOption = "U";
  Selected("abcdefghij 1234 and some more text");
  const char* upper = param.m_strUpper.data();
  const char* left = param.m_strLeft.data();
  const char* constant = param.m_strConstValue.data();
  for (int i = 0; i < 5; ++i) {
    Selected("0012 0012 record " + std::to_string(i), i);
    EXPECT_EQ(param.m_strUpper.data(), upper);
    EXPECT_EQ(param.m_strLeft.data(), left);
    EXPECT_EQ(param.m_strConstValue.data(), constant);
  }
}

}  // namespace
