#include <gtest/gtest.h>

#include <string>

#include "value/ValueEdit.h"

namespace {

// "·" in the comments is a half-width blank, "□" the full-width blank.
#define WB "\x81\x40"

std::string Justify(std::string_view type, std::string value) {
  CValueEdit edit;
  std::string_view view = CValueEdit::JustifyView(type, value);
  std::string viaView(view);
  edit.JustifyValue(type, value);
  EXPECT_EQ(value, viaView) << "view and in-place forms disagree for type " << type;
  return value;
}

TEST(JustifyTest, TableOfTypes) {
  EXPECT_EQ(Justify("A", "  ab  "), "  ab  ");
  EXPECT_EQ(Justify("AT", "  ab  "), "ab");
  EXPECT_EQ(Justify("AL", "  ab  "), "ab  ");
  EXPECT_EQ(Justify("AR", "  ab  "), "  ab");
  EXPECT_EQ(Justify("AT", WB "ab" WB WB), "ab");
  EXPECT_EQ(Justify("AR", "ab" WB " "), "ab");
  EXPECT_EQ(Justify("AR", "ab " WB), "ab ");      // white space is trimmed once, first
  EXPECT_EQ(Justify("AL", " " WB " ab"), " ab");
  EXPECT_EQ(Justify("AT", "   "), "");
  EXPECT_EQ(Justify("N", " 12 "), " 12 ");
  EXPECT_EQ(Justify("N.0", " 12 "), " 12 ");
  EXPECT_EQ(Justify("", " 12 "), " 12 ");
}

TEST(JustifyTest, WhiteSpaceAndFullWidthBlankEdges) {
  EXPECT_EQ(Justify("AT", "\tab\r"), "ab");
  EXPECT_EQ(Justify("AL", "\n\v\fab"), "ab");
  for (const char* type : {"AT", "AR", "AL"}) EXPECT_EQ(Justify(type, "    "), "") << type;
  EXPECT_EQ(Justify("AR", WB WB "  "), "");
  EXPECT_EQ(Justify("AR", "  " WB WB), "  ");
  EXPECT_EQ(Justify("AT", WB " " WB), " ");
  EXPECT_EQ(Justify("AT", WB "a" WB "b" WB), "a" WB "b");  // inner blanks stay
  for (const char* type : {"A", "AT", "AR", "AL", "N"}) EXPECT_EQ(Justify(type, ""), "") << type;
  EXPECT_EQ(Justify("A", "   "), "   ");
}

TEST(JustifyTest, OnlyWholeCharactersAreRemoved) {
  // "ｂ" (0x82 0x81) followed by "@" (0x40) ends in the bytes of a full-width blank.
  EXPECT_EQ(Justify("AR", "x\x82\x81@"), "x\x82\x81@");
  EXPECT_EQ(Justify("AT", "\x82\x81@"), "\x82\x81@");
  // The same after a real full-width blank: only that blank goes.
  EXPECT_EQ(Justify("AR", "\x82\x81@" WB), "\x82\x81@");
  // Runs of lead-range bytes before the blank: "表" (0x95 0x5C) and "\x81\x81"
  // (a two-byte character whose trail is in the lead range) then □.
  EXPECT_EQ(Justify("AR", "\x95\x5C\x81\x81" WB), "\x95\x5C\x81\x81");
  EXPECT_EQ(Justify("AR", "\x81\x81\x81@"), "\x81\x81");                  // [81 81][81 40]
  EXPECT_EQ(Justify("AR", "\x81\x81\x81\x81@"), "\x81\x81\x81\x81@");  // [81 81][81 81]@
  // A trail byte that is a blank's value is not white space: "ア" (0x83 0x41)
  // and a character whose second byte is 0x20 is not trimmed through.
  EXPECT_EQ(Justify("AT", " \x83\x41 "), "\x83\x41");
  EXPECT_EQ(Justify("AR", "a\x81 "), "a\x81 ");
}

}  // namespace
