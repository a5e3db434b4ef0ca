// The work on one record: counting, selection and conversion together, with
// 64-bit counts, and several workers sharing one job.
#include "record/RecordStep.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <thread>
#include <vector>

#include "record/RecordTesting.h"

namespace {

TEST(ProcessRecord, CountsSelectsAndCopies) {
  RecordBench bench({"SEL=\"x\"", "SEL=\"y\""});
  EXPECT_EQ(bench.Run(ProcessRecord, "ay"), "ay\n");
  EXPECT_EQ(bench.Run(ProcessRecord, "b"), "");
  const Selection selection = ProcessRecord(bench.job, "x", bench.Fresh());
  EXPECT_EQ(selection.group, 0);
  EXPECT_EQ(bench.context.out, "x\n");
  EXPECT_EQ(bench.context.inCount, 3);
  EXPECT_EQ(bench.context.outCount, 2);

  // An error in the selection: counted as read, not written, nothing produced.
  RecordBench failing({"FUNCTION=EDIT", "SEL=5,1,A,=,\"x\"", "EDT=1,1,A,=,\"y\""});
  EXPECT_EQ(failing.Run(ProcessRecord, "abc"), "");
  EXPECT_EQ(failing.Error(), "error 20 at line 2");
  EXPECT_EQ(failing.context.inCount, 1);
  EXPECT_EQ(failing.context.outCount, 0);
}

TEST(ProcessRecord, CountsGoPast32Bits) {
  RecordBench edit({"FUNCTION=EDIT", "SEL=1,1,A,!=,\"-\"", "EDT=1,10,N,=,[IN_LINE]",
                    "EDT=12,10,N,=,[OUT_LINE]"});
  edit.context.inCount = 2147483646;
  edit.context.outCount = 2147483645;
  EXPECT_EQ(edit.Run(ProcessRecord, "a"), "2147483647 2147483646\n");
  EXPECT_EQ(edit.Run(ProcessRecord, "-"), "");
  EXPECT_EQ(edit.Run(ProcessRecord, "b"), "2147483649 2147483647\n");
  EXPECT_EQ(edit.Run(ProcessRecord, "c"), "2147483650 2147483648\n");

  RecordBench csv({"FUNCTION=CSV", "EDT=[IN_LINE]", "EDT=[OUT_LINE]"});
  csv.context.inCount = 4294967295;
  csv.context.outCount = 2147483647;
  EXPECT_EQ(csv.Run(ProcessRecord, "a"), "4294967296\t2147483648\n");
}

// Records of every kind the jobs below look at: short and long, mostly
// digits and blanks (so numeric fields pass and fail), letters in both cases,
// signs, and double-byte characters whose second byte is "A" or "\".
std::vector<std::string> VariedRecords(int count) {
  static const char* const kPieces[] = {"a", "b", "c", "A", "Q", "#", "-", ".",
                                        "\x83\x41", "\x95\x5C", "\x82\x60", "\x81\x40"};
  uint32_t seed = 12345;
  const auto next = [&seed](uint32_t bound) {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) % bound;
  };
  std::vector<std::string> records(count);
  for (std::string& record : records) {
    for (uint32_t n = next(28); n > 0; --n) {
      const uint32_t pick = next(20);
      record += pick < 11 ? std::string(1, static_cast<char>('0' + next(10)))
                : pick < 14 ? std::string(" ") : std::string(kPieces[next(12)]);
    }
  }
  return records;
}

// One worker's transcript of a job over the records: per record its
// selection, error and output. Errors are noted and the next record goes on.
std::string Transcript(const Job& job, const std::vector<std::string>& records) {
  FakePlatform clock;
  RecordContext context(clock);
  context.fileName = "in.txt";
  std::string transcript;
  for (const std::string& record : records) {
    context.out.clear();
    context.error = ErrorCode::kNone;
    context.errorLine = 0;
    const Selection selection = ProcessRecord(job, record, context);
    transcript += "|" + std::to_string(selection.group) + " " +
                  std::to_string(ErrorNumber(context.error)) + "@" +
                  std::to_string(context.errorLine) + " " + context.out;
  }
  return transcript;
}

TEST(ProcessRecord, WorkersOnOneJobAtOnceGiveTheOutputOfOne) {
  const std::vector<std::string> records = VariedRecords(2000);
  const std::vector<std::vector<std::string>> jobs = {
      {"FUNCTION=EDIT", "OPT=-U", "SEL=1,1,A,!=,\"#\"", "SEL=\"#\" & \"q\"", "EDT=1,8,A,=,[FILE]",
       "UPP=9,6,A,=,3,6,AT", "EDT=15,10,N+0.2,=,10,4,N @ 2,1,A,=,\"b\"", "WID=25,8,A,=,1,4,A",
       "EDT=33,6,N0,=,[IN_LINE]", "EDT=39,6,N,=,[OUT_LINE] @ \"q\"", "NAR=45,4,A,=,5,4,A"},
      {"FUNCTION=CHANGE", "OPT=-UT", "SEL=\"a\"", "SEL=1,2,AT,<,\"5\"", "EDT=\"a\",\"<A>\"",
       "EDT=\"7\",[IN_LINE] @ 1,1,A,=,\"c\"", "EDT=\"b\",[FILE] @ \"\x83\x41\"",
       "EDT=\"\x95\x5C\",\"\\\"", "EDT=\" \",\"\" @ 3,2,N,>=,\"5\""},
      {"FUNCTION=CSV", "OPT=-HS", "SEL=\"\x82\x60\" & 1,1,A,!=,\"Q\"", "SEL=1,1,A,<,\"5\"",
       "EDT=1,4,AT,\"Key\"", "EDT=5,3,N,\"Amount\"", "LOW=8,8,A,\"Name\"", "EDT=[FILE],[FILE]",
       "EDT=[OUT_LINE]", "NAR=1,12,AL", "WID=2,2,A"},
  };
  for (const std::vector<std::string>& lines : jobs) {
    const Job job = ReadJob(lines);
    const std::string expected = Transcript(job, records);
    // Each kind of outcome is met, so the comparison covers them all.
    EXPECT_NE(expected.find("|-1 0@0 "), std::string::npos) << lines[0];
    EXPECT_NE(expected.find("|0 0@0 "), std::string::npos) << lines[0];
    EXPECT_NE(expected.find("|1 0@0 "), std::string::npos) << lines[0];
    EXPECT_NE(expected.find(" 26@"), std::string::npos) << lines[0];
    std::string first, second;
    std::thread worker([&] { first = Transcript(job, records); });
    second = Transcript(job, records);
    worker.join();
    EXPECT_EQ(first, expected) << lines[0];
    EXPECT_EQ(second, expected) << lines[0];
  }
}

}  // namespace
