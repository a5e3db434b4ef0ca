// The run on the in-memory platform, seen through a recording observer:
// which calls arrive in which order with which counts, failure stages and
// lines; output opening in file and folder mode and its guards; enumeration;
// failures to open, read, write and close.
#include "run/Run.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/FakePlatform.h"

namespace {

// Each call as one line: "start <fullPath> #<index>", "done <name>
// <read>/<written> <seconds>s", and a failure by its stage: "fail <code> at
// line <line>[ of <path>][: <statement>]", "fail <code> opening <path>" or
// "fail <code> in <file> after <records>".
class Recorder : public RunObserver {
 public:
  void FileStarted(const InputFileInfo& file) override {
    calls.push_back("start " + std::string(file.fullPath) + " #" + std::to_string(file.index));
    sizes.push_back(file.size);
  }
  void FileFinished(const FileSummary& s) override {
    calls.push_back("done " + std::string(s.name) + " " + std::to_string(s.recordsRead) + "/" +
                    std::to_string(s.recordsWritten) + " " + std::to_string(s.seconds) + "s");
  }
  void Failed(const RunFailure& f) override {
    std::string call = "fail " + std::to_string(ErrorNumber(f.code));
    if (f.stage == FailureStage::kParameters) {
      call += " at line " + std::to_string(f.line) + (f.what.path.empty() ? "" : " of " + f.what.path) +
              (f.statement.empty() ? "" : ": " + f.statement);
    } else if (f.stage == FailureStage::kFileModeOutput) {
      call += " opening " + f.what.path;
    } else {
      call += " in " + f.fileName + " after " + std::to_string(f.records);
    }
    calls.push_back(call);
  }
  void Stopped(const RunStop& stop) override {
    calls.push_back("stop " + std::to_string(stop.signal) + " in " + std::string(stop.fileName) +
                    " after " + std::to_string(stop.records));
  }
  std::vector<std::string> calls;
  std::vector<int64_t> sizes;  // of each file started
};

// A file that yields its bytes, then fails, like a disk that goes away.
class FailingFile : public File {
 public:
  explicit FailingFile(std::string data) : data_(std::move(data)) {}
  long long Read(char* buffer, size_t size) override {
    if (read_) return -1;
    read_ = true;
    std::memcpy(buffer, data_.data(), std::min(size, data_.size()));
    return static_cast<long long>(std::min(size, data_.size()));
  }
  bool Write(const char*, size_t) override { return false; }
  bool Truncate() override { return false; }
  FileId Id() const override { return FileId{9, 9}; }
  bool Close() override { return true; }

 private:
  std::string data_;
  bool read_ = false;
};

// Finds one file under two spellings, as a real file system does: "./x" is
// "x", and names under "out/" are looked up case-blind. The file `failing`
// fails after its first bytes.
class OddPlatform : public FakePlatform {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode, std::string& reason) override {
    if (path == failing) return std::make_unique<FailingFile>(GetFile(path));
    return FakePlatform::Open(Resolve(path), mode, reason);
  }
  bool GetFileId(const std::string& path, FileId& id) override {
    return FakePlatform::GetFileId(Resolve(path), id);
  }
  std::string failing;

 private:
  static std::string Resolve(std::string path) {
    if (path.rfind("./", 0) == 0) path.erase(0, 2);
    if (path.rfind("out/", 0) == 0) {
      for (char& c : path) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    }
    return path;
  }
};

struct Faults {
  const char* unopenable;  // a path OpenFile refuses, or null
  int failWriteAt;
  bool failClose;
  long long clockStep;
};

struct Scenario {
  const char* name;
  std::vector<std::pair<std::string, std::string>> files;  // a path ending in "/" is a directory
  const char* parameters;                                  // null: no parameter file
  Faults faults;
  std::vector<std::string> calls;
  std::vector<std::pair<const char*, const char*>> after;  // bytes; null: the file must not exist
};

