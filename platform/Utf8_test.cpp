// Literals written as characters are UTF-8 (this file's encoding); code page
// 932 bytes are written in hex.
#include "platform/Utf8.h"

#include <gtest/gtest.h>

#include "platform/Iconv.h"

namespace {

using utf8::Encoding;

Encoding Guess(std::string_view text) {
  return utf8::GuessEncoding(text, [](std::string_view in, std::string& out) {
    return IconvUtf8ToCp932().Convert(in, out);
  });
}

char32_t Decoded(std::string_view text, size_t expectedLen) {
  char32_t codePoint = 0;
  EXPECT_EQ(utf8::DecodeChar(text, 0, codePoint), expectedLen) << text;
  return codePoint;
}

}  // namespace

TEST(Utf8, ByteOrderMark) {
  EXPECT_TRUE(utf8::StartsWithBom("\xEF\xBB\xBFINP = a.txt"));
  EXPECT_TRUE(utf8::StartsWithBom("\xEF\xBB\xBF"));
  EXPECT_FALSE(utf8::StartsWithBom("\xEF\xBB"));
  EXPECT_FALSE(utf8::StartsWithBom(""));
  EXPECT_FALSE(utf8::StartsWithBom("INP = \xEF\xBB\xBF"));
}

TEST(Utf8, DecodesEachLengthAtItsBounds) {
  EXPECT_EQ(Decoded("\x7F", 1), 0x7Fu);
  EXPECT_EQ(Decoded("\xC2\x80", 2), 0x80u);
  EXPECT_EQ(Decoded("\xDF\xBF", 2), 0x7FFu);
  EXPECT_EQ(Decoded("\xE0\xA0\x80", 3), 0x800u);
  EXPECT_EQ(Decoded("表", 3), 0x8868u);
  EXPECT_EQ(Decoded("\xEF\xBF\xBF", 3), 0xFFFFu);
  EXPECT_EQ(Decoded("\xF0\x90\x80\x80", 4), 0x10000u);
  EXPECT_EQ(Decoded("\xF4\x8F\xBF\xBF", 4), 0x10FFFFu);
  char32_t codePoint;
  EXPECT_EQ(utf8::DecodeChar("a表", 1, codePoint), 3u);  // from the middle of a text
}

TEST(Utf8, RejectsWhatIsNotWellFormed) {
  for (std::string_view bad : {
           "\x80",              // continuation byte first
           "\xC0\xAF",          // overlong "/"
           "\xC1\xBF",          // overlong
           "\xE0\x9F\xBF",      // overlong U+07FF
           "\xF0\x8F\xBF\xBF",  // overlong U+FFFF
           "\xED\xA0\x80",      // surrogate
           "\xF4\x90\x80\x80",  // above U+10FFFF
           "\xF5\x80\x80\x80", "\xFF",
           "\xE8\xA1",          // cut short by the end
           "\xE8\xA1\x41",      // cut short by an ASCII byte
       }) {
    char32_t codePoint;
    EXPECT_EQ(utf8::DecodeChar(bad, 0, codePoint), 0u) << testing::PrintToString(bad);
    EXPECT_FALSE(utf8::IsWellFormed(std::string("ok") + std::string(bad)));
  }
  EXPECT_TRUE(utf8::IsWellFormed(""));
  EXPECT_TRUE(utf8::IsWellFormed("SEL = \"東京\" ｱ ○"));
}

TEST(Utf8, TelltalesAreCharactersOfThreeBytesOrMoreButNotPrivateUse) {
  EXPECT_FALSE(utf8::IsTelltale(0xFD));   // ý, what ﾃｽ reads as
  EXPECT_FALSE(utf8::IsTelltale(0x3B1));  // α, what ﾎｱ reads as
  EXPECT_FALSE(utf8::IsTelltale(0x7FF));
  EXPECT_TRUE(utf8::IsTelltale(0x800));
  EXPECT_TRUE(utf8::IsTelltale(0x25CB));  // ○
  EXPECT_TRUE(utf8::IsTelltale(0x3042));  // あ
  EXPECT_FALSE(utf8::IsTelltale(0xE000));
  EXPECT_FALSE(utf8::IsTelltale(0xF8FF));
  EXPECT_TRUE(utf8::IsTelltale(0xFF71));  // ｱ
  EXPECT_TRUE(utf8::IsTelltale(0x10000));
}

