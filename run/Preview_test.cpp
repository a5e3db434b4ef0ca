// The preview on the in-memory platform: what it reports of each record
// (the marks of what each statement read and wrote, the result, a record
// error), that it opens no output, and how it fails on a parameter file or
// an input it cannot read.
#include "run/Preview.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FakePlatform.h"

namespace {

const std::string kA = "\x83\x41";    // katakana "a": its second byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table": its second byte is "\"

// "4 SEL 1+2 3+1": a row of marks, positions counted from 1.
std::string Show(const std::vector<StatementMarks>& rows) {
  std::string text;
  for (const StatementMarks& row : rows) {
    if (!text.empty()) text += "; ";
    text += std::to_string(row.line) + " " + std::string(row.what);
    for (const ByteRange& range : row.ranges) {
      text += " " + std::to_string(range.start + 1) + "+" + std::to_string(range.length);
    }
  }
  return text;
}

// Each report as one line: "in.txt #1 selected | reads | output | writes",
// or "... error 20 at 5" for a record error.
class Recorder : public PreviewObserver {
 public:
  void RecordPreviewed(const PreviewRecord& r) override {
    std::string line = std::string(r.fileName) + " #" + std::to_string(r.number) + " " +
                       std::string(r.bytes);
    if (r.job != nullptr) {
      line += r.explanation.selected ? " selected" : " not selected";
      line += " | " + Show(r.reads);
    }
    if (r.error != ErrorCode::kNone) {
      line += " | error " + std::to_string(ErrorNumber(r.error)) + " at " +
              std::to_string(r.errorLine) + ": " + std::string(r.errorStatement);
    }
    if (r.converted) line += " | " + std::string(r.output) + " | " + Show(r.writes);
    for (const CsvField& field : r.fields) line += " | " + field.header + "=" + field.value;
    calls.push_back(line);
  }
  void InputEnded(std::string_view fileName, int64_t shown) override {
    calls.push_back("end " + std::string(fileName) + " " + std::to_string(shown));
  }
  void Failed(const RunFailure& f) override {
    calls.push_back("fail " + std::to_string(ErrorNumber(f.code)) + " line " +
                    std::to_string(f.line) + " " + f.fileName + ": " + f.what.action + " " +
                    f.what.path + (f.what.reason.empty() ? "" : ": " + f.what.reason));
  }
  std::vector<std::string> calls;
};

struct PreviewBench {
  int Run(int64_t records = 5) {
    request.records = records;
    return RunPreview(request, fake, recorder);
  }
  void Job(const std::string& statements, const std::string& input) {
    fake.SetFile("p.txt", "INP = in.txt\nOUT = out.txt\n" + statements);
    fake.SetFile("in.txt", input);
    request.parameterFile = "p.txt";
  }
  FakePlatform fake;
  PreviewRequest request;
  Recorder recorder;
};

TEST(Preview, EditRecordsWithTheirMarksAndNoOutputFile) {
  PreviewBench bench;
  bench.Job("FUNCTION = EDIT\nSEL = 1,1,A,<>,\"#\"\nEDT = 1,4,A,=,3,4,A\n"
            "UPP = 6,2,A,=,\"ok\" @ \"A\"\nEDT = 9,2,A,=,9,2,A\n",
            "1x" + kA + kHyo + "aAzz\n#\n12" + kHyo + kA + "\nabcdef\n");
  EXPECT_EQ(bench.Run(3), 0);
  EXPECT_EQ(bench.recorder.calls,
            (std::vector<std::string>{
                // "A" is found after the katakana whose second byte is "A".
                "in.txt #1 1x" + kA + kHyo + "aAzz selected | 4 SEL 1+1; 5 EDT 3+4; 6 @ 8+1; "
                "7 EDT 9+2 | " + kA + kHyo + " OK zz | 5 EDT 1+4; 6 UPP 6+2; 7 EDT 9+2",
                "in.txt #2 # not selected | 4 SEL 1+1",
                // The "@" condition finds no "A" (only second bytes); line 7
                // reads beyond the record: 20, and the preview goes on.
                "in.txt #3 12" + kHyo + kA + " selected | 4 SEL 1+1; 5 EDT 3+4; 6 @; 7 EDT 9+2"
                " | error 20 at 7: EDT = 9,2,A,=,9,2,A",
                "end in.txt 3",
            }));
  EXPECT_FALSE(bench.fake.HasFile("out.txt"));
}

TEST(Preview, ChangeMarksWhatTheReplacementsLeft) {
  PreviewBench bench;
  bench.Job("FUNCTION = CHANGE\nEDT = \"A\",\"aaa\"\nEDT = \"\\\",\"/\"\nEDT = \"aa\",\"Z\"\n",
            kA + "A" + kHyo + "\\A\n");
  EXPECT_EQ(bench.Run(), 0);
  // "aaa" (line 4) became "Za" (line 6 took the first two bytes).
  EXPECT_EQ(bench.recorder.calls[0],
            "in.txt #1 " + kA + "A" + kHyo + "\\A selected |  | " + kA + "Za" + kHyo +
                "/Za | 4 EDT 4+1 9+1; 5 EDT 7+1; 6 EDT 3+1 8+1");
}

TEST(Preview, CsvValuesWithTheirHeaders) {
  PreviewBench bench;
  bench.Job("FUNCTION = CSV\nOPT = -H\nEDT = 1,3,AT,\"Code\"\nEDT = [FILE],[FILE]\n"
            "EDT = 4,2,N,\"Sum\"\n",
            " a 12\nbbbxx\n");
  EXPECT_EQ(bench.Run(), 0);
  EXPECT_EQ(bench.recorder.calls,
            (std::vector<std::string>{
                "in.txt #1  a 12 selected | 5 EDT 1+3; 7 EDT 4+2 | a\tin.txt\t12.000000 | "
                " | Code=a | in.txt=in.txt | Sum=12.000000",
                "in.txt #2 bbbxx selected | 5 EDT 1+3; 7 EDT 4+2"
                " | error 26 at 7: EDT = 4,2,N,\"Sum\"",
                "end in.txt 2",
            }));
}

TEST(Preview, WithoutAParameterFileTheRecordsAlone) {
  PreviewBench bench;
  bench.fake.SetFile("data/x.txt", "one\r\ntwo\nthree");
  bench.request.overrides.input = true;
  bench.request.overrides.inputPath = "data/*.txt";
  EXPECT_EQ(bench.Run(2), 0);
  EXPECT_EQ(bench.recorder.calls,
            (std::vector<std::string>{"x.txt #1 one", "x.txt #2 two", "end x.txt 2"}));

  PreviewBench standard;
  standard.fake.standardInput = "";
  standard.request.overrides.input = true;
  standard.request.overrides.inputPath = "-";
  EXPECT_EQ(standard.Run(), 0);
  EXPECT_EQ(standard.recorder.calls, (std::vector<std::string>{"end - 0"}));
}

TEST(Preview, FailsOnlyWhenTheParameterFileOrTheInputCannotBeRead) {
  PreviewBench noFile;
  noFile.request.parameterFile = "missing.txt";
  EXPECT_EQ(noFile.Run(), 1);
  EXPECT_EQ(noFile.recorder.calls,
            (std::vector<std::string>{"fail 90 line 0 : cannot open the parameter file "
                                      "missing.txt: No such file or directory"}));

  PreviewBench statement;
  statement.Job("FUNCTION = EDIT\nEDT = 1,x,A,=,1,1,A\n", "a\n");
  EXPECT_EQ(statement.Run(), 1);
  ASSERT_EQ(statement.recorder.calls.size(), 1u);
  EXPECT_EQ(statement.recorder.calls[0].substr(0, 17), "fail 14 line 4 : ");

  PreviewBench noInput;
  noInput.Job("", "");
  noInput.fake.SetFile("p.txt", "INP = in/*.dat\nOUT = out.txt\n");
  EXPECT_EQ(noInput.Run(), 1);
  EXPECT_EQ(noInput.recorder.calls,
            (std::vector<std::string>{"fail 92 line 0 IN/*.DAT: no file matches in/*.dat"}));

  PreviewBench locked;
  locked.Job("", "a\n");
  locked.fake.unopenable.insert("in.txt");
  EXPECT_EQ(locked.Run(), 1);
  ASSERT_EQ(locked.recorder.calls.size(), 1u);
  EXPECT_EQ(locked.recorder.calls[0].substr(0, 47),
            "fail 92 line 0 IN.TXT: cannot open input in.txt");
}

TEST(Preview, ReplacementsFollowedThroughLaterOnes) {
  // A 6-byte record; line 3 replaces bytes 2-3 by 4 bytes, then line 4
  // replaces 2 bytes inside those by 1 and the last byte by 3.
  RecordTrace trace;
  trace.replacements = {{3, ByteRange{1, 4}, 2}, {4, ByteRange{2, 1}, 2}, {4, ByteRange{6, 3}, 1}};
  // Line 3's bytes are now 2 and 4; line 4's 3 and 7-9 of a 9-byte line.
  EXPECT_EQ(Show(MarkReplacements(trace, 6, 9)), "3 EDT 2+1 4+1; 4 EDT 3+1 7+3");
  // The line cut shorter (option T) keeps only the marks within it.
  EXPECT_EQ(Show(MarkReplacements(trace, 6, 7)), "3 EDT 2+1 4+1; 4 EDT 3+1 7+1");
}

}  // namespace
