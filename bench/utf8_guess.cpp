// Measures the guess that tells a parameter file saved as UTF-8 from one in
// code page 932 (utf8::GuessEncoding) on real Japanese words: how often code
// page 932 text would be misread as UTF-8, and how often the same words
// written in UTF-8 are recognised. For comparison it measures the same way a
// narrower rule that counts only U+3000-30FF, U+4E00-9FFF and U+FF00-FFEF as
// evidence of UTF-8.
//
// Usage: rux_utf8_guess <words-cp932> <words-utf8> [files]
// Both files hold one dictionary entry a line, "surface<TAB>reading<TAB>
// pronunciation", line n of one being line n of the other: the code page 932
// form, and the UTF-8 form the dictionary's own text converts to (bench/
// utf8_guess.sh makes them). Each entry gives four words: the three fields
// and the reading in half-width katakana. `files` (default 200000) random
// parameter files of one, two and three words are drawn with a fixed seed.
// The report is UTF-8.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Iconv.h"
#include "platform/Utf8.h"

namespace {

struct Word {
  std::string cp932;
  std::string utf8;  // as the dictionary's text converts (JIS mapping for 〜, − ...)
};

bool ReadLines(const char* path, std::vector<std::string>& lines) {
  FILE* in = std::fopen(path, "rb");
  if (!in) {
    std::perror(path);
    return false;
  }
  char* line = nullptr;
  size_t cap = 0;
  ssize_t len;
  while ((len = getline(&line, &cap, in)) >= 0) {
    std::string_view text(line, static_cast<size_t>(len));
    while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.remove_suffix(1);
    lines.emplace_back(text);
  }
  std::free(line);
  std::fclose(in);
  return true;
}

std::vector<std::string> SplitTabs(const std::string& line) {
  std::vector<std::string> fields;
  size_t start = 0;
  for (;;) {
    size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab - start));
    if (tab == std::string::npos) return fields;
    start = tab + 1;
  }
}

const utf8::Utf8ToCp932 kConvert = [](std::string_view text, std::string& out) {
  return IconvUtf8ToCp932().Convert(text, out);
};

bool IsJapaneseRange(char32_t c) {
  return (c >= 0x3000 && c <= 0x30FF) || (c >= 0x4E00 && c <= 0x9FFF) || (c >= 0xFF00 && c <= 0xFFEF);
}

// The rule as first proposed: well-formed, a character in the Japanese
// ranges, every character with a code page 932 form.
utf8::Encoding GuessByRanges(std::string_view text) {
  if (!utf8::IsWellFormed(text)) return utf8::Encoding::kCp932;
  bool ascii = true, japanese = false;
  char32_t c;
  for (size_t i = 0; i < text.size();) {
    size_t len = utf8::DecodeChar(text, i, c);
    ascii = ascii && len == 1;
    japanese = japanese || IsJapaneseRange(c);
    i += len;
  }
  if (ascii) return utf8::Encoding::kAscii;
  std::string out;
  return japanese && kConvert(text, out) ? utf8::Encoding::kUtf8 : utf8::Encoding::kCp932;
}

// The rule before: well-formed, a telltale, and every character with a code
// page 932 form (one "é" anywhere made a UTF-8 file code page 932).
utf8::Encoding GuessAllConvertible(std::string_view text) {
  utf8::Encoding e = utf8::GuessEncoding(text, kConvert);
  std::string out;
  return e == utf8::Encoding::kUtf8 && !kConvert(text, out) ? utf8::Encoding::kCp932 : e;
}

// The loosest rule: well-formed and one telltale with a code page 932 form,
// whatever else the text holds.
utf8::Encoding GuessAnyJapanese(std::string_view text) {
  if (!utf8::IsWellFormed(text)) return utf8::Encoding::kCp932;
  bool ascii = true, japanese = false;
  char32_t c;
  std::string out;
  for (size_t i = 0; i < text.size();) {
    size_t len = utf8::DecodeChar(text, i, c);
    ascii = ascii && len == 1;
    if (!japanese && utf8::IsTelltale(c)) japanese = kConvert(text.substr(i, len), out);
    i += len;
  }
  if (ascii) return utf8::Encoding::kAscii;
  return japanese ? utf8::Encoding::kUtf8 : utf8::Encoding::kCp932;
}

