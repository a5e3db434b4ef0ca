// The statement reader: lines, keywords and values, the file settings, OPT
// and FUNCTION, and what a failing statement does to the job and to the
// statements after it.
#include "job/JobReader.h"

#include <gtest/gtest.h>

#include <string>

#include "job/JobReaderTesting.h"

namespace {

using namespace std::string_view_literals;

TEST(JobReaderTest, LinesCommentsKeywordsAndValues) {
  const ReadOutcome outcome = ReadAll(
      "; INP = comment.txt\n\n   \t \r\n\v\f\n;\n"
      "\t inp\t=\t my  data.txt \t\r\n"   // keywords case-blind, values trimmed
      "Add =\x81\x40\x95\x5C\x81\x40 \n"  // the full-width blank is no white space
      "OPT = -s=u\n");                    // only the first "=" splits
  EXPECT_TRUE(outcome.errors.empty());
  EXPECT_EQ(outcome.finish.line, 8);
  EXPECT_EQ(outcome.job.inputPattern, "my  data.txt");
  EXPECT_EQ(outcome.job.inputLine, 6);
  EXPECT_EQ(outcome.job.outputPath, "\x81\x40\x95\x5C\x81\x40");
  EXPECT_EQ(outcome.job.outputLine, 7);
  EXPECT_TRUE(outcome.job.append);
  EXPECT_TRUE(outcome.job.options.Has(Option::kIgnoreCase));

  // A NUL byte ends the line.
  const ReadOutcome nul = ReadAll("INP = ab\0cd\n\0OUT = x\nOUT == y\n"sv);
  EXPECT_EQ(nul.job.inputPattern, "ab");
  EXPECT_EQ(nul.job.outputPath, "= y");
}

// Statement errors: code, line and the column ("|") of the failing item.
TEST(JobReaderTest, StatementErrors) {
  const struct {
    const char* text;
    ErrorCode code;
    int line;
  } cases[] = {
      {"; comment\n\n  |;INP = X\n", ErrorCode::kBadStatement, 3},  // ";" in column 1 only
      {"INP = in.txt\n|APP = x\n", ErrorCode::kBadStatement, 2},
      {"|INP\x81\x40= x\n", ErrorCode::kBadStatement, 1},
      {"INP = in.txt\n|SEL\n", ErrorCode::kBadStatement, 2},
      {"|= x\n", ErrorCode::kBadStatement, 1},
      {"INP = in.txt\nFUNCTION = |COPIES\n", ErrorCode::kBadStatement, 2},
      {"FUNCTION =|\n", ErrorCode::kBadStatement, 1},
      {"FUNCTION = |C0PY\n", ErrorCode::kBadStatement, 1},
      {"FUNCTION = |\x82\x62OPY\n", ErrorCode::kBadStatement, 1},  // a full-width C
      {"FUNCTION = COPY\nFUNCTION = |COPY\n", ErrorCode::kBadStatement, 2},
      {"INP = in.txt\nEDT = \"a\",\"b\"\nFUNCTION = CHANGE\n", ErrorCode::kBadStatement, 2},
      {"FUNCTION = COPY\n\nINP = in.txt\nUPP = \"a\",\"b\"\n", ErrorCode::kEditNotAllowed, 4},
      {"FUNCTION = CHANGE\nWID = \"a\",\"b\"\n", ErrorCode::kBadEditType, 2},
      {"\n\n\nINP =|\n", ErrorCode::kBadParameter, 4},
      {"OUT =| \t\n", ErrorCode::kBadParameter, 1},
      {"INP = in.txt\r\nOPT = |su\r\n", ErrorCode::kBadParameter, 2},
      {"INP = in.txt\nOUT = o.txt\n; again\nINP = |in.txt\n", ErrorCode::kFileSetTwice, 4},
      {"OUT = o.txt\nADD = |o.txt\n", ErrorCode::kFileSetTwice, 2},
  };
  for (const auto& c : cases) ExpectFirstError(c.text, c.code, c.line);
}

// A reader may go on after a failed statement and report each; a failed
// statement leaves the job exactly as it was.
TEST(JobReaderTest, FailedStatementsAreEachReportedAndChangeNothing) {
  const ReadOutcome outcome = ReadAll(
      "INP = in.txt\nAPP = x\nOPT = -SU\nSEL = \"a\"\nSEL = \"a\" & \"b\" & 1,5,X,=,\"c\"\n"
      "INP = other.txt\nOUT = out.txt\nADD = other.txt\nOPT = T\nFUNCTION = eDiT\n"
      "FUNCTION = CSV\nEDT = 1,5,A,==,\"x\"\nEDT = 1,5,A,=,\"x\" @ \"a\" & [NOW]\n"
      "EDT = 1,5,A,=,\"x\"\n");
  const std::pair<int, ErrorCode> expected[] = {
      {2, ErrorCode::kBadStatement}, {5, ErrorCode::kBadFieldType}, {6, ErrorCode::kFileSetTwice},
      {8, ErrorCode::kFileSetTwice}, {9, ErrorCode::kBadParameter}, {11, ErrorCode::kBadStatement},
      {12, ErrorCode::kBadOperator}, {13, ErrorCode::kBadParameter}};
  ASSERT_EQ(outcome.errors.size(), std::size(expected));
  for (size_t i = 0; i < outcome.errors.size(); ++i) {
    EXPECT_EQ(outcome.errors[i].line, expected[i].first);
    EXPECT_EQ(outcome.errors[i].code, expected[i].second) << "line " << expected[i].first;
  }
  EXPECT_EQ(outcome.errors[1].statement, "SEL = \"a\" & \"b\" & 1,5,X,=,\"c\"");

  const Job& job = outcome.job;
  EXPECT_TRUE(outcome.finish.ok());
  EXPECT_EQ(job.inputPattern, "in.txt");
  EXPECT_EQ(job.outputPath, "out.txt");
  EXPECT_FALSE(job.append);
  EXPECT_TRUE(job.options.Has(Option::kLenientFields) && job.options.Has(Option::kIgnoreCase));
  EXPECT_FALSE(job.options.Has(Option::kTrimTrailing));
  EXPECT_EQ(job.type, ProcessingType::kEdit);
  ASSERT_EQ(job.selection.size(), 1u);  // no group from the SEL whose third term failed
  EXPECT_EQ(job.selection[0].condition.terms.size(), 1u);
  ASSERT_EQ(job.edits.size(), 1u);  // none from the definitions that failed
  EXPECT_EQ(job.edits[0].line, 14);

  // The same for the definitions of CHANGE and CSV that fail after their first parts.
  EXPECT_TRUE(ReadAll("FUNCTION = CHANGE\nEDT = \"a\",\"b\" @ \"c\" & 1,1,X,=,\"d\"\n")
                  .job.changes.empty());
  EXPECT_TRUE(ReadAll("FUNCTION = CSV\nEDT = 1,5,A,\"Name\" x\n").job.csv.empty());
}

TEST(JobReaderTest, OptionsAreLettersAfterTheDash) {
  const struct {
    const char* value;
    const char* on;  // the options on, as letters in SUTHN order
  } cases[] = {
      {"-su", "SU"}, {"-t x h", "TH"}, {"-", ""}, {"-NHTUS", "SUTHN"},
      // Second bytes "S", "U", "A" (0x83 0x53 ...) are no letters; full-width
      // small s upper-cases to full-width S, not to S.
      {"-\x83\x53\x83\x55\x83\x41", ""}, {"-\x82\x93t", "T"},
  };
  for (const auto& c : cases) {
    // A later OPT replaces the earlier one.
    const Job job = ReadAll(std::string("OPT = -SUTHN\nOPT = ") + c.value + "\n").job;
    std::string on;
    for (const auto& [letter, option] :
         {std::pair('S', Option::kLenientFields), {'U', Option::kIgnoreCase},
          {'T', Option::kTrimTrailing}, {'H', Option::kCsvHeader},
          {'N', Option::kNoNumericCheck}}) {
      if (job.options.Has(option)) on.push_back(letter);
    }
    EXPECT_EQ(on, c.on) << c.value;
  }
}

TEST(JobReaderTest, LimitsOfGroupsAndDefinitions) {
  std::string text = "FUNCTION = CSV\n";
  for (int i = 0; i < kMaxGroups; ++i) text += "SEL = \"x\"\n";
  for (int i = 0; i < kMaxDefinitions; ++i) text += "EDT = \"x\"\n";
  const ReadOutcome outcome = ReadAll(text + "SEL = \"x\"\nEDT = \"x\"\n");
  ASSERT_EQ(outcome.errors.size(), 2u);
  EXPECT_EQ(outcome.errors[0].code, ErrorCode::kTooManyGroups);
  EXPECT_EQ(outcome.errors[0].line, 602);
  EXPECT_EQ(outcome.errors[1].code, ErrorCode::kTooManyDefinitions);
  EXPECT_EQ(outcome.errors[1].line, 603);
  EXPECT_EQ(outcome.job.selection.size(), 300u);
  EXPECT_EQ(outcome.job.csv.size(), 300u);
}

TEST(JobReaderTest, FinishChecksTheFileSettingsOnTheLastLine) {
  const struct {
    const char* text;
    ErrorCode code;
    int line;
  } cases[] = {
      {"INP = in.txt\nOUT = out.txt\n", ErrorCode::kNone, 2},
      {"INP = in.txt\n\n", ErrorCode::kBadFileSettings, 2},
      {"OUT = out.txt\n; last\n", ErrorCode::kBadFileSettings, 2},
      {"INP = Data/In.txt\nADD = data/IN.TXT\n", ErrorCode::kBadFileSettings, 2},
      {"INP = \x82\x81.txt\nOUT = \x82\x60.txt\n", ErrorCode::kBadFileSettings, 2},  // full width
      {"", ErrorCode::kBadFileSettings, 0},
  };
  for (const auto& c : cases) {
    const ReadOutcome outcome = ReadAll(c.text);
    EXPECT_EQ(outcome.finish.code, c.code) << c.text;
    EXPECT_EQ(outcome.finish.line, c.line) << c.text;
  }
  const Job job = ReadAll("INP = in.txt\nOUT = out/\n").job;
  EXPECT_EQ(job.type, ProcessingType::kCopy);
  EXPECT_TRUE(job.folderMode);
}

TEST(JobReaderTest, FolderIsATrailingSlashOrSingleByteBackslash) {
  for (const char* folder : {"OUT/", "./", "C:\\OUT\\", "\\", "\x83\x41\\", "\xB1\\"}) {
    EXPECT_TRUE(NamesFolder(folder)) << folder;  // 0xB1 is a half-width katakana
  }
  // 0x95 0x5C ends in the byte of "\" but is one character; a lone lead byte
  // takes the "\" after it as its second byte.
  for (const char* file : {"OUT.TXT", "", "OUT/X", "DIR/\x95\x5C", "\x95\x5C", "AB\x95\\"}) {
    EXPECT_FALSE(NamesFolder(file)) << file;
  }
}

}  // namespace
