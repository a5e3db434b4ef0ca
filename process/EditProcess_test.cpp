#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

// One conversion parameter set on an in-memory platform, driven like the
// statement reader and the record loop drive it.
struct CEditRun {
  CEditRun() : m_param(m_platform) { m_param.m_strFunction = "EDIT"; }

  // Parses one EDIT statement "key = value"; returns its error code.
  int Def(const std::string& key, const std::string& value) {
    m_param.m_strLine = value;
    return m_param.ParseEditStatement(key);
  }
  // Parses statements that must all be accepted.
  void Defs(const std::vector<std::string>& values) {
    for (const std::string& v : values) ASSERT_EQ(Def("EDT", v), 0) << v;
  }
  // Runs one record through EDIT; returns the line and leaves the code in m_nErr.
  std::string Apply(const std::string& record, int in = 1, int out = 1) {
    m_param.m_strLine = record;
    m_param.EditRecord(m_param.m_nErr, in, out, "in.txt");
    return m_param.m_strLine;
  }

  FakePlatform m_platform;
  CConvParam m_param;
};

// Test bodies below use the harness members directly.
class EditProcess : public ::testing::Test, protected CEditRun {};

TEST_F(EditProcess, PlacesValuesWithBlankGapsAndLaterOverlaysWin) {
  Defs({"1,3,A,=,\"ABC\"", "6,2,A,=,\"XY\""});
  EXPECT_EQ(Apply("anything"), "ABC  XY\n");
  EXPECT_EQ(m_param.m_nErr, 0);
}

TEST_F(EditProcess, OverlapAndFurthestEnd) {
  // The second field overwrites the middle of the first; the third ends
  // before the first, so the line still ends with the first field.
  Defs({"1,6,A,=,\"AAAAAA\"", "3,2,A,=,\"bb\"", "2,1,A,=,\"c\""});
  EXPECT_EQ(Apply("x"), "AcbbAA\n");
}

TEST_F(EditProcess, InputFieldsArePaddedNeverCut) {
  Defs({"1,5,A,=,2,3,A", "6,4,A,=,1,2,A"});
  EXPECT_EQ(Apply("abcdef"), "bcd  ab  \n");

  // A value longer than its field stops the run with 21.
  CEditRun longer;
  ASSERT_EQ(longer.Def("EDT", "1,2,A,=,\"abc\""), 0);
  longer.Apply("x");
  EXPECT_EQ(longer.m_param.m_nErr, 21);
}

TEST_F(EditProcess, JustifiedInputFields) {
  Defs({"1,4,A,=,1,6,AT", "5,1,A,=,\"|\""});
  EXPECT_EQ(Apply("  ab  "), "ab  |\n");
  // Full-width blanks are trimmed by AT; the trail byte 0x5C of "表" is not "\".
  EXPECT_EQ(Apply("\x81\x40\x95\x5C\x81\x40"), "\x95\x5C  |\n");
}

TEST_F(EditProcess, NoDefinitionAppliedGivesAnEmptyLine) {
  Defs({"1,3,A,=,\"YES\" @ 1,1,A,=,\"x\""});
  EXPECT_EQ(Apply("y"), "\n");
  EXPECT_EQ(m_param.m_nErr, 0);
  EXPECT_EQ(Apply("x"), "YES\n");
}

