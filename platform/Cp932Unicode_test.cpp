// Literals written as characters are UTF-8 (this file's encoding); code page 932 bytes
// are written in hex. Every code is checked against the C library's converter, and the
// block and wide paths against the scalar one.
#include "platform/Cp932Unicode.h"

#include <gtest/gtest.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstring>
#include <random>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Cp932UnicodeSimd.h"
#include "platform/Iconv.h"
#include "platform/Utf8.h"

namespace {

using cp932::FromUtf8Result;
using cp932::Unmappable;
using cp932::Utf8Problem;

std::string Cp932(std::string_view utf8, Unmappable policy = Unmappable::kStop,
                  FromUtf8Result* result = nullptr) {
  std::string out = "=";  // appends after what is there
  const FromUtf8Result r = cp932::AppendFromUtf8(utf8, out, policy);
  EXPECT_EQ(out.size(), 1 + r.written);
  if (result) *result = r;
  return out.substr(1);
}

std::string Utf8(std::string_view cp932, size_t* blanks = nullptr) {
  std::string out = "=";
  const size_t n = cp932::AppendToUtf8(cp932, out);
  if (blanks) *blanks = n;
  return out.substr(1);
}

using FromUtf8Path = FromUtf8Result (*)(std::string_view, char*, Unmappable);

// One conversion from UTF-8 in full by one path, for comparing the paths; the buffer is
// exactly as large as the contract says.
std::string FromUtf8Trace(std::string_view in, Unmappable policy, FromUtf8Path path) {
  std::vector<char> buffer(cp932::MaxCp932Size(in.size()));
  const FromUtf8Result r = path(in, buffer.data(), policy);
  const std::string out(buffer.data(), r.written);
  return out + "|" + std::to_string(static_cast<int>(r.problem)) + " " + std::to_string(r.offset) + " " +
         std::to_string(r.codePoint) + " " + std::to_string(r.byte) + " " + std::to_string(r.column) + " " +
         std::to_string(r.replaced);
}

using ToUtf8Path = cp932::ToUtf8Result (*)(std::string_view, char*);

// One conversion to UTF-8 in full by one path; the buffer is exactly as large as the
// contract says, so a path that writes beyond it fails under the address sanitizer.
std::string ToUtf8Trace(std::string_view in, ToUtf8Path path) {
  std::vector<char> out(cp932::MaxUtf8Size(in.size()));
  const cp932::ToUtf8Result r = path(in, out.data());
  return std::string(out.data(), r.written) + "|" + std::to_string(r.blanks);
}

// The paths to compare with the scalar one on this processor.
std::vector<FromUtf8Path> FastFromUtf8Paths() {
  std::vector<FromUtf8Path> paths = {cp932::block::FromUtf8};
  if (cp932::wide::Available()) paths.push_back(cp932::wide::FromUtf8);
  return paths;
}

// Each fast path against the scalar one, both policies.
void ExpectFromUtf8PathsAgree(const std::string& u) {
  for (Unmappable policy : {Unmappable::kStop, Unmappable::kReplace}) {
    const std::string expected = FromUtf8Trace(u, policy, cp932::scalar::FromUtf8);
    for (FromUtf8Path path : FastFromUtf8Paths())
      ASSERT_EQ(FromUtf8Trace(u, policy, path), expected) << testing::PrintToString(u);
  }
}

std::vector<ToUtf8Path> FastToUtf8Paths() {
  std::vector<ToUtf8Path> paths = {cp932::block::ToUtf8};
  if (cp932::wide::Available()) paths.push_back(cp932::wide::ToUtf8);
  return paths;
}

std::string Utf8Of(char32_t u) {
  std::string s;
  if (u < 0x80) return s += static_cast<char>(u), s;
  if (u < 0x800) return s = {char(0xC0 | u >> 6), char(0x80 | (u & 0x3F))};
  if (u < 0x10000) return s = {char(0xE0 | u >> 12), char(0x80 | (u >> 6 & 0x3F)), char(0x80 | (u & 0x3F))};
  return s = {char(0xF0 | u >> 18), char(0x80 | (u >> 12 & 0x3F)), char(0x80 | (u >> 6 & 0x3F)), char(0x80 | (u & 0x3F))};
}

}  // namespace

