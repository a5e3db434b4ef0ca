#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

// One conversion parameter set under CSV on an in-memory platform, with the
// output file open so that header lines can be written.
struct CCsvRun {
  explicit CCsvRun(const std::vector<std::string>& defs = {}, const char* options = "")
      : m_param(m_platform) {
    m_param.m_strFunction = "CSV";
    m_param.m_strOption = options;
    m_param.m_fpOut.Attach(m_platform.OpenFile("out.txt", OpenMode::kWrite));
    for (const std::string& d : defs) EXPECT_EQ(Def("EDT", d), 0) << d;
  }
  int Def(const std::string& key, const std::string& value) {
    m_param.m_strLine = value;
    return m_param.ParseCsvStatement(key);
  }
  // One record; the line is also written to the output, as the record loop does.
  std::string Run(const std::string& record, int in = 1, int out = 1,
                  const std::string& file = "in.txt") {
    m_param.m_strLine = record;
    m_param.CsvRecord(m_param.m_nErr, in, out, file);
    if (m_param.m_nErr == 0) m_param.m_fpOut.Write(m_param.m_strLine);
    return m_param.m_strLine;
  }
  // Everything written so far (line ends as CR LF).
  std::string Output() {
    m_param.m_fpOut.Close();
    return m_platform.GetFile("out.txt");
  }

  FakePlatform m_platform;
  CConvParam m_param;
};

TEST(CsvProcess, FieldsJoinedByTabs) {
  CCsvRun run({"1,3,A", "5,2,A"});
  EXPECT_EQ(run.Run("abc de"), "abc\tde\n");
  EXPECT_EQ(run.m_param.m_nErr, 0);

  // A value holding a tab is written as it is.
  EXPECT_EQ(CCsvRun({"\"a\tb\"", "1,1,A"}).Run("z"), "a\tb\tz\n");
  EXPECT_EQ(CCsvRun({"\"\""}).Run("z"), "\n");
  EXPECT_EQ(CCsvRun({"\"\"", "\"x\""}).Run("z"), "\tx\n");
  EXPECT_EQ(CCsvRun().Run("z"), "\n");
}

TEST(CsvProcess, HeaderOnlyBeforeTheFirstOutputLineOfAFile) {
  CCsvRun run({"1,5,AT,\"Name\"", "[IN_LINE],\"Line\""}, "H");
  EXPECT_EQ(run.Run("  abc   xyz", 1, 1), "abc\t1\n");
  EXPECT_EQ(run.Run(" def ", 3, 2), "def\t3\n");
  // A second input file starts its counts again: a second header.
  EXPECT_EQ(run.Run("ghi  ", 2, 1), "ghi\t2\n");
  EXPECT_EQ(run.Output(), "Name\tLine\r\nabc\t1\r\ndef\t3\r\nName\tLine\r\nghi\t2\r\n");
}

TEST(CsvProcess, HeaderFromConstantsAndMissingNames) {
  CCsvRun run({"[FILE],[FILE]", "\"v\"", "1,1,A"}, "H");
  EXPECT_EQ(run.Run("z", 1, 1, "Sales01.txt"), "Sales01.txt\tv\tz\n");
  EXPECT_EQ(run.Output(), "Sales01.txt\t\t\r\nSales01.txt\tv\tz\r\n");

  CCsvRun none({}, "H");
  EXPECT_EQ(none.Run("z"), "\n");
  EXPECT_EQ(none.Output(), "\r\n\r\n");

  CCsvRun noOption({"1,1,A,\"Name\""});
  noOption.Run("z");
  EXPECT_EQ(noOption.Output(), "z\r\n");
}

TEST(CsvProcess, NumericValuesByType) {
  CCsvRun run({"1,5,N"});
  EXPECT_EQ(run.Run(" 12.5"), "12.500000\n");
  EXPECT_EQ(run.Run("-5   "), "-5.000000\n");
  EXPECT_EQ(run.Run("     "), "0.000000\n");
  run.Run("12a45");
  EXPECT_EQ(run.m_param.m_nErr, 26);

  CCsvRun unchecked({"1,5,N"}, "N");
  EXPECT_EQ(unchecked.Run("12a45"), "12.000000\n");
  EXPECT_EQ(unchecked.Run("abc  "), "0.000000\n");

  // The counters are whole numbers; a quoted number stays text.
  EXPECT_EQ(CCsvRun({"[IN_LINE]", "[OUT_LINE]", "\"1.5\""}).Run("z", 42, 7), "42\t7\t1.5\n");
}

