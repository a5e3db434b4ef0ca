#include <gtest/gtest.h>

#include <string>

#include "value/Justify.h"

namespace {

// "·" in the comments is a half-width blank, "□" the full-width blank.
#define WB "\x81\x40"

// Justifies by the field type a parameter file would name.
std::string Trim(std::string_view type, std::string value) {
  TrimSide side = TrimSide::kNone;
  if (type == "AL") side = TrimSide::kLeft;
  if (type == "AR") side = TrimSide::kRight;
  if (type == "AT") side = TrimSide::kBoth;
  std::string viaView(Justify(side, value));
  JustifyInPlace(side, value);
  EXPECT_EQ(value, viaView) << "view and in-place forms disagree for type " << type;
  return value;
}

TEST(JustifyTest, TableOfTypes) {
  EXPECT_EQ(Trim("A", "  ab  "), "  ab  ");
  EXPECT_EQ(Trim("AT", "  ab  "), "ab");
  EXPECT_EQ(Trim("AL", "  ab  "), "ab  ");
  EXPECT_EQ(Trim("AR", "  ab  "), "  ab");
  EXPECT_EQ(Trim("AT", WB "ab" WB WB), "ab");
  EXPECT_EQ(Trim("AR", "ab" WB " "), "ab");
  EXPECT_EQ(Trim("AR", "ab " WB), "ab ");      // white space is trimmed once, first
  EXPECT_EQ(Trim("AL", " " WB " ab"), " ab");
  EXPECT_EQ(Trim("AT", "   "), "");
}

TEST(JustifyTest, WhiteSpaceAndFullWidthBlankEdges) {
  EXPECT_EQ(Trim("AT", "\tab\r"), "ab");
  EXPECT_EQ(Trim("AL", "\n\v\fab"), "ab");
  for (const char* type : {"AT", "AR", "AL"}) EXPECT_EQ(Trim(type, "    "), "") << type;
  EXPECT_EQ(Trim("AR", WB WB "  "), "");
  EXPECT_EQ(Trim("AR", "  " WB WB), "  ");
  EXPECT_EQ(Trim("AT", WB " " WB), " ");
  EXPECT_EQ(Trim("AT", WB "a" WB "b" WB), "a" WB "b");  // inner blanks stay
  for (const char* type : {"A", "AT", "AR", "AL", "N"}) EXPECT_EQ(Trim(type, ""), "") << type;
  EXPECT_EQ(Trim("A", "   "), "   ");
}

TEST(JustifyTest, OnlyWholeCharactersAreRemoved) {
  // "ｂ" (0x82 0x81) followed by "@" (0x40) ends in the bytes of a full-width blank.
  EXPECT_EQ(Trim("AR", "x\x82\x81@"), "x\x82\x81@");
  EXPECT_EQ(Trim("AT", "\x82\x81@"), "\x82\x81@");
  // The same after a real full-width blank: only that blank goes.
  EXPECT_EQ(Trim("AR", "\x82\x81@" WB), "\x82\x81@");
  // Runs of lead-range bytes before the blank: "表" (0x95 0x5C) and "\x81\x81"
  // (a two-byte character whose trail is in the lead range) then □.
  EXPECT_EQ(Trim("AR", "\x95\x5C\x81\x81" WB), "\x95\x5C\x81\x81");
  EXPECT_EQ(Trim("AR", "\x81\x81\x81@"), "\x81\x81");                  // [81 81][81 40]
  EXPECT_EQ(Trim("AR", "\x81\x81\x81\x81@"), "\x81\x81\x81\x81@");  // [81 81][81 81]@
  // A trail byte that is a blank's value is not white space: "ア" (0x83 0x41)
  // and a character whose second byte is 0x20 is not trimmed through.
  EXPECT_EQ(Trim("AT", " \x83\x41 "), "\x83\x41");
  EXPECT_EQ(Trim("AR", "a\x81 "), "a\x81 ");
}

}  // namespace
