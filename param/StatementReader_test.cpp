// The statement reader driven line by line from text, and its codes with the
// line numbers the run driver reports for them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/RunDriver.h"
#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

class StatementReaderTest : public ::testing::Test {
 protected:
  // Reads one line (with its line feed, as the driver hands it) into a fresh
  // error slot and returns the code.
  int Read(std::string_view line) {
    m_param.m_nErr = 0;
    m_param.ReadStatement(line);
    return m_param.m_nErr;
  }

  FakePlatform m_fake;
  CConvParam m_param{m_fake};
};

TEST_F(StatementReaderTest, BlankLinesAndCommentsAreSkipped) {
  for (const char* line : {"\n", "", "   \t \n", "\r\n", "\v\f\n", ";INP = X\n", ";\n", "; anything = at all"}) {
    EXPECT_EQ(Read(line), 0) << line;
  }
  EXPECT_TRUE(m_param.m_strInp.empty());
  // Only column 1 makes a comment: indented, ";INP" is an unknown keyword.
  EXPECT_EQ(Read("  ;INP = X\n"), 12);
  EXPECT_TRUE(m_param.m_strInp.empty());
}

TEST_F(StatementReaderTest, KeywordsAreCaseBlindAndValuesTrimmedKeepingInnerBlanks) {
  EXPECT_EQ(Read("inp = data.txt\n"), 0);
  EXPECT_EQ(m_param.m_strInp, "data.txt");
  EXPECT_EQ(m_param.m_strInpWritten, "data.txt");
  EXPECT_EQ(Read("\t Out\t=\t my  out.txt \t\r\n"), 0);
  EXPECT_EQ(m_param.m_strOut, "my  out.txt");
  EXPECT_EQ(m_param.m_strOutWritten, "my  out.txt");
  EXPECT_STREQ(m_param.m_szMode, "w");
}

TEST_F(StatementReaderTest, DoubleByteValuesAreTrimmedByCharacters) {
  // "表" (0x95 0x5C) and "ア" (0x83 0x41) end the values; the full-width blank
  // (0x81 0x40) is no white space and stays.
  EXPECT_EQ(Read("INP = \x95\x5C \t\n"), 0);
  EXPECT_EQ(m_param.m_strInp, "\x95\x5C");
  EXPECT_EQ(Read("OUT =\x81\x40\x83\x41\x81\x40 \n"), 0);
  EXPECT_EQ(m_param.m_strOut, "\x81\x40\x83\x41\x81\x40");
}

TEST_F(StatementReaderTest, ANulByteEndsTheLine) {
  EXPECT_EQ(Read(std::string_view("INP = ab\0cd\n", 12)), 0);
  EXPECT_EQ(m_param.m_strInp, "ab");
  EXPECT_EQ(Read(std::string_view("\0INP = x\n", 9)), 0);  // nothing before the NUL
  EXPECT_EQ(m_param.m_strOut, "");
}

TEST_F(StatementReaderTest, OnlyTheFirstEqualsSignSplits) {
  EXPECT_EQ(Read("OPT = -s=u\n"), 0);
  EXPECT_EQ(m_param.m_strOption, "S=U");
  EXPECT_EQ(Read("INP == x\n"), 0);
  EXPECT_EQ(m_param.m_strInp, "= x");
}

TEST_F(StatementReaderTest, EmptyValues) {
  EXPECT_EQ(Read("INP =\n"), 10);
  EXPECT_EQ(Read("OUT = \t\n"), 10);
  EXPECT_EQ(Read("OPT =\n"), 10);
  EXPECT_EQ(Read("FUNCTION =\n"), 12);  // not one of the types
  EXPECT_EQ(Read("NOSUCH =\n"), 12);
}

TEST_F(StatementReaderTest, EmptySelSelectsEveryRecord) {
  EXPECT_EQ(Read("SEL =\n"), 0);
  EXPECT_EQ(m_param.m_nSelLast, 0);
}

TEST_F(StatementReaderTest, UnknownAndMissingKeywords) {
  EXPECT_EQ(Read("SEL\n"), 12);       // no "=": empty keyword
  EXPECT_EQ(Read("INP data.txt\n"), 12);
  EXPECT_TRUE(m_param.m_strInp.empty());
  EXPECT_EQ(Read("= x\n"), 12);
  EXPECT_EQ(Read("APP = out.txt\n"), 12);  // the help text's name; the keyword is ADD
  EXPECT_TRUE(m_param.m_strOut.empty());
  EXPECT_EQ(Read("INPUT = x\n"), 12);
  // A full-width blank before "=" belongs to the keyword.
  EXPECT_EQ(Read("INP\x81\x40= x\n"), 12);
  EXPECT_TRUE(m_param.m_strInp.empty());
}

TEST_F(StatementReaderTest, FileSettingsGivenTwice) {
  EXPECT_EQ(Read("INP = a\n"), 0);
  EXPECT_EQ(Read("INP = b\n"), 11);
  EXPECT_EQ(m_param.m_strInp, "b");  // stored before the run stops

  EXPECT_EQ(Read("OUT = o\n"), 0);
  EXPECT_EQ(Read("ADD = p\n"), 11);
  EXPECT_EQ(m_param.m_strOut, "p");
  EXPECT_STREQ(m_param.m_szMode, "a");

  CConvParam other(m_fake);
  other.ReadStatement("ADD = p\n");
  EXPECT_EQ(other.m_nErr, 0);
  EXPECT_STREQ(other.m_szMode, "a");
  other.ReadStatement("OUT = o\n");
  EXPECT_EQ(other.m_nErr, 11);
}

