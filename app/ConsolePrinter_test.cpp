// The console lines of a run, byte for byte in code page 932: the summary
// line and the three forms of an error.
#include "app/ConsolePrinter.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/FakePlatform.h"

namespace {

// The summary line's form is also checked through the program
// (app/Program_test.cpp); here the extremes.
TEST(ConsolePrinterTest, SummaryLineWithCountsBeyond32BitsAndALongName) {
  FakePlatform fake;
  ConsolePrinter printer(fake, PrinterOptions{});
  const std::string name(300, 'n');
  FileSummary summary;
  summary.name = name;
  summary.recordsRead = 2147483700;
  summary.recordsWritten = 4294967296;
  summary.seconds = 2;
  printer.FileFinished(summary);
  // 入力ﾌｧｲﾙ:nnn... 入力件数:2147483700 出力件数:4294967296 処理時間:00:02
  EXPECT_EQ(fake.console, "\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:" + name +
                              " \x93\xfc\x97\xcd\x8c\x8f\x90\x94:2147483700 "
                              "\x8f\x6f\x97\xcd\x8c\x8f\x90\x94:4294967296 "
                              "\x8f\x88\x97\x9d\x8e\x9e\x8a\xd4:00:02\n");
}

TEST(ConsolePrinterTest, TheThreeFormsOfAnError) {
  const std::string kOutputOpen =  // 出力ﾌｧｲﾙを開く事が出来ません
      "\x8f\x6f\x97\xcd\xcc\xa7\xb2\xd9\x82\xf0\x8a\x4a\x82\xad\x8e\x96\x82\xaa\x8f\x6f\x97\x88\x82"
      "\xdc\x82\xb9\x82\xf1";
  FakePlatform fake;
  ConsolePrinter printer(fake, PrinterOptions{});
  RunFailure failure;

  // The message, two blanks, the line: 入出力ﾌｧｲﾙの設定に誤りがあります  3行目
  failure.code = ErrorCode::kBadFileSettings;
  failure.stage = FailureStage::kParameters;
  failure.line = 3;
  printer.Failed(failure);
  EXPECT_EQ(fake.console,
            "\x93\xfc\x8f\x6f\x97\xcd\xcc\xa7\xb2\xd9\x82\xcc\x90\xdd\x92\xe8\x82\xc9\x8c\xeb\x82"
            "\xe8\x82\xaa\x82\xa0\x82\xe8\x82\xdc\x82\xb7  3\x8d\x73\x96\xda\n");

  // The bare message, whatever else the failure holds.
  fake.console.clear();
  failure.code = ErrorCode::kOutputFailed;
  failure.stage = FailureStage::kFileModeOutput;
  failure.what.path = "o.txt";
  failure.fileName = "a.txt";
  printer.Failed(failure);
  EXPECT_EQ(fake.console, kOutputOpen + "\n");

  // The message with the file and the record count: ...（入力ﾌｧｲﾙ:a.txt 入力件数:2147483700 ）
  fake.console.clear();
  failure.stage = FailureStage::kInput;
  failure.records = 2147483700;
  printer.Failed(failure);
  EXPECT_EQ(fake.console, kOutputOpen +
                              "\x81\x69\x93\xfc\x97\xcd\xcc\xa7\xb2\xd9:a.txt "
                              "\x93\xfc\x97\xcd\x8c\x8f\x90\x94:2147483700 \x81\x6a\n");
}

}  // namespace