// Every numeric edit form of the documented table, output length 10.
TEST(EditNumericForms, TableThroughEdit) {
  struct Row {
    const char* type;
    const char* big;
    const char* minusFive;
    const char* zero;
  };
  const Row rows[] = {
      {"N", "      1235", "        -5", "         0"},
      {"N-", "1235      ", "-5        ", "0         "},
      {"N+", "     +1235", "        -5", "        +0"},
      {"N0", "0000001235", "-000000005", "0000000000"},
      {"N+0.2", "+001234.57", "-000005.00", "+000000.00"},
      {"N-0.2", "1234.57   ", "-5.00     ", "0.00      "},
      {"N.2", "   1234.57", "     -5.00", "      0.00"},
      {"n.2", "   1234.57", "     -5.00", "      0.00"},
  };
  for (const Row& row : rows) {
    FakePlatform platform;
    CConvParam param(platform);
    param.m_strLine = std::string("1,10,") + row.type + ",=,1,9,N";
    ASSERT_EQ(param.ParseEditStatement("EDT"), 0) << row.type;
    const std::pair<const char*, const char*> cases[] = {
        {"1234.5678", row.big}, {"-5       ", row.minusFive}, {"0        ", row.zero}};
    for (const auto& [input, expected] : cases) {
      param.m_strLine = input;
      param.EditRecord(param.m_nErr, 1, 1, "f");
      EXPECT_EQ(param.m_strLine, std::string(expected) + "\n") << row.type << " " << input;
      EXPECT_EQ(param.m_nErr, 0);
    }
  }
}

TEST_F(EditProcess, NumericValuesAndTheirErrors) {
  Defs({"1,8,N.2,=,1,5,N"});
  EXPECT_EQ(Apply(" 12.5"), "   12.50\n");
  EXPECT_EQ(m_param.m_nErr, 0);
  Apply("12a45");
  EXPECT_EQ(m_param.m_nErr, 26);

  m_param.m_nErr = 0;
  m_param.m_strOption = "N";  // no numeric test: read as far as it goes
  EXPECT_EQ(Apply("12a45"), "   12.00\n");
  EXPECT_EQ(m_param.m_nErr, 0);
}

TEST_F(EditProcess, NumberWiderThanItsFieldIsError21) {
  Defs({"1,3,N,=,1,5,N"});
  Apply("12345");
  EXPECT_EQ(m_param.m_nErr, 21);
}

TEST_F(EditProcess, QuotedTextUnderNumericTypeIsTestedConstantIsNot) {
  Defs({"1,5,N,=,\"abc\""});
  Apply("x");
  EXPECT_EQ(m_param.m_nErr, 26);

  CEditRun counter;
  ASSERT_EQ(counter.Def("EDT", "1,5,N,=,[IN_LINE]"), 0);
  EXPECT_EQ(counter.Apply("x", 7), "    7\n");
  EXPECT_EQ(counter.m_param.m_nErr, 0);
}

TEST_F(EditProcess, ConstantsTakeTheirCurrentValues) {
  Defs({"1,6,A,=,[FILE]", "7,3,N0,=,[OUT_LINE]"});
  EXPECT_EQ(Apply("x", 5, 3), "in.txt003\n");
}

TEST_F(EditProcess, WidthAndCaseConversions) {
  ASSERT_EQ(Def("WID", "1,10,N,=,1,9,N"), 0);  // width 5, then doubled by full width
  // "　１２３５"
  EXPECT_EQ(Apply("1234.5678"), "\x81\x40\x82\x50\x82\x51\x82\x52\x82\x54\n");

  CEditRun wide;
  ASSERT_EQ(wide.Def("WID", "1,6,A,=,\"a\""), 0);  // "ａ" + two full-width blanks
  EXPECT_EQ(wide.Apply("x"), "\x82\x81\x81\x40\x81\x40\n");

  CEditRun narrow;
  ASSERT_EQ(narrow.Def("NAR", "1,4,A,=,1,4,A"), 0);
  EXPECT_EQ(narrow.Apply("\x82\x60\x82\x61"), "AB  \n");  // "ＡＢ"

  CEditRun upper;
  ASSERT_EQ(upper.Def("UPP", "1,3,A,=,1,3,A"), 0);
  EXPECT_EQ(upper.Apply("a\x83\x41"), "A\x83\x41\n");  // "ア" keeps its trail byte 0x41
}

