// The width tables are checked against the C library's own code page 932
// converter and the Unicode half-width/full-width forms.
#include <gtest/gtest.h>
#include <iconv.h>

#include <map>
#include <string>
#include <vector>

#include "platform/Cp932.h"

namespace {

// Converts between code page 932 bytes and Unicode code points with iconv.
class TestIconv {
 public:
  TestIconv() {
    toUnicode_ = iconv_open("UTF-32LE", "CP932");
    fromUnicode_ = iconv_open("CP932", "UTF-32LE");
  }
  ~TestIconv() {
    if (Ok()) {
      iconv_close(toUnicode_);
      iconv_close(fromUnicode_);
    }
  }
  bool Ok() const { return toUnicode_ != (iconv_t)-1 && fromUnicode_ != (iconv_t)-1; }

  // Code points of `bytes`; empty when they do not convert.
  std::vector<char32_t> Decode(const std::string& bytes) {
    std::string out(bytes.size() * 4 + 8, '\0');
    char* in = const_cast<char*>(bytes.data());
    size_t inLeft = bytes.size();
    char* o = out.data();
    size_t outLeft = out.size();
    iconv(toUnicode_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(toUnicode_, &in, &inLeft, &o, &outLeft) == (size_t)-1) return {};
    std::vector<char32_t> cps;
    for (size_t k = 0; k + 4 <= out.size() - outLeft; k += 4) {
      cps.push_back(static_cast<char32_t>(static_cast<unsigned char>(out[k]) |
                                          static_cast<unsigned char>(out[k + 1]) << 8 |
                                          static_cast<unsigned char>(out[k + 2]) << 16));
    }
    return cps;
  }

  // Code page 932 bytes of one code point; empty when it has none.
  std::string Encode(char32_t cp) {
    char in32[4] = {static_cast<char>(cp & 0xFF), static_cast<char>((cp >> 8) & 0xFF),
                    static_cast<char>((cp >> 16) & 0xFF), 0};
    char buf[8];
    char* in = in32;
    size_t inLeft = 4;
    char* o = buf;
    size_t outLeft = sizeof buf;
    iconv(fromUnicode_, nullptr, nullptr, nullptr, nullptr);
    if (iconv(fromUnicode_, &in, &inLeft, &o, &outLeft) == (size_t)-1) return {};
    return std::string(buf, sizeof buf - outLeft);
  }

