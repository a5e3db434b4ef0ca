#include "platform/Cp932.h"

#include <gtest/gtest.h>
#include <iconv.h>
#include <locale.h>
#include <wctype.h>

#include <chrono>
#include <random>
#include <string>
#include <vector>

using cp932::Compare;
using cp932::FindAligned;
using cp932::FindChar;

namespace {

constexpr size_t npos = std::string_view::npos;

// One character (`c2` ignored after a single-byte one) through the case
// conversion of whole texts, as lead*256+trail or a single byte value.
unsigned CaseOf(bool upper, unsigned char c1, unsigned char c2) {
  std::string text(1, static_cast<char>(c1));
  if (cp932::IsLeadByte(c1)) text.push_back(static_cast<char>(c2));
  if (upper) {
    cp932::UpperInPlace(text);
  } else {
    cp932::LowerInPlace(text);
  }
  const auto byte = [&text](size_t i) { return static_cast<unsigned>(static_cast<unsigned char>(text[i])); };
  return text.size() == 2 ? byte(0) * 256 + byte(1) : byte(0);
}
unsigned ToUpperChar(unsigned char c1, unsigned char c2) { return CaseOf(true, c1, c2); }
unsigned ToLowerChar(unsigned char c1, unsigned char c2) { return CaseOf(false, c1, c2); }

// Reference search: try every character start in turn, stepping by CharLen.
size_t NaiveFind(std::string_view h, std::string_view n, size_t from) {
  if (from >= h.size()) return npos;
  for (size_t i = from; i < h.size(); i += cp932::CharLen(h, i))
    if (h.compare(i, n.size(), n) == 0 && i + n.size() <= h.size()) return i;
  return npos;
}

}  // namespace

TEST(Cp932Trim, RemovesWhiteSpaceButNeverASecondByte) {
  EXPECT_EQ(cp932::Trim(" \t\r\n\v\fabc \t\r\n"), "abc");
  EXPECT_EQ(cp932::Trim("   "), "");
  EXPECT_EQ(cp932::Trim(""), "");
  // The full-width blank is not white space.
  EXPECT_EQ(cp932::Trim("\x81\x40x\x81\x40"), "\x81\x40x\x81\x40");
  // "表" ends in 0x5C; the blank after it goes.
  EXPECT_EQ(cp932::TrimRight("\x95\x5C  "), "\x95\x5C");
  // A lead byte followed by a blank or tab forms one character: keep both.
  EXPECT_EQ(cp932::TrimRight("a\x83\x20"), "a\x83\x20");
  EXPECT_EQ(cp932::TrimRight("\x83\x09"), "\x83\x09");
  // Lead-range bytes in a row: 0x88 0x9F is one character, then a blank.
  EXPECT_EQ(cp932::TrimRight("\x88\x9F "), "\x88\x9F");
  // 0x9F | 0x88 0x9F? No: 0x9F 0x88 is one character, 0x9F 0x20 the next.
  EXPECT_EQ(cp932::TrimRight("\x9F\x88\x9F\x20"), "\x9F\x88\x9F\x20");
  // After the blank that is a second byte, trimming stops.
  EXPECT_EQ(cp932::TrimRight("\x83\x20 \t"), "\x83\x20");

  EXPECT_EQ(cp932::Trim("  \x83\x41 \x95\x5C  "), "\x83\x41 \x95\x5C");
  EXPECT_EQ(cp932::Trim("\t\x83\x20"), "\x83\x20");
}