TEST_F(EditProcess, WidWithOddLengthCannotBeFilledByFullWidthText) {
  ASSERT_EQ(Def("WID", "1,5,A,=,\"a\""), 0);  // accepted when parsing
  Apply("x");
  EXPECT_EQ(m_param.m_nErr, 21);
}

TEST_F(EditProcess, OptionTRemovesTrailingBlanksButNotFullWidthOnes) {
  Defs({"1,5,A,=,\"ab\""});
  m_param.m_strOption = "T";
  EXPECT_EQ(Apply("x"), "ab\n");

  CEditRun wide;
  wide.m_param.m_strOption = "T";
  ASSERT_EQ(wide.Def("WID", "1,6,A,=,\"a\""), 0);
  EXPECT_EQ(wide.Apply("x"), "\x82\x81\x81\x40\x81\x40\n");

  CEditRun gap;
  gap.m_param.m_strOption = "T";
  gap.Defs({"1,2,A,=,\"ab\"", "5,3,A,=,1,3,A"});
  EXPECT_EQ(gap.Apply("   "), "ab\n");
  EXPECT_EQ(gap.Apply("\x95\x5C "), "ab  \x95\x5C\n");  // "表" ends the line, its 0x5C stays
}

TEST_F(EditProcess, FieldBeyondTheRecord) {
  Defs({"1,10,A,=,1,10,A"});
  Apply("abcde");
  EXPECT_EQ(m_param.m_nErr, 20);

  m_param.m_nErr = 0;
  m_param.m_strOption = "S";
  EXPECT_EQ(Apply("abcde"), "abcde     \n");
  EXPECT_EQ(m_param.m_nErr, 0);

  CEditRun far;
  far.m_param.m_strOption = "S";
  far.Defs({"1,2,A,=,7,2,A", "3,1,A,=,\"|\""});
  EXPECT_EQ(far.Apply("abc"), "  |\n");
}

TEST_F(EditProcess, ErrorStopsBeforeTheNextDefinition) {
  // The record stops at the failing definition; the one after it is not run.
  Defs({"1,1,A,=,\"a\"", "2,1,A,=,5,1,A", "3,1,N,=,\"x\""});
  Apply("abc");
  EXPECT_EQ(m_param.m_nErr, 20);
}

TEST_F(EditProcess, ConditionsSeeTheInputRecord) {
  // The first definition writes "z" at position 1, but the second's condition
  // still sees the input record, which starts with "a".
  Defs({"1,1,A,=,\"z\"", "2,1,A,=,\"q\" @ 1,1,A,=,\"a\" & \"b\""});
  EXPECT_EQ(Apply("ab"), "zq\n");
  EXPECT_EQ(Apply("ac"), "z\n");
}

TEST_F(EditProcess, SearchConditionKeepsToCharacterBoundaries) {
  // "ア" is 0x83 0x41: its trail byte is not the letter A.
  Defs({"1,3,A,=,\"hit\" @ \"A\""});
  EXPECT_EQ(Apply("\x83\x41"), "\n");
  EXPECT_EQ(Apply("\x83\x41" "A"), "hit\n");
}

TEST_F(EditProcess, ConditionErrorsStopTheRecord) {
  Defs({"1,1,A,=,\"x\" @ 10,1,A,=,\"y\""});
  Apply("short");
  EXPECT_EQ(m_param.m_nErr, 20);

  CEditRun lenient;
  lenient.m_param.m_strOption = "S";
  lenient.Defs({"1,1,A,=,\"x\" @ 10,1,A,=,\"y\""});
  EXPECT_EQ(lenient.Apply("short"), "\n");
  EXPECT_EQ(lenient.m_param.m_nErr, 0);
}

TEST_F(EditProcess, BytesOfAnEarlierRecordNeverLeak) {
  Defs({"10,1,A,=,\"|\"", "1,3,A,=,\"XYZ\" @ 1,1,A,=,\"x\""});
  EXPECT_EQ(Apply("x"), "XYZ      |\n");
  EXPECT_EQ(Apply("y"), "         |\n");
  EXPECT_EQ(Apply("x"), "XYZ      |\n");
}

