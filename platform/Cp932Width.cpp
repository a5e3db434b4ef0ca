// Half-width / full-width conversion of code page 932 text, driven by the
// program's own tables: no locale is consulted at run time, so the result is
// the same on every machine.
//
// The full-width form of a printable ASCII character is the code page 932
// encoding of U+FF01..U+FF5E as the C library's "CP932" converter writes it.
// That fixes three choices a user may notice:
//   "\" (0x5C)  <-> 0x81 0x5F  "＼" (FULLWIDTH REVERSE SOLIDUS), not "￥";
//   "~" (0x7E)  <-> 0x81 0x60  "～" (FULLWIDTH TILDE);
//   '"' and "'" <-> 0xFA 0x57 and 0xFA 0x56 (the IBM extension codes).
// Going to half width, the NEC-selected duplicates 0xEE 0xFC and 0xEE 0xFB
// (the same two characters) are recognised as well.
//
// Half-width katakana (0xA1-0xDF) map to the full-width katakana and
// punctuation of their Unicode half-width forms; "ﾞ" and "ﾟ" become the
// spacing marks "゛" and "゜". A kana followed by a voiced or semi-voiced mark
// that combines with it becomes one character (ｶﾞ -> ガ, ﾊﾟ -> パ, ｳﾞ -> ヴ);
// going back, such a character becomes the two half-width bytes again.
#include <array>
#include <cstdint>

#include "platform/Cp932.h"

namespace cp932 {

namespace {

// Full-width codes (lead * 256 + trail) of 0x20..0x7E.
constexpr uint16_t kAsciiWide[95] = {
    0x8140, 0x8149, 0xFA57, 0x8194, 0x8190, 0x8193, 0x8195, 0xFA56,  // ' '..'\''
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // '('..'/'
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // '0'..'7'
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // '8'..'?'
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // '@'..'G'
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // 'H'..'O'
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // 'P'..'W'
    0x8277, 0x8278, 0x8279, 0x816D, 0x815F, 0x816E, 0x814F, 0x8151,  // 'X'..'_'
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // '`'..'g'
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // 'h'..'o'
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // 'p'..'w'
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // 'x'..'~'
};

// Full-width codes of the half-width katakana 0xA1..0xDF:
// ｡｢｣､･ｦｧｨｩｪｫｬｭｮｯｰｱｲｳｴｵｶｷｸｹｺｻｼｽｾｿﾀﾁﾂﾃﾄﾅﾆﾇﾈﾉﾊﾋﾌﾍﾎﾏﾐﾑﾒﾓﾔﾕﾖﾗﾘﾙﾚﾛﾜﾝﾞﾟ
constexpr uint16_t kKanaWide[63] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // 0xA1..0xA8
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // 0xA9..0xB0
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // 0xB1..0xB8
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // 0xB9..0xC0
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // 0xC1..0xC8
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // 0xC9..0xD0
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // 0xD1..0xD8
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,          // 0xD9..0xDF
};

constexpr unsigned char kVoicedMark = 0xDE;      // ﾞ
constexpr unsigned char kSemiVoicedMark = 0xDF;  // ﾟ

struct WidthTables {
  // Indexed by a single byte: its full-width code, 0 when it has none.
  uint16_t wide[256] = {};
  // Indexed by a half-width kana: the full-width code of the kana with ﾞ or ﾟ.
  uint16_t voiced[256] = {};
  uint16_t semiVoiced[256] = {};
  // Half-width form of a double-byte character: row index per lead byte (0 =
  // no row), then per trail byte one or two output bytes (low byte first,
  // high byte second or 0); 0 when it has none.
  uint8_t rowOfLead[256] = {};
  uint16_t narrow[6][256] = {};
};

constexpr void AddNarrow(WidthTables& t, uint16_t code, uint16_t half) {
  const unsigned lead = code >> 8;
  if (t.rowOfLead[lead] == 0) {
    uint8_t used = 0;
    for (uint8_t r : t.rowOfLead) used = r > used ? r : used;
    t.rowOfLead[lead] = static_cast<uint8_t>(used + 1);
  }
  t.narrow[t.rowOfLead[lead]][code & 0xFF] = half;
}

constexpr WidthTables BuildTables() {
  WidthTables t;
  for (unsigned c = 0x20; c <= 0x7E; ++c) {
    t.wide[c] = kAsciiWide[c - 0x20];
    AddNarrow(t, kAsciiWide[c - 0x20], static_cast<uint16_t>(c));
  }
  AddNarrow(t, 0xEEFC, '"');
  AddNarrow(t, 0xEEFB, '\'');
  for (unsigned c = 0xA1; c <= 0xDF; ++c) {
    t.wide[c] = kKanaWide[c - 0xA1];
    AddNarrow(t, kKanaWide[c - 0xA1], static_cast<uint16_t>(c));
  }
  // Voiced: ｶ-ｺ ｻ-ｿ ﾀ-ﾄ ﾊ-ﾎ are followed by their voiced form in the code
  // page; ｳﾞ is ヴ. Semi-voiced: ﾊ-ﾎ, two codes after the plain kana.
  auto voice = [&t](unsigned half, uint16_t full) {
    t.voiced[half] = full;
    AddNarrow(t, full, static_cast<uint16_t>(half | (kVoicedMark << 8)));
  };
  for (unsigned c = 0xB6; c <= 0xC4; ++c) voice(c, static_cast<uint16_t>(t.wide[c] + 1));
  for (unsigned c = 0xCA; c <= 0xCE; ++c) {
    voice(c, static_cast<uint16_t>(t.wide[c] + 1));
    t.semiVoiced[c] = static_cast<uint16_t>(t.wide[c] + 2);
    AddNarrow(t, t.semiVoiced[c], static_cast<uint16_t>(c | (kSemiVoicedMark << 8)));
  }
  voice(0xB3, 0x8394);
  return t;
}

constexpr WidthTables kTables = BuildTables();

inline char* PutCode(char* out, uint16_t code) {
  out[0] = static_cast<char>(code >> 8);
  out[1] = static_cast<char>(code & 0xFF);
  return out + 2;
}

}  // namespace