TEST(Cp932Find, NeverMatchesInsideADoubleByteCharacter) {
  EXPECT_EQ(FindAligned("\x83\x41", "A"), npos);          // ア
  EXPECT_EQ(FindAligned("\x95\x5C", "\\"), npos);         // 表
  EXPECT_EQ(FindAligned("\x83\x41" "A", "A"), 2u);        // candidate right after a pair
  EXPECT_EQ(FindAligned("\x95\x5C\\", "\\"), 2u);
  EXPECT_EQ(FindAligned("\x83\x41\x83\x41", "\x41\x83"), npos);  // straddles two characters
  EXPECT_EQ(FindAligned("x\x83\x41", "\x83\x41"), 1u);
  // A run of lead-range bytes: 0x88 0x9F 0x88 0x41 -> 0x41 is a second byte.
  EXPECT_EQ(FindAligned("\x88\x9F\x88\x41", "A"), npos);
  EXPECT_EQ(FindAligned("\x9F\x88\x9F\x41" "A", "A"), 4u);
  // The empty needle matches at `from` of a non-empty text only.
  EXPECT_EQ(FindAligned("abc", ""), 0u);
  EXPECT_EQ(FindAligned("abc", "", 2), 2u);
  EXPECT_EQ(FindAligned("", ""), npos);
  EXPECT_EQ(FindAligned("abc", "", 3), npos);
  // `from` skips earlier matches.
  EXPECT_EQ(FindAligned("a,\x83\x41,", ",", 2), 4u);
  EXPECT_EQ(FindAligned("ab", "abc"), npos);

  EXPECT_EQ(FindChar("\x95\x5C" "a\\", '\\'), 3u);
  EXPECT_EQ(FindChar("\x83\x41", 'A'), npos);
  EXPECT_EQ(FindChar("\x83,", ','), npos);  // a lead byte takes any byte after it
  EXPECT_EQ(FindChar("ab=c=", '=', 3), 4u);
  EXPECT_EQ(FindChar("", '='), npos);
}

TEST(Cp932Find, AgreesWithCharacterByCharacterSearchOnRandomText) {
  // Random text over an alphabet rich in lead bytes, second bytes that look
  // like ASCII, and the characters searched for.
  const unsigned char alphabet[] = {'A', '\\', ',', ' ', 0x41, 0x5C, 0x83, 0x95, 0x88, 0x9F, 0xE0, 0xB1};
  std::mt19937 rng(932);
  for (int round = 0; round < 2000; ++round) {
    std::string h, n;
    size_t hl = rng() % 24, nl = 1 + rng() % 3;
    for (size_t i = 0; i < hl; ++i) h += static_cast<char>(alphabet[rng() % sizeof alphabet]);
    for (size_t i = 0; i < nl; ++i) n += static_cast<char>(alphabet[rng() % sizeof alphabet]);
    size_t from = 0;
    for (size_t k = rng() % 4; k > 0 && from < h.size(); --k) from += cp932::CharLen(h, from);
    ASSERT_EQ(FindAligned(h, n, from), NaiveFind(h, n, from)) << round;
    ASSERT_EQ(FindChar(h, n[0], from), NaiveFind(h, n.substr(0, 1), from)) << round;
  }
}

TEST(Cp932Find, LongKanjiTextStaysLinear) {
  // 200,000 characters whose second byte is in the lead range, each pair
  // containing the needle's first byte: a quadratic boundary check would
  // take seconds here.
  std::string h;
  for (int i = 0; i < 200000; ++i) h += "\x88\x9F";
  std::string tail = "\x9F" "A";
  EXPECT_EQ(FindAligned(h + "A", "\x9F" "A"), npos);
  EXPECT_EQ(FindAligned(h + tail, tail), 400000u);
  EXPECT_EQ(FindChar(h, '\x9F'), npos);  // every 0x9F is a second byte
  h += "\x9F";  // a lone lead byte at the end is a character of its own
  EXPECT_EQ(FindChar(h, '\x9F'), 400000u);
}

TEST(Cp932Find, LongNeedleStaysLinear) {
  // Both texts repeat one byte: comparing the needle at every position
  // would take 4,000,000 x 100,000 steps (tens of seconds).
  const std::string h(4000000, 'a');
  const std::string n = std::string(100000, 'a') + "b";
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(FindAligned(h, n), npos);
  EXPECT_EQ(FindAligned(h + n, n), h.size());
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

  // Long needles keep the character grid: "A" + 40 x "ア" (0x83 0x41) first
  // occurs from the second byte of an "ア" and only then at a character start.
  std::string kana;
  for (int i = 0; i < 40; ++i) kana += "\x83\x41";
  const std::string needle = "A" + kana;
  EXPECT_EQ(FindAligned("\x83" + needle, needle), npos);
  EXPECT_EQ(FindAligned("\x83" + needle + "x" + needle, needle), 2 + needle.size());
  // ... and "表" (0x95 0x5C) never lends its second byte to a "\" search.
  std::string hyo;
  for (int i = 0; i < 40; ++i) hyo += "\x95\x5C";
  EXPECT_EQ(FindAligned(hyo + "\\" + hyo, "\\" + hyo), hyo.size());
  EXPECT_EQ(FindAligned("\x95" + ("\\" + hyo), "\\" + hyo), npos);
}