TEST(Cp932Unicode, EveryCodeDecodesAsTheCLibraryDoes) {
  std::string all, allUtf8, part;
  for (unsigned first = 0; first < 256; ++first) {
    for (unsigned second = 0; second < (cp932::IsLeadByte(static_cast<unsigned char>(first)) ? 256u : 1u); ++second) {
      std::string code(1, static_cast<char>(first));
      if (cp932::IsLeadByte(static_cast<unsigned char>(first))) code += static_cast<char>(second);
      size_t blanks = 0;
      const std::string ours = Utf8(code, &blanks);
      if (IconvCp932ToUtf8().Convert(code, part)) {
        EXPECT_EQ(ours, part) << std::hex << first << " " << second;
        EXPECT_EQ(blanks, 0u);
        all += code, allUtf8 += part;
      } else {
        EXPECT_NE(blanks, 0u) << std::hex << first << " " << second;
        EXPECT_EQ(ours.size(), code.size()) << "one column per byte";
      }
    }
  }
  EXPECT_EQ(all.size(), 2 * 9795u - 191) << "glibc decodes 9,795 codes, 191 of them single bytes";
  EXPECT_EQ(Utf8(all), allUtf8);  // in one text: the block path
}

TEST(Cp932Unicode, EveryCharacterEncodesAsTheCLibraryDoes) {
  std::string all, allCp932, part;
  for (char32_t u = 0; u <= 0x10FFFF; ++u) {
    if (u >= 0xD800 && u <= 0xDFFF) continue;
    const std::string text = Utf8Of(u);
    FromUtf8Result r;
    const std::string ours = Cp932(text, Unmappable::kStop, &r);
    if (IconvUtf8ToCp932().Convert(text, part)) {
      ASSERT_EQ(ours, part) << std::hex << unsigned(u);
      ASSERT_EQ(r.problem, Utf8Problem::kNone);
      all += text, allCp932 += part;
    } else {
      ASSERT_EQ(r.problem, Utf8Problem::kNoCp932Form) << std::hex << unsigned(u);
      ASSERT_EQ(r.codePoint, u);
      ASSERT_EQ(r.column, 1u);
    }
  }
  EXPECT_EQ(Cp932(all), allCp932);  // in one text: the block path
}

TEST(Cp932Unicode, BothFormsOfAVariantPairAreOneCode) {
  const struct {
    const char* forms;
    const char* code;
  } pairs[] = {{"〜～", "\x81\x60"}, {"‖∥", "\x81\x61"}, {"−－", "\x81\x7C"}, {"¢￠", "\x81\x91"},
               {"£￡", "\x81\x92"}, {"¬￢", "\x81\xCA"}, {"—―", "\x81\x5C"}};
  for (const auto& p : pairs) EXPECT_EQ(Cp932(p.forms), std::string(p.code) + p.code) << p.forms;
  // Narrow ¥ and ‾ keep one column, the wide forms two; output is the shared table's.
  EXPECT_EQ(Cp932("¥￥‾￣"), "\x5C\x81\x8F\x7E\x81\x50");
  EXPECT_EQ(Utf8("\x81\x60\x81\x61\x81\x7C\x5C\x7E"), "～∥－\\~");
}

