// OPT and FUNCTION statements and the folder test, driven from text.
#include "param/ConvParam.h"

#include <gtest/gtest.h>

#include <cctype>

#include "platform/FakePlatform.h"

namespace {

class ConvParamTest : public ::testing::Test {
 protected:
  int Opt(const std::string& value) {
    m_param.m_strLine = value;
    return m_param.ParseOptStatement();
  }
  int Function(const std::string& value) {
    m_param.m_strLine = value;
    return m_param.ParseFunctionStatement();
  }
  bool Folder(const std::string& out) {
    m_param.m_strOut = out;
    return m_param.IsFolderMode();
  }

  FakePlatform m_fake;
  CConvParam m_param{m_fake};
};

TEST_F(ConvParamTest, StartsEmpty) {
  EXPECT_EQ(m_param.m_nSelLast, -1);
  EXPECT_EQ(m_param.m_nEditLast, -1);
  EXPECT_EQ(m_param.m_nErr, 0);
  EXPECT_EQ(m_param.m_nInCount, 0);
  EXPECT_TRUE(m_param.m_strFunction.empty());
  EXPECT_TRUE(m_param.m_selCond[CConvParam::kOrGroups * CConvParam::kAndTerms - 1].m_strKind.empty());
  EXPECT_TRUE(m_param.m_editCond[CConvParam::kEditDefs * CConvParam::kAndTerms - 1].m_strKind.empty());
}

TEST_F(ConvParamTest, OptLettersAreUpperCasedAndReplacedByALaterOpt) {
  EXPECT_EQ(Opt("-su"), 0);
  EXPECT_TRUE(m_param.HasOption('S'));
  EXPECT_TRUE(m_param.HasOption('U'));
  EXPECT_FALSE(m_param.HasOption('T'));

  EXPECT_EQ(Opt("-U"), 0);
  EXPECT_FALSE(m_param.HasOption('S'));
  EXPECT_TRUE(m_param.HasOption('U'));

  // Blanks and unknown letters are carried along and ignored.
  EXPECT_EQ(Opt("-t x h"), 0);
  EXPECT_TRUE(m_param.HasOption('T'));
  EXPECT_TRUE(m_param.HasOption('H'));
  EXPECT_FALSE(m_param.HasOption('U'));

  EXPECT_EQ(Opt("-"), 0);
  EXPECT_EQ(m_param.m_strOption, "");
}

TEST_F(ConvParamTest, OptWithoutLeadingDashIsRefusedAndKeepsTheLetters) {
  ASSERT_EQ(Opt("-S"), 0);
  EXPECT_EQ(Opt("su"), 10);
  EXPECT_EQ(Opt(""), 10);
  EXPECT_EQ(Opt(" -U"), 10);
  EXPECT_EQ(m_param.m_strOption, "S");
}

TEST_F(ConvParamTest, OptDoubleByteCharactersNeverTurnOnALetter) {
  // 0x83 0x53 ends in "S", 0x83 0x55 in "U", 0x83 0x41 in "A": none is a letter.
  EXPECT_EQ(Opt("-\x83\x53\x83\x55\x83\x41"), 0);
  EXPECT_FALSE(m_param.HasOption('S'));
  EXPECT_FALSE(m_param.HasOption('U'));
  // Full-width small s (0x82 0x93) is upper-cased to full-width S (0x82 0x72),
  // which is still not the option letter S.
  EXPECT_EQ(Opt("-\x82\x93t"), 0);
  EXPECT_EQ(m_param.m_strOption, "\x82\x72T");
  EXPECT_FALSE(m_param.HasOption('S'));
  EXPECT_TRUE(m_param.HasOption('T'));
}

TEST_F(ConvParamTest, FunctionAcceptsTheFourTypesInAnyCaseOnce) {
  EXPECT_EQ(Function("csv"), 0);
  EXPECT_EQ(m_param.m_strFunction, "CSV");
  EXPECT_EQ(Function("CSV"), 12);  // given twice, even with the same value
  EXPECT_EQ(Function("edit"), 12);
  EXPECT_EQ(m_param.m_strFunction, "CSV");

  for (const char* type : {"Change", "COPY", "eDiT"}) {
    CConvParam fresh(m_fake);
    fresh.m_strLine = type;
    EXPECT_EQ(fresh.ParseFunctionStatement(), 0) << type;
    std::string upper = type;
    for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(fresh.m_strFunction, upper);
  }
}

TEST_F(ConvParamTest, FunctionRefusesUnknownValuesWithoutSettingTheType) {
  for (const char* value : {"COPIES", "", "COP", "COPY ", "C0PY", "\x82\x62OPY"}) {
    EXPECT_EQ(Function(value), 12) << value;
    EXPECT_TRUE(m_param.m_strFunction.empty()) << value;
  }
}

TEST_F(ConvParamTest, FolderModeIsATrailingSlashOrSingleByteBackslash) {
  EXPECT_TRUE(Folder("OUT/"));
  EXPECT_TRUE(Folder("./"));
  EXPECT_TRUE(Folder("C:\\OUT\\"));
  EXPECT_TRUE(Folder("\\"));
  EXPECT_TRUE(Folder("\x83\x41\\"));  // "ア" then a real backslash
  EXPECT_FALSE(Folder("OUT.TXT"));
  EXPECT_FALSE(Folder(""));
  EXPECT_FALSE(Folder("OUT/X"));
  // 0x95 0x5C ("表") ends in the byte of "\" but is one character: a file.
  EXPECT_FALSE(Folder("DIR/\x95\x5C"));
  EXPECT_FALSE(Folder("\x95\x5C"));
  // A half-width katakana is single-byte: "ｱ\" (0xB1 0x5C) ends in a backslash.
  EXPECT_TRUE(Folder("\xB1\\"));
  // A lone lead byte before "\" takes it as its second byte.
  EXPECT_FALSE(Folder("AB\x95\\"));
}

}  // namespace
