// The byte ranges a trace notes: what each condition term read, what each
// EDIT and CSV definition read and wrote, and what CHANGE replacements made
// of the line. A preview draws its marks from exactly these.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "record/ChangeStep.h"
#include "record/CsvStep.h"
#include "record/EditStep.h"
#include "record/RecordStep.h"
#include "record/RecordTesting.h"

namespace {

const std::string kA = "\x83\x41";    // katakana "a": its second byte is "A"
const std::string kHyo = "\x95\x5C";  // kanji "table": its second byte is "\"

// A bench whose context notes into a trace.
struct TracedBench : RecordBench {
  explicit TracedBench(const std::vector<std::string>& lines) : RecordBench(lines) {
    context.trace = &trace;
  }
  template <typename Step>
  std::string Traced(Step step, std::string_view record) {
    trace.Clear();
    return Run(step, record);
  }
  // The term reads as "start+length" (1-based start, as a parameter file
  // counts), "-" for a search that found nothing.
  std::string Reads() const {
    std::string text;
    for (const RecordTrace::TermRead& read : trace.termReads) {
      if (!text.empty()) text += " ";
      text += read.found ? std::to_string(read.range.start + 1) + "+" +
                               std::to_string(read.range.length)
                         : "-";
    }
    return text;
  }
  RecordTrace trace;
};

TEST(RecordTrace, TermsNoteTheBytesTheyRead) {
  TracedBench bench({"SEL=3,2,A,=,\"xx\" & 1,2,A,<,5,3,A", "SEL=\"A\"", "SEL=\"\\\""});
  // Group 1 fails at its first term; group 2 finds "A" after the katakana
  // whose second byte is "A"; group 3 is not reached.
  bench.Traced(ProcessRecord, kA + "A" + kHyo);
  EXPECT_EQ(bench.Reads(), "3+2 3+1");
  ASSERT_EQ(bench.trace.termReads.size(), 2u);
  EXPECT_EQ(bench.trace.termReads[0].term, &bench.job.selection[0].condition.terms[0]);
  EXPECT_EQ(bench.trace.termReads[1].term, &bench.job.selection[1].condition.terms[0]);

  // A field comparison reads both fields; the searches find nothing (the
  // only 0x5C is the second byte of a kanji).
  bench.Traced(ProcessRecord, "abxx5" + kHyo);
  EXPECT_EQ(bench.Reads(), "3+2 1+2 5+3 - -");
  EXPECT_FALSE(bench.trace.termReads.back().found);

  // A field beyond the record is noted as written (error 20); the second
  // field of its comparison is not looked at.
  TracedBench beyond({"SEL=4,3,A,<,1,2,A"});
  beyond.Traced(ProcessRecord, "abcd");
  EXPECT_EQ(beyond.Reads(), "4+3");
  EXPECT_EQ(beyond.Error(), "error 20 at line 1");
}

TEST(RecordTrace, CaseBlindSearchNotesTheOffsetInTheRecord) {
  TracedBench bench(JobLines("COPY", "U", {"SEL=\"xy\""}));
  bench.Traced(ProcessRecord, kA + "aXY");
  EXPECT_EQ(bench.Reads(), "4+2");
}

TEST(RecordTrace, EditNotesWhatEachAppliedDefinitionReadAndWrote) {
  TracedBench bench(JobLines("EDIT", "", {"EDT=1,4,A,=,3,4,A", "EDT=6,2,A,=,\"ok\" @ 1,1,A,=,\"z\"",
                                          "EDT=8,5,N,=,1,2,N", "EDT=5,2,A,=,\"-\""}));
  EXPECT_EQ(bench.Traced(EditRecord, "12" + kA + kHyo + "xy"), kA + kHyo + "-     12\n");
  const std::vector<RecordTrace::DefinitionUse>& uses = bench.trace.definitions;
  // The condition of line 4 failed: three definitions applied.
  ASSERT_EQ(uses.size(), 3u);
  EXPECT_EQ(uses[0].line, 3);
  EXPECT_TRUE(uses[0].readsField);
  EXPECT_EQ(uses[0].input, (ByteRange{2, 4}));
  EXPECT_EQ(uses[0].output, (ByteRange{0, 4}));
  EXPECT_EQ(uses[1].line, 5);
  EXPECT_EQ(uses[1].input, (ByteRange{0, 2}));
  EXPECT_EQ(uses[1].output, (ByteRange{7, 5}));
  EXPECT_EQ(uses[2].line, 6);
  EXPECT_FALSE(uses[2].readsField);
  EXPECT_EQ(uses[2].output, (ByteRange{4, 2}));  // a text shorter than its field
  // The record stops at a field beyond it: the definition is noted with
  // what it would read and nothing written.
  EXPECT_EQ(bench.Traced(EditRecord, "1"), "");
  EXPECT_EQ(bench.Error(), "error 20 at line 3");
  ASSERT_EQ(bench.trace.definitions.size(), 1u);
  EXPECT_EQ(bench.trace.definitions[0].input, (ByteRange{2, 4}));
  EXPECT_EQ(bench.trace.definitions[0].output, ByteRange{});
}

TEST(RecordTrace, EditNotesAValueWiderThanItsFieldAsWritten) {
  // A number too wide for its field is placed whole, then the record stops (21).
  TracedBench bench(JobLines("EDIT", "", {"EDT=1,2,N,=,1,4,N"}));
  bench.Traced(EditRecord, "1234");
  EXPECT_EQ(bench.Error(), "error 21 at line 3");
  ASSERT_EQ(bench.trace.definitions.size(), 1u);
  EXPECT_EQ(bench.trace.definitions[0].output, (ByteRange{0, 4}));
}

TEST(RecordTrace, CsvNotesEachValueAsWritten) {
  TracedBench bench(JobLines("CSV", "", {"EDT=3,4,AT", "EDT=\"x\"", "EDT=1,2,N"}));
  EXPECT_EQ(bench.Traced(CsvRecord, "12 " + kA + " "), kA + "\tx\t12.000000\n");
  const std::vector<RecordTrace::DefinitionUse>& uses = bench.trace.definitions;
  ASSERT_EQ(uses.size(), 3u);
  EXPECT_EQ(uses[0].input, (ByteRange{2, 4}));
  EXPECT_EQ(uses[0].value, kA);
  EXPECT_FALSE(uses[1].readsField);
  EXPECT_EQ(uses[1].value, "x");
  EXPECT_EQ(uses[2].value, "12.000000");
  // 26: the failing definition is noted without a value.
  bench.Traced(CsvRecord, "ab " + kA + " ");
  EXPECT_EQ(bench.Error(), "error 26 at line 5");
  ASSERT_EQ(bench.trace.definitions.size(), 3u);
  EXPECT_EQ(bench.trace.definitions[2].value, "");
}

TEST(RecordTrace, ChangeNotesReplacementsInTheLineEachDefinitionLeft) {
  TracedBench bench(JobLines("CHANGE", "", {"EDT=\"A\",\"aaa\"", "EDT=\"\\\",\"/\""}));
  // The "A" and "\" inside the double-byte characters are not texts.
  EXPECT_EQ(bench.Traced(ChangeRecord, kA + "A" + kHyo + "\\A"),
            kA + "aaa" + kHyo + "/aaa\n");
  const std::vector<RecordTrace::Replacement>& made = bench.trace.replacements;
  ASSERT_EQ(made.size(), 3u);
  EXPECT_EQ(made[0].line, 3);
  EXPECT_EQ(made[0].range, (ByteRange{2, 3}));
  EXPECT_EQ(made[0].replaced, 1u);
  EXPECT_EQ(made[1].range, (ByteRange{8, 3}));
  // The second definition sees the line the first one left.
  EXPECT_EQ(made[2].line, 4);
  EXPECT_EQ(made[2].range, (ByteRange{7, 1}));
}

}  // namespace
