// CHANGE: replacing texts in a record, definition after definition.
#include "record/ChangeStep.h"

#include <gtest/gtest.h>

#include "record/RecordTesting.h"

namespace {

// The definitions (EDT values) under options; they sit on lines 3 ...
RecordBench Change(const std::vector<std::string>& definitions, const char* options = "") {
  std::vector<std::string> statements;
  for (const std::string& definition : definitions) statements.push_back("EDT=" + definition);
  return RecordBench(JobLines("CHANGE", options, statements));
}

struct Case {
  std::vector<std::string> definitions;
  const char* options;
  std::string record;
  std::string out;
};

TEST(ChangeRecord, Replacements) {
  const Case cases[] = {
      // Left to right, without overlap, never searching inserted text.
      {{"\"a\",\"b\""}, "", "banana", "bbnbnb\n"},
      {{"\"aa\",\"b\""}, "", "aaa", "ba\n"},
      {{"\"a\",\"aa\""}, "", "aa", "aaaa\n"},
      {{"\"-\",\"\""}, "", "12-34-56", "123456\n"},
      // An empty search text changes nothing.
      {{"\"\",\"x\""}, "", "abc", "abc\n"},
      {{"\"\",\"x\""}, "", "", "\n"},
      // Definitions chain; a condition sees the line as the earlier ones left it.
      {{"\"a\",\"b\"", "\"b\",\"c\""}, "", "ab", "cc\n"},
      {{"\"a\",\"b\"", "\"x\",\"y\" @ \"b\""}, "", "ax", "by\n"},
      {{"\"a\",\"b\"", "\"x\",\"y\" @ \"b\""}, "", "cx", "cx\n"},
      {{"\"a\",\"Z\"", "\"x\",\"y\" @ 1,1,A,=,\"Z\""}, "", "ax", "Zy\n"},
      // Option U: a case-blind search that keeps the record's own letters.
      {{"\"abc\",\"X\""}, "U", "ABC abc Abc", "X X X\n"},
      {{"\"abc\",\"X\""}, "", "ABC abc", "ABC X\n"},
      {{"\"b\",\"-\""}, "U", "aBcb", "a-c-\n"},
      {{"\"\x82\x81\",\"1\""}, "U", "x\x82\x60y\x82\x81", "x1y1\n"},  // full-width a and A
      // Searches start on characters: the second bytes of 0x83 0x41 and 0x95 0x5C are not "A", "\".
      {{"\"A\",\"x\""}, "", "\x83\x41" "A", "\x83\x41" "x\n"},
      {{"\"\\\",\"/\""}, "", "\x95\x5C\\", "\x95\x5C/\n"},
      {{"\"a\",\"x\""}, "U", "\x83\x41" "a", "\x83\x41" "x\n"},
      {{"\"\\\x83\",\"!\""}, "", "\x95\x5C\x83\x41", "\x95\x5C\x83\x41\n"},
      {{"\"\x95\x5C\x8E\xA6\",\"\x83\x41\""}, "", "\x95\x5C\x8E\xA6\x95\x5C", "\x83\x41\x95\x5C\n"},
      // Option T removes blanks and tabs at the end, not a full-width blank.
      {{"\"a\",\"b\""}, "T", "a \t ", "b\n"},
      {{"\"a\",\"b\""}, "T", "a\x81\x40", "b\x81\x40\n"},
  };
  for (const Case& c : cases) {
    RecordBench bench = Change(c.definitions, c.options);
    EXPECT_EQ(bench.Run(ChangeRecord, c.record), c.out) << c.definitions[0] << " / " << c.record;
    EXPECT_EQ(bench.Error(), "");
  }
}

TEST(ChangeRecord, ConstantsTakeTheirValuesForTheRecord) {
  RecordBench bench = Change({"\"#\",[IN_LINE]", "[FILE],\"F\""});
  bench.context.inCount = 12;
  EXPECT_EQ(bench.Run(ChangeRecord, "a#b#;in.txt"), "a12b12;F\n");
  bench.context.inCount = 13;
  EXPECT_EQ(bench.Run(ChangeRecord, "#in.txtin.txt"), "13FF\n");
}

TEST(ChangeRecord, ErrorsStopTheRecordAndNameTheDefinition) {
  RecordBench bench = Change({"\"a\",\"b\"", "\"c\",\"d\" @ 5,1,A,=,\"x\""});
  EXPECT_EQ(bench.Run(ChangeRecord, "abc"), "");
  EXPECT_EQ(bench.Error(), "error 20 at line 4");

  RecordBench lenient = Change({"\"a\",\"b\"", "\"c\",\"d\" @ 5,1,A,=,\"x\""}, "S");
  EXPECT_EQ(lenient.Run(ChangeRecord, "abc"), "bbc\n");
  EXPECT_EQ(lenient.Error(), "");
}

// Each definition works on the result of the one before, so growing
// replacements multiply the line's length: a line may reach 10,000,000
// bytes, and a record that would go beyond stops with 21.
TEST(ChangeRecord, LineGrowthIsBoundedAt10MB) {
  const std::string hundredfold = "\"a\",\"" + std::string(100, 'a') + "\"";
  RecordBench two = Change({hundredfold, hundredfold});  // 1,000 bytes become 10,000,000
  ChangeRecord(two.job, std::string(1000, 'a'), two.Fresh());
  EXPECT_EQ(two.context.out.size(), 10000001u);
  EXPECT_EQ(two.Error(), "");
  EXPECT_EQ(two.Run(ChangeRecord, std::string(1000, 'a') + "x"), "");
  EXPECT_EQ(two.Error(), "error 21 at line 4");
}

}  // namespace