namespace {

TEST(ConsolePrinterTest, ProgressAfterASecondOnATerminalErasedBeforeTheSummary) {
  FakePlatform fake;
  fake.terminals[static_cast<int>(Stream::kError)] = true;
  ConsolePrinter printer(fake, PrinterOptions{});
  InputFileInfo file;
  file.name = "big.txt";
  file.index = 2;
  file.count = 3;
  file.size = 100000000;
  printer.FileStarted(file);
  fake.milliseconds = 900;  // under a second: nothing yet
  printer.RecordsAdvanced(1000, 10000000);
  EXPECT_EQ(fake.diagnostics, "");
  fake.milliseconds = 2000;  // 25 MB in 2 s: 12.5 MB/s, 6 s left
  printer.RecordsAdvanced(250000, 25000000);
  EXPECT_EQ(fake.diagnostics,
            "\rrux: big.txt (2/3) 25% 12.5 MB/s 250000 records 00:06 left\x1b[K");
  fake.milliseconds = 2100;  // redrawn a few times a second at most
  printer.RecordsAdvanced(260000, 26000000);
  EXPECT_EQ(fake.diagnostics.find("260000"), std::string::npos);
  FileSummary summary;
  summary.name = "big.txt";
  printer.FileFinished(summary);
  EXPECT_TRUE(fake.diagnostics.ends_with("\r\x1b[K")) << "erased before the summary line";
}

TEST(ConsolePrinterTest, ProgressOnlyWhenAskedForOrOnATerminal) {
  for (ProgressMode mode : {ProgressMode::kAuto, ProgressMode::kNever, ProgressMode::kAlways}) {
    for (bool terminal : {false, true}) {
      FakePlatform fake;
      fake.terminals[static_cast<int>(Stream::kError)] = terminal;
      PrinterOptions options;
      options.progress = mode;
      ConsolePrinter printer(fake, options);
      InputFileInfo file;
      file.name = "-";  // standard input: size unknown
      printer.FileStarted(file);
      fake.milliseconds = 6000;
      printer.RecordsAdvanced(10, 600);
      const bool shown = mode == ProgressMode::kAlways || (mode == ProgressMode::kAuto && terminal);
      EXPECT_EQ(!fake.diagnostics.empty(), shown) << static_cast<int>(mode) << terminal;
      if (shown && !terminal) {
        EXPECT_EQ(fake.diagnostics, "rux: - 0.0 MB/s 10 records\n");
      }
      EXPECT_EQ(fake.console, "");  // never on standard output
    }
  }
}

}  // namespace

namespace {

// Control characters in names never reach a terminal raw; a pipe or a file
// gets the bytes, as scripts read them.
TEST(ConsolePrinterTest, NamesWithControlCharactersAreEscapedForPeople) {
  // Trail bytes 0x5C and 0x41 stay; only control bytes are escaped.
  EXPECT_EQ(ShowName("a\x1b[2J\n\t\x7f\x95\x5C\x83\x41.txt"), "a\\033[2J\\n\\t\\177\x95\x5C\x83\x41.txt");
  EXPECT_EQ(ShowName(std::string("x\0y", 3)), "x\\000y");

  FileSummary summary;
  summary.name = "a\nb.txt";
  for (const bool terminal : {false, true}) {
    FakePlatform fake;
    fake.terminals[static_cast<int>(Stream::kOutput)] = terminal;
    ConsolePrinter printer(fake, PrinterOptions{});
    printer.FileFinished(summary);
    EXPECT_EQ(fake.console.find(terminal ? "a\\nb.txt" : "a\nb.txt"), 9u) << terminal;
    RunFailure failure;
    failure.code = ErrorCode::kFieldBeyondRecord;
    failure.stage = FailureStage::kInput;
    failure.fileName = "a\x1b" "b.txt";
    failure.records = 3;
    printer.Failed(failure);
    // The English line is for people wherever it goes.
    EXPECT_EQ(fake.diagnostics.rfind("rux: error 20: a\\033b.txt, record 3: ", 0), 0u)
        << fake.diagnostics;
    EXPECT_NE(fake.console.find(terminal ? "a\\033b.txt" : "a\x1b" "b.txt"), std::string::npos);
    EXPECT_EQ(fake.console.find('\x1b') == std::string::npos, terminal);
  }
}

TEST(ConsolePrinterTest, AStopNamesTheFileAndTheLastRecord) {
  RunStop stop;
  stop.signal = 15;
  EXPECT_EQ(DescribeStop(stop), "rux: stopped by SIGTERM before the first input file\n");
  stop.signal = 1;
  stop.fileName = "in\n.txt";
  stop.records = 4294967296;
  EXPECT_EQ(DescribeStop(stop),
            "rux: stopped by SIGHUP after record 4294967296 of \"in\\n.txt\"; the records up to it "
            "are written whole\n");
  stop.signal = 9;
  EXPECT_EQ(DescribeStop(stop).rfind("rux: stopped by signal 9 after", 0), 0u);
  // -q silences it like every English diagnostic.
  FakePlatform fake;
  PrinterOptions quiet;
  quiet.quiet = true;
  ConsolePrinter printer(fake, quiet);
  printer.Stopped(stop);
  EXPECT_EQ(fake.diagnostics, "");
}

}  // namespace

namespace {

TEST(ConsolePrinterTest, WhatConvertingUtf8ChangedIsCounted) {
  EXPECT_EQ(DescribeConversions(DataConversions{}), "");
  EXPECT_EQ(DescribeConversions(DataConversions{1, 0}),
            "rux: 1 character without a code page 932 form replaced by a stand-in of the same "
            "width\n");
  EXPECT_EQ(DescribeConversions(DataConversions{0, 3}),
            "rux: 3 output bytes that were not a whole code page 932 character written as a "
            "blank\n");
}

}  // namespace