TEST(Cp932Unicode, CharactersWithTwoCodesMeetInTheFormWindowsWrites) {
  const struct {
    const char* utf8;
    std::vector<std::string> twins;
    const char* canonical;
  } cases[] = {{"∵", {"\x87\x9A", "\xFA\x5B"}, "\x81\xE6"},  {"≒", {"\x87\x90"}, "\x81\xE0"},
               {"¬", {"\xEE\xF9", "\xFA\x54"}, "\x81\xCA"},  {"Ⅰ", {"\xFA\x4A"}, "\x87\x54"},
               {"ⅰ", {"\xEE\xEF"}, "\xFA\x40"},              {"№", {"\xFA\x59"}, "\x87\x82"},
               {"℡", {"\xFA\x5A"}, "\x87\x84"},              {"㈱", {"\xFA\x58"}, "\x87\x8A"},
               {"﨑", {"\xED\x95"}, "\xFA\xB1"},              {"＂", {"\xEE\xFC"}, "\xFA\x57"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Cp932(c.utf8), c.canonical) << c.utf8;
    for (std::string twin : c.twins) {
      EXPECT_EQ(cp932::Canonicalize(twin), 1u) << c.utf8;
      EXPECT_EQ(twin, c.canonical) << c.utf8;
    }
  }
  // Every code: canonical is what a round trip through UTF-8 writes.
  size_t changed = 0;
  for (unsigned code = 0x8140; code <= 0xFCFC; ++code) {
    std::string text = {char(code >> 8), char(code & 0xFF)};
    const std::string utf8 = Utf8(text);
    if (utf8.find(' ') != std::string::npos || !cp932::IsLeadByte(static_cast<unsigned char>(text[0]))) continue;
    changed += cp932::Canonicalize(text);
    EXPECT_EQ(text, Cp932(utf8)) << std::hex << code;
  }
  EXPECT_EQ(changed, 398u);
  // Character-aligned: "ED 95" inside 0x88ED 0x9540 is no 﨑; a lone lead stays.
  std::string aligned = "\x88\xED\x95\x40\xED";
  EXPECT_EQ(cp932::Canonicalize(aligned), 0u);
  EXPECT_EQ(aligned, "\x88\xED\x95\x40\xED");
}

TEST(Cp932Unicode, MalformedUtf8StopsAtItsFirstByte) {
  const struct {
    std::string text;
    size_t offset;
    unsigned char byte;
    size_t column;
    const char* replaced;
  } cases[] = {
      {"ab\x80z", 2, 0x80, 3, "ab?z"},                   // stray continuation byte
      {"表\xC0\xAF", 3, 0xC0, 3, "\x95\x5C??"},          // overlong "/"
      {"\xE0\x9F\xBF", 0, 0xE0, 1, "???"},               // overlong U+07FF
      {"x\xED\xA0\x80", 1, 0xED, 2, "x???"},             // surrogate
      {"\xF4\x90\x80\x80", 0, 0xF4, 1, "????"},          // above U+10FFFF
      {"ア\xE3\x81", 3, 0xE3, 3, "\x83\x41??"},          // cut by the end
      {"ア\xE3\x81" "A", 3, 0xE3, 3, "\x83\x41??A"},     // cut by an ASCII byte
      {"東京大阪\xE0\x80\xAF名", 12, 0xE0, 9, "\x93\x8C\x8B\x9E\x91\xE5\x8D\xE3???\x96\xBC"},  // overlong in a run
      {std::string(15, 'a') + "\xE8\xA1", 15, 0xE8, 16, nullptr},  // cut at a block's end
      {"\xFF", 0, 0xFF, 1, "?"},
  };
  for (const auto& c : cases) {
    FromUtf8Result r;
    Cp932(c.text, Unmappable::kStop, &r);
    EXPECT_EQ(r.problem, Utf8Problem::kMalformed) << c.text;
    EXPECT_EQ(r.offset, c.offset) << c.text;
    EXPECT_EQ(r.byte, c.byte) << c.text;
    EXPECT_EQ(r.column, c.column) << c.text;
    if (!c.replaced) continue;
    EXPECT_EQ(Cp932(c.text, Unmappable::kReplace, &r), c.replaced);
    EXPECT_EQ(r.problem, Utf8Problem::kNone);
  }
}

TEST(Cp932Unicode, CharactersWithoutAFormStopOrBecomeAStandInOfTheirWidth) {
  FromUtf8Result r;
  EXPECT_EQ(Cp932("ab東😀ｱ", Unmappable::kStop, &r), "ab\x93\x8C");
  EXPECT_EQ(r.problem, Utf8Problem::kNoCp932Form);
  EXPECT_EQ(r.codePoint, 0x1F600u);
  EXPECT_EQ(r.offset, 5u);
  EXPECT_EQ(r.column, 5u);
  EXPECT_EQ(r.written, 4u);
  // Wide (emoji, 𠮷, Hangul, ambiguous é as in Japanese text) 〓; narrow ñ "?";
  // a combining accent and a byte-order mark nothing.
  EXPECT_EQ(Cp932("😀𠮷한éñe\u0301\uFEFFｱ", Unmappable::kReplace, &r),
            "\x81\xAC\x81\xAC\x81\xAC\x81\xAC?e\xB1");
  EXPECT_EQ(r.replaced, 7u);
  EXPECT_EQ(r.problem, Utf8Problem::kNone);
  // Private use: the user-defined area both ways, beyond it no form; tags are dropped.
  EXPECT_EQ(Cp932("\uE000\uE757"), "\xF0\x40\xF9\xFC");
  EXPECT_EQ(Utf8("\xF0\x40\xF9\xFC"), "\uE000\uE757");
  Cp932("\uE758", Unmappable::kStop, &r);
  EXPECT_EQ(r.problem, Utf8Problem::kNoCp932Form);
  EXPECT_EQ(Cp932("a\U000E0041b", Unmappable::kStop, &r), "ab");
  EXPECT_EQ(r.problem, Utf8Problem::kNone);
}