TEST(Utf8, GuessReadsUtf8JapaneseAsUtf8) {
  EXPECT_EQ(Guess("INP = 売上.txt\r\nSEL = \"東京\"\r\nEDT = \"ｱ\",\"ア\"\r\n"), Encoding::kUtf8);
  EXPECT_EQ(Guess("; 表示\nEDT = \"\\\",\"〜\""), Encoding::kUtf8);  // 〜 as Linux writes it
  EXPECT_EQ(Guess("EDT = \"○\",\"×\""), Encoding::kUtf8);        // symbols only
}

TEST(Utf8, GuessReadsCodePage932AsCodePage932) {
  // 東京 and ア表: not UTF-8 at all (0x83 and 0x95 lead bytes are continuation bytes).
  EXPECT_EQ(Guess("SEL = \"\x93\x8C\x8B\x9E\"\r\n"), Encoding::kCp932);
  EXPECT_EQ(Guess("EDT = \"\x83\x41\x95\x5C\",\"A\\\""), Encoding::kCp932);
  // ﾃｽ is C3 BD, valid UTF-8 "ý"; ﾎｱ is CE B1, "α", which even has a code
  // page 932 form. Neither is a telltale.
  EXPECT_EQ(Guess("EDT = \"\xC3\xBD\""), Encoding::kCp932);
  EXPECT_EQ(Guess("EDT = \"\xCE\xB1\""), Encoding::kCp932);
  // 驟雨 (E9 85 89 4A) reads as UTF-8 "酉J": alone it is misread, the measured
  // risk of the rule; one more Japanese word in the file settles it.
  EXPECT_EQ(Guess("SEL = \"\xE9\x85\x89\x4A\""), Encoding::kUtf8);
  EXPECT_EQ(Guess("SEL = \"\xE9\x85\x89\x4A\"\r\nEDT = \"\x93\x8C\x8B\x9E\""), Encoding::kCp932);
}

TEST(Utf8, GuessWeighsJapaneseAgainstCharactersWithoutCodePage932Form) {
  // One character without a form does not turn Japanese UTF-8 into code
  // page 932: the line that holds it is an error later, not every condition
  // quietly wrong.
  EXPECT_EQ(Guess("SEL = \"東京\" & \"é\""), Encoding::kUtf8);
  EXPECT_EQ(Guess("EDT = \"東京\",\"café\""), Encoding::kUtf8);
  EXPECT_EQ(Guess("EDT = \"東\",\"한\""), Encoding::kCp932);      // one against one
  EXPECT_EQ(Guess("EDT = \"東\",\"😀😀\""), Encoding::kCp932);
  // What comment lines lack does not count: they are never converted.
  EXPECT_EQ(Guess("; café 😀 한국\nEDT = \"東\",\"A\""), Encoding::kUtf8);
  EXPECT_EQ(Guess("EDT = \"東\",\"A\" ; café"), Encoding::kCp932);  // not a comment line
  // The converter decides: one that refuses everything leaves code page 932.
  EXPECT_EQ(utf8::GuessEncoding("東京", [](std::string_view, std::string&) { return false; }),
            Encoding::kCp932);
}

TEST(Utf8, GuessOnAsciiAndMixedText) {
  EXPECT_EQ(Guess(""), Encoding::kAscii);
  EXPECT_EQ(Guess("INP = a.txt\r\nSEL = 1,2,A,=,\"01\"\r\n\x1A"), Encoding::kAscii);
  // UTF-8 and code page 932 in one file (edited with two editors): not UTF-8.
  EXPECT_EQ(Guess("SEL = \"東京\"\r\nEDT = \"\x83\x41\",\"B\""), Encoding::kCp932);
  // A UTF-8 character cut short at the end of the file.
  EXPECT_EQ(Guess("SEL = \"東京\"\r\n\xE8\xA1"), Encoding::kCp932);
}
