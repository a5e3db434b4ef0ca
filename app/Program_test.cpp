// The program behind main: help pages without a parameter file, and a run
// printed on the console with its exit status.
#include "app/Program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/HelpText.h"
#include "platform/FakePlatform.h"

namespace {

// Notes how much had been printed at every wait for a key.
class WaitingPlatform : public FakePlatform {
 public:
  int ReadConsoleChar() override {
    waitsAt.push_back(console.size());
    return FakePlatform::ReadConsoleChar();
  }
  std::vector<size_t> waitsAt;
};

TEST(ProgramTest, HelpIsPaddedPagesWithAWaitAfterEachOfTheFirstFour) {
  WaitingPlatform fake;
  fake.SetFile("param.txt", "INP = x\n");
  fake.terminals[0] = fake.terminals[1] = true;  // a person at a terminal
  const char* argv[] = {"rux"};
  EXPECT_EQ(RunMain(1, argv, fake), 0);

  const size_t row = kHelpWidth + 1;
  ASSERT_EQ(fake.console.size(), kHelpLines * row);
  for (int n = 1; n <= kHelpLines; ++n) {
    const std::string line = fake.console.substr((n - 1) * row, row);
    EXPECT_EQ(line.substr(0, HelpLine(n).size()), HelpLine(n)) << n;
    EXPECT_EQ(line.find_first_not_of(' ', HelpLine(n).size()), row - 1) << n;
    EXPECT_EQ(line.back(), '\n') << n;
  }
  EXPECT_EQ(fake.waitsAt, (std::vector<size_t>{24 * row, 48 * row, 72 * row, 96 * row}));
}

TEST(ProgramTest, HelpTakesOneKeyPerWaitAndNeverBlocksAtEndOfInput) {
  FakePlatform keys;
  keys.terminals[0] = keys.terminals[1] = true;
  keys.consoleInput = "\n\n\n\n\n\n";
  const char* argv[] = {"rux", nullptr};
  EXPECT_EQ(RunMain(1, argv, keys), 0);
  EXPECT_EQ(keys.consoleRead, 4u);

  FakePlatform closed;  // no input at all: every wait sees the end at once
  closed.terminals[0] = closed.terminals[1] = true;
  EXPECT_EQ(RunMain(2, argv, closed), 0);
  EXPECT_EQ(closed.consoleRead, 4u);
  EXPECT_EQ(closed.console, keys.console);

  // Read through a pipe or into a file, or with input from one, it never waits.
  for (int terminal = 0; terminal < 3; ++terminal) {
    FakePlatform piped;
    piped.consoleInput = "\n\n\n\n";
    piped.terminals[0] = terminal == 1;
    piped.terminals[1] = terminal == 2;
    EXPECT_EQ(RunMain(1, argv, piped), 0);
    EXPECT_EQ(piped.consoleRead, 0u) << terminal;
    EXPECT_EQ(piped.console, keys.console);
  }
}

TEST(ProgramTest, ARunPrintsItsMessageAndEndsWithStatusOne) {
  FakePlatform fake;
  const char* argv[] = {"rux", "nosuch.txt"};
  EXPECT_EQ(RunMain(2, argv, fake), 1);
  // 変換ﾊﾟﾗﾒｰﾀﾌｧｲﾙを開く事が出来ません  0行目
  EXPECT_EQ(fake.console,
            "\x95\xcf\x8a\xb7\xca\xdf\xd7\xd2\xb0\xc0\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad\x8e"
            "\x96\x82\xaa\x8f\x6f\x97\x88\x82\xdc\x82\xb9\x82\xf1  0\x8d\x73\x96\xda\n");
}

TEST(ProgramTest, ElapsedTimeIsMinutesWithinTheHour) {
  const struct {
    long long seconds;
    const char* shown;
  } cases[] = {{61, "01:01"}, {3600, "00:00"}, {3910, "05:10"}, {59, "00:59"}, {3599, "59:59"}};
  for (const auto& c : cases) {
    FakePlatform fake;
    fake.now = 1000000;
    fake.clockStep = c.seconds;
    fake.SetFile("param.txt", "INP = a.txt\nOUT = o.txt\n");
    fake.SetFile("a.txt", "x\n");
    // Arguments after the parameter file are ignored.
    const char* argv[] = {"rux", "param.txt", "more"};
    EXPECT_EQ(RunMain(3, argv, fake), 0);
    // 入力ﾌｧｲﾙ:a.txt 入力件数:1 出力件数:1 処理時間:<shown>
    EXPECT_EQ(fake.console, std::string("\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:a.txt "
                                        "\x93\xfc\x97\xcd\x8c\x8f\x90\x94:1 "
                                        "\x8f\x6f\x97\xcd\x8c\x8f\x90\x94:1 "
                                        "\x8f\x88\x97\x9d\x8e\x9e\x8a\xd4:") +
                                c.shown + "\n")
        << c.seconds;
  }
}

TEST(ProgramTest, ThePreviewInTheUsageIsWhatThePreviewShows) {
  FakePlatform fake;
  fake.SetFile("job.prm",
               "INP = sales.txt\nFUNCTION = EDIT\nSEL = 1,2,A,=,\"01\"\nEDT = 1,8,A,=,3,8,A\n"
               "EDT = 10,9,N,=,21,6,N\n");
  fake.SetFile("sales.txt", "0120240401YAMADA TAR001200\n");
  // No OUT statement: the preview opens no output, and -o stands in for it.
  const char* preview[] = {"rux", "--preview=1", "-o", "out.txt", "job.prm"};
  EXPECT_EQ(RunMain(5, preview, fake), 0);
  EXPECT_FALSE(fake.HasFile("out.txt"));
  std::string indented;
  for (size_t start = 0; start < fake.console.size();) {
    const size_t end = fake.console.find('\n', start);
    const std::string line = fake.console.substr(start, end - start);
    if (!line.empty()) indented += "  " + line;
    indented += "\n";
    start = end + 1;
  }

  FakePlatform help;
  const char* usage[] = {"rux", "--help"};
  EXPECT_EQ(RunMain(2, usage, help), 0);
  EXPECT_NE(help.console.find(indented), std::string::npos) << indented;
}

}  // namespace
