// The run driver on the in-memory platform: help pages, the three error
// forms, the file-setting checks, output opening, enumeration, summary lines
// and output failures.
#include "app/RunDriver.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/HelpText.h"
#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

// Code page 932 pieces of the console lines.
const std::string kLineNo = "\x8d\x73\x96\xda";                                         // 行目
const std::string kInFile = "\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:";                         // 入力ﾌｧｲﾙ:
const std::string kInCount = " \x93\xfc\x97\xcd\x8c\x8f\x90\x94:";                        // " 入力件数:"
const std::string kOutCount = " \x8f\x6f\x97\xcd\x8c\x8f\x90\x94:";                       // " 出力件数:"
const std::string kElapsed = " \x8f\x88\x97\x9d\x8e\x9e\x8a\xd4:";                        // " 処理時間:"
const std::string kOpen = "\x81\x69";                                                    // （
const std::string kClose = " \x81\x6a\n";                                                // " ）"

std::string ParameterError(int code, int line) {
  return CConvParam::GetErrorMessage(code) + "  " + std::to_string(line) + kLineNo + "\n";
}
std::string InputError(int code, const std::string& name, int count) {
  return CConvParam::GetErrorMessage(code) + kOpen + kInFile + name + kInCount +
         std::to_string(count) + kClose;
}
std::string Summary(const std::string& name, int in, int out, const char* time = "00:00") {
  return kInFile + name + kInCount + std::to_string(in) + kOutCount + std::to_string(out) +
         kElapsed + time + "\n";
}

class RunDriverTest : public ::testing::Test {
 protected:
  int Run(const std::string& parameters) {
    m_fake.SetFile("param.txt", parameters);
    const char* argv[] = {"rux", "param.txt"};
    return RunMain(2, argv, m_fake);
  }
  FakePlatform m_fake;
};

// --- Help ---

// Notes how much had been printed at every wait.
class WaitingPlatform : public FakePlatform {
 public:
  int ReadConsoleChar() override {
    m_waitsAt.push_back(console.size());
    return FakePlatform::ReadConsoleChar();
  }
  std::vector<size_t> m_waitsAt;
};

TEST(RunDriverHelp, PrintsPaddedPagesWithFourWaits) {
  WaitingPlatform fake;
  fake.SetFile("param.txt", "INP = x\n");
  const char* argv[] = {"rux"};
  EXPECT_EQ(RunMain(1, argv, fake), 0);

  const size_t row = kHelpWidth + 1;
  ASSERT_EQ(fake.console.size(), kHelpLines * row);
  for (int n = 1; n <= kHelpLines; ++n) {
    std::string line = fake.console.substr((n - 1) * row, row);
    EXPECT_EQ(line.substr(0, HelpLine(n).size()), HelpLine(n)) << n;
    EXPECT_EQ(line.find_first_not_of(' ', HelpLine(n).size()), row - 1) << n;
    EXPECT_EQ(line.back(), '\n');
  }
  EXPECT_EQ(fake.console.substr(0, 16), "RUX Version 1.0 ");
  EXPECT_EQ(fake.m_waitsAt, (std::vector<size_t>{24 * row, 48 * row, 72 * row, 96 * row}));
}

TEST(RunDriverHelp, TakesOneKeyPerWaitAndNeverBlocksAtEndOfInput) {
  FakePlatform fake;
  fake.consoleInput = "\n\n\n\n\n\n";
  const char* argv[] = {"rux", nullptr};
  EXPECT_EQ(RunMain(1, argv, fake), 0);
  EXPECT_EQ(fake.consoleRead, 4u);

  FakePlatform closed;  // no input at all
  EXPECT_EQ(RunMain(1, argv, closed), 0);
  EXPECT_EQ(closed.consoleRead, 4u);
  EXPECT_EQ(closed.console, fake.console);
}

// --- Parameter phase ---

