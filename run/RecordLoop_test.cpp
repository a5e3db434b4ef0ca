// The record loop on the in-memory platform: the direct COPY path and the
// path through the record steps give the same lines; counts, progress
// reports, and how record and write failures stop it.
#include "run/RecordLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "job/JobReader.h"
#include "platform/FakePlatform.h"

namespace {

// Reads INP, OUT (lines 1 and 2) and `statements` (from line 3) into a job.
Job MakeJob(const std::vector<std::string>& statements) {
  JobReader reader;
  reader.ReadLine("INP = in.txt\n");
  reader.ReadLine("OUT = out.txt\n");
  for (const std::string& statement : statements) {
    EXPECT_TRUE(reader.ReadLine(statement + "\n").ok()) << statement;
  }
  EXPECT_TRUE(reader.Finish().ok());
  return reader.TakeJob();
}

class Progress : public RunObserver {
 public:
  void RecordsAdvanced(int64_t records, int64_t bytes) override { reports.emplace_back(records, bytes); }
  void FileFinished(const FileSummary&) override {}
  void Failed(const RunFailure&) override {}
  std::vector<std::pair<int64_t, int64_t>> reports;
};

class RecordLoopTest : public ::testing::Test {
 protected:
  // Runs the loop over `input` into out.txt and returns out.txt's bytes.
  // (A read failure, 92, is tested with the run: run/Run_test.cpp.)
  std::string Convert(const std::vector<std::string>& statements, const std::string& input) {
    const Job job = MakeJob(statements);
    fake_.SetFile("in.txt", input);
    TextReader reader;
    reader.Attach(fake_.OpenFile("in.txt", OpenMode::kRead));
    std::unique_ptr<File> out = fake_.OpenFile("out.txt", OpenMode::kWrite);
    out->Truncate();
    TextWriter writer;
    writer.Attach(std::move(out));
    context_ = RecordContext(fake_);
    ProcessRecords(job, reader, writer, context_, progress_);
    reader.Close();
    writer.Close();
    return fake_.GetFile("out.txt");
  }

  FakePlatform fake_;
  RecordContext context_{fake_};
  Progress progress_;
};

// "SEL =" holds for every record but sends each through the record steps.
const std::vector<std::string> kDirect = {};
const std::vector<std::string> kThroughSteps = {"SEL ="};

TEST_F(RecordLoopTest, BothPathsWriteTheSameLinesAndCounts) {
  std::string overlong(150000, 'x');
  overlong[99998] = '1';
  overlong[99999] = '2';
  const struct {
    std::string input;
    std::string output;
    int64_t records;
  } cases[] = {
      {"a\nbb\r\nccc", "a\r\nbb\r\nccc\r\n", 3},
      {"", "", 0},
      {"\n\r\n\nx\n", "\r\n\r\n\r\nx\r\n", 4},
      // A lone CR, NUL bytes and double-byte characters ending in "A" or "\" are data.
      {std::string("a\rb\0c\x83\x41\x95\x5C\xB1\n", 11), std::string("a\rb\0c\x83\x41\x95\x5C\xB1\r\n", 12), 1},
      {"a\r", "a\r\r\n", 1},
      {"one\ntw\x1Ao\nthree\n", "one\r\ntw\r\n", 2},
      {overlong + "\n", overlong.substr(0, 99999) + "\r\n" + overlong.substr(99999) + "\r\n", 2},
  };
  for (const auto& c : cases) {
    for (const auto* statements : {&kDirect, &kThroughSteps}) {
      const char* path = statements == &kDirect ? "direct" : "through the steps";
      EXPECT_EQ(Convert(*statements, c.input), c.output) << path << ": " << c.input.substr(0, 20);
      EXPECT_EQ(context_.inCount, c.records) << path;
      EXPECT_EQ(context_.outCount, c.records) << path;
      EXPECT_EQ(context_.error, ErrorCode::kNone) << path;
    }
  }
}

TEST_F(RecordLoopTest, SelectedRecordsAreWrittenAsTheirTypeMakesThem) {
  // "A" is not found inside "ア" (0x83 0x41).
  EXPECT_EQ(Convert({"SEL = \"A\""}, "\x83\x41\nA\nxAx\n\x95\x5C\n"), "A\r\nxAx\r\n");
  EXPECT_EQ(context_.inCount, 4);
  EXPECT_EQ(context_.outCount, 2);
  EXPECT_EQ(Convert({"FUNCTION = CHANGE", "SEL = \"x\"", "EDT = \"\x83\x41\",\"\x95\x5C\""},
                    "x\x83\x41" "A\n\x83\x41\n"),
            "x\x95\x5C" "A\r\n");
  EXPECT_EQ(context_.outCount, 1);
}

TEST_F(RecordLoopTest, ARecordErrorStopsAtItsRecordKeepingWhatCameBefore) {
  EXPECT_EQ(Convert({"SEL = 5,1,A,=,\"5\""}, "12345\n12\n12345\n"), "12345\r\n");
  EXPECT_EQ(context_.error, ErrorCode::kFieldBeyondRecord);
  EXPECT_EQ(context_.errorLine, 3);
  EXPECT_EQ(context_.inCount, 2);
  EXPECT_EQ(context_.outCount, 1);
  // The header line a failing first record produced is still written.
  EXPECT_EQ(Convert({"FUNCTION = CSV", "OPT = -H", "EDT = 5,1,A,\"Head\""}, "12\n12345\n"),
            "Head\r\n");
  EXPECT_EQ(context_.error, ErrorCode::kFieldBeyondRecord);
  EXPECT_EQ(context_.errorLine, 5);
}

TEST_F(RecordLoopTest, ProgressCountsRecordsAndTheFileBytesTheyTook) {
  // CR LF lines: three bytes of the file each, though a record reads as "x".
  std::string input;
  for (int i = 0; i < 20000; ++i) input += "x\r\n";
  const std::vector<std::pair<int64_t, int64_t>> expected = {{8192, 3 * 8192}, {16384, 3 * 16384}};
  for (const auto* statements : {&kDirect, &kThroughSteps}) {
    progress_.reports.clear();
    Convert(*statements, input);
    EXPECT_EQ(progress_.reports, expected);
  }
}

TEST_F(RecordLoopTest, AFailedWriteIs91AndStopsReading) {
  // More than one buffer of output, so a write reaches the file mid-way.
  std::string input;
  for (int i = 0; i < 12000; ++i) input += std::string(99, 'r') + "\n";
  for (const auto* statements : {&kDirect, &kThroughSteps}) {
    fake_.failWriteAt = fake_.writes + 1;
    EXPECT_EQ(Convert(*statements, input), "");
    EXPECT_EQ(context_.error, ErrorCode::kOutputFailed);
    EXPECT_GT(context_.inCount, 1);
    EXPECT_LT(context_.inCount, 12000);
  }
}

}  // namespace
