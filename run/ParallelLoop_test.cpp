// Random jobs on random files, run on one thread and on several with small
// blocks: everything the runs write must be the same bytes. Also run under
// ThreadSanitizer.
#include "run/ParallelLoop.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/FakePlatform.h"
#include "run/Run.h"

namespace {

// Records the observer calls as text.
class Recorder : public RunObserver {
 public:
  void FileFinished(const FileSummary& summary) override {
    calls += std::string(summary.name) + " " + std::to_string(summary.recordsRead) + " " +
             std::to_string(summary.recordsWritten) + "\n";
  }
  void Failed(const RunFailure& failure) override {
    calls += "fail " + std::to_string(ErrorNumber(failure.code)) + " " + failure.fileName + " " +
             std::to_string(failure.records) + " line " + std::to_string(failure.statementLine) +
             " " + failure.what.reason + "\n";
  }
  std::string calls;
};

class Generator {
 public:
  explicit Generator(unsigned seed) : random_(seed) {}

  int Pick(int n) { return static_cast<int>(random_() % static_cast<unsigned>(n)); }
  template <typename T>
  const T& Pick(const std::vector<T>& items) { return items[static_cast<size_t>(Pick(static_cast<int>(items.size())))]; }

  // Text with double-byte characters whose second byte is "A" or "\", digits
  // and blanks, of up to `most` characters.
  std::string Text(int most) {
    static const std::vector<std::string> parts = {
        "A", "a", "1", "7", "0", " ", ".", "-", "\x83\x41", "\x95\x5C", "\x82\xA0", "\xB1", "x"};
    std::string text;
    for (int n = Pick(most + 1); n > 0; --n) text += Pick(parts);
    return text;
  }

  // An input file: lines ending in LF or CR LF, sometimes a line of more
  // than 99,999 bytes, a lone CR, a missing last line end or a 0x1A.
  std::string Input() {
    std::string data;
    for (int lines = Pick(400); lines > 0; --lines) {
      const int kind = Pick(100);
      if (kind == 0) {
        data += std::string(99999 + static_cast<size_t>(Pick(3)) - 1, 'L');
      } else if (kind < 40) {
        data += Text(6) + std::to_string(Pick(90000) - 1000) + Text(3);
      } else {
        data += Text(12);
      }
      if (Pick(50) == 0) data += "\r";
      data += Pick(2) == 0 ? "\r\n" : "\n";
    }
    if (Pick(4) == 0) data += Text(8);
    if (Pick(10) == 0) data.insert(static_cast<size_t>(Pick(static_cast<int>(data.size()) + 1)), "\x1A");
    return data;
  }

  std::string Term() {
    const std::string field = std::to_string(1 + Pick(6)) + "," + std::to_string(1 + Pick(4));
    switch (Pick(5)) {
      case 0: return "\"" + Text(2) + "\"";
      case 1: return field + ",N," + Pick(std::vector<std::string>{">", "<=", "="}) + ",\"" +
                     std::to_string(Pick(50)) + "\"";
      case 2: return field + ",AT,==,\"" + Text(1) + "\"";
      case 3: return field + ",A,>=,[FILE]";
      default: return "1,1,A,<>,3,1,A";
    }
  }

  std::string Parameters() {
    std::string text = "INP = in*.txt\n";
    text += Pick(3) == 0 ? "OUT = out/\n" : "OUT = out.txt\n";
    const std::string type = Pick(std::vector<std::string>{"COPY", "CHANGE", "EDIT", "CSV"});
    text += "FUNCTION = " + type + "\n";
    text += "OPT = -" + Pick(std::vector<std::string>{"S", "SN", "U", "SH", "ST", "HSU", "HN"}) +
            "\n";
    for (int groups = Pick(3); groups > 0; --groups) {
      text += "SEL = " + Term() + (Pick(2) == 0 ? " & " + Term() : "") + "\n";
    }
    for (int definitions = type == "COPY" ? 0 : 1 + Pick(3); definitions > 0; --definitions) {
      const std::string condition = Pick(3) == 0 ? " @ " + Term() : "";
      if (type == "CHANGE") {
        text += "EDT = \"" + Text(1) + "\",\"" + Text(2) + "\"" + condition + "\n";
      } else if (type == "EDIT") {
        text += Pick(std::vector<std::string>{"EDT", "UPP", "NAR", "WID"}) + " = " +
                std::to_string(1 + Pick(12)) + ",8," +
                Pick(std::vector<std::string>{"A,=,1,5,AT", "N+.1,=,3,4,N", "A,=,[IN_LINE]"}) +
                condition + "\n";
      } else {
        text += Pick(std::vector<std::string>{"EDT = 1,3,A,\"h\"", "LOW = 2,4,AT",
                                              "EDT = [IN_LINE],\"n\"", "EDT = [FILE],[IN_LINE]"}) +
                "\n";
      }
    }
    return text;
  }

