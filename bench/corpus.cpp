// Deterministic benchmark corpus: fixed-width code page 932 records of 94
// bytes plus CR LF, laid out like a sales file:
//   1-8 id, 9-28 name (kanji, hiragana, full- and half-width katakana, ASCII,
//   including double-byte characters whose second byte is "\", "|", "@" or a
//   letter), 29-36 date, 37-46 amount (%10.2f, some negative), 47-48 category,
//   49-53 quantity, 54 flag, 55-84 Japanese text, 85-94 half-width katakana.
// Usage: rux_corpus <megabytes> <output-file>
// The string literals of this file are built as code page 932 (it is listed in
// RUX_CP932_SOURCES in CMakeLists.txt).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

uint64_t g_state = 0x9E3779B97F4A7C15ull;

uint32_t Next() {
  g_state ^= g_state << 13;
  g_state ^= g_state >> 7;
  g_state ^= g_state << 17;
  return static_cast<uint32_t>(g_state >> 16);
}

uint32_t Below(uint32_t n) { return Next() % n; }

// Double-byte pieces; several have a trail byte that is an ASCII letter or
// symbol: 表 (0x95 0x5C), ア (0x83 0x41), ソ (0x83 0x5C), ポ (0x83 0x7C),
// ァ (0x83 0x40), 能 (0x94 0x5C), ｱ-ﾝ are single bytes.
const char* const kWide[] = {"山", "田", "表", "ア", "ソ", "ポ", "ァ", "能", "鈴", "木",
                             "佐", "藤", "さ", "く", "ら", "タ", "ロ", "ウ", "Ａ", "ｂ",
                             "花", "子", "高", "橋", "予", "十", "申", "ボ"};
const char* const kNarrow[] = {"A", "b", "C", "x", "1", "-", "ｱ", "ｲ", "ｶ", "ﾞ", "ﾝ", "ﾀ"};
const char* const kText[] = {"東京", "大阪", "名古屋", "支店", "本社", "営業", "売上", "表示",
                             "ソフト", "ポイント", "能力", "予定", "申請", "十分", "です",
                             "ました", "の", "に", "を", "、", "。", "商品", "在庫"};
const char* const kKana[] = {"ｱ", "ｲ", "ｳ", "ｴ", "ｵ", "ｶ", "ｷ", "ｸ", "ﾃ", "ﾄ", "ﾊ", "ﾟ", "ﾞ", "ｰ"};

// Fills exactly `width` bytes from the pools, never splitting a character.
void Field(std::string& out, int width, const char* const* wide, size_t nWide,
           const char* const* narrow, size_t nNarrow) {
  int used = 0;
  while (used < width) {
    const char* piece;
    bool pickWide = nWide > 0 && (nNarrow == 0 || Below(3) != 0);
    piece = pickWide ? wide[Below(static_cast<uint32_t>(nWide))]
                     : narrow[Below(static_cast<uint32_t>(nNarrow))];
    int len = static_cast<int>(std::strlen(piece));
    if (used + len > width) {
      if (nNarrow == 0) break;
      continue;
    }
    out += piece;
    used += len;
  }
  out.append(static_cast<size_t>(width - used), ' ');
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: rux_corpus <megabytes> <output-file>\n");
    return 2;
  }
  long long bytes = std::atoll(argv[1]) * 1000000LL;
  FILE* out = std::fopen(argv[2], "wb");
  if (!out) {
    std::perror(argv[2]);
    return 1;
  }
  std::string rec;
  char buf[64];
  long long written = 0;
  for (long long id = 1; written < bytes; ++id) {
    rec.clear();
    std::snprintf(buf, sizeof buf, "%08lld", id % 100000000);
    rec += buf;
    Field(rec, 20, kWide, sizeof kWide / sizeof *kWide, kNarrow, sizeof kNarrow / sizeof *kNarrow);
    std::snprintf(buf, sizeof buf, "%04u%02u%02u", 2000 + Below(25), 1 + Below(12), 1 + Below(28));
    rec += buf;
    double amount = (static_cast<double>(Below(20000000)) - 2000000.0) / 100.0;
    std::snprintf(buf, sizeof buf, "%10.2f", amount);
    rec += buf;
    std::snprintf(buf, sizeof buf, "%02u%05u%c", Below(20), Below(100000), "YN "[Below(3)]);
    rec += buf;
    Field(rec, 30, kText, sizeof kText / sizeof *kText, nullptr, 0);
    Field(rec, 10, nullptr, 0, kKana, sizeof kKana / sizeof *kKana);
    if (rec.size() != 94) {
      std::fprintf(stderr, "corpus: record of %zu bytes\n", rec.size());
      return 1;
    }
    rec += "\r\n";
    if (std::fwrite(rec.data(), 1, rec.size(), out) != rec.size()) {
      std::perror(argv[2]);
      return 1;
    }
    written += static_cast<long long>(rec.size());
  }
  if (std::fclose(out) != 0) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