void ToFullWidth(std::string_view src, std::string& dst) {
  dst.resize(src.size() * 2);
  const auto* in = reinterpret_cast<const unsigned char*>(src.data());
  const size_t n = src.size();
  char* const begin = dst.data();
  char* out = begin;
  size_t i = 0;
  while (i < n) {
    const unsigned char c = in[i];
    if (IsLeadByte(c)) {
      // Double-byte characters stay; a lone lead byte at the end is copied.
      *out++ = static_cast<char>(c);
      if (i + 1 < n) *out++ = static_cast<char>(in[i + 1]);
      i += 2;
      continue;
    }
    const uint16_t wide = kTables.wide[c];
    if (wide == 0) {
      *out++ = static_cast<char>(c);
      ++i;
      continue;
    }
    if (i + 1 < n) {
      const unsigned char next = in[i + 1];
      const uint16_t combined = next == kVoicedMark       ? kTables.voiced[c]
                                : next == kSemiVoicedMark ? kTables.semiVoiced[c]
                                                          : 0;
      if (combined != 0) {
        out = PutCode(out, combined);
        i += 2;
        continue;
      }
    }
    out = PutCode(out, wide);
    ++i;
  }
  dst.resize(static_cast<size_t>(out - begin));
}

void ToHalfWidth(std::string_view src, std::string& dst) {
  // Nothing grows: a double-byte character becomes at most two bytes.
  dst.resize(src.size());
  const auto* in = reinterpret_cast<const unsigned char*>(src.data());
  const size_t n = src.size();
  char* const begin = dst.data();
  char* out = begin;
  size_t i = 0;
  while (i < n) {
    const unsigned char c = in[i];
    if (!IsLeadByte(c) || i + 1 == n) {
      *out++ = static_cast<char>(c);
      ++i;
      continue;
    }
    const unsigned char trail = in[i + 1];
    const uint8_t row = kTables.rowOfLead[c];
    const uint16_t half = row != 0 ? kTables.narrow[row][trail] : 0;
    if (half == 0) {
      *out++ = static_cast<char>(c);
      *out++ = static_cast<char>(trail);
    } else {
      *out++ = static_cast<char>(half & 0xFF);
      if ((half >> 8) != 0) *out++ = static_cast<char>(half >> 8);
    }
    i += 2;
  }
  dst.resize(static_cast<size_t>(out - begin));
}

}  // namespace cp932
