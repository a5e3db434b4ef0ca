// What INP and OUT name beyond their text: folders, and one file named by
// two spellings, refused before anything is opened.
#include "run/FileSettings.h"

#include <gtest/gtest.h>

#include "platform/FakePlatform.h"

namespace {

TEST(FileSettings, FolderOfAPathStepsByCharacters) {
  EXPECT_EQ(FolderOf("in/a.txt"), "in/");
  EXPECT_EQ(FolderOf("d:\\in\\a.txt"), "d:\\in\\");
  EXPECT_EQ(FolderOf("a.txt"), "");
  // 0x95 0x5C ("表") ends in a "\" byte that is no separator.
  EXPECT_EQ(FolderOf("x/\x95\x5C.txt"), "x/");
  EXPECT_EQ(FolderOf("\x95\x5C"), "");
}

StatementError Finish(FakePlatform& fake, const std::string& parameters,
                      const FileOverrides& overrides = FileOverrides{}) {
  JobReader reader;
  size_t start = 0;
  while (start < parameters.size()) {
    const size_t end = parameters.find('\n', start);
    reader.ReadLine(std::string_view(parameters).substr(start, end - start));
    start = end + 1;
  }
  return FinishJob(reader, overrides, fake);
}

TEST(FileSettings, OneFileByTwoSpellingsIsFifteen) {
  FakePlatform fake;
  fake.SetFile("a.txt", "x\n");
  // The fake knows no "./"; -o names the same path text, which the reader
  // itself refuses, and an existing other file is fine.
  EXPECT_EQ(Finish(fake, "INP = a.txt\nOUT = b.txt\n").code, ErrorCode::kNone);
  EXPECT_EQ(Finish(fake, "INP = a.txt\nOUT = b.txt\n", FileOverrides{false, "", true, "a.txt"}).code,
            ErrorCode::kBadFileSettings);
  // With wildcards, in folder mode, or through standard streams, the run
  // decides file by file.
  EXPECT_EQ(Finish(fake, "INP = a.tx?\nOUT = a.txt\n").code, ErrorCode::kNone);
  EXPECT_EQ(Finish(fake, "INP = a.txt\nOUT = ./\n").code, ErrorCode::kNone);
  EXPECT_EQ(Finish(fake, "OUT = a.txt\n", FileOverrides{true, "-", false, ""}).code, ErrorCode::kNone);
  // The overrides stand in for missing statements.
  EXPECT_EQ(Finish(fake, "", FileOverrides{true, "a.txt", true, "-"}).code, ErrorCode::kNone);
  EXPECT_EQ(Finish(fake, "").code, ErrorCode::kBadFileSettings);
}

}  // namespace