 private:
  std::mt19937 random_;
};

struct Outcome {
  int status;
  std::string calls;
  std::vector<std::string> files;
};

Outcome RunJob(const std::string& parameters, const std::vector<std::string>& inputs, int jobs,
            size_t blockSize, int failWriteAt = 0, size_t partBytes = size_t{2} << 20) {
  FakePlatform fake;
  fake.failWriteAt = failWriteAt;
  fake.SetFile("job.prm", parameters);
  for (size_t i = 0; i < inputs.size(); ++i) fake.SetFile("in" + std::to_string(i) + ".txt", inputs[i]);
  fake.AddDirectory("out");
  Recorder recorder;
  RunRequest request;
  request.parameterFile = "job.prm";
  request.jobs = jobs;
  request.blockSize = blockSize;
  request.partBytes = partBytes;
  Outcome outcome;
  outcome.status = RunConversion(request, fake, recorder);
  outcome.calls = recorder.calls;
  for (const char* name : {"out.txt", "out/in0.txt", "out/in1.txt"}) {
    outcome.files.push_back(fake.GetFile(name));
  }
  return outcome;
}

TEST(ParallelLoop, RandomJobsWriteTheSameBytesOnOneThreadAndOnFour) {
  Generator generate(20261207);
  int succeeded = 0;
  for (int round = 0; round < 120; ++round) {
    const std::string parameters = generate.Parameters();
    const std::vector<std::string> inputs = {generate.Input(), generate.Input()};
    const Outcome one = RunJob(parameters, inputs, 1, size_t{1} << 20);
    const size_t blockSize = static_cast<size_t>(1 + generate.Pick(3000));
    // Now and then a block's output goes to the writer in parts of a few bytes.
    const size_t partBytes = generate.Pick(2) == 0 ? size_t{2} << 20 : 1 + generate.Pick(300);
    const Outcome four = RunJob(parameters, inputs, 4, blockSize, 0, partBytes);
    EXPECT_EQ(four.status, one.status) << parameters;
    EXPECT_EQ(four.calls, one.calls) << parameters << "block size " << blockSize << " part " << partBytes;
    EXPECT_EQ(four.files, one.files) << parameters << "block size " << blockSize << " part " << partBytes;
    if (one.status == 0) ++succeeded;
  }
  // The jobs must also run to their end, not only stop at errors.
  EXPECT_GT(succeeded, 30);
}

// A write that fails in the middle of a file (a full disk) stops the run at
// the same record, with the same bytes stored before it, on any number of
// threads.
TEST(ParallelLoop, AFailedWriteStopsAtTheSameRecord) {
  Generator generate(7);
  for (int round = 0; round < 8; ++round) {
    std::string parameters = generate.Parameters();
    std::vector<std::string> inputs = {std::string(), generate.Input()};
    while (inputs[0].size() < (size_t{5} << 19)) inputs[0] += generate.Input();
    const int failAt = 1 + generate.Pick(2);
    const Outcome one = RunJob(parameters, inputs, 1, size_t{1} << 20, failAt);
    const size_t blockSize = static_cast<size_t>(1 + generate.Pick(100000));
    const size_t partBytes = round % 2 == 0 ? size_t{2} << 20 : 1 + generate.Pick(5000);
    const Outcome four = RunJob(parameters, inputs, 4, blockSize, failAt, partBytes);
    EXPECT_EQ(four.status, one.status) << parameters;
    EXPECT_EQ(four.calls, one.calls) << parameters << "block size " << blockSize;
    EXPECT_EQ(four.files, one.files) << parameters << "block size " << blockSize;
  }
}

// Standard input that hands out its bytes in short reads, then fails, like
// a disk that goes away.
class FailingInputPlatform : public FakePlatform {
 public:
  std::unique_ptr<File> OpenStandardInput() override {
    struct Failing : File {
      explicit Failing(std::string bytes) : data(std::move(bytes)) {}
      long long Read(char* buffer, size_t size) override {
        if (at == data.size()) return -1;
        const size_t n = std::min({size, data.size() - at, size_t{777}});
        std::memcpy(buffer, data.data() + at, n);
        at += n;
        return static_cast<long long>(n);
      }
      bool Write(const char*, size_t) override { return false; }
      bool Truncate() override { return false; }
      FileId Id() const override { return {}; }
      bool Close() override { return true; }
      std::string data;
      size_t at = 0;
    };
    return std::make_unique<Failing>(standardInput);
  }
};

// A read that fails half-way: every record before it is written, then 92,
// on any number of threads.
TEST(ParallelLoop, AReadFailureComesAfterEveryRecordBeforeIt) {
  Generator generate(11);
  for (int round = 0; round < 20; ++round) {
    const std::string parameters = generate.Parameters();
    const std::string input = generate.Input();
    std::vector<Outcome> outcomes;
    for (const int jobs : {1, 4}) {
      FailingInputPlatform fake;
      fake.SetFile("job.prm", parameters);
      fake.standardInput = input;
      fake.AddDirectory("out");
      Recorder recorder;
      RunRequest request;
      request.parameterFile = "job.prm";
      request.overrides.input = true;
      request.overrides.inputPath = "-";
      request.jobs = jobs;
      request.blockSize = static_cast<size_t>(1 + generate.Pick(2000));
      Outcome outcome;
      outcome.status = RunConversion(request, fake, recorder);
      outcome.calls = recorder.calls;
      outcome.files = {fake.GetFile("out.txt"), fake.GetFile("out/-")};
      outcomes.push_back(outcome);
    }
    EXPECT_EQ(outcomes[1].status, outcomes[0].status) << parameters;
    EXPECT_EQ(outcomes[1].calls, outcomes[0].calls) << parameters;
    EXPECT_EQ(outcomes[1].files, outcomes[0].files) << parameters;
  }
}

// A CHANGE that makes every record a hundred times longer, its output
// handed on in parts far smaller than a block: the same bytes, counts,
// flush points and first failed write as one thread, whatever the part size.
TEST(ParallelLoop, ExpandingRecordsGoToTheWriterInParts) {
  const std::string parameters =
      "INP = in*.txt\nOUT = out.txt\nFUNCTION = CHANGE\nSEL = \"A\" & 1,1,A,!=,\"9\"\n"
      "EDT = \"A\",\"" + std::string(100, 'x') + "\\\x83\x41\"\n";
  Generator generate(3);
  std::vector<std::string> inputs = {std::string(), generate.Input()};
  for (int line = 0; line < 20000; ++line) inputs[0] += generate.Text(12) + "\r\n";
  const Outcome one = RunJob(parameters, inputs, 1, size_t{1} << 20);
  ASSERT_EQ(one.status, 0) << one.calls;
  ASSERT_GT(one.files[0].size(), 4 * inputs[0].size()) << one.calls;
  for (const size_t partBytes : {size_t{1}, size_t{150}, size_t{4096}, size_t{2} << 20}) {
    for (const int failAt : {0, 3}) {
      const Outcome expected = failAt == 0 ? one : RunJob(parameters, inputs, 1, size_t{1} << 20, failAt);
      const Outcome four = RunJob(parameters, inputs, 4, 20000, failAt, partBytes);
      EXPECT_EQ(four.status, expected.status) << partBytes;
      EXPECT_EQ(four.calls, expected.calls) << partBytes;
      EXPECT_EQ(four.files, expected.files) << partBytes;
    }
  }
}

TEST(ParallelLoop, OutLineKeepsOneThread) {
  JobReader reader;
  reader.ReadLine("FUNCTION = EDIT");
  reader.ReadLine("EDT = 1,8,N,=,[OUT_LINE]");
  EXPECT_FALSE(CanRunInParallel(reader.GetJob()));
  JobReader inLine;
  inLine.ReadLine("FUNCTION = EDIT");
  inLine.ReadLine("EDT = 1,8,N,=,[IN_LINE]");
  EXPECT_TRUE(CanRunInParallel(inLine.GetJob()));
}

}  // namespace
