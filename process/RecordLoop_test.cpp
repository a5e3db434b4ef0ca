// The record loop on the in-memory platform: text-mode records, counts,
// selection, dispatch to the processing type, and how it stops.
#include <gtest/gtest.h>

#include <string>

#include "param/ConvParam.h"
#include "platform/FakePlatform.h"

namespace {

class RecordLoopTest : public ::testing::Test {
 protected:
  // Reads the statements, then copies `input` (file mode) and returns the
  // output file's bytes.
  std::string Convert(const std::string& input, std::initializer_list<const char*> statements = {}) {
    for (const char* statement : statements) {
      m_param.ReadStatement(statement);
      EXPECT_EQ(m_param.m_nErr, 0) << statement;
    }
    if (m_param.m_strFunction.empty()) m_param.m_strFunction = "COPY";
    m_fake.SetFile("in.txt", input);
    std::unique_ptr<File> out = m_fake.OpenFile("out.txt", OpenMode::kWrite);
    out->Truncate();
    m_param.m_fpOut.Attach(std::move(out));
    m_param.ProcessInputFile("in.txt", "in.txt");
    EXPECT_TRUE(m_param.m_fpOut.Close());
    return m_fake.GetFile("out.txt");
  }

  FakePlatform m_fake;
  CConvParam m_param{m_fake};
};

TEST_F(RecordLoopTest, CopyWritesEveryLineWithCrLf) {
  EXPECT_EQ(Convert("a\nbb\r\nccc"), "a\r\nbb\r\nccc\r\n");
  EXPECT_EQ(m_param.m_nInCount, 3);
  EXPECT_EQ(m_param.m_nOutCount, 3);
  EXPECT_EQ(m_param.m_nErr, 0);
}

TEST_F(RecordLoopTest, EmptyInputAndEmptyLines) {
  EXPECT_EQ(Convert(""), "");
  EXPECT_EQ(m_param.m_nInCount, 0);
  EXPECT_EQ(m_param.m_nOutCount, 0);
  EXPECT_EQ(Convert("\n\r\n\nx\n"), "\r\n\r\n\r\nx\r\n");
  EXPECT_EQ(m_param.m_nInCount, 4);  // counts start again for each file
}

TEST_F(RecordLoopTest, BytesPassUnchanged) {
  // A lone CR, NUL bytes and double-byte characters ending in "A" or "\"
  // are record data.
  const std::string record("a\rb\0c\x83\x41\x95\x5C\xB1", 10);
  EXPECT_EQ(Convert(record + "\n"), record + "\r\n");
  EXPECT_EQ(m_param.m_nInCount, 1);
}

TEST_F(RecordLoopTest, CtrlZEndsTheFile) {
  EXPECT_EQ(Convert("one\ntw\x1Ao\nthree\n"), "one\r\ntw\r\n");
  EXPECT_EQ(m_param.m_nInCount, 2);
}

TEST_F(RecordLoopTest, AnOverlongLineIsSeveralRecords) {
  std::string line(150000, 'x');
  line[99998] = '1';
  line[99999] = '2';
  std::string out = Convert(line + "\n");
  EXPECT_EQ(m_param.m_nInCount, 2);
  EXPECT_EQ(out, line.substr(0, 99999) + "\r\n" + line.substr(99999) + "\r\n");
}

TEST_F(RecordLoopTest, SelectionDecidesWhatIsWrittenAndCounted) {
  // "A" is not found inside "ア" (0x83 0x41).
  std::string out = Convert("\x83\x41\nA\nxAx\n\x95\x5C\n", {"SEL = \"A\""});
  EXPECT_EQ(out, "A\r\nxAx\r\n");
  EXPECT_EQ(m_param.m_nInCount, 4);
  EXPECT_EQ(m_param.m_nOutCount, 2);
}

TEST_F(RecordLoopTest, AnErrorStopsAtItsRecordKeepingEarlierOutput) {
  std::string out = Convert("12345\n12\n12345\n", {"SEL = 5,1,A,=,\"5\""});
  EXPECT_EQ(m_param.m_nErr, 20);
  EXPECT_EQ(m_param.m_nInCount, 2);
  EXPECT_EQ(m_param.m_nOutCount, 1);
  EXPECT_EQ(out, "12345\r\n");
}

TEST_F(RecordLoopTest, TheProcessingTypeRewritesSelectedRecords) {
  std::string out = Convert("\x83\x41" "A\x83\x41\nB\n",
                            {"FUNCTION = CHANGE", "EDT = \"\x83\x41\",\"\x95\x5C\""});
  EXPECT_EQ(out, "\x95\x5C" "A\x95\x5C\r\nB\r\n");
  EXPECT_EQ(m_param.m_nOutCount, 2);
}

TEST_F(RecordLoopTest, MissingInputIs92) {
  m_param.m_strFunction = "COPY";
  m_param.m_fpOut.Attach(m_fake.OpenFile("out.txt", OpenMode::kWrite));
  m_param.ProcessInputFile("gone.txt", "gone.txt");
  EXPECT_EQ(m_param.m_nErr, 92);
  EXPECT_EQ(m_param.m_nInCount, 0);
}

TEST_F(RecordLoopTest, FolderModeOutputIsCreatedBeforeTheInputIsOpened) {
  m_param.ReadStatement("OUT = out/");
  m_param.m_strFunction = "COPY";
  m_param.ProcessInputFile("in/gone.txt", "gone.txt");
  EXPECT_EQ(m_param.m_nErr, 92);
  EXPECT_TRUE(m_fake.HasFile("out/gone.txt"));
  EXPECT_FALSE(m_param.m_fpOut.IsOpen());
}

TEST_F(RecordLoopTest, FolderModeOpensAndClosesOneOutputPerFile) {
  m_param.ReadStatement("OUT = out/");
  m_param.m_strFunction = "COPY";
  m_fake.SetFile("in/a.txt", "1\n");
  m_fake.SetFile("in/b.txt", "2\n3\n");
  m_param.ProcessInputFile("in/a.txt", "a.txt");
  EXPECT_FALSE(m_param.m_fpOut.IsOpen());
  m_param.ProcessInputFile("in/b.txt", "b.txt");
  EXPECT_EQ(m_param.m_nErr, 0);
  EXPECT_EQ(m_param.m_nInCount, 2);
  EXPECT_EQ(m_fake.GetFile("out/a.txt"), "1\r\n");
  EXPECT_EQ(m_fake.GetFile("out/b.txt"), "2\r\n3\r\n");
  // The input files are free again.
  EXPECT_NE(m_fake.OpenFile("in/a.txt", OpenMode::kRead), nullptr);
}

TEST_F(RecordLoopTest, TheRecordBufferIsReservedOnce) {
  Convert("x\n");
  EXPECT_GE(m_param.m_strLine.capacity(), CConvParam::kLineBuffer);
  const char* buffer = m_param.m_strLine.data();
  Convert(std::string(99998, 'y') + "\n" + std::string(99999, 'z'));
  EXPECT_EQ(m_param.m_strLine.data(), buffer);  // the longest record fit without growing
}

}  // namespace
