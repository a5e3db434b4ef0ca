// CSV: one tab-separated line per record, with a header line per input file.
#include "record/CsvStep.h"

#include <gtest/gtest.h>

#include "record/RecordStep.h"
#include "record/RecordTesting.h"

namespace {

// The edit statements (with their keywords) under options; they sit on lines 3 ...
RecordBench Csv(const std::vector<std::string>& statements, const char* options = "") {
  return RecordBench(JobLines("CSV", options, statements));
}

TEST(CsvRecord, Values) {
  struct Case {
    std::vector<std::string> statements;
    const char* options;
    std::string record, out;  // the out line without its line feed
  } const cases[] = {
      {{"EDT=1,3,A", "EDT=5,2,A"}, "", "abc de", "abc\tde"},
      {{"EDT=\"a\tb\"", "EDT=1,1,A"}, "", "z", "a\tb\tz"},  // written as it is
      {{"EDT=\"\"", "EDT=\"x\""}, "", "z", "\tx"},
      {{}, "", "z", ""},
      // Numbers: tested and written with six decimals, or read as far as they go.
      {{"EDT=1,5,N", "EDT=6,5,N", "EDT=11,5,N"}, "", " 12.5-5        ",
       "12.500000\t-5.000000\t0.000000"},
      {{"EDT=1,5,N", "EDT=6,5,N"}, "N", "12a45abc  ", "12.000000\t0.000000"},
      // The counters are whole numbers; a quoted number stays a text.
      {{"EDT=[IN_LINE]", "EDT=[OUT_LINE]", "EDT=\"1.5\"", "EDT=[FILE]"}, "", "z",
       "42\t7\t1.5\tin.txt"},
      // Justification and conversions; 0x95 0x5C and 0x83 0x41 stay whole.
      {{"EDT=1,6,AL", "EDT=1,6,AR"}, "", " ab c ", "ab c \t ab c"},
      {{"EDT=1,8,AT"}, "", "\x81\x40\x95\x5C\x83\x41\x81\x40", "\x95\x5C\x83\x41"},
      {{"UPP=\"abc\"", "WID=1,2,A", "NAR=\"\x82\x60\x82\x61\"", "LOW=1,2,A"}, "", "Ab",
       "ABC\t\x82\x60\x82\x82\tAB\tab"},
      // Option S: the part of a field within the record, or nothing.
      {{"EDT=1,10,A"}, "S", "abcde", "abcde"},
      {{"EDT=1,1,A", "EDT=7,2,A", "EDT=2,1,A"}, "S", "abc", "a\t\tb"},
  };
  for (const Case& c : cases) {
    RecordBench bench = Csv(c.statements, c.options);
    bench.context.inCount = 42;
    bench.context.outCount = 7;  // not the first line of a file: no header
    EXPECT_EQ(bench.Run(CsvRecord, c.record), c.out + "\n") << c.record;
    EXPECT_EQ(bench.Error(), "");
  }
}

TEST(CsvRecord, HeaderBeforeTheFirstOutputLineOfEachFile) {
  RecordBench bench = Csv({"EDT=1,5,AT,\"Name\"", "EDT=[IN_LINE],\"Line\"", "EDT=[FILE],[FILE]",
                           "EDT=\"v\""}, "H");
  bench.context.inCount = 1;
  bench.context.outCount = 1;
  EXPECT_EQ(bench.Run(CsvRecord, " abc "), "Name\tLine\tin.txt\t\nabc\t1\tin.txt\tv\n");
  bench.context.inCount = 3;
  bench.context.outCount = 2;
  EXPECT_EQ(bench.Run(CsvRecord, "def  "), "def\t3\tin.txt\tv\n");

  RecordBench none = Csv({}, "H");
  none.context.outCount = 1;
  EXPECT_EQ(none.Run(CsvRecord, "z"), "\n\n");
  RecordBench noOption = Csv({"EDT=1,1,A,\"Name\""});
  noOption.context.outCount = 1;
  EXPECT_EQ(noOption.Run(CsvRecord, "z"), "z\n");
}

TEST(CsvRecord, ErrorsNameTheDefinitionAndKeepTheHeader) {
  RecordBench bench = Csv({"EDT=1,3,A,\"Code\"", "EDT=1,5,N,\"Amount\"", "EDT=1,9,A"}, "H");
  EXPECT_EQ(bench.Run(CsvRecord, "ab  x"), "");
  EXPECT_EQ(bench.Error(), "error 26 at line 4");
  EXPECT_EQ(bench.Run(CsvRecord, "12345"), "");
  EXPECT_EQ(bench.Error(), "error 20 at line 5");

  // The first record of a file fails: its header is still there to be written.
  bench.context.outCount = 0;
  EXPECT_EQ(bench.Run(ProcessRecord, "ab  x"), "Code\tAmount\t\n");
  EXPECT_EQ(bench.Error(), "error 26 at line 4");
}

}  // namespace
