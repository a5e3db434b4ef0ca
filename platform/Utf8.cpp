#include "platform/Utf8.h"

namespace utf8 {

size_t DecodeChar(std::string_view text, size_t i, char32_t& codePoint) {
  const auto byte = [&](size_t k) { return static_cast<unsigned char>(text[k]); };
  unsigned char lead = byte(i);
  if (lead < 0x80) {
    codePoint = lead;
    return 1;
  }
  size_t len;
  char32_t value;
  char32_t least;  // smallest value this length may carry: below it the form is overlong
  if (lead >= 0xC2 && lead <= 0xDF) {
    len = 2, value = lead & 0x1Fu, least = 0x80;
  } else if (lead >= 0xE0 && lead <= 0xEF) {
    len = 3, value = lead & 0x0Fu, least = 0x800;
  } else if (lead >= 0xF0 && lead <= 0xF4) {
    len = 4, value = lead & 0x07u, least = 0x10000;
  } else {
    return 0;
  }
  if (text.size() - i < len) return 0;
  for (size_t k = 1; k < len; ++k) {
    unsigned char c = byte(i + k);
    if ((c & 0xC0) != 0x80) return 0;
    value = (value << 6) | (c & 0x3Fu);
  }
  if (value < least || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  codePoint = value;
  return len;
}

bool IsWellFormed(std::string_view text) {
  char32_t codePoint;
  for (size_t i = 0; i < text.size();) {
    size_t len = DecodeChar(text, i, codePoint);
    if (len == 0) return false;
    i += len;
  }
  return true;
}

bool IsTelltale(char32_t codePoint) {
  return codePoint >= 0x800 && !(codePoint >= 0xE000 && codePoint <= 0xF8FF);
}

Encoding GuessEncoding(std::string_view text, const Utf8ToCp932& convert) {
  bool ascii = true;
  bool telltale = false;
  char32_t codePoint;
  for (size_t i = 0; i < text.size();) {
    size_t len = DecodeChar(text, i, codePoint);
    if (len == 0) return Encoding::kCp932;  // a byte of 0x80 or above: not ASCII either
    ascii = ascii && len == 1;
    telltale = telltale || IsTelltale(codePoint);
    i += len;
  }
  if (ascii) return Encoding::kAscii;
  if (!telltale) return Encoding::kCp932;
  std::string cp932;
  if (convert(text, cp932)) return Encoding::kUtf8;
  // Some character has no code page 932 form (an "é", an emoji). That alone
  // must not turn a UTF-8 file into code page 932: what counts is whether
  // the Japanese outweighs what code page 932 lacks. Comment lines are never
  // converted, so what they lack does not count.
  int japanese = 0;
  int lacking = 0;
  bool comment = !text.empty() && text[0] == ';';
  for (size_t i = 0; i < text.size();) {
    const size_t len = DecodeChar(text, i, codePoint);
    if (len > 1) {
      if (!convert(text.substr(i, len), cp932)) {
        lacking += comment ? 0 : 1;
      } else if (IsTelltale(codePoint)) {
        ++japanese;
      }
    } else if (codePoint == '\n') {
      comment = i + 1 < text.size() && text[i + 1] == ';';
    }
    i += len;
  }
  return japanese > lacking ? Encoding::kUtf8 : Encoding::kCp932;
}

}  // namespace utf8
