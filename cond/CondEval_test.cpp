#include <gtest/gtest.h>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

const std::string kA = "\x83\x41";   // katakana a; trail byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table"; trail byte is "\"

class CondEvalTest : public ::testing::Test {
 protected:
  void Sel(std::initializer_list<std::string> statements) {
    for (const std::string& statement : statements) {
      param.m_strLine = statement;
      ASSERT_EQ(param.ParseSelStatement(), 0) << statement;
    }
  }
  bool Selected(const std::string& record, int inCount = 1, int outCount = 0) {
    param.m_strLine = record;
    error = 0;
    return param.IsRecordSelected(error, inCount, outCount, "Sales01.txt");
  }

  FakePlatform fake;
  CConvParam param{fake};
  int error = 0;
};

// One SEL statement against one record: whether it holds and the error left.
struct CCase {
  std::string strStatement;
  std::string strRecord;
  const char* szOptions;
  bool bHolds;
  int nError;
};

void ExpectCases(std::initializer_list<CCase> cases) {
  for (const CCase& c : cases) {
    FakePlatform fake;
    CConvParam param(fake);
    param.m_strLine = c.strStatement;
    ASSERT_EQ(param.ParseSelStatement(), 0) << c.strStatement;
    param.m_strOption = c.szOptions;
    param.m_strLine = c.strRecord;
    int error = 0;
    EXPECT_EQ(param.IsRecordSelected(error, 1, 0, "f.txt"), c.bHolds)
        << c.strStatement << " / " << c.strRecord << " / -" << c.szOptions;
    EXPECT_EQ(error, c.nError) << c.strStatement << " / " << c.strRecord << " / -" << c.szOptions;
  }
}