TEST_F(EditProcess, FieldsBeyondTheWorkLineMakeTheLineLonger) {
  Defs({"99999,5,A,=,\"abcde\" @ 1,1,A,=,\"x\"", "100005,2,A,=,\"yz\" @ 1,1,A,=,\"x\"",
        "1,1,A,=,\"<\""});
  std::string line = Apply("x");
  ASSERT_EQ(line.size(), 100006u + 1);
  EXPECT_EQ(line.substr(99998), "abcde" " yz\n");
  EXPECT_EQ(line[0], '<');
  EXPECT_EQ(line.find_first_not_of(' ', 1), 99998u);

  // The next record starts from a clean line of the normal size.
  EXPECT_EQ(Apply("y"), "<\n");
  line = Apply("x");
  EXPECT_EQ(line.size(), 100007u);
}

TEST_F(EditProcess, ParseErrors) {
  EXPECT_EQ(Def("EDT", "1,5,A,=,\"\""), 18);
  EXPECT_EQ(Def("EDT", "1,5,AL,=,\"x\""), 17);
  EXPECT_EQ(Def("EDT", "1,8,A,=,[IN_LINE]"), 16);
  EXPECT_EQ(Def("EDT", "1,5,A,==,\"x\""), 19);
  EXPECT_EQ(Def("EDT", "[FILE],=,\"x\""), 10);
  EXPECT_EQ(Def("WID", "1,5,N,=,\"12\""), 27);
  EXPECT_EQ(Def("EDT", "1,5,A,=,\"x\" @"), 10);
  EXPECT_EQ(Def("EDT", "1,5,A,=,\"x\" y"), 10);
  EXPECT_EQ(Def("EDT", "x,5,A,=,\"x\""), 14);
  EXPECT_EQ(Def("EDT", "0,5,A,=,\"x\""), 10);
}

TEST_F(EditProcess, OutputFieldsEndWithinTenMegabytes) {
  // Far past the work line is fine; a field ending beyond 10,000,000 bytes
  // would make every line that long and is refused when parsed.
  EXPECT_EQ(Def("EDT", "1,10000000,A,=,\"x\""), 0);
  EXPECT_EQ(Def("EDT", "2,10000000,A,=,\"x\""), 10);
  EXPECT_EQ(Def("WID", "2147483647,2147483646,N,=,\"1\""), 10);
}

TEST_F(EditProcess, CanonicalEditTypeIsStored) {
  ASSERT_EQ(Def("EDT", "1,10,N+0.2,=,1,5,N"), 0);
  const CEditDef& def = m_param.m_editDef[0];
  EXPECT_EQ(def.m_strConvType, "EDT");
  EXPECT_EQ(def.m_strType, "N+010.2");
  EXPECT_TRUE(def.m_bNumeric);
  EXPECT_EQ(def.m_format.width, 10);
  EXPECT_EQ(def.m_format.precision, 2);
  EXPECT_TRUE(def.m_format.plus);
  EXPECT_TRUE(def.m_format.zero);
  EXPECT_EQ(def.m_nRightPos, 1);
  EXPECT_EQ(def.m_nRightLen, 5);
}

TEST_F(EditProcess, Limits) {
  for (int i = 0; i < 300; ++i) ASSERT_EQ(Def("EDT", "1,1,A,=,\"x\""), 0) << i;
  EXPECT_EQ(Def("EDT", "1,1,A,=,\"x\""), 24);

  CEditRun terms;
  std::string thirty = "1,1,A,=,\"x\" @ \"a\"";
  for (int i = 1; i < 30; ++i) thirty += " & \"a\"";
  EXPECT_EQ(terms.Def("EDT", thirty), 0);
  EXPECT_EQ(terms.Def("EDT", thirty + " & \"a\""), 25);
}

}  // namespace
