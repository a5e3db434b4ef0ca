// Checking a parameter file: every error in one pass, the file settings as
// a run would take them (-i and -o included), and warnings about paths that
// will not work here, without opening any input or output.
#include "run/Check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/FakePlatform.h"

namespace {

std::vector<int> Lines(const std::vector<StatementError>& errors) {
  std::vector<int> lines;
  for (const StatementError& error : errors) lines.push_back(error.line);
  return lines;
}

TEST(Check, CollectsEveryErrorAndTheFileSettingsLast) {
  FakePlatform fake;
  fake.SetFile("job.prm", "FUNCTION = SORT\nSEL = 1,2,X,=,\"a\"\nOUT = o.txt\nEDT = 1\n");
  const CheckResult result = CheckParameterFile(fake, "job.prm", CheckOptions{});
  ASSERT_TRUE(result.opened);
  EXPECT_EQ(Lines(result.errors), (std::vector<int>{1, 2, 4, 4}));
  EXPECT_EQ(result.errors.back().code, ErrorCode::kBadFileSettings);  // no INP
  EXPECT_EQ(result.encoding, EncodingRead::kAscii);
  EXPECT_FALSE(fake.HasFile("o.txt"));  // nothing opened for writing
}

TEST(Check, TakesTheCommandLineAsARunWould) {
  FakePlatform fake;
  fake.SetFile("job.prm", "FUNCTION = COPY\n");
  fake.SetFile("in.txt", "x\n");
  CheckOptions options;
  options.overrides = FileOverrides{true, "in.txt", true, "-"};
  const CheckResult result = CheckParameterFile(fake, "job.prm", options);
  EXPECT_TRUE(result.errors.empty());
  EXPECT_TRUE(result.warnings.empty());
  // -o naming the input by another spelling is refused as in a run.
  options.overrides = FileOverrides{true, "in.txt", true, "in.txt"};
  const CheckResult same = CheckParameterFile(fake, "job.prm", options);
  ASSERT_EQ(same.errors.size(), 1u);
  EXPECT_EQ(same.errors[0].code, ErrorCode::kBadFileSettings);
}

TEST(Check, WarnsAboutPathsThatWillNotWorkHere) {
  FakePlatform fake;
  fake.AddDirectory("in");
  fake.SetFile("job.prm", "INP = C:\\data\\*.txt\nOUT = \\\\server\\share\\o.txt\n");
  const CheckResult drive = CheckParameterFile(fake, "job.prm", CheckOptions{});
  ASSERT_EQ(drive.warnings.size(), 4u);
  EXPECT_EQ(drive.warnings[0].line, 1);
  EXPECT_NE(drive.warnings[0].message.find("drive letter"), std::string::npos);
  EXPECT_EQ(drive.warnings[1].message, "the INP folder \"C:\\data\\\" does not exist");
  EXPECT_EQ(drive.warnings[2].line, 2);
  EXPECT_EQ(drive.warnings[3].message, "the output folder \"\\\\server\\share\\\" does not exist");

  fake.SetFile("job.prm", "INP = in/*.txt\nOUT = in/\n");
  const CheckResult empty = CheckParameterFile(fake, "job.prm", CheckOptions{});
  ASSERT_EQ(empty.warnings.size(), 1u);
  EXPECT_EQ(empty.warnings[0].message, "no file matches INP \"in/*.txt\"");
  fake.SetFile("in/a.txt", "x\n");
  EXPECT_TRUE(CheckParameterFile(fake, "job.prm", CheckOptions{}).warnings.empty());
}

TEST(Check, AFileThatCannotBeReadIsOneError) {
  FakePlatform fake;
  const CheckResult result = CheckParameterFile(fake, "missing.prm", CheckOptions{});
  EXPECT_FALSE(result.opened);
  EXPECT_EQ(result.reason, "No such file or directory");
}

}  // namespace
