// The preview's view: characters at the columns of their byte positions
// (double-byte characters whose second byte is "A" or "\", padding after
// ambiguous-width characters on a UTF-8 console, placeholders), the ruler,
// the marks, the notes and a whole record's screen.
#include "app/PreviewView.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/PreviewPrinter.h"
#include "job/JobReader.h"
#include "platform/FakePlatform.h"

namespace {

const std::string kA = "\x83\x41";       // katakana "a": its second byte is "A"
const std::string kHyo = "\x95\x5C";     // kanji "table": its second byte is "\"
const std::string kCircle = "\x81\x9B";  // "WHITE CIRCLE", of ambiguous width

// Glyphs as "kind+length": c character, a ambiguous, x control, h half, n no character.
std::string Kinds(std::string_view line) {
  std::string text;
  for (const Glyph& glyph : ShapeLine(line)) {
    static constexpr char kLetters[] = {'c', 'a', 'x', 'h', 'n'};
    if (!text.empty()) text += ' ';
    text += kLetters[static_cast<int>(glyph.kind)];
    text += std::to_string(glyph.length);
  }
  return text;
}

std::string Shown(std::string_view line, const ViewStyle& style, size_t from = 0,
                  size_t to = std::string::npos, const std::vector<int>& colours = {}) {
  return ShowGlyphs(line, ShapeLine(line), from, std::min(to, line.size()), style, colours);
}

TEST(PreviewView, ShapeStepsByCharacters) {
  EXPECT_EQ(Kinds("a" + kA + kHyo + kCircle + "\xB1"), "c1 c2 c2 a2 c1");
  // A lead byte before a byte that cannot follow it, or at the end, is half
  // a character; the next byte stands alone.
  EXPECT_EQ(Kinds("\x83 \x95"), "h1 c1 h1");
  // Bytes that are no character, alone or as a pair; control characters.
  EXPECT_EQ(Kinds(std::string("\x80\xA0\xFD\x85\x40\t\0\x7F", 8)), "n1 n1 n1 n2 x1 x1 x1");
}

TEST(PreviewView, CharactersStandAtTheColumnsOfTheirBytes) {
  const std::string line = "a" + kA + kHyo + kCircle + "b";
  const ViewStyle cp932;
  ViewStyle utf8;
  utf8.utf8 = true;
  // A code page 932 console takes every character as its bytes; a UTF-8
  // one draws the circle one column wide, so a blank follows it.
  EXPECT_EQ(Shown(line, cp932), line);
  EXPECT_EQ(Shown(line, utf8), "a" + kA + kHyo + kCircle + " b");
  EXPECT_EQ(ShownWidth(line, utf8), line.size() + 1);
  // Placeholders as wide as the bytes they stand for.
  EXPECT_EQ(Shown(std::string("\t\x85\x40\x83", 4), utf8), ".???");
  // A part shows the characters that start in it.
  EXPECT_EQ(Shown(line, cp932, 2, 5), kHyo);
}

TEST(PreviewView, ColoursByteByByteAndPlaceholdersInReverse) {
  ViewStyle colour;
  colour.colour = true;
  EXPECT_EQ(Shown("ab\t", colour, 0, 3, {0, 31, 0}), "a\x1b[31mb\x1b[0m\x1b[7m.\x1b[0m");
  EXPECT_EQ(Shown("ab\t", ViewStyle(), 0, 3, {0, 31, 0}), "ab.");
}

TEST(PreviewView, RulerCountsFromOne) {
  EXPECT_EQ(Ruler(0, 24, 2),
            "          10        20\n"
            "  123456789012345678901234\n");
  EXPECT_EQ(Ruler(0, 5, 0), "12345\n");
  // A number may reach into the margin, not beyond it.
  EXPECT_EQ(Ruler(98, 112, 0),
            "         110\n"
            "90123456789012\n");
  EXPECT_EQ(Ruler(98, 112, 2),
            " 100       110\n"
            "  90123456789012\n");
  // A later part names its first position too, where it stands clear.
  EXPECT_EQ(Ruler(100, 115, 4),
            "  101      110\n"
            "    123456789012345\n");
  EXPECT_EQ(Ruler(20, 26, 10),
            "         21\n"
            "          123456\n");
}

TEST(PreviewView, MarkRowsUnderTheBytesRead) {
  const std::vector<ByteRange> ranges = {{1, 2}, {5, 1}, {8, 5}};
  EXPECT_EQ(MarkRow(ranges, 'b', 0, 0, 10), " bb  b  bb");
  EXPECT_EQ(MarkRow(ranges, 'b', 0, 3, 8), "  b");
  EXPECT_EQ(MarkRow(ranges, 'b', 0, 13, 20), "");
  EXPECT_EQ(MarkRow({{1, 2}}, 'c', 32, 0, 10), " \x1b[7;32mcc\x1b[0m");
}

TEST(PreviewView, NotesPlaceholdersAndCharactersCutInHalf) {
  StatementMarks row;
  row.line = 5;
  row.what = "EDT";
  row.ranges = {{2, 2}, {5, 2}};  // from the second byte of "a", and up to the first of "table"
  const std::string line = "1" + kA + "2\t\t" + kHyo + "\x83";
  EXPECT_EQ(DescribeOddities(line, ShapeLine(line), {row}),
            "5-6: control characters 0x09 0x09; 9: half character 0x83; "
            "2-3: line 5 cuts a double-byte character in half; "
            "7-8: line 5 cuts a double-byte character in half");
  EXPECT_EQ(DescribeOddities("plain", ShapeLine("plain"), {row}), "");
}

// A record of the job `lines`, its first SEL group held.
struct RecordOf {
  explicit RecordOf(const std::vector<std::string>& lines) {
    JobReader reader;
    for (const std::string& line : lines) EXPECT_TRUE(reader.ReadLine(line).ok()) << line;
    job = reader.TakeJob();
    trace.groupFailedTerm = {-1};
    record.fileName = "in.txt";
    record.number = 1;
    record.job = &job;
    record.explanation = RecordExplanation{"in.txt", 1, true, &job, &trace};
  }
  Job job;
  RecordTrace trace;
  PreviewRecord record;
};

TEST(PreviewView, EditRecordWithItsMarksAndOutput) {
  RecordOf edit({"FUNCTION=EDIT", "SEL=1,1,A,=,\"x\"", "EDT=1,4,A,=,2,4,A", "UPP=6,2,A,=,\"ok\""});
  PreviewRecord& record = edit.record;
  const std::string bytes = "x" + kA + kHyo + kCircle;
  const std::string output = kA + kHyo + " OK";
  record.bytes = bytes;
  record.reads = {{2, "SEL", {{0, 1}}}, {3, "EDT", {{1, 4}}}};
  record.converted = true;
  record.output = output;
  record.writes = {{3, "EDT", {{0, 4}}}, {4, "UPP", {{5, 2}}}};
  ViewStyle utf8;
  utf8.utf8 = true;
  EXPECT_EQ(DescribePreview(record, utf8),
            "in.txt record 1 (7 bytes): selected by SEL line 2: SEL=1,1,A,=,\"x\"\n"
            "          1234567\n"
            "  record  x" + kA + kHyo + kCircle + " \n"
            "   2 SEL  a\n"
            "   3 EDT   bbbb\n"
            "          1234567\n"
            "  output  " + output + "\n"
            "   3 EDT  bbbb\n"
            "   4 UPP       cc\n"
            "\n");
  // In colour, the output's bytes take the colour of the statement that wrote them.
  ViewStyle colour;
  colour.colour = true;
  const std::string screen = DescribePreview(record, colour);
  EXPECT_NE(screen.find("  output  \x1b[32m" + kA + "\x1b[0m"), std::string::npos) << screen;
  EXPECT_NE(screen.find("\x1b[33mO\x1b[0m\x1b[33mK\x1b[0m"), std::string::npos) << screen;
}

TEST(PreviewView, LongLinesInPartsThatKeepCharactersWhole) {
  RecordOf copy({"SEL=9,3,A,=,\"abc\""});
  PreviewRecord& record = copy.record;
  const std::string bytes = "1234567" + kA + "901234";  // the katakana at 8-9
  record.bytes = bytes;
  record.reads = {{1, "SEL", {{8, 3}}}};
  record.converted = true;
  record.output = bytes;
  ViewStyle narrow;
  narrow.width = 8;
  EXPECT_EQ(DescribePreview(record, narrow),
            "in.txt record 1 (15 bytes): selected by SEL line 1: SEL=9,3,A,=,\"abc\"\n"
            "          1234567\n"
            "  record  1234567\n"
            "           10\n"
            "          89012345\n"
            "  record  " + kA + "901234\n"
            "   1 SEL   aaa\n"
            "  note    8-9: line 1 cuts a double-byte character in half\n"
            "  output  (the record as it is)\n"
            "\n");
}

TEST(PreviewView, PartsBeyondTheRecordOnlyWhereThereAreMarks) {
  RecordOf far({"SEL=25,2,A,=,\"ab\""});
  far.record.bytes = "abc";
  far.record.reads = {{1, "SEL", {{24, 2}}}};
  ViewStyle narrow;
  narrow.width = 10;
  EXPECT_EQ(DescribePreview(far.record, narrow),
            "in.txt record 1 (3 bytes): selected by SEL line 1: SEL=25,2,A,=,\"ab\"\n"
            "                  10\n"
            "          1234567890\n"
            "  record  abc\n"
            "         21\n"  // positions 21-26; 11-20 hold nothing
            "          123456\n"
            "  record\n"
            "   1 SEL      aa\n"
            "\n");
}

TEST(PreviewView, RecordAloneAndRecordError) {
  PreviewRecord alone;
  alone.fileName = "in\x1b.txt";  // a control character in a name is escaped
  alone.number = 3;
  alone.bytes = "";
  EXPECT_EQ(DescribePreview(alone, ViewStyle()),
            "in\\033.txt record 3 (0 bytes)\n"
            "  record\n"
            "  note    an empty line\n"
            "\n");

  RecordOf edit({"FUNCTION=EDIT", "EDT=1,2,A,=,5,2,A"});
  edit.trace.groupFailedTerm.clear();
  edit.record.bytes = "abc";
  edit.record.reads = {{2, "EDT", {{4, 2}}}};
  edit.record.error = ErrorCode::kFieldBeyondRecord;
  edit.record.errorLine = 2;
  edit.record.errorStatement = "EDT=1,2,A,=,5,2,A";
  EXPECT_EQ(DescribePreview(edit.record, ViewStyle()),
            "in.txt record 1 (3 bytes): selected (no SEL statement)\n"
            "          123456\n"
            "  record  abc\n"
            "   2 EDT      aa\n"
            "  error   20: the field lies beyond the end of the record (line 2: "
            "EDT=1,2,A,=,5,2,A)\n"
            "\n");
}

TEST(PreviewView, CsvFieldsUnderTheirHeaders) {
  RecordOf csv({"FUNCTION=CSV", "EDT=1,2,A,\"Code\"", "UPP=3,2,A,\"N\""});
  csv.trace.groupFailedTerm.clear();
  csv.record.bytes = "abcd";
  csv.record.converted = true;
  csv.record.fields = {{2, "EDT", "Code", "ab"}, {3, "UPP", "N", ""}};
  const std::string screen = DescribePreview(csv.record, ViewStyle());
  EXPECT_NE(screen.find("  output  2 values\n"
                        "   2 EDT  Code  ab\n"
                        "   3 UPP  N\n"),
            std::string::npos)
      << screen;
}

TEST(PreviewPrinter, ColoursOnlyOnATerminalWithoutNoColor) {
  FakePlatform fake;
  fake.utf8Console = true;
  EXPECT_TRUE(PreviewPrinter::ChooseStyle(fake).utf8);
  EXPECT_FALSE(PreviewPrinter::ChooseStyle(fake).colour);  // a pipe
  fake.terminals[static_cast<int>(Stream::kOutput)] = true;
  EXPECT_TRUE(PreviewPrinter::ChooseStyle(fake).colour);
  fake.environment["NO_COLOR"] = "";
  EXPECT_TRUE(PreviewPrinter::ChooseStyle(fake).colour);  // set but empty
  fake.environment["NO_COLOR"] = "1";
  EXPECT_FALSE(PreviewPrinter::ChooseStyle(fake).colour);
  fake.environment.erase("NO_COLOR");
  fake.environment["TERM"] = "dumb";
  EXPECT_FALSE(PreviewPrinter::ChooseStyle(fake).colour);
}

}  // namespace
