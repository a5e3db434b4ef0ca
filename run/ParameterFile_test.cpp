// Parameter files in UTF-8: read as their code page 932 twin, and a line
// that has no code page 932 form named by the number the reader gives it.
#include "run/ParameterFile.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/FakePlatform.h"

namespace {

struct Read {
  ParameterFileResult result;
  Job job;
  std::vector<StatementError> errors;
};

Read ReadText(const std::string& text, ParamEncoding encoding = ParamEncoding::kAuto) {
  FakePlatform fake;
  fake.SetFile("job.prm", text);
  JobReader reader;
  Read read;
  read.result = ReadParameterFile(fake, "job.prm", encoding, reader, &read.errors);
  read.job = reader.TakeJob();
  return read;
}

TEST(ParameterFile, Utf8IsReadAsItsCodePage932Twin) {
  const std::string utf8 = "INP = in.txt\nSEL = \"\xE5\xB1\xB1\xE7\x94\xB0\"\n";  // "山田"
  const std::string cp932 = "\x8e\x52\x93\x63";
  for (const auto& [text, encoding, read] :
       {std::tuple{"\xEF\xBB\xBF" + utf8, ParamEncoding::kAuto, EncodingRead::kUtf8Bom},
        std::tuple{utf8, ParamEncoding::kAuto, EncodingRead::kUtf8Guessed},
        std::tuple{utf8, ParamEncoding::kUtf8, EncodingRead::kUtf8Chosen}}) {
    const Read got = ReadText(text, encoding);
    EXPECT_EQ(got.result.encoding, read);
    ASSERT_TRUE(got.errors.empty());
    ASSERT_EQ(got.job.selection.size(), 1u);
    EXPECT_EQ(got.job.selection[0].condition.terms[0].text, cp932);
  }
  // Chosen as code page 932, the same bytes are taken as they are.
  const Read asIs = ReadText(utf8, ParamEncoding::kCp932);
  EXPECT_EQ(asIs.result.encoding, EncodingRead::kCp932);
  EXPECT_EQ(asIs.job.selection[0].condition.terms[0].text, "\xE5\xB1\xB1\xE7\x94\xB0");
}

TEST(ParameterFile, ALineWithoutCodePage932FormIsTenOnTheLineTheReaderCounts) {
  // A comment longer than a piece is two lines to the reader (each a
  // comment here), so the bad line is line 4, and the INP before it is kept.
  const std::string text = "\xEF\xBB\xBF;" + std::string(99998, 'c') + ";more\nINP = in.txt\n" +
                           "SEL = \"\xF0\x9F\x98\x80\"\nOUT = out.txt\n";
  const Read got = ReadText(text);
  ASSERT_EQ(got.errors.size(), 1u);
  EXPECT_EQ(got.errors[0].code, ErrorCode::kBadParameter);
  EXPECT_EQ(got.errors[0].line, 4);
  EXPECT_EQ(got.job.inputPattern, "in.txt");
  EXPECT_EQ(got.job.outputPath, "out.txt");
}

}  // namespace