TEST(Cp932Unicode, BytesThatAreNotWholeCharactersBecomeBlanks) {
  const struct {
    std::string cp932;
    const char* utf8;
    size_t blanks;
  } cases[] = {
      {"\x83\x41\x95\x5C", "ア表", 0},  // second bytes "A" and "\"
      {"ab\x83", "ab ", 1},             // a lone lead byte at the end
      {"\x83\x0A", " \n", 1},           // a byte that cannot be second is read on its own
      {"\x83,x", " ,x", 1},
      {"\x85\x41", "  ", 2},            // an undefined pair: two blanks, no "A"
      {"\x80\xA0\xFD\xFF", "    ", 4},  // undefined single bytes
      {"\x83\xFD", "  ", 2},
      {std::string(15, 'a') + "\x83\x41", "aaaaaaaaaaaaaaaア", 0},  // a pair across a block's end
      {std::string(16, 'a') + "\x83", "aaaaaaaaaaaaaaaa ", 1},
  };
  for (const auto& c : cases) {
    size_t blanks = 0;
    EXPECT_EQ(Utf8(c.cp932, &blanks), c.utf8) << c.utf8;
    EXPECT_EQ(blanks, c.blanks) << c.utf8;
  }
}

// The block path against the scalar path on random texts of pieces that meet at every
// position of a block: ASCII, two- and three-byte characters, half-width katakana,
// characters without a form, four-byte characters, and malformed pieces. Texts of
// whole characters are also compared with the C library's converter.
TEST(Cp932Unicode, BlockAndScalarPathsAgreeOnRandomTexts) {
  const std::vector<std::string> utf8Pieces = {
      "a", "A1 ", "\\", "α", "×", "東", "表", "ア", "〜", "﨑", "ｱ", "ﾞ", "\uE000",  // mappable: the first 13
      "é", "한", "😀", "𠮷", "\xE0\xA0\x80", "\xED\x9F\xBF", "\xED\xA0\x80", "\x80", "\xC0\xAF", "\xE3\x81",
      "\xF0\x9F", "\xFF"};
  const std::vector<std::string> cp932Pieces = {"a", " ", "\x83\x41", "\x95\x5C", "\x88\xED", "\xB1", "\xFA\xB1",
                                                "\x0A", "\x83", "\x85\x41", "\x80", "\xFD", "\xEF"};  // whole: 8
  const char* const kPairs[] = {"\x83\x41", "\x95\x5C", "\x88\xED", "\xFA\xB1", "\x85\x41", "\x83\x0A"};
  std::mt19937 random(932);
  std::string reference;
  for (int round = 0; round < 20000; ++round) {
    std::string u, c;
    bool whole = round % 2 == 0;  // half of the texts of whole characters only
    const int pieces = static_cast<int>(random() % 48);
    for (int k = 0; k < pieces; ++k) {
      const size_t pick = whole || random() % 4 != 0 ? random() % 13 : random() % utf8Pieces.size();
      u += utf8Pieces[pick];
      if (round % 4 == 1 && random() % 16 != 0)  // runs of pairs, some not whole
        c += kPairs[random() % std::size(kPairs)];
      else
        c += cp932Pieces[whole ? random() % 8 : random() % cp932Pieces.size()];
    }
    ExpectFromUtf8PathsAgree(u);
    if (HasFatalFailure()) return;
    for (ToUtf8Path path : FastToUtf8Paths())
      ASSERT_EQ(ToUtf8Trace(c, path), ToUtf8Trace(c, cp932::scalar::ToUtf8)) << testing::PrintToString(c);
    ASSERT_TRUE(utf8::IsWellFormed(Utf8(c)));
    if (!whole) continue;
    ASSERT_TRUE(IconvUtf8ToCp932().Convert(u, reference));
    ASSERT_EQ(Cp932(u), reference) << testing::PrintToString(u);
    ASSERT_TRUE(IconvCp932ToUtf8().Convert(c, reference));
    ASSERT_EQ(Utf8(c), reference) << testing::PrintToString(c);
  }
}