TEST_F(RunDriverTest, MissingParameterFileIsLineZero) {
  const char* argv[] = {"rux", "nosuch.txt"};
  EXPECT_EQ(RunMain(2, argv, m_fake), 1);
  EXPECT_EQ(m_fake.console, ParameterError(90, 0));
}

TEST_F(RunDriverTest, ExtraArgumentsAreIgnored) {
  m_fake.SetFile("param.txt", "INP = a.txt\nOUT = o.txt\n");
  m_fake.SetFile("a.txt", "x\n");
  const char* argv[] = {"rux", "param.txt", "more", "args"};
  EXPECT_EQ(RunMain(4, argv, m_fake), 0);
  EXPECT_EQ(m_fake.console, Summary("a.txt", 1, 1));
}

TEST_F(RunDriverTest, FileSettingChecks) {
  struct CCase {
    const char* szName;
    std::string strParameters;
    std::string strConsole;
  };
  const std::vector<CCase> cases = {
      {"no OUT: the last line", "INP = a.txt\n; done\n\n", ParameterError(15, 3)},
      {"no INP", "OUT = o.txt\n", ParameterError(15, 1)},
      {"empty file", "", ParameterError(15, 0)},
      {"same file, other case", "INP = Data.TXT\nOUT = data.txt\n", ParameterError(15, 2)},
      {"same file, full-width letters", "INP = \x82\x81.txt\nOUT = \x82\x60.TXT\n", ParameterError(15, 2)},
      // A statement error comes first, even when INP is still missing.
      {"bad line 7", "\n;\n\n\n\nOUT = o.txt\nFUNCTION = SORT\nINP = a.txt\n", ParameterError(12, 7)},
  };
  for (const CCase& c : cases) {
    FakePlatform fake;
    fake.SetFile("param.txt", c.strParameters);
    const char* argv[] = {"rux", "param.txt"};
    EXPECT_EQ(RunMain(2, argv, fake), 1) << c.szName;
    EXPECT_EQ(fake.console, c.strConsole) << c.szName;
    EXPECT_FALSE(fake.HasFile("o.txt")) << c.szName;  // nothing opened after a parameter error
  }
}