TEST_F(CondEvalTest, GroupsAreOrTermsAreAndAndBothShortCircuit) {
  EXPECT_TRUE(Selected(""));  // no SEL statement: every record, nothing evaluated

  Sel({"1,1,A,=,\"x\" & 20,1,A,=,\"y\"", "1,3,A,=,\"abc\"", "40,1,A,=,\"z\""});
  // The first term fails, so the out-of-range second term is never looked at;
  // the second group holds, so the out-of-range third group is not either.
  EXPECT_TRUE(Selected("abc3456789"));
  EXPECT_EQ(error, 0);
  EXPECT_TRUE(Selected("x234567890123456789y"));
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

TEST(CondEval, FieldBoundsAndOptionS) {
  const std::string twelve(12, 'a'), fourteen(14, 'a');
  ExpectCases({
      {"10,5,A,=,\"x\"", twelve, "", false, 20},
      {"10,5,A,=,\"x\"", twelve, "TS", false, 0},
      {"10,5,A,=,\"aaaaa\"", fourteen, "", true, 0},  // ends at the last byte
      {"1,2,A,=,9,2,A", "abcdefghi", "", false, 20},  // the right field
      {"1,2,A,=,9,2,A", "abcdefghi", "S", false, 0},
      {"1,2,A,=,9,2,A", "ab______ab", "", true, 0},
      {"2147483647,2147483647,A,=,\"x\"", "abc", "", false, 20},
      {"1,1,A,=,2147483647,1,A", "abc", "", false, 20},
  });
}

TEST(CondEval, SearchesAreCharacterAligned) {
  ExpectCases({
      {"\"A\"", kA + kHyo, "", false, 0},  // trail bytes are not characters
      {"\"\\\"", kA + kHyo, "", false, 0},
      {"\"A\"", kHyo + "A", "", true, 0},
      {"\"\\\"", kA + "\\", "", true, 0},
      {"\"" + kHyo + kA + "\"", "abc" + kHyo + kA + "def", "", true, 0},
      {"\"" + kHyo + kA + "\"", "abc" + kHyo + "x" + kA, "", false, 0},
      {"\"\x93\x8c\x8b\x9e\"", "\x83\x93\x8c\x8b\x9e\x40", "", false, 0},
      {"\"\"", "x", "", true, 0},  // the empty search text...
      {"\"\"", "", "", false, 0},  // ...is not in the empty record
      {"1,5,A,==,\"b\"", "aaab_", "", true, 0},
      {"1,5,A,==,\"b\"", "aaaa_b", "", false, 0},  // b is beyond the field
      {"1,4,AT,==,\"\\\"", " " + kHyo + kA + "zz", "", false, 0},
      {"1,4,AT,==,\"\\\"", " a\\ zz", "", true, 0},
  });
}

TEST(CondEval, OptionUIgnoresCaseAndKeepsCharactersWhole) {
  const std::string wideLowerA = "\x82\x81", wideUpperA = "\x82\x60";
  const std::pair<std::string, std::string> cases[] = {
      {"\"abc\"", "xxaBcxx"},
      {"1,5,A,==,\"b\"", "zzBzz"},
      {"1,2,A,=,\"" + wideLowerA + "\"", wideUpperA + "z"},
      {"1,2,A,<,4,2,A", "ab_AC"},  // AB < AC, while "ab" > "AC" by bytes
      {"1,5,A,=,[FILE]", "F.TXT"},
  };
  for (const auto& [statement, record] : cases) {
    ExpectCases({{statement, record, "", false, 0}, {statement, record, "-U", true, 0}});
  }
  // "a" becomes "A", which still does not match the trail byte of 0x83 0x41.
  ExpectCases({{"\"a\"", "zz" + kA + "zz", "U", false, 0},
               {"1,4,A,==,\"a\"", "z" + kA + "z", "U", false, 0}});
}

TEST(CondEval, StringOrderAndJustification) {
  ExpectCases({
      // Half-width katakana 0xB1 sorts before the double-byte 0x82 0xA0.
      {"1,1,A,<,2,2,A", "\xB1\x82\xA0", "", true, 0},
      {"1,2,A,>,3,1,A", "\x82\xA0\xB1", "", true, 0},
      {"1,3,A,>,\"ab\"", "abc", "", true, 0},  // a prefix sorts first
      {"1,2,A,<,\"abc\"", "ab", "", true, 0},
      // A literal is never justified, the field only by its own type.
      {"1,10,A,=,\"abc\"", "abc       ", "", false, 0},
      {"1,10,AT,=,\"abc\"", "  abc     ", "", true, 0},
      {"1,4,AR,=,6,4,AL", "qq  _\x81\x40qq", "", true, 0},
  });
  // Every operator against "abc" (holds for all) and "abz" (only for those
  // that accept greater).
  const std::pair<const char*, bool> forms[] = {
      {"1,3,A,<,\"abd\"", false}, {"1,3,A,<=,\"abc\"", false}, {"1,3,A,=<,\"abc\"", false},
      {"1,3,A,=,\"abc\"", false}, {"1,3,A,!=,\"abd\"", true},  {"1,3,A,<>,\"abd\"", true},
      {"1,3,A,>,\"abb\"", true},  {"1,3,A,>=,\"abc\"", true},  {"1,3,A,=>,\"abc\"", true}};
  for (const auto& [statement, holdsForAbz] : forms) {
    ExpectCases({{statement, "abc", "", true, 0}, {statement, "abz", "", holdsForAbz, 0}});
  }
}

TEST(CondEval, NumericComparisons) {
  ExpectCases({
      {"1,4,N,>,\"10\"", "0011", "", true, 0},
      {"1,4,N,>,\"10\"", "9.99", "", false, 0},
      {"1,4,N,>,\"10\"", "    ", "", false, 0},  // blanks read as 0
      {"1,4,N,>,\"10\"", "1e03", "", false, 26},
      {"1,4,N,>,\"10\"", "1e03", "N", true, 0},
      {"1,4,N,>,\"10\"", "12ab", "NU", true, 0},
      {"1,3,N,=,\"5\"", "005", "", true, 0},
      {"1,3,N,=,\"5\"", "+05", "", true, 0},
      {"1,3,N,=,\"5\"", "5  ", "", true, 0},
      {"1,3,N,=,\"5\"", "5.0", "", true, 0},
      {"1,3,N,=,\"5\"", "-05", "", false, 0},
      {"1,3,N,=,\"5\"", "1 2", "", false, 26},
      {"1,2,N,<,\"abc\"", "12", "", false, 26},       // the right side is tested too
      {"1,4,N,>,\"1e1\"", "0011", "N", true, 0},      // ...unless option N is on
      {"1,2,N,=,3,2,N", "12" + kA, "", false, 26},  // any byte of a double-byte character
      {"1,2,N,=,3,2,N", "-1-1", "", true, 0},
      {"1,2,N,<=,3,2,N", " 2 2", "", true, 0},
  });
}

TEST_F(CondEvalTest, QuotedNumberIsDecidedOnceLikeAHandBuiltTerm) {
  Sel({"1,4,N,>,\"1e1\"", "1,4,N,<,\" +10 \""});
  EXPECT_EQ(param.m_selCond[0].m_nLiteralNumeric, -1);
  EXPECT_EQ(param.m_selCond[30].m_nLiteralNumeric, 1);
  EXPECT_EQ(param.m_selCond[30].m_dLiteral, 10.0);
  // Without the parser's decision a term reads its literal itself, with the
  // same answers and errors.
  for (int index : {0, 30}) {
    const CSelCond& parsed = param.m_selCond[index];
    CSelCond handBuilt = parsed;
    handBuilt.m_nLiteralNumeric = 0;
    for (const char* options : {"", "N", "U"}) {
      param.m_strOption = options;
      for (const char* record : {"0011", "0009", "abcd"}) {
        param.m_strLine = record;
        int errorParsed = 0, errorHand = 0;
        EXPECT_EQ(param.EvaluateCondTerm(parsed, 1, 0, "f", errorParsed),
                  param.EvaluateCondTerm(handBuilt, 1, 0, "f", errorHand));
        EXPECT_EQ(errorParsed, errorHand) << index << options << record;
      }
    }
  }
}

TEST_F(CondEvalTest, ConstantsInSearchesAndComparisons) {
  fake.now = 978512707;  // 2001-01-03 09:05:07 UTC
  Sel({"[FILE]", "1,4,A,=,[YYYY] & [IN_LINE]", "1,2,A,=,\"o:\" & [OUT_LINE]"});
  EXPECT_TRUE(Selected("from Sales01.txt"));
  EXPECT_FALSE(Selected("from sales01.txt"));
  EXPECT_TRUE(Selected("2001 line 7", 7));
  EXPECT_FALSE(Selected("2001 line 7", 8));
  EXPECT_TRUE(Selected("o:3 ", 9, 3));  // records selected before this one
  EXPECT_FALSE(Selected("o:3 ", 9, 4));
  EXPECT_EQ(error, 0);
  param.m_strOption = "U";
  EXPECT_TRUE(Selected("from SALES01.TXT"));
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