struct Rule {
  const char* name;
  utf8::Encoding (*guess)(std::string_view);
};

const Rule kRules[] = {
    {"GuessEncoding (telltales with a code page 932 form outnumber the characters without one)",
     [](std::string_view text) { return utf8::GuessEncoding(text, kConvert); }},
    {"narrower rule (a character in U+3000-30FF, U+4E00-9FFF or U+FF00-FFEF)", GuessByRanges},
    {"rule before (every character with a code page 932 form)", GuessAllConvertible},
    {"loosest rule (one telltale with a code page 932 form, whatever else)", GuessAnyJapanese},
};

// Why a UTF-8 word is not recognised.
const char* Reason(std::string_view text) {
  if (!utf8::IsWellFormed(text)) return "not well-formed";
  std::string out;
  if (!kConvert(text, out)) return "a character without a code page 932 form";
  return "no character that counts as evidence";
}

// Code page 932 text for a person reading the report.
std::string Show(std::string_view cp932) {
  std::string out;
  IconvCp932ToUtf8().ConvertLossy(cp932, out);
  return out;
}

double Percent(uint64_t part, uint64_t whole) {
  return whole ? 100.0 * static_cast<double>(part) / static_cast<double>(whole) : 0.0;
}

unsigned long long Ull(uint64_t n) { return static_cast<unsigned long long>(n); }

// xorshift64 with a fixed start: every run draws the same files.
struct Random {
  uint64_t state = 0x2545F4914F6CDD1Dull;
  uint64_t Next() {
    state ^= state << 13;
    state ^= state >> 7;
    state ^= state << 17;
    return state;
  }
};

// A parameter file with the words as quoted texts, one statement a line.
std::string MakeFile(const std::vector<const std::string*>& words) {
  std::string file = "INP = in.txt\r\nOUT = out.txt\r\nFUNCTION = CHANGE\r\n";
  for (size_t k = 0; k < words.size(); ++k) {
    file += k % 2 == 0 ? "EDT = \"" : "SEL = 1,20,A,==,\"";
    file += *words[k];
    file += "\"\r\n";
  }
  return file;
}