TEST_F(RunDriverTest, UpperCasingLeavesTrailBytesAlone) {
  // 0x83 0x61 ("チ") must not become 0x83 0x41 ("ア"): not the same file.
  EXPECT_EQ(Run("INP = \x83\x61*.txt\nOUT = \x83\x41*.txt\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(92, "\x83\x61*.TXT", 0));
}

// --- Output and enumeration ---

TEST_F(RunDriverTest, OutputIsEmptiedEvenWhenNothingMatches) {
  m_fake.SetFile("o.txt", "old\r\n");
  EXPECT_EQ(Run("INP = no*.txt\nOUT = o.txt\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(92, "NO*.TXT", 0));
  EXPECT_TRUE(m_fake.HasFile("o.txt"));
  EXPECT_EQ(m_fake.GetFile("o.txt"), "");
}

TEST_F(RunDriverTest, AddAppendsToTheOutput) {
  m_fake.SetFile("o.txt", "old\r\n");
  m_fake.SetFile("a.txt", "new");
  EXPECT_EQ(Run("INP = a.txt\nADD = o.txt\n"), 0);
  EXPECT_EQ(m_fake.GetFile("o.txt"), "old\r\nnew\r\n");
}

TEST_F(RunDriverTest, OnlyDirectoriesMatchingIsNoError) {
  m_fake.AddDirectory("in/d.txt");
  EXPECT_EQ(Run("INP = in/*.txt\nOUT = o.dat\n"), 0);
  EXPECT_EQ(m_fake.console, "");
  EXPECT_TRUE(m_fake.HasFile("o.dat"));
}

TEST_F(RunDriverTest, OneSummaryLinePerFileWithItsOwnCounts) {
  m_fake.SetFile("in/a.txt", "1\n2\n3\n");
  m_fake.SetFile("in/B.TXT", "\x95\x5C\r\n");
  m_fake.AddDirectory("in/sub.txt");
  EXPECT_EQ(Run("INP = in/*.TXT\nOUT = o.txt\n"), 0);
  EXPECT_EQ(m_fake.console, Summary("B.TXT", 1, 1) + Summary("a.txt", 3, 3));
  EXPECT_EQ(m_fake.GetFile("o.txt"), "\x95\x5C\r\n1\r\n2\r\n3\r\n");
}

TEST_F(RunDriverTest, ElapsedTimeShowsMinutesWithinTheHour) {
  struct CCase {
    long long nStep;
    const char* szShown;
  };
  for (const CCase& c : {CCase{61, "01:01"}, CCase{3600, "00:00"}, CCase{3725, "02:05"},
                         CCase{59, "00:59"}, CCase{3599, "59:59"}}) {
    FakePlatform fake;
    fake.now = 1000000;
    fake.clockStep = c.nStep;
    fake.SetFile("param.txt", "INP = a.txt\nOUT = o.txt\n");
    fake.SetFile("a.txt", "x\n");
    const char* argv[] = {"rux", "param.txt"};
    EXPECT_EQ(RunMain(2, argv, fake), 0);
    EXPECT_EQ(fake.console, Summary("a.txt", 1, 1, c.szShown)) << c.nStep;
  }
}

TEST_F(RunDriverTest, TheOpenOutputIsRefusedAsInput) {
  m_fake.SetFile("A.TXT", "a\n");
  m_fake.SetFile("B.TXT", "b\n");
  EXPECT_EQ(Run("INP = *.TXT\nOUT = ALL.TXT\n"), 1);
  EXPECT_EQ(m_fake.console, Summary("A.TXT", 1, 1) + InputError(92, "*.TXT", 0));
  EXPECT_EQ(m_fake.GetFile("ALL.TXT"), "a\r\n");
}

TEST_F(RunDriverTest, OutputThatCannotBeOpenedIsTheBareMessage) {
  m_fake.SetFile("a.txt", "x\n");
  m_fake.unopenable.insert("o.txt");
  EXPECT_EQ(Run("INP = a.txt\nOUT = o.txt\n"), 1);
  EXPECT_EQ(m_fake.console, CConvParam::GetErrorMessage(91) + "\n");
}

TEST_F(RunDriverTest, InputThatCannotBeOpenedStopsAfterEarlierFiles) {
  m_fake.SetFile("a.txt", "x\n");
  m_fake.SetFile("b.txt", "y\n");
  m_fake.SetFile("c.txt", "z\n");
  m_fake.unopenable.insert("b.txt");
  EXPECT_EQ(Run("INP = ?.txt\nOUT = o.dat\n"), 1);
  EXPECT_EQ(m_fake.console, Summary("a.txt", 1, 1) + InputError(92, "?.TXT", 0));
  EXPECT_EQ(m_fake.GetFile("o.dat"), "x\r\n");
}

// --- Folder mode ---

TEST_F(RunDriverTest, FolderModeWritesOneOutputPerInput) {
  m_fake.SetFile("in/a.txt", "1\n2");
  m_fake.SetFile("in/b.txt", "3\n");
  m_fake.SetFile("out/b.txt", "old\r\n");
  EXPECT_EQ(Run("INP = in/*.txt\nOUT = out/\n"), 0);
  EXPECT_EQ(m_fake.console, Summary("a.txt", 2, 2) + Summary("b.txt", 1, 1));
  EXPECT_EQ(m_fake.GetFile("out/a.txt"), "1\r\n2\r\n");
  EXPECT_EQ(m_fake.GetFile("out/b.txt"), "3\r\n");
}

TEST_F(RunDriverTest, FolderModeWithBackslashAndAdd) {
  m_fake.SetFile("in/a.txt", "new\n");
  m_fake.SetFile("out\\a.txt", "old\r\n");
  EXPECT_EQ(Run("INP = in/a.txt\nADD = out\\\n"), 0);
  EXPECT_EQ(m_fake.GetFile("out\\a.txt"), "old\r\nnew\r\n");
}

TEST_F(RunDriverTest, FolderModeNeverEmptiesItsOwnInput) {
  m_fake.SetFile("in/a.txt", "keep me\n");
  EXPECT_EQ(Run("INP = in/*.txt\nOUT = in/\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(91, "a.txt", 0));
  EXPECT_EQ(m_fake.GetFile("in/a.txt"), "keep me\n");
}

TEST_F(RunDriverTest, FolderModeOutputThatCannotBeOpenedNamesTheInput) {
  m_fake.SetFile("in/a.txt", "x\n");
  m_fake.unopenable.insert("out/a.txt");
  EXPECT_EQ(Run("INP = in/a.txt\nOUT = out/\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(91, "a.txt", 0));
}

// --- Output failures are never success ---

TEST_F(RunDriverTest, FailedWriteDuringProcessingStopsTheRun) {
  // Enough output for several blocks, so a write fails while records are
  // still being processed; everything stored before it stays.
  std::string big;
  for (int i = 0; i < 40000; ++i) big += std::string(98, static_cast<char>('a' + i % 26)) + "\n";
  m_fake.SetFile("a.txt", "first\n");
  m_fake.SetFile("b.txt", big);
  m_fake.failWriteAt = 3;  // write 1 stores a.txt's records, write 2 b.txt's first block
  EXPECT_EQ(Run("INP = ?.txt\nOUT = o.txt\n"), 1);

  const std::string& console = m_fake.console;
  const std::string first = Summary("a.txt", 1, 1);
  ASSERT_EQ(console.substr(0, first.size()), first);
  std::string prefix = CConvParam::GetErrorMessage(91) + kOpen + kInFile + "b.txt" + kInCount;
  ASSERT_EQ(console.substr(first.size(), prefix.size()), prefix);
  int failedAt = std::stoi(console.substr(first.size() + prefix.size()));
  EXPECT_GT(failedAt, 1);
  EXPECT_LT(failedAt, 40000);
  EXPECT_EQ(console.substr(console.size() - kClose.size()), kClose);

  std::string all = "first\r\n";
  for (int i = 0; i < 40000; ++i) all += std::string(98, static_cast<char>('a' + i % 26)) + "\r\n";
  const std::string stored = m_fake.GetFile("o.txt");
  EXPECT_GT(stored.size(), 7u);
  EXPECT_LT(stored.size(), all.size());
  EXPECT_EQ(stored, all.substr(0, stored.size()));
}

TEST_F(RunDriverTest, FailedStoreInFileModeNamesTheFileItCameFrom) {
  // The output stays open across files, but each file's records are stored
  // before its summary line, so the failure is charged to the right file.
  m_fake.SetFile("a.txt", "x\n");
  m_fake.SetFile("b.txt", "y\n");
  m_fake.failWriteAt = 1;
  EXPECT_EQ(Run("INP = ?.txt\nOUT = o.txt\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(91, "a.txt", 1));
}

TEST_F(RunDriverTest, FailedFinalCloseInFileModeIsAnOutputError) {
  m_fake.SetFile("a.txt", "x\n");
  m_fake.failClose = true;
  EXPECT_EQ(Run("INP = a.txt\nOUT = o.txt\n"), 1);
  EXPECT_EQ(m_fake.console, Summary("a.txt", 1, 1) + CConvParam::GetErrorMessage(91) + "\n");
}

TEST_F(RunDriverTest, FailedCloseInFolderModeNamesTheFile) {
  m_fake.SetFile("in/a.txt", "x\ny\n");
  m_fake.failWriteAt = 1;
  EXPECT_EQ(Run("INP = in/a.txt\nOUT = out/\n"), 1);
  EXPECT_EQ(m_fake.console, InputError(91, "a.txt", 2));
}

}  // namespace
