// COPY without conditions written as it is where the lines are in output
// form: the same bytes and counts as piece by piece.
#include "run/CopyLoop.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "job/JobReader.h"
#include "platform/FakePlatform.h"
#include "run/RecordLoop.h"

namespace {

class Silent : public RunObserver {
 public:
  void FileFinished(const FileSummary&) override {}
  void Failed(const RunFailure&) override {}
};

struct Result {
  std::string output;
  int64_t in = 0;
  int64_t out = 0;
  ErrorCode error = ErrorCode::kNone;
};

Result Copy(const std::string& data, bool asIs, int failWriteAt = 0) {
  FakePlatform fake;
  fake.SetFile("in.txt", data);
  TextWriter writer;
  writer.Attach(fake.OpenFile("out.txt", OpenMode::kWrite));
  fake.failWriteAt = failWriteAt;
  RecordContext context(fake);
  Silent observer;
  if (asIs) {
    std::unique_ptr<File> input = fake.OpenFile("in.txt", OpenMode::kRead);
    std::string reason;
    CopyRecords(*input, writer, context, observer, reason);
  } else {
    TextReader reader;
    reader.Attach(fake.OpenFile("in.txt", OpenMode::kRead));
    ProcessRecords(Job(), reader, writer, context, observer);
  }
  writer.Close();
  return Result{fake.GetFile("out.txt"), context.inCount, context.outCount, context.error};
}

TEST(CopyLoop, WritesWhatPieceByPieceWould) {
  std::mt19937 rng(93201);
  for (int round = 0; round < 6; ++round) {
    std::string data;
    while (data.size() < (size_t{3} << 20)) {
      const size_t lengths[] = {0, 3, 40, 99997, 99998, 99999, 150000};
      std::string line(lengths[rng() % 100 < 97 ? rng() % 3 : 3 + rng() % 4], 'x');
      if (!line.empty() && rng() % 20 == 0) line[rng() % line.size()] = '\r';
      data += line + (rng() % (round + 2) == 0 ? "\n" : "\r\n");
    }
    if (round % 2 == 0) data += "tail\r";
    if (round == 3) data.insert(data.size() / 2, "\x1A");
    const Result plain = Copy(data, false);
    const Result asIs = Copy(data, true);
    EXPECT_EQ(asIs.output, plain.output) << round;
    EXPECT_EQ(asIs.in, plain.in) << round;
    EXPECT_EQ(asIs.out, plain.out) << round;
    EXPECT_EQ(asIs.error, ErrorCode::kNone) << round;
  }
}

TEST(CopyLoop, AFailedWriteIs91AtTheFirstRecordItCarried) {
  std::string data;
  for (int i = 0; i < 100000; ++i) data += "record\r\n";
  const Result failed = Copy(data, true, 2);
  EXPECT_EQ(failed.error, ErrorCode::kOutputFailed);
  // The first write (one block of lines) was stored; the failure counts from
  // the first record of the second.
  ASSERT_GT(failed.output.size(), 0u);
  EXPECT_EQ(failed.output, data.substr(0, failed.output.size()));
  EXPECT_EQ(failed.in, static_cast<int64_t>(failed.output.size() / 8) + 1);
}

}  // namespace