TEST_F(StatementReaderTest, EditStatementsFollowTheProcessingTypeInForce) {
  EXPECT_EQ(Read("EDT = 1,3,A,=,\"ABC\"\n"), 12);  // before any FUNCTION
  EXPECT_EQ(Read("FUNCTION = copy\n"), 0);
  for (const char* key : {"EDT", "upp", "Low", "NAR", "WID"}) {
    EXPECT_EQ(Read(std::string(key) + " = 1,3,A,=,\"ABC\"\n"), 13) << key;
  }
  EXPECT_EQ(m_param.m_nEditLast, -1);
}

TEST_F(StatementReaderTest, EditStatementsReachTheParserOfTheirType) {
  CConvParam edit(m_fake);
  edit.ReadStatement("FUNCTION = EDIT\n");
  edit.ReadStatement("edt = 1,3,A,=,\"ABC\"\n");
  EXPECT_EQ(edit.m_nErr, 0);
  EXPECT_EQ(edit.m_nEditLast, 0);

  CConvParam change(m_fake);
  change.ReadStatement("FUNCTION = CHANGE\n");
  change.ReadStatement("EDT = \"\x83\x41\",\"\x95\x5C\"\n");
  EXPECT_EQ(change.m_nErr, 0);
  EXPECT_EQ(change.m_nEditLast, 0);
  change.ReadStatement("UPP = \"a\",\"b\"\n");
  EXPECT_EQ(change.m_nErr, 17);  // CHANGE reads only EDT

  CConvParam csv(m_fake);
  csv.ReadStatement("FUNCTION = CSV\n");
  csv.ReadStatement("EDT = 1,3,A\n");
  EXPECT_EQ(csv.m_nErr, 0);
  EXPECT_EQ(csv.m_nEditLast, 0);
}

// --- Codes with their line numbers, through the whole run driver ---

const std::string kLine = "\x8d\x73\x96\xda";  // "行目"

struct CRunResult {
  int nStatus;
  std::string strConsole;
};

CRunResult RunParameters(const std::string& parameters) {
  FakePlatform fake;
  fake.SetFile("param.txt", parameters);
  fake.SetFile("in.txt", "x\n");
  const char* argv[] = {"rux", "param.txt"};
  int status = RunMain(2, argv, fake);
  return {status, fake.console};
}

std::string ParameterError(int code, int line) {
  return CConvParam::GetErrorMessage(code) + "  " + std::to_string(line) + kLine + "\n";
}

TEST(StatementReaderErrors, ReportTheCodeWithThePhysicalLineNumber) {
  struct CCase {
    const char* szName;
    std::string strParameters;
    int nCode;
    int nLine;
  };
  const std::vector<CCase> cases = {
      {"indented comment", "; comment\n\n  ;INP = X\nINP = in.txt\nOUT = o.txt\n", 12, 3},
      {"empty INP", "\n\n\nINP =\nOUT = o.txt\n", 10, 4},
      {"second INP", "INP = in.txt\nOUT = o.txt\n; again\nINP = in.txt\n", 11, 4},
      {"OUT then ADD", "INP = in.txt\nOUT = o.txt\nADD = o.txt\n", 11, 3},
      {"edit before FUNCTION", "INP = in.txt\nOUT = o.txt\nEDT = \"a\",\"b\"\nFUNCTION = CHANGE\n", 12, 3},
      {"edit under COPY", "FUNCTION = COPY\n\nINP = in.txt\nOUT = o.txt\nUPP = \"a\",\"b\"\n", 13, 5},
      {"second FUNCTION", "FUNCTION = COPY\nFUNCTION = COPY\n", 12, 2},
      {"unknown FUNCTION", "INP = in.txt\nFUNCTION = COPIES\n", 12, 2},
      {"keyword without =", "INP = in.txt\nOUT = o.txt\nSEL\n", 12, 3},
      {"OPT without -", "INP = in.txt\r\nOUT = o.txt\r\nOPT = su\r\n", 10, 3},
      // The first error wins: nothing after the failing line is read.
      {"stops at the first", "APP = x\nINP = a\nINP = b\n", 12, 1},
  };
  for (const CCase& c : cases) {
    CRunResult result = RunParameters(c.strParameters);
    EXPECT_EQ(result.nStatus, 1) << c.szName;
    EXPECT_EQ(result.strConsole, ParameterError(c.nCode, c.nLine)) << c.szName;
  }
}

TEST(StatementReaderErrors, AnOverlongLineCountsAsSeveralLines) {
  // 150,000 bytes arrive as two pieces: the error in the second piece is on
  // line 2, and the statement after it is on line 3.
  std::string parameters = "INP = in.txt\nOUT = o.txt\n;" + std::string(149999, 'x') + "\nAPP = x\n";
  CRunResult result = RunParameters(parameters);
  EXPECT_EQ(result.strConsole, ParameterError(12, 4));
}

}  // namespace
