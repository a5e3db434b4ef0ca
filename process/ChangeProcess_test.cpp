#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

// One conversion parameter set under CHANGE on an in-memory platform.
struct CChangeRun {
  explicit CChangeRun(const std::vector<std::string>& defs = {}, const char* options = "")
      : m_param(m_platform) {
    m_param.m_strFunction = "CHANGE";
    m_param.m_strOption = options;
    for (const std::string& d : defs) EXPECT_EQ(Def("EDT", d), 0) << d;
  }
  int Def(const std::string& key, const std::string& value) {
    m_param.m_strLine = value;
    return m_param.ParseChangeStatement(key);
  }
  std::string Run(const std::string& record, int in = 1, int out = 1) {
    m_param.m_strLine = record;
    m_param.ChangeRecord(m_param.m_nErr, in, out, "in.txt");
    return m_param.m_strLine;
  }

  FakePlatform m_platform;
  CConvParam m_param;
};

TEST(ChangeProcess, ReplacesLeftToRightWithoutOverlapOrReinsertion) {
  EXPECT_EQ(CChangeRun({"\"a\",\"b\""}).Run("banana"), "bbnbnb\n");
  EXPECT_EQ(CChangeRun({"\"aa\",\"b\""}).Run("aaa"), "ba\n");
  EXPECT_EQ(CChangeRun({"\"a\",\"aa\""}).Run("aa"), "aaaa\n");
  EXPECT_EQ(CChangeRun({"\"-\",\"\""}).Run("12-34-56"), "123456\n");
  EXPECT_EQ(CChangeRun({"\"abc\",\"X\""}).Run("abcabc"), "XX\n");
}

TEST(ChangeProcess, RecordsWithoutMatchAreUnchanged) {
  CChangeRun run({"\"zz\",\"y\""});
  EXPECT_EQ(run.Run("abc  "), "abc  \n");
  EXPECT_EQ(run.Run(""), "\n");
  EXPECT_EQ(run.m_param.m_nErr, 0);
}

TEST(ChangeProcess, DefinitionsChainAndConditionsSeeEarlierResults) {
  EXPECT_EQ(CChangeRun({"\"a\",\"b\"", "\"b\",\"c\""}).Run("ab"), "cc\n");

  CChangeRun run({"\"a\",\"b\"", "\"x\",\"y\" @ \"b\""});
  EXPECT_EQ(run.Run("ax"), "by\n");  // the condition sees "bx"
  EXPECT_EQ(run.Run("cx"), "cx\n");

  CChangeRun field({"\"a\",\"Z\"", "\"x\",\"y\" @ 1,1,A,=,\"Z\""});
  EXPECT_EQ(field.Run("ax"), "Zy\n");
}

TEST(ChangeProcess, CaseBlindSearchKeepsTheRecordsOwnBytes) {
  EXPECT_EQ(CChangeRun({"\"abc\",\"X\""}, "U").Run("ABC abc Abc"), "X X X\n");
  EXPECT_EQ(CChangeRun({"\"abc\",\"xY\""}, "U").Run("ABC Abc"), "xY xY\n");
  // Unmatched letters keep their own case.
  EXPECT_EQ(CChangeRun({"\"b\",\"-\""}, "U").Run("aBcb"), "a-c-\n");
  // Full-width letters: "ａ" (0x82 0x81) matches "Ａ" (0x82 0x60).
  EXPECT_EQ(CChangeRun({"\"\x82\x81\",\"1\""}, "U").Run("x\x82\x60y\x82\x81"), "x1y1\n");
  // Without U case matters.
  EXPECT_EQ(CChangeRun({"\"abc\",\"X\""}).Run("ABC abc"), "ABC X\n");
}

TEST(ChangeProcess, SearchNeverStartsOnATrailByte) {
  // "ア" is 0x83 0x41 and "表" is 0x95 0x5C: their trail bytes are not "A" and "\".
  EXPECT_EQ(CChangeRun({"\"A\",\"x\""}).Run("\x83\x41" "A"), "\x83\x41" "x\n");
  EXPECT_EQ(CChangeRun({"\"\\\",\"/\""}).Run("\x95\x5C\\"), "\x95\x5C/\n");
  EXPECT_EQ(CChangeRun({"\"a\",\"x\""}, "U").Run("\x83\x41" "a"), "\x83\x41" "x\n");
  // "\x5C\x83" would match bytewise across "表ア" but not on character boundaries.
  EXPECT_EQ(CChangeRun({"\"\\\x83\",\"!\""}).Run("\x95\x5C\x83\x41"), "\x95\x5C\x83\x41\n");
}

TEST(ChangeProcess, JapaneseWords) {
  // "表示" -> "ア" inside "表示表".
  EXPECT_EQ(CChangeRun({"\"\x95\x5C\x8E\xA6\",\"\x83\x41\""}).Run("\x95\x5C\x8E\xA6\x95\x5C"),
            "\x83\x41\x95\x5C\n");
}

TEST(ChangeProcess, ConstantsAreTakenPerRecord) {
  CChangeRun run({"\"#\",[IN_LINE]"});
  EXPECT_EQ(run.Run("a#b#", 12), "a12b12\n");
  EXPECT_EQ(run.Run("#", 13), "13\n");

  EXPECT_EQ(CChangeRun({"[FILE],\"F\""}).Run("in.txt;in.txt"), "F;F\n");
}