 private:
  iconv_t toUnicode_;
  iconv_t fromUnicode_;
};

// Unicode: the full-width counterparts of U+FF61..U+FF9F. The last two are
// the combining marks U+3099/U+309A in Unicode; code page 932 has only the
// spacing marks U+309B/U+309C, which stand in for them.
constexpr char32_t kHalfKanaUnicode[63] = {
    0x3002, 0x300C, 0x300D, 0x3001, 0x30FB, 0x30F2, 0x30A1, 0x30A3, 0x30A5, 0x30A7, 0x30A9,
    0x30E3, 0x30E5, 0x30E7, 0x30C3, 0x30FC, 0x30A2, 0x30A4, 0x30A6, 0x30A8, 0x30AA, 0x30AB,
    0x30AD, 0x30AF, 0x30B1, 0x30B3, 0x30B5, 0x30B7, 0x30B9, 0x30BB, 0x30BD, 0x30BF, 0x30C1,
    0x30C4, 0x30C6, 0x30C8, 0x30CA, 0x30CB, 0x30CC, 0x30CD, 0x30CE, 0x30CF, 0x30D2, 0x30D5,
    0x30D8, 0x30DB, 0x30DE, 0x30DF, 0x30E0, 0x30E1, 0x30E2, 0x30E4, 0x30E6, 0x30E8, 0x30E9,
    0x30EA, 0x30EB, 0x30EC, 0x30ED, 0x30EF, 0x30F3, 0x309B, 0x309C};

// Unicode compositions with the voiced (U+3099) and semi-voiced (U+309A)
// marks that exist in code page 932, keyed by the half-width kana's code point.
const std::map<char32_t, char32_t> kVoiced = {
    {0xFF73, 0x30F4}, {0xFF76, 0x30AC}, {0xFF77, 0x30AE}, {0xFF78, 0x30B0}, {0xFF79, 0x30B2},
    {0xFF7A, 0x30B4}, {0xFF7B, 0x30B6}, {0xFF7C, 0x30B8}, {0xFF7D, 0x30BA}, {0xFF7E, 0x30BC},
    {0xFF7F, 0x30BE}, {0xFF80, 0x30C0}, {0xFF81, 0x30C2}, {0xFF82, 0x30C5}, {0xFF83, 0x30C7},
    {0xFF84, 0x30C9}, {0xFF8A, 0x30D0}, {0xFF8B, 0x30D3}, {0xFF8C, 0x30D6}, {0xFF8D, 0x30D9},
    {0xFF8E, 0x30DC}};
const std::map<char32_t, char32_t> kSemiVoiced = {
    {0xFF8A, 0x30D1}, {0xFF8B, 0x30D4}, {0xFF8C, 0x30D7}, {0xFF8D, 0x30DA}, {0xFF8E, 0x30DD}};

std::string Wide(std::string_view s) {
  std::string out;
  cp932::ToFullWidth(s, out);
  return out;
}
std::string Narrow(std::string_view s) {
  std::string out;
  cp932::ToHalfWidth(s, out);
  return out;
}

TEST(Cp932WidthTest, AsciiAndBlankMatchTheConverter) {
  TestIconv conv;
  ASSERT_TRUE(conv.Ok());
  EXPECT_EQ(Wide(" "), conv.Encode(0x3000));
  EXPECT_EQ(Narrow("\x81\x40"), " ");
  for (int c = 0x21; c <= 0x7E; ++c) {
    std::string ascii(1, static_cast<char>(c));
    std::string expected = conv.Encode(static_cast<char32_t>(0xFF01 + c - 0x21));
    ASSERT_EQ(expected.size(), 2u) << c;
    EXPECT_EQ(Wide(ascii), expected) << "char " << c;
    EXPECT_EQ(Narrow(expected), ascii) << "char " << c;
  }
  // The choices the converter makes for the characters that differ by code page.
  EXPECT_EQ(Wide("\\"), "\x81\x5F");
  EXPECT_EQ(Wide("~"), "\x81\x60");
  EXPECT_EQ(Wide("\"'"), "\xFA\x57\xFA\x56");
  EXPECT_EQ(Narrow("\xEE\xFC\xEE\xFB"), "\"'");  // the NEC-selected duplicates
}

TEST(Cp932WidthTest, KatakanaMatchTheUnicodeForms) {
  TestIconv conv;
  ASSERT_TRUE(conv.Ok());
  for (int c = 0xA1; c <= 0xDF; ++c) {
    std::string half(1, static_cast<char>(c));
    std::vector<char32_t> cp = conv.Decode(half);
    ASSERT_EQ(cp.size(), 1u);
    ASSERT_EQ(cp[0], static_cast<char32_t>(0xFF61 + c - 0xA1));
    std::string full = conv.Encode(kHalfKanaUnicode[c - 0xA1]);
    ASSERT_EQ(full.size(), 2u);
    EXPECT_EQ(Wide(half), full) << "byte " << c;
    EXPECT_EQ(Narrow(full), half) << "byte " << c;
    // With a following mark: one combined character where Unicode (and the
    // code page) has one, else the kana and the full-width mark.
    for (char32_t mark : {char32_t{0xFF9E}, char32_t{0xFF9F}}) {
      const auto& table = mark == 0xFF9E ? kVoiced : kSemiVoiced;
      std::string withMark = half + static_cast<char>(mark == 0xFF9E ? 0xDE : 0xDF);
      auto it = table.find(cp[0]);
      std::string expected = it != table.end()
                                 ? conv.Encode(it->second)
                                 : full + conv.Encode(mark == 0xFF9E ? 0x309B : 0x309C);
      ASSERT_FALSE(expected.empty());
      EXPECT_EQ(Wide(withMark), expected) << "byte " << c;
      EXPECT_EQ(Narrow(expected), withMark) << "byte " << c;
    }
  }
  EXPECT_EQ(Wide("\xB6\xDE\xCA\xDF\xB3\xDE"), "\x83\x4B\x83\x70\x83\x94");  // ｶﾞﾊﾟｳﾞ -> ガパヴ
  EXPECT_EQ(Wide("\xDE\xDF"), "\x81\x4A\x81\x4B");  // marks with nothing to combine
  EXPECT_EQ(Wide("\xB1\xDE"), "\x83\x41\x81\x4A");  // ｱﾞ -> ア゛
}

// Every double-byte code of the code page: full width leaves it alone; half
// width maps exactly those whose Unicode character has a half-width form.
TEST(Cp932WidthTest, EveryDoubleByteCharacter) {
  TestIconv conv;
  ASSERT_TRUE(conv.Ok());
  std::map<char32_t, std::string> narrowOf;
  for (char32_t cp = 0xFF01; cp <= 0xFF5E; ++cp) narrowOf[cp] = std::string(1, static_cast<char>(cp - 0xFEE0));
  narrowOf[0x3000] = " ";
  for (int c = 0xA1; c <= 0xDF; ++c) {
    narrowOf[kHalfKanaUnicode[c - 0xA1]] = std::string(1, static_cast<char>(c));
    char32_t halfCp = static_cast<char32_t>(0xFF61 + c - 0xA1);
    if (kVoiced.count(halfCp)) narrowOf[kVoiced.at(halfCp)] = std::string(1, static_cast<char>(c)) + "\xDE";
    if (kSemiVoiced.count(halfCp)) narrowOf[kSemiVoiced.at(halfCp)] = std::string(1, static_cast<char>(c)) + "\xDF";
  }
  int mapped = 0;
  for (int lead = 0x81; lead <= 0xFC; ++lead) {
    if (!cp932::IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (int trail = 0x40; trail <= 0xFC; ++trail) {
      if (trail == 0x7F) continue;
      std::string code{static_cast<char>(lead), static_cast<char>(trail)};
      ASSERT_EQ(Wide(code), code);
      std::vector<char32_t> cp = conv.Decode(code);
      auto it = cp.size() == 1 ? narrowOf.find(cp[0]) : narrowOf.end();
      std::string expected = it != narrowOf.end() ? it->second : code;
      ASSERT_EQ(Narrow(code), expected) << std::hex << lead << " " << trail;
      if (it != narrowOf.end()) ++mapped;
    }
  }
  // 94 ASCII forms (two with a duplicate code), the blank, 63 kana and marks,
  // 26 voiced and semi-voiced kana.
  EXPECT_EQ(mapped, 94 + 2 + 1 + 63 + 26);
}

TEST(Cp932WidthTest, MixedTextAndRoundTrips) {
  // ab 1 <-> ａｂ　１
  EXPECT_EQ(Wide("ab 1"), "\x82\x81\x82\x82\x81\x40\x82\x50");
  EXPECT_EQ(Narrow("\x82\x81\x82\x82\x81\x40\x82\x50"), "ab 1");
  // Kanji whose trail byte is "\" or "A", hiragana: untouched both ways, and
  // their trail bytes are not taken for ASCII.
  const std::string kanji = "\x95\x5C\x8A\xBF\x8E\x9A\x82\xA0";  // 表漢字あ
  EXPECT_EQ(Wide(kanji), kanji);
  EXPECT_EQ(Narrow(kanji), kanji);
  EXPECT_EQ(Wide("\x95\x5C\\"), "\x95\x5C\x81\x5F");
  EXPECT_EQ(Narrow("\x83\x41" "A"), "\xB1" "A");  // ア then A
  EXPECT_EQ(Wide("\x83\x41" "A"), "\x83\x41\x82\x60");
  // Control bytes and bytes without a form stay.
  EXPECT_EQ(Wide(std::string("\t\x00\x7F\x80\xA0\xFD\xFF", 7)), std::string("\t\x00\x7F\x80\xA0\xFD\xFF", 7));
  EXPECT_EQ(Wide(""), "");
  EXPECT_EQ(Narrow(""), "");
  // Round trips over every printable single byte, voiced pairs included.
  std::string all;
  for (int c = 0x20; c <= 0x7E; ++c) all.push_back(static_cast<char>(c));
  for (int c = 0xA1; c <= 0xDF; ++c) all.push_back(static_cast<char>(c));
  all += "\xB6\xDE\xCA\xDF\xB3\xDE";
  EXPECT_EQ(Narrow(Wide(all)), all);
  std::string wide = Wide(all);
  EXPECT_EQ(Wide(Narrow(wide)), wide);
}

TEST(Cp932WidthTest, LoneLeadByteAtTheEnd) {
  // Views cut through a character: nothing beyond the view is read.
  const std::string buffer = "a\x82\x60\x82\x60";
  std::string_view cut(buffer.data(), 4);  // a, Ａ, lone 0x82
  EXPECT_EQ(Narrow(cut), "aA\x82");
  EXPECT_EQ(Wide(cut), "\x82\x81\x82\x60\x82");
  const std::string kana = "\xB6\xDE";
  EXPECT_EQ(Wide(std::string_view(kana.data(), 1)), "\x83\x4A");  // ｶ alone: no mark read
  EXPECT_EQ(Narrow("\x83"), "\x83");
  EXPECT_EQ(Wide("\x83"), "\x83");
}

TEST(Cp932WidthTest, OutputBufferIsReused) {
  std::string out;
  out.reserve(256);
  const char* before = out.data();
  cp932::ToFullWidth("12345", out);
  cp932::ToHalfWidth("\x82\x50\x82\x51", out);
  EXPECT_EQ(out, "12");
  EXPECT_EQ(out.data(), before);
}

}  // namespace