TEST(CsvProcess, JustificationAndConversions) {
  EXPECT_EQ(CCsvRun({"1,6,AL", "1,6,AR"}).Run(" ab c "), "ab c \t ab c\n");
  // Full-width blanks trimmed; "表" (0x95 0x5C) and "ア" (0x83 0x41) kept whole.
  EXPECT_EQ(CCsvRun({"1,8,AT"}).Run("\x81\x40\x95\x5C\x83\x41\x81\x40"), "\x95\x5C\x83\x41\n");

  CCsvRun conv;
  ASSERT_EQ(conv.Def("UPP", "\"abc\""), 0);
  ASSERT_EQ(conv.Def("WID", "1,2,A"), 0);
  ASSERT_EQ(conv.Def("NAR", "\"\x82\x60\x82\x61\""), 0);
  ASSERT_EQ(conv.Def("LOW", "1,2,A"), 0);
  EXPECT_EQ(conv.Run("Ab"), "ABC\t\x82\x60\x82\x82\tAB\tab\n");
}

TEST(CsvProcess, FieldBeyondTheRecord) {
  CCsvRun run({"1,10,A"});
  run.Run("abcde");
  EXPECT_EQ(run.m_param.m_nErr, 20);

  EXPECT_EQ(CCsvRun({"1,10,A"}, "S").Run("abcde"), "abcde\n");
  EXPECT_EQ(CCsvRun({"1,1,A", "7,2,A", "2,1,A"}, "S").Run("abc"), "a\t\tb\n");
}

TEST(CsvProcess, HeaderStaysWhenItsRecordFails) {
  CCsvRun run({"1,3,A,\"Code\"", "1,5,N,\"Amount\""}, "H");
  run.Run("ab  x");
  EXPECT_EQ(run.m_param.m_nErr, 26);
  EXPECT_EQ(run.Output(), "Code\tAmount\r\n");
}

TEST(CsvProcess, FailedHeaderWriteIs91) {
  CCsvRun run({"1,1,A,\"Name\""}, "H");
  run.m_param.m_fpOut.Close();  // nothing can be written any more
  run.m_param.m_strLine = "z";
  run.m_param.CsvRecord(run.m_param.m_nErr, 1, 1, "in.txt");
  EXPECT_EQ(run.m_param.m_nErr, 91);
}

TEST(CsvProcess, ParseStoresTheForms) {
  CCsvRun run;
  ASSERT_EQ(run.Def("EDT", "1,5, at ,\"Code\""), 0);
  const CEditDef& field = run.m_param.m_editDef[0];
  EXPECT_EQ(field.m_strType, "AT");
  EXPECT_EQ(field.m_strLiteral, "Code");
  EXPECT_EQ(field.m_nPos, 1);
  EXPECT_EQ(field.m_nLen, 5);
  EXPECT_FALSE(field.m_bQuoted);

  ASSERT_EQ(run.Def("EDT", "1,5,A,\"a,b\""), 0);
  EXPECT_EQ(run.m_param.m_editDef[1].m_strLiteral, "a,b");

  ASSERT_EQ(run.Def("EDT", "\"\""), 0);  // the empty quoted text, not an input field
  EXPECT_TRUE(run.m_param.m_editDef[2].m_bQuoted);

  ASSERT_EQ(run.Def("LOW", "[out_line] , [file]"), 0);
  const CEditDef& constant = run.m_param.m_editDef[3];
  EXPECT_EQ(constant.m_strConvType, "LOW");
  EXPECT_EQ(constant.m_strConst, "OUT_LINE");
  EXPECT_EQ(constant.m_strType, "N.0");
  EXPECT_EQ(constant.m_strRightConst, "FILE");
  EXPECT_TRUE(constant.m_bNumeric);
  EXPECT_EQ(constant.m_format.precision, 0);

  ASSERT_EQ(run.Def("EDT", "2,3,n"), 0);
  EXPECT_TRUE(run.m_param.m_editDef[4].m_bNumeric);
  EXPECT_EQ(run.m_param.m_editDef[4].m_format.precision, 6);
}

TEST(CsvProcess, ParseErrors) {
  struct Case {
    const char* value;
    int code;
  };
  const Case cases[] = {
      {"1,5,X", 18},           {"1,5", 10},
      {"1", 10},               {"0,5,A", 10},
      {"1,0,A", 10},           {"x,5,A", 14},
      {"1,5x,A", 14},          {"1,5,A,Name", 10},
      {"1,5,A,\"\"", 10},      {"1,5,A,\"Name", 10},
      {"1,5,A,\"Name\" x", 10}, {"1,5,A,[FILE]", 10},
      {"1,5,A,\"a\"\"b\"", 10}, {"\"a\" @ 1,1,A,=,\"x\"", 10},
      {"\"a\",\"b\" @ \"x\"", 10}, {"\"a\",\"b\" x", 10},
      {"[NOW]", 10},           {"\"abc", 10},
      {"[FILE],", 10},         {"1,5,A,", 10},
  };
  for (const Case& c : cases) {
    CCsvRun run;
    EXPECT_EQ(run.Def("EDT", c.value), c.code) << c.value;
  }
}

TEST(CsvProcess, Limits) {
  CCsvRun run;
  for (int i = 0; i < 300; ++i) ASSERT_EQ(run.Def("EDT", "\"x\""), 0) << i;
  EXPECT_EQ(run.Def("EDT", "\"x\""), 24);
}

}  // namespace
