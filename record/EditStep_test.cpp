// EDIT: building a line from the edit definitions.
#include "record/EditStep.h"

#include <gtest/gtest.h>

#include "record/RecordTesting.h"

namespace {

// The edit statements (with their keywords) under options, on lines 3 ...
RecordBench Edit(const std::vector<std::string>& statements, const char* options = "") {
  return RecordBench(JobLines("EDIT", options, statements));
}

TEST(EditRecord, Lines) {
  struct Case {
    std::vector<std::string> statements;
    const char* options;
    std::string record, line;  // the line without its line feed
  } const cases[] = {
      // Values at their positions with blank gaps; later fields overlay
      // earlier ones, and the line ends with the furthest field.
      {{"EDT=1,3,A,=,\"ABC\"", "EDT=6,2,A,=,\"XY\""}, "", "anything", "ABC  XY"},
      {{"EDT=1,6,A,=,\"AAAAAA\"", "EDT=3,2,A,=,\"bb\"", "EDT=2,1,A,=,\"c\""}, "", "x", "AcbbAA"},
      // Input fields are padded, and justified by their own type.
      {{"EDT=1,5,A,=,2,3,A", "EDT=6,4,A,=,1,2,A"}, "", "abcdef", "bcd  ab  "},
      {{"EDT=1,4,A,=,1,6,AT", "EDT=5,1,A,=,\"|\""}, "", "\x81\x40\x95\x5C\x81\x40", "\x95\x5C  |"},
      // Numbers: tested and formatted, or read as far as they go under option N.
      {{"EDT=1,8,N.2,=,1,5,N"}, "", " 12.5", "   12.50"},
      {{"EDT=1,8,N.2,=,1,5,N"}, "N", "12a45", "   12.00"},
      // Constants take their values for the record; a counter is not tested.
      {{"EDT=1,6,A,=,[FILE]", "EDT=7,3,N0,=,[OUT_LINE]", "EDT=10,3,N,=,[IN_LINE]"}, "", "x",
       "in.txt003  5"},
      // WID: a number gets half the width, then doubles; a text is padded with full-width blanks.
      {{"WID=1,10,N,=,1,9,N"}, "", "1234.5678", "\x81\x40\x82\x50\x82\x51\x82\x52\x82\x54"},
      {{"WID=1,6,A,=,\"a\""}, "T", "x", "\x82\x81\x81\x40\x81\x40"},  // T keeps full-width blanks
      // Option T removes blanks at the end, not the second byte 0x5C.
      {{"EDT=1,5,A,=,\"ab\""}, "T", "x", "ab"},
      {{"EDT=1,2,A,=,\"ab\"", "EDT=5,3,A,=,1,3,A"}, "T", "\x95\x5C ", "ab  \x95\x5C"},
      // Option S: the part of a field within the record, or nothing.
      {{"EDT=1,10,A,=,1,10,A"}, "S", "abcde", "abcde     "},
      {{"EDT=1,2,A,=,7,2,A", "EDT=3,1,A,=,\"|\""}, "S", "abc", "  |"},
      {{"EDT=1,1,A,=,\"x\" @ 10,1,A,=,\"y\""}, "S", "short", ""},
      // Conditions see the input record, not the line being built, and
      // search on character starts (0x83 0x41 holds no "A").
      {{"EDT=1,1,A,=,\"z\"", "EDT=2,1,A,=,\"q\" @ 1,1,A,=,\"a\" & \"b\""}, "", "ab", "zq"},
      {{"EDT=1,1,A,=,\"z\"", "EDT=2,1,A,=,\"q\" @ 1,1,A,=,\"a\" & \"b\""}, "", "ac", "z"},
      {{"EDT=1,3,A,=,\"hit\" @ \"A\""}, "", "\x83\x41", ""},
      {{"EDT=1,3,A,=,\"hit\" @ \"A\""}, "", "\x83\x41" "A", "hit"},
  };
  for (const Case& c : cases) {
    RecordBench bench = Edit(c.statements, c.options);
    bench.context.inCount = 5;
    bench.context.outCount = 3;
    EXPECT_EQ(bench.Run(EditRecord, c.record), c.line + "\n") << c.statements[0] << " / "
                                                                << c.record;
    EXPECT_EQ(bench.Error(), "");
  }
}

TEST(EditRecord, ErrorsStopTheRecordAndNameTheDefinition) {
  const std::pair<std::vector<std::string>, const char*> cases[] = {
      // The third definition (26) is not reached.
      {{"EDT=1,1,A,=,\"x\"", "EDT=2,1,A,=,6,1,A", "EDT=3,1,N,=,\"x\""}, "error 20 at line 4"},
      {{"EDT=1,1,A,=,\"x\"", "EDT=2,1,A,=,\"y\" @ 10,1,A,=,\"y\""}, "error 20 at line 4"},
      {{"EDT=1,2,A,=,\"abc\""}, "error 21 at line 3"},
      {{"EDT=9,1,A,=,\"x\"", "EDT=1,1,N,=,1,2,N"}, "error 21 at line 4"},  // wider than its field
      {{"WID=1,5,A,=,\"a\""}, "error 21 at line 3"},  // full-width text cannot fill an odd length
      {{"EDT=1,8,N.2,=,1,5,N"}, "error 26 at line 3"},
      {{"EDT=1,5,N,=,\"abc\""}, "error 26 at line 3"},  // a quoted text under N is tested
  };
  for (const auto& [statements, error] : cases) {
    RecordBench bench = Edit(statements);
    EXPECT_EQ(bench.Run(EditRecord, "12a45"), "") << statements.back();
    EXPECT_EQ(bench.Error(), error) << statements.back();
  }
}

TEST(EditRecord, EachRecordStartsFromABlankLine) {
  RecordBench bench = Edit({"EDT=10,1,A,=,\"|\"", "EDT=1,3,A,=,\"XYZ\" @ 1,1,A,=,\"x\""});
  EXPECT_EQ(bench.Run(EditRecord, "x"), "XYZ      |\n");
  EXPECT_EQ(bench.Run(EditRecord, "y"), "         |\n");

  // Fields beyond the usual 100,000-byte line make the line longer; the
  // next record starts from a clean line again.
  RecordBench far = Edit({"EDT=99999,5,A,=,\"abcde\" @ 1,1,A,=,\"x\"",
                          "EDT=100005,2,A,=,\"yz\" @ 1,1,A,=,\"x\"", "EDT=1,1,A,=,\"<\""});
  const std::string expected = "<" + std::string(99997, ' ') + "abcde yz\n";
  EXPECT_EQ(far.Run(EditRecord, "x"), expected);
  EXPECT_EQ(far.Run(EditRecord, "y"), "<\n");
  EXPECT_EQ(far.Run(EditRecord, "x"), expected);
}

}  // namespace
