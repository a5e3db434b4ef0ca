// Selection by SEL groups and the evaluation of conditions: what holds,
// which group held, and errors with the line of the statement they came from.
#include "record/Selection.h"

#include <gtest/gtest.h>

#include "record/RecordTesting.h"

namespace {

const std::string kA = "\x83\x41";    // katakana "a": its second byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table": its second byte is "\"

// One SEL statement under options against one record.
struct Case {
  std::string statement, record;
  const char* options;
  bool holds;
  int error;
};

void ExpectCases(std::initializer_list<Case> cases) {
  for (const Case& c : cases) {
    RecordBench bench({std::string("OPT=-") + c.options, "SEL=" + c.statement});
    std::string expected = c.holds ? "group 0" : "none";
    if (c.error) expected += ", error " + std::to_string(c.error) + " at line 2";
    EXPECT_EQ(bench.Select(c.record), expected) << c.statement << " / " << c.record << " / -"
                                                << c.options;
  }
}

TEST(SelectRecord, GroupsAreOrTermsAreAndBothShortCircuit) {
  EXPECT_EQ(RecordBench({}).Select(""), "group -1");  // no SEL: every record

  RecordBench bench({"; comment", "SEL=1,1,A,=,\"x\" & 20,1,A,=,\"y\"", "",
                     "SEL=1,3,A,=,\"abc\"", "SEL=40,1,A,=,\"z\""});
  // The first term fails, so the out-of-range second term is never looked at;
  // the second group holds, so the out-of-range third group is not either.
  EXPECT_EQ(bench.Select("abc3456789"), "group 1");
  EXPECT_EQ(bench.Select("x234567890123456789y"), "group 0");
  // The first term holds: the second is read and is out of range.
  EXPECT_EQ(bench.Select("x123456789"), "none, error 20 at line 2");
  // No group holds: every group is read, the last one raises.
  EXPECT_EQ(bench.Select("0123456789"), "none, error 20 at line 5");

  RecordBench numbers({"SEL=\"q\"", "SEL=1,2,N,=,\"5\""});
  EXPECT_EQ(numbers.Select("a5"), "none, error 26 at line 2");
  EXPECT_EQ(numbers.Select("q5"), "group 0");
}

TEST(SelectRecord, EmptyStatementHoldsButEarlierGroupsAreStillRead) {
  EXPECT_EQ(RecordBench({"SEL=30,1,A,=,\"x\"", "SEL=", "SEL=1,1,N,=,\"x\""}).Select("short"),
            "none, error 20 at line 1");
  // Option S: the first group is false, the empty one holds, the last (26) is not read.
  EXPECT_EQ(RecordBench({"OPT=-S", "SEL=30,1,A,=,\"x\"", "SEL=", "SEL=1,1,N,=,\"x\""})
                .Select("short"),
            "group 1");
}

TEST(EvaluateTerm, FieldsStringsAndSearches) {
  ExpectCases({
      // A field must end within the record; under option S it is false instead.
      {"10,5,A,=,\"x\"", std::string(12, 'a'), "", false, 20},
      {"10,5,A,=,\"x\"", std::string(12, 'a'), "TS", false, 0},
      {"10,5,A,=,\"aaaaa\"", std::string(14, 'a'), "", true, 0},
      {"1,2,A,=,9,2,A", "abcdefghi", "", false, 20},  // the right field too
      {"1,2,A,=,9,2,A", "abcdefghi", "S", false, 0},
      {"2147483647,2147483647,A,=,\"x\"", "abc", "", false, 20},
      // Order by characters: half-width 0xB1 before double-byte 0x82 0xA0, a prefix first.
      {"1,1,A,<,2,2,A", "\xB1\x82\xA0", "", true, 0},
      {"1,3,A,>,\"ab\"", "abc", "", true, 0},
      {"1,2,A,<=,3,2,A", "abab", "", true, 0},
      {"1,3,A,>=,\"abd\"", "abc", "", false, 0},
      {"1,3,A,<>,\"abc\"", "abc", "", false, 0},
      // A quoted text is never justified, a field only by its own type.
      {"1,10,A,=,\"abc\"", "abc       ", "", false, 0},
      {"1,10,AT,=,\"abc\"", "  abc     ", "", true, 0},
      {"1,4,AR,=,6,4,AL", "qq  _\x81\x40qq", "", true, 0},
      // Searches start on characters: second bytes are not "A" or "\".
      {"\"A\"", kA + kHyo, "", false, 0},
      {"\"\\\"", kA + kHyo, "", false, 0},
      {"\"A\"", kHyo + "A", "", true, 0},
      {"\"" + kHyo + kA + "\"", "abc" + kHyo + kA + "def", "", true, 0},
      {"\"\x93\x8c\x8b\x9e\"", "\x83\x93\x8c\x8b\x9e\x40", "", false, 0},
      {"\"\"", "x", "", true, 0},  // the empty search text...
      {"\"\"", "", "", false, 0},  // ...is not in the empty record
      {"1,5,A,==,\"b\"", "aaab_", "", true, 0},
      {"1,5,A,==,\"b\"", "aaaa_b", "", false, 0},  // beyond the field
      {"1,4,AT,==,\"\\\"", " " + kHyo + kA + "zz", "", false, 0},
  });
}

TEST(EvaluateTerm, OptionUIgnoresCaseAndKeepsCharactersWhole) {
  const std::pair<std::string, std::string> cases[] = {
      {"\"abc\"", "xxaBcxx"},
      {"1,5,A,==,\"b\"", "zzBzz"},
      {"1,2,A,=,\"\x82\x81\"", "\x82\x60z"},  // full-width a and A
      {"1,2,A,<,4,2,A", "ab_AC"},            // AB < AC, while "ab" > "AC" by bytes
      {"1,6,A,=,[FILE]", "IN.TXT"},
  };
  for (const auto& [statement, record] : cases) {
    ExpectCases({{statement, record, "", false, 0}, {statement, record, "U", true, 0}});
  }
  // "a" becomes "A", which still is not the second byte of 0x83 0x41.
  ExpectCases({{"\"a\"", "zz" + kA + "zz", "U", false, 0},
               {"1,4,A,==,\"a\"", "z" + kA + "z", "U", false, 0}});
}

TEST(EvaluateTerm, Numbers) {
  ExpectCases({
      {"1,4,N,>,\"10\"", "0011", "", true, 0},
      {"1,4,N,>,\"10\"", "9.99", "", false, 0},
      {"1,4,N,>,\"10\"", "    ", "", false, 0},  // blanks read as 0
      {"1,4,N,>,\"10\"", "1e03", "", false, 26},
      {"1,4,N,>,\"10\"", "1e03", "N", true, 0},  // option N: read as far as it goes
      {"1,4,N,>,\"10\"", "12ab", "NU", true, 0},
      {"1,3,N,>=,\"5\"", "+05", "", true, 0},
      {"1,3,N,!=,\"5\"", "5.0", "", false, 0},
      {"1,4,N,<,\" +10 \"", "0009", "U", true, 0},
      {"1,2,N,<,\"abc\"", "12", "", false, 26},  // the quoted side is tested too...
      {"1,4,N,>,\"1e1\"", "0011", "N", true, 0},  // ...unless option N is on
      {"1,2,N,=,3,2,N", "12" + kA, "", false, 26},  // any byte of a double-byte character
      {"1,2,N,=,3,2,N", "-1-1", "", true, 0},
      {"1,2,N,<=,3,2,N", " 2 2", "", true, 0},
  });
}

TEST(EvaluateTerm, ConstantsTakeTheirValuesForTheRecord) {
  RecordBench bench(
      {"SEL=[FILE]", "SEL=1,4,A,=,[YYYY] & [IN_LINE]", "SEL=1,2,A,=,\"o:\" & [OUT_LINE]"});
  bench.clock.now = 978512707;  // 2001-01-03 09:05:07 UTC
  EXPECT_EQ(bench.Select("from in.txt"), "group 0");
  EXPECT_EQ(bench.Select("from IN.txt"), "none");
  bench.context.inCount = 7;
  EXPECT_EQ(bench.Select("2001 line 7"), "group 1");
  EXPECT_EQ(bench.Select("2000 line 7"), "none");
  bench.context.inCount = 8;
  EXPECT_EQ(bench.Select("2001 line 7"), "none");
  bench.context.outCount = 3;
  EXPECT_EQ(bench.Select("o:3 "), "group 2");
  bench.context.outCount = 4;
  EXPECT_EQ(bench.Select("o:3 "), "none");
}

}  // namespace