void Check(const Scenario& s, FakePlatform& fake) {
  for (const auto& [path, content] : s.files) {
    if (path.back() == '/') {
      fake.AddDirectory(path.substr(0, path.size() - 1));
    } else {
      fake.SetFile(path, content);
    }
  }
  if (s.parameters != nullptr) fake.SetFile("job/p.txt", s.parameters);
  if (s.faults.unopenable != nullptr) fake.unopenable.insert(s.faults.unopenable);
  fake.failWriteAt = s.faults.failWriteAt;
  fake.failClose = s.faults.failClose;
  fake.clockStep = s.faults.clockStep;
  Recorder recorder;
  RunRequest request;
  request.parameterFile = "job/p.txt";
  const int status = RunConversion(request, fake, recorder);
  EXPECT_EQ(recorder.calls, s.calls) << s.name;
  const bool failed = !recorder.calls.empty() && recorder.calls.back().rfind("fail", 0) == 0;
  EXPECT_EQ(status, failed ? 1 : 0) << s.name;
  for (const auto& [path, content] : s.after) {
    EXPECT_EQ(fake.HasFile(path), content != nullptr) << s.name << ": " << path;
    if (content != nullptr) {
      EXPECT_EQ(fake.GetFile(path), content) << s.name << ": " << path;
    }
  }
}

TEST(RunTest, ParameterErrorsComeBeforeAnythingIsOpened) {
  const Scenario scenarios[] = {
      {"no parameter file", {}, nullptr, {}, {"fail 90 at line 0 of job/p.txt"}, {}},
      {"no OUT: the last line", {}, "INP = a.txt\n; done\n\n", {}, {"fail 15 at line 3"}, {}},
      {"no INP", {}, "OUT = o.txt\n", {}, {"fail 15 at line 1"}, {{"o.txt", nullptr}}},
      {"empty file", {}, "", {}, {"fail 15 at line 0"}, {}},
      {"same file, other case", {}, "INP = Data.TXT\nOUT = data.txt\n", {}, {"fail 15 at line 2"},
       {{"data.txt", nullptr}}},
      {"same file, full-width letters", {}, "INP = \x82\x81.txt\nOUT = \x82\x60.TXT\n", {},
       {"fail 15 at line 2"}, {}},
      // A statement error comes first, even with INP still missing.
      {"bad line 7", {}, "\n;\n\n\n\nOUT = o.txt\nFUNCTION = SORT\nINP = a.txt\n", {},
       {"fail 12 at line 7: FUNCTION = SORT"}, {{"o.txt", nullptr}}},
  };
  for (const Scenario& s : scenarios) {
    FakePlatform fake;
    Check(s, fake);
  }
}

TEST(RunTest, FileMode) {
  const Scenario scenarios[] = {
      {"nothing matches: the output is still emptied, 92 names the pattern upper-cased",
       {{"o.txt", "old\r\n"}}, "INP = no*.txt\nOUT = o.txt\n", {}, {"fail 92 in NO*.TXT after 0"},
       {{"o.txt", ""}}},
      {"upper-casing the pattern leaves trail bytes alone", {}, "INP = \x83\x61*.txt\nOUT = o.txt\n",
       {}, {"fail 92 in \x83\x61*.TXT after 0"}, {}},
      {"ADD appends", {{"o.txt", "old\r\n"}, {"a.txt", "new"}}, "INP = a.txt\nADD = o.txt\n", {},
       {"start a.txt #1", "done a.txt 1/1 0s"}, {{"o.txt", "old\r\nnew\r\n"}}},
      {"only directories match: no error, no calls", {{"in/d.txt/", ""}},
       "INP = in/*.txt\nOUT = o.dat\n", {}, {}, {{"o.dat", ""}}},
      {"one summary per file in the order found, directories skipped",
       {{"in/a.txt", "1\n2\n3\n"}, {"in/B.TXT", "\x95\x5C\r\n"}, {"in/A.txt/", ""}},
       "INP = in/*.TXT\nOUT = o.txt\n", {},
       {"start in/a.txt #1", "done a.txt 3/3 0s", "start in/B.TXT #2", "done B.TXT 1/1 0s"},
       {{"o.txt", "1\r\n2\r\n3\r\n\x95\x5C\r\n"}}},
      {"seconds between the clock readings", {{"a.txt", "x\n"}}, "INP = a.txt\nOUT = o.txt\n",
       {nullptr, 0, false, 61}, {"start a.txt #1", "done a.txt 1/1 61s"}, {}},
      {"the open output is never read as input", {{"A.TXT", "a\n"}, {"B.TXT", "b\n"}},
       "INP = *.TXT\nOUT = ALL.TXT\n", {},
       {"start A.TXT #1", "done A.TXT 1/1 0s", "start ALL.TXT #2", "fail 92 in *.TXT after 0"},
       {{"ALL.TXT", "a\r\n"}}},
      // Files the run reads are never emptied: found before the output is.
      {"an existing output among the inputs", {{"A.TXT", "a\n"}, {"ALL.TXT", "old\r\n"}},
       "INP = *.TXT\nOUT = ALL.TXT\n", {}, {"fail 92 in *.TXT after 0"},
       {{"ALL.TXT", "old\r\n"}}},
      {"ADD to an existing input", {{"A.TXT", "a\n"}, {"ALL.TXT", "old\r\n"}},
       "INP = *.TXT\nADD = ALL.TXT\n", {}, {"fail 92 in *.TXT after 0"},
       {{"ALL.TXT", "old\r\n"}}},
      {"the parameter file as output", {{"a.txt", "a\n"}}, "INP = a.txt\nOUT = job/p.txt\n", {},
       {"fail 91 opening job/p.txt"}, {{"job/p.txt", "INP = a.txt\nOUT = job/p.txt\n"}}},
      {"an input that cannot be opened stops the run",
       {{"a.txt", "x\n"}, {"b.txt", "y\n"}, {"c.txt", "z\n"}}, "INP = ?.txt\nOUT = o.dat\n",
       {"b.txt", 0, false, 0},
       {"start a.txt #1", "done a.txt 1/1 0s", "start b.txt #2", "fail 92 in ?.TXT after 0"},
       {{"o.dat", "x\r\n"}}},
      {"an output that cannot be opened comes before any input", {{"a.txt", "x\n"}},
       "INP = a.txt\nOUT = o.txt\n", {"o.txt", 0, false, 0}, {"fail 91 opening o.txt"}, {}},
      {"a failed store is charged to the file it came from", {{"a.txt", "x\n"}, {"b.txt", "y\n"}},
       "INP = ?.txt\nOUT = o.txt\n", {nullptr, 1, false, 0},
       {"start a.txt #1", "fail 91 in a.txt after 1"}, {}},
      {"a failed final close follows the summaries", {{"a.txt", "x\n"}},
       "INP = a.txt\nOUT = o.txt\n", {nullptr, 0, true, 0},
       {"start a.txt #1", "done a.txt 1/1 0s", "fail 91 opening o.txt"}, {}},
  };
  for (const Scenario& s : scenarios) {
    FakePlatform fake;
    Check(s, fake);
  }
}

