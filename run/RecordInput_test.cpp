// The record a piece holds: code page 932 as it is, UTF-8 converted, a
// byte-order mark skipped at a file's start only, and a character without a
// code page 932 form either error 28 at its record or a counted stand-in.
#include "run/RecordInput.h"

#include <gtest/gtest.h>

#include "platform/FakePlatform.h"

namespace {

TEST(RecordInput, CodePage932IsTheRecordAsItIs) {
  FakePlatform fake;
  RecordContext context(fake);
  std::string_view record;
  ASSERT_TRUE(DecodeRecord("\xEF\xBB\xBF\x83\x41\n", true, DataForm(), context, record));
  EXPECT_EQ(record, "\xEF\xBB\xBF\x83\x41");  // not UTF-8: a byte-order mark is data
  EXPECT_TRUE(context.decoded.empty());
}

TEST(RecordInput, Utf8IsConvertedWithTheMarkSkippedOnlyAtTheStart) {
  FakePlatform fake;
  RecordContext context(fake);
  DataForm form;
  form.utf8Input = true;
  std::string_view record;
  // "\xEF\xBB\xBF" then ア東〜 (U+301C, the JIS wave dash) and a NUL byte.
  const std::string piece = std::string("\xEF\xBB\xBF\xE3\x82\xA2\xE6\x9D\xB1\xE3\x80\x9C\0x\n", 15);
  ASSERT_TRUE(DecodeRecord(piece, true, form, context, record));
  EXPECT_EQ(record, std::string("\x83\x41\x93\x8C\x81\x60\0x", 8));
  ASSERT_FALSE(DecodeRecord(piece, false, form, context, record));  // later: a character
  EXPECT_EQ(context.error, ErrorCode::kNotCp932);
  EXPECT_EQ(context.inCount, 1);  // the failing record counts
  EXPECT_EQ(context.errorLine, 0);
  EXPECT_EQ(DescribeDecodeProblem(context.decodeProblem),
            "the character U+FEFF at column 1 has no code page 932 form");
}

TEST(RecordInput, ProblemsStopOrAreReplacedAndCounted) {
  FakePlatform fake;
  DataForm form;
  form.utf8Input = true;
  std::string_view record;
  RecordContext stop(fake);
  ASSERT_FALSE(DecodeRecord("ab\xE6\x9D\xB1\xFF", false, form, stop, record));
  EXPECT_EQ(DescribeDecodeProblem(stop.decodeProblem), "byte 0xFF at column 5 is not UTF-8");
  RecordContext emoji(fake);
  ASSERT_FALSE(DecodeRecord("a\xF0\x9F\x98\x80", false, form, emoji, record));
  EXPECT_EQ(DescribeDecodeProblem(emoji.decodeProblem),
            "the character U+1F600 at column 2 has no code page 932 form");

  form.unmappable = cp932::Unmappable::kReplace;
  RecordContext replace(fake);
  // 〓 for the wide emoji, ? for the narrow Thai ก: the columns kept.
  ASSERT_TRUE(DecodeRecord("a\xF0\x9F\x98\x80\xE0\xB8\x81z\n", false, form, replace, record));
  EXPECT_EQ(record, "a\x81\xAC?z");
  EXPECT_EQ(replace.replaced, 2);
  EXPECT_EQ(replace.error, ErrorCode::kNone);
}

}  // namespace