// Texts of up to three windows of the wide path made of the bytes that decide where
// characters start: lead bytes in runs of every length (0x81 0x81 is one character, the
// second byte being a lead byte too), second bytes that are ASCII letters or "\", bytes
// that cannot be second bytes, undefined bytes, long runs of ASCII; so pairs fall across
// every window edge and texts end in a lone lead byte. Each fast path against the
// scalar one.
TEST(Cp932Unicode, FastPathsFindCharactersAcrossWindowEdges) {
  const unsigned char bytes[] = {'a', 0x41, 0x5C, 0x0A, 0x81, 0x81, 0x83, 0x95, 0x9F, 0xE0,
                                 0xFC, 0xED, 0xFA, 0xB1, 0x40, 0x7F, 0xFD, 0x80, 0xA0, 0xFF};
  std::mt19937 random(64);
  for (int round = 0; round < 20000; ++round) {
    const size_t size = random() % 200;
    const size_t leads = random() % 4;  // how much of the text is lead bytes: a quarter to all
    const bool ascii = round % 3 == 0;    // or mostly ASCII, in runs that the wide path copies
    std::string c(size, 'a');
    for (char& b : c) {
      if (ascii) b = static_cast<char>(random() % 16 != 0 ? '0' + random() % 10 : bytes[random() % sizeof bytes]);
      else b = static_cast<char>(random() % 4 <= leads ? 0x81 + random() % 3 : bytes[random() % sizeof bytes]);
    }
    for (ToUtf8Path path : FastToUtf8Paths())
      ASSERT_EQ(ToUtf8Trace(c, path), ToUtf8Trace(c, cp932::scalar::ToUtf8)) << testing::PrintToString(c);
  }
}

// Runs of three-byte characters of every length up to 70, which the block path takes
// five at a time, with now and then one it must leave to the scalar path: a character
// without a form (한), a surrogate, a sequence cut by the text's end.
TEST(Cp932Unicode, LongRunsOfThreeByteCharactersAgreeWithTheScalarPath) {
  const std::vector<std::string> three = {"東", "ア", "ｱ", "〜", "﨑", "\uE000", "한", "\xED\xA0\x80"};
  std::mt19937 random(21);
  for (int round = 0; round < 5000; ++round) {
    std::string u(random() % 4, 'a');
    for (size_t n = random() % 70; n > 0; --n) u += three[random() % 32 != 0 ? random() % 6 : 6 + random() % 2];
    if (round % 3 == 0) u += "\xE3\x81";  // cut
    else if (round % 3 == 1) u += "xyz";
    ExpectFromUtf8PathsAgree(u);
    if (HasFatalFailure()) return;
  }
}

// Texts of up to three stretches of the wide path (1,024 bytes each, cut where a character
// starts), so that characters of two, three and four bytes and malformed ones fall across
// every 64-byte window edge and every stretch edge, with runs of ASCII long enough to be
// copied as they are between them. Each fast path against the scalar one.
TEST(Cp932Unicode, FastPathsFromUtf8AgreeAcrossWindowsAndStretches) {
  const std::vector<std::string> pieces = {
      "a", "\\", "α", "東", "ア", "ｱ", "〜", "﨑", "¥",                 // mappable: the first 9
      std::string(63, '0'), std::string(64, '1'), std::string(130, '2'),  // ASCII runs
      "é", "😀", "\xED\x9F\xBF", "\xE0\xA0\x80", "\x80", "\xE3\x81", "\xC3", "\xFF"};
  std::mt19937 random(1024);
  for (int round = 0; round < 3000; ++round) {
    std::string u;
    const size_t size = random() % 3100;
    const bool whole = round % 2 == 0;
    while (u.size() < size) {
      const size_t pick = random() % 8 == 0 ? 9 + random() % 3 : random() % 9;
      u += whole || random() % 64 != 0 ? pieces[pick] : pieces[12 + random() % 8];
    }
    ExpectFromUtf8PathsAgree(u);
    if (HasFatalFailure()) return;
  }
}