TEST(RunTest, FolderMode) {
  const Scenario scenarios[] = {
      {"one output per input, an old one emptied",
       {{"in/a.txt", "1\n2"}, {"in/b.txt", "3\n"}, {"out/b.txt", "old\r\n"}},
       "INP = in/*.txt\nOUT = out/\n", {},
       {"start in/a.txt #1", "done a.txt 2/2 0s", "start in/b.txt #2", "done b.txt 1/1 0s"},
       {{"out/a.txt", "1\r\n2\r\n"}, {"out/b.txt", "3\r\n"}}},
      {"a backslash, and ADD", {{"in/a.txt", "new\n"}, {"out\\a.txt", "old\r\n"}},
       "INP = in/a.txt\nADD = out\\\n", {}, {"start in/a.txt #1", "done a.txt 1/1 0s"},
       {{"out\\a.txt", "old\r\nnew\r\n"}}},
      {"never empties its own input", {{"in/a.txt", "keep me\n"}}, "INP = in/*.txt\nOUT = in/\n",
       {}, {"start in/a.txt #1", "fail 91 in a.txt after 0"}, {{"in/a.txt", "keep me\n"}}},
      {"the parameter file as an output", {{"in/p.txt", "x\n"}}, "INP = in/p.txt\nOUT = job/\n",
       {}, {"start in/p.txt #1", "fail 91 in p.txt after 0"},
       {{"job/p.txt", "INP = in/p.txt\nOUT = job/\n"}}},
      {"an output that cannot be opened names the input", {{"in/a.txt", "x\n"}},
       "INP = in/a.txt\nOUT = out/\n", {"out/a.txt", 0, false, 0},
       {"start in/a.txt #1", "fail 91 in a.txt after 0"}, {}},
      {"the output of an input that cannot be opened is already emptied",
       {{"in/a.txt", "x\n"}, {"in/b.txt", "y\n"}, {"out/b.txt", "old"}},
       "INP = in/*.txt\nOUT = out/\n", {"in/b.txt", 0, false, 0},
       {"start in/a.txt #1", "done a.txt 1/1 0s", "start in/b.txt #2",
        "fail 92 in IN/*.TXT after 0"},
       {{"out/a.txt", "x\r\n"}, {"out/b.txt", ""}}},
      {"a failed store names the file", {{"in/a.txt", "x\ny\n"}}, "INP = in/a.txt\nOUT = out/\n",
       {nullptr, 1, false, 0}, {"start in/a.txt #1", "fail 91 in a.txt after 2"}, {}},
      {"a failed close names the file", {{"in/a.txt", "x\ny\n"}, {"in/b.txt", "z\n"}},
       "INP = in/*.txt\nOUT = out/\n", {nullptr, 0, true, 0},
       {"start in/a.txt #1", "fail 91 in a.txt after 2"}, {{"out/b.txt", nullptr}}},
  };
  for (const Scenario& s : scenarios) {
    FakePlatform fake;
    Check(s, fake);
  }
}

