// The wildcard rule by itself: characters, letter case, "*.*", and the
// order of names.
#include "platform/Wildcard.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

bool Matches(std::string_view pattern, std::string_view name) {
  return WildcardPattern(pattern).Matches(name);
}

TEST(WildcardPattern, StarsQuestionMarksAndLetterCase) {
  const struct {
    const char* pattern;
    const char* name;
    bool matches;
  } cases[] = {
      {"*", "anything.txt", true},
      {"*", "", true},
      {"*.TXT", "data.txt", true},
      {"*.txt", "data.txt.bak", false},
      {"d*a.txt", "da.txt", true},   // "*" matches nothing too
      {"d*a.txt", "data.txt", true},
      {"?.txt", "a.txt", true},
      {"?.txt", "ab.txt", false},
      {"?.txt", ".txt", false},
      // Full-width, Greek and Cyrillic letters are letters too.
      {"\x82\x60*", "\x82\x81\x82\x82.txt", true},  // Ａ* finds ａｂ.txt
      {"\x83\x9F.txt", "\x83\xBF.txt", true},        // Α finds α
      {"\x84\x40.txt", "\x84\x70.txt", true},        // А finds а
      // A double-byte character is one character for "?", and its second
      // byte is never a letter of its own: ア is 0x83 0x41, 表 0x95 0x5C.
      {"?.txt", "\x83\x41.txt", true},
      {"??.txt", "\x83\x41.txt", false},
      {"*A.txt", "\x83\x41.txt", false},
      {"*a.txt", "\x83\x41" "a.txt", true},
      {"*\\*", "\x95\x5C.txt", false},
      {"\x95\x5C*", "\x95\x5C.txt", true},
      {"\x95*", "\x95\x5C.txt", false},  // 0x95 "*" is one double-byte character
      {"?\x5C.txt", "\x95\x5C.txt", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Matches(c.pattern, c.name), c.matches) << c.pattern << " / " << c.name;
  }
}

TEST(WildcardPattern, DotStarAlsoMatchesNamesWithoutADot) {
  EXPECT_TRUE(Matches("*.*", "noext"));
  EXPECT_TRUE(Matches("*.*", "a.b.c"));
  EXPECT_TRUE(Matches("NOEXT.*", "noext"));
  EXPECT_TRUE(Matches("NOEXT.**", "noext"));
  EXPECT_TRUE(Matches("N?EXT.*", "noext"));
  EXPECT_FALSE(Matches("NOEXT.*", "noext2"));
  EXPECT_TRUE(Matches("a.*", "a"));
  EXPECT_TRUE(Matches("a.*", "a.b"));
  EXPECT_FALSE(Matches("b.*", "bx"));
  EXPECT_FALSE(Matches("*.", "noext"));
  EXPECT_FALSE(Matches(".*", "noext"));
}

TEST(IsWildcardPattern, OnlyTheLastComponentCounts) {
  EXPECT_TRUE(IsWildcardPattern("*.txt"));
  EXPECT_TRUE(IsWildcardPattern("in/?.txt"));
  EXPECT_TRUE(IsWildcardPattern("in\\a*"));
  EXPECT_FALSE(IsWildcardPattern("d?/a.txt"));
  EXPECT_FALSE(IsWildcardPattern("d*\\a.txt"));
  EXPECT_FALSE(IsWildcardPattern("a.txt"));
  EXPECT_FALSE(IsWildcardPattern(""));
  // 0x95 0x5C (表) is one character, not a folder separator.
  EXPECT_TRUE(IsWildcardPattern("d*\x95\x5C" "a*.txt"));
  EXPECT_FALSE(IsWildcardPattern("*\x95\x5C/a.txt"));
}

TEST(NameBefore, CaseBlindCodePageOrderThenBytes) {
  std::vector<std::string> names = {"b.txt", "\x83\x41.txt", "a.txt", "\xB1.txt", "C.TXT",
                                    "A.txt", "\x82\x81.txt", "\x82\x60.txt", "_.txt"};
  std::sort(names.begin(), names.end(), NameBefore);
  const std::vector<std::string> expected = {
      "A.txt", "a.txt", "b.txt", "C.TXT", "_.txt",  // "_" (0x5F) after the upper-case letters
      "\xB1.txt",                                   // half-width katakana: a single byte
      "\x82\x60.txt", "\x82\x81.txt",               // Ａ then ａ: the same letter, then bytes
      "\x83\x41.txt"};
  EXPECT_EQ(names, expected);
  EXPECT_FALSE(NameBefore("a.txt", "a.txt"));
}

}  // namespace
