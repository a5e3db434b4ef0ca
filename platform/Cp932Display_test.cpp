// The display tables: every double-byte code against the C library's own
// converter, and the ambiguous width of characters people meet.
#include "platform/Cp932Display.h"

#include <gtest/gtest.h>

#include <string>

#include "platform/Cp932.h"
#include "platform/Iconv.h"

namespace {

TEST(Cp932Display, UnicodeFormsAreThoseTheConverterHas) {
  int forms = 0;
  for (unsigned lead = 0x81; lead <= 0xFC; ++lead) {
    if (!cp932::IsLeadByte(static_cast<unsigned char>(lead))) continue;
    for (unsigned trail = 0; trail <= 0xFF; ++trail) {
      const std::string pair = {static_cast<char>(lead), static_cast<char>(trail)};
      std::string utf8;
      const bool converts = cp932::IsTrailByte(static_cast<unsigned char>(trail)) &&
                            IconvCp932ToUtf8().Convert(pair, utf8);
      const bool has = cp932::HasUnicodeForm(static_cast<unsigned char>(lead),
                                             static_cast<unsigned char>(trail));
      EXPECT_EQ(has, converts) << std::hex << lead << " " << trail;
      forms += has ? 1 : 0;
    }
  }
  EXPECT_EQ(forms, 9604);  // the whole code page, user-defined characters included
}

TEST(Cp932Display, AmbiguousWidthCharacters) {
  struct Sample {
    const char* bytes;
    const char* what;
    bool ambiguous;
  } const samples[] = {
      {"\x81\x9B", "WHITE CIRCLE", true},
      {"\x81\xA6", "REFERENCE MARK", true},
      {"\x83\xBF", "GREEK SMALL LETTER ALPHA", true},
      {"\x84\x40", "CYRILLIC CAPITAL LETTER A", true},
      {"\x84\x9F", "BOX DRAWINGS LIGHT HORIZONTAL", true},
      {"\x87\x40", "CIRCLED DIGIT ONE", true},
      {"\xF0\x40", "a user-defined character", true},
      {"\x81\x40", "IDEOGRAPHIC SPACE", false},
      {"\x83\x41", "KATAKANA LETTER A", false},
      {"\x95\x5C", "a kanji whose second byte is \\", false},
      {"\x82\x60", "FULLWIDTH LATIN CAPITAL LETTER A", false},
      {"\x81\x5F", "FULLWIDTH REVERSE SOLIDUS", false},
      {"\x85\x40", "a code without a character", false},
  };
  for (const Sample& s : samples) {
    EXPECT_EQ(cp932::IsAmbiguousWidth(static_cast<unsigned char>(s.bytes[0]),
                                      static_cast<unsigned char>(s.bytes[1])),
              s.ambiguous)
        << s.what;
  }
}

}  // namespace