TEST(RunTest, OneFileUnderTwoSpellings) {
  const Scenario scenarios[] = {
      // Refused before anything is opened...
      {"OUT names INP", {{"d?/a.txt", "keep\n"}}, "INP = d?/a.txt\nOUT = ./d?/a.txt\n", {},
       {"fail 15 at line 2"}, {{"d?/a.txt", "keep\n"}}},
      // ...and with wildcards ("?" in a folder name is a letter) the output
      // is found among the inputs before it is emptied: the run reaching its
      // own output, refused with nothing opened.
      {"INP with wildcards", {{"d?/a.txt", "keep\n"}}, "INP = d?/a*.txt\nOUT = ./d?/a.txt\n", {},
       {"fail 92 in D?/A*.TXT after 0"}, {{"d?/a.txt", "keep\n"}}},
      {"folder mode checks each file", {{"d?/a.txt", "keep\n"}}, "INP = d?/a.txt\nOUT = ./d?/\n",
       {}, {"start d?/a.txt #1", "fail 91 in a.txt after 0"}, {{"d?/a.txt", "keep\n"}}},
      // Emptying it again would lose the first one's lines.
      {"two inputs find one output", {{"in/A.txt", "1\n"}, {"in/a.txt", "2\n"}},
       "INP = in/*.txt\nOUT = out/\n", {},
       {"start in/A.txt #1", "done A.txt 1/1 0s", "start in/a.txt #2", "fail 91 in a.txt after 0"},
       {{"out/a.txt", "1\r\n"}}},
  };
  for (const Scenario& s : scenarios) {
    OddPlatform fake;
    Check(s, fake);
  }
}

TEST(RunTest, FilesThatFailHalfWay) {
  OddPlatform parameters;
  parameters.failing = "job/p.txt";
  Check({"parameter file", {{"job/p.txt", "INP = a.txt\nOUT = o.txt\n"}}, nullptr, {},
         {"fail 90 at line 2 of job/p.txt"}, {{"o.txt", nullptr}}},
        parameters);
  OddPlatform input;
  input.failing = "a.txt";
  Check({"input", {{"a.txt", "a\nb"}}, "INP = a.txt\nOUT = o.txt\n", {},
         {"start a.txt #1", "fail 92 in A.TXT after 0"}, {{"o.txt", "a\r\nb\r\n"}}},
        input);

  // A check reads on after errors and collects them all; a run stops at the first.
  parameters.SetFile("job/p.txt", "INP = a.txt\nFUNCTION = SORT\nOUT = o.txt\nXYZ = 1\n");
  JobReader checked;
  std::vector<StatementError> errors;
  const StatementError first =
      ReadParameterFile(parameters, "job/p.txt", ParamEncoding::kAuto, checked, &errors).first;
  EXPECT_EQ(first.code, ErrorCode::kBadStatement);
  EXPECT_EQ(first.line, 2);
  ASSERT_EQ(errors.size(), 3u);
  EXPECT_EQ(errors[1].line, 4);
  EXPECT_EQ(errors[2].code, ErrorCode::kParameterFileFailed);  // the read failure at the end
  EXPECT_EQ(errors[2].line, 4);
  JobReader run;
  EXPECT_EQ(ReadParameterFile(parameters, "job/p.txt", ParamEncoding::kAuto, run).first.line, 2);
  EXPECT_EQ(run.LinesRead(), 2);
}

// A folder-mode output that is, through a link, another input of the run.
class LinkPlatform : public FakePlatform {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode, std::string& reason) override {
    return FakePlatform::Open(path == "out/a.txt" ? "in/b.txt" : path, mode, reason);
  }
};