TEST(Cp932Find, LongNeedlesAgreeWithCharacterByCharacterSearch) {
  // Needles long enough for the linear search, cut from the text itself at
  // any byte (so often from the second byte of a pair).
  const unsigned char alphabet[] = {'A', '\\', 0x41, 0x5C, 0x83, 0x95, 0x88, 0x9F, 0xB1};
  std::mt19937 rng(9320);
  for (int round = 0; round < 500; ++round) {
    std::string h;
    const size_t hl = 40 + rng() % 200;
    for (size_t i = 0; i < hl; ++i) h += static_cast<char>(alphabet[rng() % sizeof alphabet]);
    const size_t nl = 32 + rng() % 8;
    const std::string n = h.substr(rng() % (hl - nl), nl);
    ASSERT_EQ(FindAligned(h, n), NaiveFind(h, n, 0)) << round;
    ASSERT_EQ(FindAligned(h + h, n, h.size()), NaiveFind(h + h, n, h.size())) << round;
  }
}

TEST(Cp932Compare, CodePageOrder) {
  // Half-width katakana 0xB1 sorts before every double-byte character.
  EXPECT_LT(Compare("\xB1", "\x82\xA0"), 0);
  EXPECT_GT(Compare("\x82\xA0", "\xB1"), 0);
  EXPECT_LT(Compare("\x82\xA0", "\x82\xA1"), 0);
  EXPECT_LT(Compare("\x82\xFC", "\x83\x40"), 0);
  EXPECT_LT(Compare("\x83\x41", "\x83\x41" "A"), 0);  // prefix first
  EXPECT_EQ(Compare("abc", "abc"), 0);
  EXPECT_LT(Compare("ABC", "abc"), 0);
  EXPECT_LT(Compare("", "a"), 0);
  EXPECT_EQ(Compare("", ""), 0);
  // A lone lead byte at the end counts as the end of the string.
  EXPECT_EQ(Compare("ab\x83", "ab"), 0);
  EXPECT_LT(Compare("ab\x83", "ab "), 0);
  // ...but a lead-range byte that is a second byte is data.
  EXPECT_GT(Compare("\x88\x9F", "\x88"), 0);
  EXPECT_EQ(Compare("\x88\x9F\x88", "\x88\x9F"), 0);
}

TEST(Cp932Case, LettersOnlyWholeCharacters) {
  EXPECT_EQ(ToUpperChar('a', 0), unsigned('A'));
  EXPECT_EQ(ToUpperChar('z', 0), unsigned('Z'));
  EXPECT_EQ(ToUpperChar('{', 0), unsigned('{'));
  EXPECT_EQ(ToUpperChar(0xB1, 0), 0xB1u);  // half-width katakana stays
  EXPECT_EQ(ToLowerChar('Q', 0), unsigned('q'));
  EXPECT_EQ(ToUpperChar(0x82, 0x81), 0x8260u);  // ａ -> Ａ
  EXPECT_EQ(ToUpperChar(0x82, 0x9A), 0x8279u);  // ｚ -> Ｚ
  EXPECT_EQ(ToLowerChar(0x82, 0x60), 0x8281u);
  EXPECT_EQ(ToUpperChar(0x83, 0xBF), 0x839Fu);  // α -> Α
  EXPECT_EQ(ToUpperChar(0x84, 0x70), 0x8440u);  // а -> А
  EXPECT_EQ(ToUpperChar(0x84, 0x80), 0x844Fu);  // о -> О (after the gap)
  EXPECT_EQ(ToUpperChar(0x84, 0x91), 0x8460u);  // я -> Я
  EXPECT_EQ(ToLowerChar(0x84, 0x4E), 0x847Eu);
  EXPECT_EQ(ToLowerChar(0x84, 0x4F), 0x8480u);
  EXPECT_EQ(ToUpperChar(0x84, 0x7F), 0x847Fu);  // the gap itself is no letter
  EXPECT_EQ(ToUpperChar(0x83, 0x61), 0x8361u);  // ツ: second byte 'a' is no letter

  std::string s = "ab\x83\x61" "c\x82\x81\x95\x5C" "d\x83";
  cp932::UpperInPlace(s);
  EXPECT_EQ(s, "AB\x83\x61" "C\x82\x60\x95\x5C" "D\x83");
  cp932::LowerInPlace(s);
  EXPECT_EQ(s, "ab\x83\x61" "c\x82\x81\x95\x5C" "d\x83");
  // A lone lead byte at the end is left alone, even if the next byte in
  // memory would make a letter.
  std::string src = "\x82\x81";
  std::string dst = "old contents";
  cp932::UpperInto(std::string_view(src).substr(0, 1), dst);
  EXPECT_EQ(dst, "\x82");
  cp932::UpperInto("x\x83\x41y", dst);
  EXPECT_EQ(dst, "X\x83\x41Y");
}