void Measure(const Rule& rule, const std::vector<Word>& words, long files) {
  std::printf("\n%s\n", rule.name);
  uint64_t misread = 0, recognised = 0, ascii = 0, recognisedRoundTrip = 0;
  std::set<std::string> distinctMisread;
  std::map<std::string, uint64_t> missed;
  std::map<std::string, std::set<std::string>> missedSamples;
  std::string roundTrip;
  for (const Word& word : words) {
    if (rule.guess(word.cp932) == utf8::Encoding::kUtf8) {
      ++misread;
      distinctMisread.insert(word.cp932);
    }
    utf8::Encoding e = rule.guess(word.utf8);
    if (e == utf8::Encoding::kUtf8) {
      ++recognised;
    } else if (e == utf8::Encoding::kAscii) {
      ++ascii;
    } else {
      const char* why = Reason(word.utf8);
      ++missed[why];
      if (missedSamples[why].size() < 12) missedSamples[why].insert(word.utf8);
    }
    if (IconvCp932ToUtf8().Convert(word.cp932, roundTrip) &&
        rule.guess(roundTrip) != utf8::Encoding::kCp932)
      ++recognisedRoundTrip;
  }
  uint64_t total = words.size();
  std::printf("  code page 932 words misread as UTF-8: %llu (%.1f per million), distinct: %zu\n",
              Ull(misread), 1e6 * static_cast<double>(misread) / static_cast<double>(total),
              distinctMisread.size());
  for (const std::string& m : distinctMisread)
    std::printf("    %s, read as \"%s\"\n", Show(m).c_str(), m.c_str());
  std::printf("  UTF-8 words recognised: %llu (%.3f%%); ASCII, read the same either way: %llu; "
              "together %.3f%%\n",
              Ull(recognised), Percent(recognised, total), Ull(ascii),
              Percent(recognised + ascii, total));
  for (const auto& [why, count] : missed) {
    std::printf("    not recognised, %s: %llu, e.g.", why.c_str(), Ull(count));
    for (const std::string& s : missedSamples[why]) std::printf(" %s", s.c_str());
    std::printf("\n");
  }
  std::printf("  recognised or ASCII when the UTF-8 is made from the code page 932 form: %.3f%%\n",
              Percent(recognisedRoundTrip, total));

  for (size_t count = 1; count <= 3; ++count) {
    Random random;
    uint64_t fileMisread = 0, fileRecognised = 0, withAccent = 0;
    std::vector<const std::string*> cp(count), u8(count);
    for (long f = 0; f < files; ++f) {
      for (size_t k = 0; k < count; ++k) {
        const Word& word = words[random.Next() % words.size()];
        cp[k] = &word.cp932;
        u8[k] = &word.utf8;
      }
      if (rule.guess(MakeFile(cp)) == utf8::Encoding::kUtf8) ++fileMisread;
      if (rule.guess(MakeFile(u8)) != utf8::Encoding::kCp932) ++fileRecognised;
      if (rule.guess(MakeFile(u8) + "; caf\xC3\xA9\r\n") == utf8::Encoding::kUtf8) ++withAccent;
    }
    std::printf("  %ld files of %zu word%s: code page 932 misread as UTF-8: %llu (%.4f%%); "
                "UTF-8 recognised or ASCII: %.3f%%\n",
                files, count, count == 1 ? "" : "s", Ull(fileMisread),
                Percent(fileMisread, static_cast<uint64_t>(files)),
                Percent(fileRecognised, static_cast<uint64_t>(files)));
    std::printf("    the same UTF-8 files with a comment \"; caf\xC3\xA9\" (no code page 932 form): "
                "recognised %.3f%%\n",
                Percent(withAccent, static_cast<uint64_t>(files)));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3 && argc != 4) {
    std::fprintf(stderr, "usage: rux_utf8_guess <words-cp932> <words-utf8> [files]\n");
    return 2;
  }
  long files = argc == 4 ? std::atol(argv[3]) : 200000;
  std::vector<std::string> cpLines, u8Lines;
  if (!ReadLines(argv[1], cpLines) || !ReadLines(argv[2], u8Lines)) return 1;
  if (cpLines.size() != u8Lines.size()) {
    std::fprintf(stderr, "utf8_guess: %zu code page 932 lines, %zu UTF-8 lines\n", cpLines.size(),
                 u8Lines.size());
    return 1;
  }

  std::vector<Word> words;
  words.reserve(cpLines.size() * 4);
  for (size_t n = 0; n < cpLines.size(); ++n) {
    std::vector<std::string> cp = SplitTabs(cpLines[n]), u8 = SplitTabs(u8Lines[n]);
    if (cp.size() != 3 || u8.size() != 3) {
      std::fprintf(stderr, "utf8_guess: line %zu does not have three fields\n", n + 1);
      return 1;
    }
    for (int k = 0; k < 3; ++k) words.push_back(Word{cp[k], u8[k]});
    Word half;
    cp932::ToHalfWidth(cp[1], half.cp932);
    if (!IconvCp932ToUtf8().Convert(half.cp932, half.utf8)) {
      std::fprintf(stderr, "utf8_guess: line %zu: half-width reading without UTF-8 form\n", n + 1);
      return 1;
    }
    words.push_back(std::move(half));
  }

  uint64_t valid = 0, validHalfWidth = 0, convertible = 0;
  std::set<std::string_view> distinct;
  std::string out;
  for (size_t w = 0; w < words.size(); ++w) {
    distinct.insert(words[w].cp932);
    bool nonAscii = false;
    for (char c : words[w].cp932) nonAscii = nonAscii || static_cast<unsigned char>(c) >= 0x80;
    if (nonAscii && utf8::IsWellFormed(words[w].cp932)) {
      ++valid;
      if (w % 4 == 3) ++validHalfWidth;
      if (kConvert(words[w].cp932, out)) ++convertible;
    }
  }
  std::printf("dictionary entries: %zu; words (surface, reading, pronunciation, half-width reading): "
              "%zu, distinct: %zu\n",
              cpLines.size(), words.size(), distinct.size());
  std::printf("code page 932 words, not ASCII, that are valid UTF-8: %llu (%.2f%%), "
              "half-width readings among them: %llu; read as UTF-8, every character has a code page "
              "932 form in %llu\n",
              Ull(valid), Percent(valid, words.size()), Ull(validHalfWidth), Ull(convertible));
  for (const Rule& rule : kRules) Measure(rule, words, files);
  return 0;
}