TEST(RunTest, AFolderModeOutputThatIsAnotherInputIsRefusedBeforeItIsEmptied) {
  LinkPlatform fake;
  Check({"out/a.txt is in/b.txt", {{"in/a.txt", "a\n"}, {"in/b.txt", "keep\n"}},
         "INP = in/*.txt\nOUT = out/\n", {}, {"start in/a.txt #1", "fail 91 in a.txt after 0"},
         {{"in/b.txt", "keep\n"}}},
        fake);
}

// A stop signal arriving while the input is read: the run ends at a record
// boundary, with every record before it written whole, and the status 128 +
// the signal. On one thread, on four, and in the plain copy of large files.
TEST(RunTest, AStopSignalEndsTheRunAfterWholeRecords) {
  std::string input;
  for (int i = 0; i < 150000; ++i) input += "record " + std::to_string(100000 + i) + "\r\n";
  for (const char* type : {"COPY", "EDIT"}) {
    for (const int jobs : {1, 4}) {
      FakePlatform fake;
      const std::string edit = std::string(type) == "EDIT" ? "EDT = 1,13,A,=,1,13,A\n" : "";
      fake.SetFile("job/p.txt", "INP = in.txt\nOUT = o.txt\nFUNCTION = " + std::string(type) +
                                    "\n" + edit);
      fake.SetFile("in.txt", input);
      fake.stopAtRead = 5;  // the parameter file takes two reads, the input the rest
      Recorder recorder;
      RunRequest request;
      request.parameterFile = "job/p.txt";
      request.jobs = jobs;
      request.blockSize = 100000;
      EXPECT_EQ(RunConversion(request, fake, recorder), 128 + 15) << type << jobs;
      ASSERT_EQ(recorder.calls.size(), 2u) << type << jobs;
      EXPECT_EQ(recorder.calls[0], "start in.txt #1");
      const std::string& stop = recorder.calls[1];
      ASSERT_EQ(stop.rfind("stop 15 in in.txt after ", 0), 0u) << stop;
      const size_t records = std::stoul(stop.substr(stop.rfind(' ') + 1));
      EXPECT_GT(records, 0u) << type << jobs;
      EXPECT_LT(records, 150000u) << type << jobs;
      EXPECT_EQ(fake.GetFile("o.txt"), input.substr(0, records * 15)) << type << jobs;
    }
  }
}

TEST(RunTest, AStopSignalAtTheEndOfAFileOrBeforeTheFirst) {
  FakePlatform fake;
  fake.SetFile("job/p.txt", "INP = *.txt\nOUT = o.dat\n");
  fake.SetFile("a.txt", "a\n");
  fake.SetFile("b.txt", "b\n");
  fake.stopAtRead = 4;  // the last read of a.txt, which finds its end
  Recorder recorder;
  RunRequest request;
  request.parameterFile = "job/p.txt";
  EXPECT_EQ(RunConversion(request, fake, recorder), 143);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start a.txt #1", "stop 15 in a.txt after 1"}));
  EXPECT_EQ(fake.GetFile("o.dat"), "a\r\n");
  FakePlatform early;
  early.SetFile("job/p.txt", "INP = *.txt\nOUT = o.dat\n");
  early.SetFile("a.txt", "a\n");
  early.stopSignal = 2;
  Recorder before;
  EXPECT_EQ(RunConversion(request, early, before), 130);
  EXPECT_EQ(before.calls, (std::vector<std::string>{"stop 2 in  after 0"}));
}

// Standard input as the input file: its size is known when it starts (the
// progress line's percentage), as a named file's is.
TEST(RunTest, StandardInputIsOneFileOfKnownSize) {
  FakePlatform fake;
  fake.SetFile("job/p.txt", "OUT = o.txt\n");
  fake.standardInput = "ab\r\n\x95\x5C\n";
  Recorder recorder;
  RunRequest request;
  request.parameterFile = "job/p.txt";
  request.overrides.input = true;
  request.overrides.inputPath = "-";
  EXPECT_EQ(RunConversion(request, fake, recorder), 0);
  EXPECT_EQ(recorder.calls, (std::vector<std::string>{"start - #1", "done - 2/2 0s"}));
  EXPECT_EQ(recorder.sizes, std::vector<int64_t>{7});
  EXPECT_EQ(fake.GetFile("o.txt"), "ab\r\n\x95\x5C\r\n");
}

}  // namespace
