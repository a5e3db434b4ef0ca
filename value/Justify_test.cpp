#include <gtest/gtest.h>

#include <string>

#include "value/Justify.h"

namespace {

// "·" in the comments is a half-width blank, "□" the full-width blank.
#define WB "\x81\x40"

using enum TrimSide;

std::string Trim(TrimSide side, std::string_view value) { return std::string(Justify(side, value)); }

TEST(JustifyTest, EachSide) {
  EXPECT_EQ(Trim(kNone, "  ab  "), "  ab  ");
  EXPECT_EQ(Trim(kBoth, "  ab  "), "ab");
  EXPECT_EQ(Trim(kLeft, "  ab  "), "ab  ");
  EXPECT_EQ(Trim(kRight, "  ab  "), "  ab");
  EXPECT_EQ(Trim(kBoth, WB "ab" WB WB), "ab");
  EXPECT_EQ(Trim(kRight, "ab" WB " "), "ab");
  EXPECT_EQ(Trim(kRight, "ab " WB), "ab ");      // white space is trimmed once, first
  EXPECT_EQ(Trim(kLeft, " " WB " ab"), " ab");
  EXPECT_EQ(Trim(kBoth, "   "), "");
  // The kept part is a view into the value itself.
  const std::string_view value = " \x83\x41 ";
  EXPECT_EQ(Justify(kBoth, value).data(), value.data() + 1);
}

TEST(JustifyTest, WhiteSpaceAndFullWidthBlankEdges) {
  EXPECT_EQ(Trim(kBoth, "\tab\r"), "ab");
  EXPECT_EQ(Trim(kLeft, "\n\v\fab"), "ab");
  for (TrimSide side : {kBoth, kRight, kLeft}) EXPECT_EQ(Trim(side, "    "), "");
  EXPECT_EQ(Trim(kRight, WB WB "  "), "");
  EXPECT_EQ(Trim(kRight, "  " WB WB), "  ");
  EXPECT_EQ(Trim(kBoth, WB " " WB), " ");
  EXPECT_EQ(Trim(kBoth, WB "a" WB "b" WB), "a" WB "b");  // inner blanks stay
  for (TrimSide side : {kNone, kBoth, kRight, kLeft}) EXPECT_EQ(Trim(side, ""), "");
  EXPECT_EQ(Trim(kNone, "   "), "   ");
}

TEST(JustifyTest, OnlyWholeCharactersAreRemoved) {
  // "ｂ" (0x82 0x81) followed by "@" (0x40) ends in the bytes of a full-width blank.
  EXPECT_EQ(Trim(kRight, "x\x82\x81@"), "x\x82\x81@");
  EXPECT_EQ(Trim(kBoth, "\x82\x81@"), "\x82\x81@");
  // The same after a real full-width blank: only that blank goes.
  EXPECT_EQ(Trim(kRight, "\x82\x81@" WB), "\x82\x81@");
  // Runs of lead-range bytes before the blank: "表" (0x95 0x5C) and "\x81\x81"
  // (a two-byte character whose trail is in the lead range) then □.
  EXPECT_EQ(Trim(kRight, "\x95\x5C\x81\x81" WB), "\x95\x5C\x81\x81");
  EXPECT_EQ(Trim(kRight, "\x81\x81\x81@"), "\x81\x81");                  // [81 81][81 40]
  EXPECT_EQ(Trim(kRight, "\x81\x81\x81\x81@"), "\x81\x81\x81\x81@");  // [81 81][81 81]@
  // A trail byte that is a blank's value is not white space: "ア" (0x83 0x41)
  // and a character whose second byte is 0x20 is not trimmed through.
  EXPECT_EQ(Trim(kBoth, " \x83\x41 "), "\x83\x41");
  EXPECT_EQ(Trim(kRight, "a\x81 "), "a\x81 ");
}

}  // namespace