TEST(Cp932Case, TablesAgreeWithTheCLibrary) {
  locale_t utf8 = newlocale(LC_CTYPE_MASK, "C.UTF-8", static_cast<locale_t>(0));
  if (utf8 == static_cast<locale_t>(0)) GTEST_SKIP() << "no C.UTF-8 locale";
  iconv_t toWide = iconv_open("WCHAR_T", "CP932");
  iconv_t fromWide = iconv_open("CP932", "WCHAR_T");
  ASSERT_NE(toWide, reinterpret_cast<iconv_t>(-1));
  ASSERT_NE(fromWide, reinterpret_cast<iconv_t>(-1));

  auto decode = [&](unsigned char c1, unsigned char c2, wchar_t& wc) {
    char in[2] = {static_cast<char>(c1), static_cast<char>(c2)};
    char* pin = in;
    size_t inLeft = 2;
    char* pout = reinterpret_cast<char*>(&wc);
    size_t outLeft = sizeof wc;
    iconv(toWide, nullptr, nullptr, nullptr, nullptr);
    return iconv(toWide, &pin, &inLeft, &pout, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
  };
  auto encode = [&](wchar_t wc, unsigned& code) {
    char out[4];
    char* pin = reinterpret_cast<char*>(&wc);
    size_t inLeft = sizeof wc;
    char* pout = out;
    size_t outLeft = sizeof out;
    iconv(fromWide, nullptr, nullptr, nullptr, nullptr);
    if (iconv(fromWide, &pin, &inLeft, &pout, &outLeft) == static_cast<size_t>(-1)) return false;
    if (sizeof out - outLeft != 2) return false;
    code = static_cast<unsigned char>(out[0]) * 256u + static_cast<unsigned char>(out[1]);
    return true;
  };

  int letters = 0;
  // Rows 0x82-0x84 hold full-width Latin, Greek and Cyrillic (and digits,
  // kana, symbols, box drawing that must stay as they are).
  for (unsigned c1 = 0x82; c1 <= 0x84; ++c1) {
    for (unsigned c2 = 0x40; c2 <= 0xFC; ++c2) {
      wchar_t wc;
      auto b1 = static_cast<unsigned char>(c1), b2 = static_cast<unsigned char>(c2);
      if (!decode(b1, b2, wc)) continue;
      unsigned self = c1 * 256 + c2;
      unsigned up = self, low = self;
      wint_t wu = towupper_l(static_cast<wint_t>(wc), utf8);
      wint_t wl = towlower_l(static_cast<wint_t>(wc), utf8);
      if (wu != static_cast<wint_t>(wc) && !encode(static_cast<wchar_t>(wu), up)) up = self;
      if (wl != static_cast<wint_t>(wc) && !encode(static_cast<wchar_t>(wl), low)) low = self;
      EXPECT_EQ(ToUpperChar(b1, b2), up) << std::hex << self;
      EXPECT_EQ(ToLowerChar(b1, b2), low) << std::hex << self;
      if (up != self || low != self) ++letters;
    }
  }
  // 26 + 26 Latin, 24 + 24 Greek, 33 + 33 Cyrillic.
  EXPECT_EQ(letters, 166);
  // Single bytes: only a-z and A-Z change.
  for (unsigned c = 0; c < 0x80; ++c) {
    auto b = static_cast<unsigned char>(c);
    EXPECT_EQ(ToUpperChar(b, 0), static_cast<unsigned>(towupper_l(static_cast<wint_t>(c), utf8)));
    EXPECT_EQ(ToLowerChar(b, 0), static_cast<unsigned>(towlower_l(static_cast<wint_t>(c), utf8)));
  }
  iconv_close(toWide);
  iconv_close(fromWide);
  freelocale(utf8);
}