// Texts that end where readable memory ends (the next page is unmapped): no path may
// read beyond a text, whatever it holds at its end. A read beyond it ends the test.
TEST(Cp932Unicode, NoPathReadsBeyondTheText) {
  const size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  void* map = mmap(nullptr, 2 * page, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  ASSERT_NE(map, MAP_FAILED);
  char* const end = static_cast<char*>(map) + page;
  ASSERT_EQ(mprotect(end, page, PROT_NONE), 0);
  const std::string utf8Tail = std::string(130, 'a') + "ｱ東";
  const std::string cp932Tail = std::string(130, 'a') + "\x83\x41\xB1\x83";  // ア ｱ and a lone lead byte
  std::vector<char> out(cp932::MaxUtf8Size(cp932Tail.size()));
  for (size_t size = 0; size <= 133; ++size) {
    const std::string_view u(end - size, size), c(end - size, size);
    std::memcpy(end - size, utf8Tail.data() + utf8Tail.size() - size, size);
    for (Unmappable policy : {Unmappable::kStop, Unmappable::kReplace}) {
      const FromUtf8Result a = cp932::scalar::FromUtf8(u, out.data(), policy);
      for (FromUtf8Path path : FastFromUtf8Paths()) {
        const FromUtf8Result b = path(u, out.data(), policy);
        EXPECT_EQ(std::make_pair(a.written, a.problem), std::make_pair(b.written, b.problem)) << size;
      }
    }
    std::memcpy(end - size, cp932Tail.data() + cp932Tail.size() - size, size);
    const size_t written = cp932::scalar::ToUtf8(c, out.data()).written;
    for (ToUtf8Path path : FastToUtf8Paths()) EXPECT_EQ(path(c, out.data()).written, written) << size;
  }
  munmap(map, 2 * page);
}

// The SSE2 block functions against their byte-by-byte versions, on random blocks made of
// the bytes that matter to them.
TEST(Cp932UnicodeSimd, VectorAndPortableBlockFunctionsAgree) {
  namespace simd = cp932::simd;
  const unsigned char bytes[] = {0x00, 0x41, 0x7F, 0x80, 0x81, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1, 0xC2,
                                 0xDF, 0xE0, 0xE1, 0xE3, 0xEC, 0xED, 0xEE, 0xEF, 0xF0, 0xFC, 0xFD, 0xFF};
  std::mt19937 random(16);
  for (int round = 0; round < 100000; ++round) {
    unsigned char block[simd::kBlock];
    const bool five = round % 2 == 0;  // half of them shaped as five three-byte sequences
    for (size_t k = 0; k < simd::kBlock; ++k) {
      block[k] = bytes[random() % sizeof bytes];
      if (five && random() % 8 != 0) block[k] = static_cast<unsigned char>(k % 3 == 0 ? 0xE0 | (random() & 0x0F) : 0x80 | (random() & 0x3F));
    }
    const simd::Utf8Classes a = simd::ClassifyUtf8(block), b = simd::portable::ClassifyUtf8(block);
    ASSERT_EQ(std::vector<uint32_t>({a.ascii, a.cont, a.lead2, a.lead3}),
              std::vector<uint32_t>({b.ascii, b.cont, b.lead2, b.lead3}));
    ASSERT_EQ(simd::HighMask(block), simd::portable::HighMask(block));
    ASSERT_EQ(simd::Cp932LeadMask(block), simd::portable::Cp932LeadMask(block));
    ASSERT_EQ(simd::LeadingThreeByte(block), simd::portable::LeadingThreeByte(block));
    uint32_t x[5], y[5];
    simd::FiveCodePoints(block, x);
    simd::portable::FiveCodePoints(block, y);
    ASSERT_EQ(std::vector<uint32_t>(x, x + 5), std::vector<uint32_t>(y, y + 5));
  }
}