TEST(ChangeProcess, EmptySearchTextChangesNothing) {
  CChangeRun run({"\"\",\"x\""});
  EXPECT_EQ(run.Run("abc"), "abc\n");
  EXPECT_EQ(run.Run(""), "\n");
  EXPECT_EQ(CChangeRun({"\"\",\"\""}).Run("abc"), "abc\n");
}

TEST(ChangeProcess, OptionTRemovesTrailingWhiteSpaceOnly) {
  EXPECT_EQ(CChangeRun({"\"a\",\"b\""}, "T").Run("a \t "), "b\n");
  EXPECT_EQ(CChangeRun({"\"a\",\"b\""}, "T").Run("a\x81\x40"), "b\x81\x40\n");
  EXPECT_EQ(CChangeRun({"\"a\",\"b\""}).Run("a  "), "b  \n");
}

TEST(ChangeProcess, ConditionErrorsStopTheRecord) {
  CChangeRun run({"\"a\",\"b\" @ 5,1,A,=,\"x\""});
  run.Run("abc");
  EXPECT_EQ(run.m_param.m_nErr, 20);

  CChangeRun lenient({"\"a\",\"b\" @ 5,1,A,=,\"x\""}, "S");
  EXPECT_EQ(lenient.Run("abc"), "abc\n");
  EXPECT_EQ(lenient.m_param.m_nErr, 0);
}

TEST(ChangeProcess, ParseErrors) {
  CChangeRun run;
  EXPECT_EQ(run.Def("UPP", "\"a\",\"b\""), 17);
  EXPECT_EQ(run.m_param.m_nEditLast, -1);  // a refused key uses no definition
  EXPECT_EQ(run.Def("EDT", "\"a\""), 10);
  EXPECT_EQ(run.Def("EDT", "\"a\",\"b\" @"), 10);
  EXPECT_EQ(run.Def("EDT", "\"a\",\"b\" x"), 10);
  EXPECT_EQ(run.Def("EDT", "\"a\",\"b\" @ 1,1,A,==,\"x\" &"), 10);
  EXPECT_EQ(run.Def("EDT", "\"a\",\"b\" @ 1,1,Q,=,\"x\""), 18);
  EXPECT_EQ(run.Def("EDT", "\"\",\"\""), 0);
}

TEST(ChangeProcess, StoresOperandsInTheDefinition) {
  CChangeRun run({"[file] , \"a\"\"b\" @ \"z\""});
  const CEditDef& def = run.m_param.m_editDef[0];
  EXPECT_EQ(def.m_strConvType, "EDT");
  EXPECT_EQ(def.m_strConst, "FILE");
  EXPECT_EQ(def.m_strLiteral, "a\"b");
  EXPECT_EQ(run.m_param.m_editCond[0].m_strKind, "SEA");
  EXPECT_EQ(run.m_param.m_editCond[0].m_strLiteral, "z");
  EXPECT_EQ(run.m_param.m_editCond[1].m_strKind, "");
}

TEST(ChangeProcess, Limits) {
  CChangeRun run;
  for (int i = 0; i < 300; ++i) ASSERT_EQ(run.Def("EDT", "\"a\",\"b\""), 0) << i;
  EXPECT_EQ(run.Def("EDT", "\"a\",\"b\""), 24);

  CChangeRun terms;
  std::string thirty = "\"a\",\"b\" @ \"a\"";
  for (int i = 1; i < 30; ++i) thirty += " & \"a\"";
  EXPECT_EQ(terms.Def("EDT", thirty), 0);
  EXPECT_EQ(terms.Def("EDT", thirty + " & \"a\""), 25);
}

// Each definition works on the result of the one before, so growing
// replacements multiply the line's length; a line is allowed to reach
// 10,000,000 bytes and a record that would go beyond stops with 21 before
// the memory for it is asked for.
TEST(ChangeProcess, LineGrowthIsBoundedAt10MB) {
  const std::string thousand = "\"a\",\"" + std::string(1000, 'b') + "\"";
  CChangeRun exact({thousand});
  EXPECT_EQ(exact.Run(std::string(10000, 'a')).size(), 10000001u);  // line feed included
  EXPECT_EQ(exact.m_param.m_nErr, 0);

  CChangeRun over({thousand});
  over.Run(std::string(10000, 'a') + "x");
  EXPECT_EQ(over.m_param.m_nErr, 21);

  // Doubling 14 times turns 1,000 bytes into 16,384,000 (and 300 such
  // definitions would ask for 2^300 times the record).
  std::vector<std::string> doubling(14, "\"a\",\"aa\"");
  CChangeRun chain(doubling);
  chain.Run(std::string(1000, 'a'));
  EXPECT_EQ(chain.m_param.m_nErr, 21);
  EXPECT_LE(chain.m_param.m_strResult.capacity(), 20000000u);

  // Double-byte replacements count bytes: "表" (0x95 0x5C) for "ア" (0x83 0x41)
  // keeps the length, so 300 of them pass.
  CChangeRun same(std::vector<std::string>(300, "\"\x83\x41\",\"\x95\x5C\""));
  EXPECT_EQ(same.Run("\x83\x41\x83\x41"), "\x95\x5C\x95\x5C\n");
  EXPECT_EQ(same.m_param.m_nErr, 0);
}

}  // namespace
