#include "platform/TextIo.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "platform/Cp932Unicode.h"
#include "platform/FakePlatform.h"

namespace {

// A file that hands out its bytes in short reads of `chunk` bytes, so CR LF
// pairs and 0x1A fall on every possible read boundary; optionally fails.
class ChunkFile : public File {
 public:
  ChunkFile(std::string data, size_t chunk, bool failAtEnd = false)
      : data_(std::move(data)), chunk_(chunk), failAtEnd_(failAtEnd) {}
  long long Read(char* buffer, size_t size) override {
    size_t n = std::min({size, chunk_, data_.size() - pos_});
    if (n == 0 && failAtEnd_) return -1;
    std::memcpy(buffer, data_.data() + pos_, n);
    pos_ += n;
    return static_cast<long long>(n);
  }
  bool Write(const char*, size_t) override { return false; }
  bool Truncate() override { return false; }
  FileId Id() const override { return {}; }
  bool Close() override { return true; }

 private:
  std::string data_;
  size_t chunk_;
  size_t pos_ = 0;
  bool failAtEnd_;
};

std::vector<std::string> ReadAll(const std::string& data, size_t chunk = size_t{1} << 30,
                                 PieceRule rule = PieceRule::kBytes) {
  TextReader reader;
  reader.Attach(std::make_unique<ChunkFile>(data, chunk), rule);
  std::vector<std::string> pieces;
  std::string_view piece;
  while (reader.ReadPiece(piece)) pieces.emplace_back(piece);
  EXPECT_FALSE(reader.Failed());
  return pieces;
}

// What a character-at-a-time text-mode reader with a 100,000-byte buffer
// gives: the stream ends at 0x1A, CR LF is one LF, and each read stops after
// an LF or after 99,999 characters.
std::vector<std::string> ModelPieces(const std::string& raw) {
  std::string text;
  for (size_t i = 0; i < raw.size() && raw[i] != '\x1A'; ++i) {
    if (raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n') continue;
    text += raw[i];
  }
  std::vector<std::string> pieces;
  std::string cur;
  for (char c : text) {
    cur += c;
    if (c == '\n' || cur.size() == TextReader::kMaxPiece) pieces.push_back(std::move(cur)), cur.clear();
  }
  if (!cur.empty()) pieces.push_back(cur);
  return pieces;
}

}  // namespace

TEST(TextReader, LineEndsAndEndOfFileByte) {
  using V = std::vector<std::string>;
  EXPECT_EQ(ReadAll("a\r\nb\rc\n\r\n"), (V{"a\n", "b\rc\n", "\n"}));
  EXPECT_EQ(ReadAll("ab\ncd\x1A" "ef\n"), (V{"ab\n", "cd"}));
  EXPECT_EQ(ReadAll("\x1A" "abc"), V{});
  EXPECT_EQ(ReadAll(""), V{});
  EXPECT_EQ(ReadAll("last"), V{"last"});
  EXPECT_EQ(ReadAll("x\r"), V{"x\r"});            // a lone CR at the end is data
  EXPECT_EQ(ReadAll("x\r\x1A\n"), V{"x\r"});      // so is one before 0x1A
  EXPECT_EQ(ReadAll("x\r\r\n"), V{"x\r\n"});      // only the CR next to the LF goes
  EXPECT_EQ(ReadAll(std::string("a\0b\n\0", 5)), (V{std::string("a\0b\n", 4), std::string(1, '\0')}));
  // Double-byte text passes untouched, including a second byte 0x5C.
  EXPECT_EQ(ReadAll("\x95\x5C\x83\x41\r\n"), V{"\x95\x5C\x83\x41\n"});
}

TEST(TextReader, CrLfAcrossEveryReadBoundary) {
  const std::string data = "ab\r\ncd\r\r\n\r\n\re\rf\r\n\x95\x5C\r\ngh\r";
  const auto expected = ModelPieces(data);
  ASSERT_EQ(expected.size(), 6u);
  for (size_t chunk = 1; chunk <= data.size(); ++chunk) EXPECT_EQ(ReadAll(data, chunk), expected) << chunk;
}

TEST(TextReader, LongLinesArriveInPiecesOf99999) {
  const size_t kMax = TextReader::kMaxPiece;
  auto sizes = [](const std::vector<std::string>& pieces) {
    std::vector<size_t> s;
    for (const auto& p : pieces) s.push_back(p.size());
    return s;
  };
  using S = std::vector<size_t>;
  EXPECT_EQ(sizes(ReadAll(std::string(150000, 'x'))), (S{kMax, 50001}));
  EXPECT_EQ(sizes(ReadAll(std::string(150000, 'x') + "\n")), (S{kMax, 50002}));
  // 99,998 bytes and LF fit; 99,999 bytes and LF do not: the LF comes alone.
  EXPECT_EQ(sizes(ReadAll(std::string(kMax - 1, 'x') + "\n")), (S{kMax}));
  auto pieces = ReadAll(std::string(kMax, 'x') + "\nz");
  EXPECT_EQ(sizes(pieces), (S{kMax, 1, 1}));
  EXPECT_EQ(pieces[1], "\n");
  EXPECT_NE(pieces[0].back(), '\n');
  // The same with CR LF, whose CR does not count.
  EXPECT_EQ(sizes(ReadAll(std::string(kMax - 1, 'x') + "\r\n")), (S{kMax}));
  pieces = ReadAll(std::string(kMax, 'x') + "\r\n");
  EXPECT_EQ(sizes(pieces), (S{kMax, 1}));
  EXPECT_EQ(pieces[1], "\n");
  // A lone CR as byte 99,999: data, and the line goes on.
  EXPECT_EQ(sizes(ReadAll(std::string(kMax - 1, 'x') + "\ry\n")), (S{kMax, 2}));
}

TEST(TextReader, AgreesWithTheModelOnLargeRandomInput) {
  // Several megabytes of lines whose lengths cluster around the piece limit
  // and the block size, with CR, LF, NUL and lead bytes mixed in.
  std::mt19937 rng(1932);
  std::string data;
  const size_t lengths[] = {0, 1, 99997, 99998, 99999, 100000, 100001, 150000, 200000, 1 << 20};
  while (data.size() < (size_t{5} << 20)) {
    size_t len = lengths[rng() % 10] + rng() % 3;
    std::string line(len, 'a');
    for (int k = 0; k < 4 && len > 0; ++k) line[rng() % len] = "\r\0\x83\\"[rng() % 4];
    data += line;
    data += (rng() % 2) ? "\r\n" : "\n";
  }
  data += "tail\r";
  const auto expected = ModelPieces(data);
  EXPECT_EQ(ReadAll(data), expected);
  EXPECT_EQ(ReadAll(data, 65536 + 7), expected);  // pipe-sized reads
}

// The pieces of `data` read block by block: BlockReader, then AttachBlock.
std::vector<std::string> ReadInBlocks(const std::string& data, size_t blockSize, size_t chunk,
                                      PieceRule rule = PieceRule::kBytes) {
  ChunkFile file(data, chunk);
  BlockReader blocks(file, blockSize, rule);
  IoBuffer block;
  size_t size = 0;
  bool last = false;
  std::vector<std::string> pieces;
  int64_t counted = 0;
  while (blocks.Next(block, size, last)) {
    counted += CountPieces(std::string_view(block.Data(), size), rule);
    TextReader reader;
    reader.AttachBlock(block.Data(), size, rule);
    std::string_view piece;
    while (reader.ReadPiece(piece)) pieces.emplace_back(piece);
    if (last) break;
  }
  EXPECT_EQ(counted, static_cast<int64_t>(pieces.size()));
  return pieces;
}

TEST(BlockReader, BlocksGiveThePiecesOfTheWholeFile) {
  std::mt19937 rng(4711);
  std::string data;
  const size_t lengths[] = {0, 1, 5, 99997, 99998, 99999, 100000, 100001, 250000};
  while (data.size() < (size_t{3} << 20)) {
    const size_t len = lengths[rng() % 9] + rng() % 3;
    std::string line(len, 'a');
    for (int k = 0; k < 4 && len > 0; ++k) line[rng() % len] = "\r\0\x83\\"[rng() % 4];
    data += line;
    data += (rng() % 2) ? "\r\n" : "\n";
  }
  data += "tail\r";
  const auto expected = ReadAll(data);
  for (size_t blockSize : {size_t{1}, size_t{4096}, size_t{100000}, size_t{1} << 20}) {
    EXPECT_EQ(ReadInBlocks(data, blockSize, 65536 + 7), expected) << blockSize;
  }
  // Nothing after 0x1A, whatever block it falls in.
  EXPECT_EQ(ReadInBlocks("ab\ncd\x1A" "ef\n", 1, 3), ReadAll("ab\ncd\x1A" "ef\n"));
  EXPECT_EQ(ReadInBlocks("", 1, 3), std::vector<std::string>());
}

TEST(TextReader, LongUtf8LinesAreCutBetweenCharacters) {
  const size_t kMax = TextReader::kMaxPiece;
  // Characters of two, three and four bytes after 0-3 ASCII bytes, so that byte
  // 99,999 falls on every byte of a character; whole files and blocks alike.
  for (const std::string ch : {"\xC3\xA9", "\xE3\x82\xA2", "\xF0\x9F\x98\x80"}) {
    for (size_t ascii = 0; ascii < 4; ++ascii) {
      std::string line(ascii, 'x');
      while (line.size() < 2 * kMax + 50) line += ch;
      const std::string data = line + "\nend";
      for (const auto& pieces : {ReadAll(data, 65536 + 7, PieceRule::kUtf8Characters),
                                 ReadInBlocks(data, 1, 4096, PieceRule::kUtf8Characters)}) {
        ASSERT_EQ(pieces.size(), 4u) << ch.size() << " " << ascii;
        EXPECT_EQ(pieces[0] + pieces[1] + pieces[2], line + "\n");
        for (size_t k = 0; k < 2; ++k) {
          EXPECT_LE(pieces[k].size(), kMax);
          EXPECT_GT(pieces[k].size(), kMax - ch.size());
          EXPECT_NE(static_cast<unsigned char>(pieces[k + 1][0]) & 0xC0, 0x80) << "a piece starts inside a character";
        }
      }
    }
  }
  // Bytes that are no character, and code page 932 text, are cut after 99,999 bytes.
  const std::string stray(150000, '\x80');
  EXPECT_EQ(ReadAll(stray, 65536, PieceRule::kUtf8Characters)[0].size(), kMax);
  std::string pairs;
  while (pairs.size() < 150000) pairs += "\x83\x41";
  EXPECT_EQ(ReadAll(pairs, 65536, PieceRule::kBytes)[0].size(), kMax);
}

// Output form line by line, the plain way: the runs ScanOutputForm must give.
std::vector<FormRun> ModelRuns(const std::string& data) {
  std::vector<FormRun> runs;
  size_t start = 0;
  while (start < data.size()) {
    const size_t lf = data.find('\n', start);
    const size_t end = lf == std::string::npos ? data.size() : lf + 1;
    const bool same = lf != std::string::npos && lf > start && data[lf - 1] == '\r' &&
                      end - start <= 100000;
    const int64_t lines = lf == std::string::npos ? 0 : 1;
    if (!runs.empty() && runs.back().same == same) {
      runs.back().end = end;
      runs.back().lines += lines;
    } else {
      runs.push_back(FormRun{start, end, lines, same});
    }
    start = end;
  }
  return runs;
}

TEST(ScanOutputForm, FindsTheLinesWrittenBackAsTheyAre) {
  std::mt19937 rng(932);
  for (int round = 0; round < 40; ++round) {
    std::string data;
    const size_t lengths[] = {0, 1, 2, 14, 15, 16, 17, 31, 99997, 99998, 99999};
    for (int n = 0; n < 60; ++n) {
      std::string line(lengths[rng() % 11] + rng() % 2, 'x');
      if (!line.empty() && rng() % 5 == 0) line[rng() % line.size()] = '\r';
      data += line + ((rng() % 4 == 0) ? "\n" : "\r\n");
    }
    if (rng() % 2 == 0) data += "end\r";
    std::vector<FormRun> runs;
    ScanOutputForm(data, runs);
    const std::vector<FormRun> expected = ModelRuns(data);
    ASSERT_EQ(runs.size(), expected.size()) << round;
    for (size_t i = 0; i < runs.size(); ++i) {
      EXPECT_EQ(runs[i].begin, expected[i].begin) << round << " run " << i;
      EXPECT_EQ(runs[i].end, expected[i].end) << round << " run " << i;
      EXPECT_EQ(runs[i].lines, expected[i].lines) << round << " run " << i;
      EXPECT_EQ(runs[i].same, expected[i].same) << round << " run " << i;
    }
  }
}

TEST(TextReader, ReportsAReadFailure) {
  TextReader reader;
  reader.Attach(std::make_unique<ChunkFile>("ab\ncd", 100, true));
  std::string_view piece;
  std::vector<std::string> got;
  while (reader.ReadPiece(piece)) got.emplace_back(piece);
  EXPECT_TRUE(reader.Failed());
  EXPECT_EQ(got, (std::vector<std::string>{"ab\n", "cd"}));
  EXPECT_FALSE(reader.ReadPiece(piece));
  reader.Close();
  EXPECT_FALSE(reader.IsOpen());
}

TEST(TextWriter, WritesCrLfInLargeBlocks) {
  FakePlatform fake;
  TextWriter writer;
  writer.Attach(fake.OpenFile("out.txt", OpenMode::kWrite));
  ASSERT_TRUE(writer.IsOpen());
  EXPECT_TRUE(writer.Write("a\nb"));
  EXPECT_TRUE(writer.Write("c\n\n\x95\x5C\r\n"));
  // More than one buffer of text, LF at the very end of each buffer too.
  std::string big;
  while (big.size() < (size_t{3} << 20)) big += std::string(1023, 'x') + "\n";
  EXPECT_TRUE(writer.Write(big));
  EXPECT_EQ(fake.writes, 3);  // 3 MiB of text and the CRs: three full buffers so far
  EXPECT_TRUE(writer.Close());
  std::string expectedBig;
  for (char c : big) c == '\n' ? expectedBig += "\r\n" : expectedBig += c;
  EXPECT_EQ(fake.GetFile("out.txt"), "a\r\nbc\r\n\r\n\x95\x5C\r\r\n" + expectedBig);
  EXPECT_FALSE(writer.IsOpen());
}

TEST(TextWriter, AFailedWriteIsNeverForgotten) {
  FakePlatform fake;
  TextWriter writer;
  writer.Attach(fake.OpenFile("out.txt", OpenMode::kWrite));
  fake.failWriteAt = 2;
  std::string block((size_t{1} << 20) - 10, 'x');
  EXPECT_TRUE(writer.Write(block));  // buffered, nothing written yet
  EXPECT_TRUE(writer.Write("abcdefghijklmnop"));  // fills the buffer: first write succeeds
  EXPECT_EQ(fake.writes, 1);
  EXPECT_TRUE(writer.Write("more\n"));  // buffered
  EXPECT_FALSE(writer.Close());         // the second write fails at the final flush
  // The first block stays as it was written.
  std::string stored = fake.GetFile("out.txt");
  EXPECT_GE(stored.size(), block.size());
  EXPECT_EQ(stored, (block + "abcdefghijklmnop").substr(0, stored.size()));

  // A failure in the middle: every later Write reports it, and Close too.
  TextWriter second;
  second.Attach(fake.OpenFile("two.txt", OpenMode::kWrite));
  fake.writes = 0;
  fake.failWriteAt = 1;
  EXPECT_FALSE(second.Write(std::string((size_t{1} << 20) + 5, 'y')));
  EXPECT_FALSE(second.Write("z"));
  EXPECT_FALSE(second.Close());
  EXPECT_EQ(fake.GetFile("two.txt"), "");

  // Nothing to write: Close succeeds, and the file is free again.
  TextWriter third;
  third.Attach(fake.OpenFile("two.txt", OpenMode::kAppend));
  EXPECT_TRUE(third.Close());
  EXPECT_NE(fake.OpenFile("two.txt", OpenMode::kRead), nullptr);
}

// Keeps the size of every write; the Nth write fails (0: none).
struct SizesFile : File {
  SizesFile(std::vector<size_t>& sizesKept, size_t failing) : sizes(sizesKept), failAt(failing) {}
  long long Read(char*, size_t) override { return -1; }
  bool Write(const char*, size_t size) override {
    sizes.push_back(size);
    return sizes.size() != failAt;
  }
  bool Truncate() override { return true; }
  FileId Id() const override { return {}; }
  bool Close() override { return true; }
  std::vector<size_t>& sizes;
  size_t failAt;
};

// The threads hand a whole block of records to Write in one call: the file
// must get the same writes as from one call per record, and a failed write
// must be placed at the same record. Lines of random length, CRs of their
// own, LFs and double-byte characters fall on every buffer boundary.
TEST(TextWriter, ManyRecordsInOneCallAreWrittenAsOneByOne) {
  std::mt19937 random(7);
  for (int trial = 0; trial < 60; ++trial) {
    std::vector<std::string> records;
    std::string all;
    std::vector<size_t> ends;  // where each record ends in `all`
    const size_t total = (size_t{3} << 20) + random() % (size_t{1} << 20);
    while (all.size() < total) {
      std::string record(random() % 3000, 'x');
      for (char& c : record) {
        const auto pick = random() % 8;
        c = pick == 0 ? '\n' : pick == 1 ? '\r' : pick == 2 ? '\x95' : pick == 3 ? '\x5C' : 'x';
      }
      if (random() % 4 != 0) record += '\n';
      all += record;
      ends.push_back(all.size());
      records.push_back(std::move(record));
    }
    const size_t failAt = random() % 5;  // 0: never; 4: at Close

    std::vector<size_t> oneByOneSizes;
    TextWriter one;
    one.Attach(std::make_unique<SizesFile>(oneByOneSizes, failAt));
    size_t failedRecord = records.size();
    for (size_t i = 0; i < records.size(); ++i) {
      if (!records[i].empty() && !one.Write(records[i])) {
        failedRecord = i;
        break;
      }
    }
    one.Close();

    std::vector<size_t> togetherSizes;
    TextWriter two;
    two.Attach(std::make_unique<SizesFile>(togetherSizes, failAt));
    // In two calls, cut at a random place, as a block's CSV header cuts it.
    const size_t cut = random() % all.size();
    size_t consumed = 0;
    size_t failedAt = all.size();
    if (!two.Write(std::string_view(all).substr(0, cut), consumed)) {
      failedAt = consumed;
    } else if (!two.Write(std::string_view(all).substr(cut), consumed)) {
      failedAt = cut + consumed;
    }
    two.Close();
    const size_t togetherRecord = static_cast<size_t>(
        std::upper_bound(ends.begin(), ends.end(), failedAt) - ends.begin());

    ASSERT_EQ(togetherSizes, oneByOneSizes) << "trial " << trial;
    ASSERT_EQ(togetherRecord, failedRecord) << "trial " << trial;
  }
}

namespace {

TEST(TextWriter, UnderUtf8EachLineIsConvertedAndHalfCharactersBecomeBlanks) {
  FakePlatform fake;
  TextWriter writer;
  writer.SetForm(OutputForm{true, false});
  writer.Attach(fake.OpenFile("out.txt", OpenMode::kWrite));
  ASSERT_TRUE(writer.StartWithByteOrderMark());
  // ア 0x83 0x41, 表 0x95 0x5C, ｱ 0xB1, 〜 0x8160 (U+FF5E); a lead byte cut off
  // by the end of a field, and one before a line feed.
  EXPECT_TRUE(writer.Write("\x83\x41\x95\x5C\xB1\x81\x60\n"));
  EXPECT_TRUE(writer.Write("ab\x83\n\x95\n"));
  EXPECT_TRUE(writer.Close());
  EXPECT_EQ(fake.GetFile("out.txt"),
            "\xEF\xBB\xBF\xE3\x82\xA2\xE8\xA1\xA8\xEF\xBD\xB1\xEF\xBD\x9E\r\nab \r\n \r\n");
  EXPECT_EQ(writer.Blanks(), 2);

  TextWriter lf;
  lf.SetForm(OutputForm{false, true});
  lf.Attach(fake.OpenFile("lf.txt", OpenMode::kWrite));
  EXPECT_TRUE(lf.Write("a\r\nb\n\x83\x41\n"));
  EXPECT_TRUE(lf.Close());
  EXPECT_EQ(fake.GetFile("lf.txt"), "a\r\nb\n\x83\x41\n");  // a CR of the data stays
}

// As the threads need: whole lines written together reach the file in the
// same writes as one by one, and a failed write names the same line, in
// UTF-8 with CR LF and with LF only. Both are also the writes of the lines
// converted beforehand and written as they are, whichever way the writer
// puts converted lines into its buffer.
TEST(TextWriter, Utf8LinesInOneCallAreWrittenAsOneByOne) {
  const char* const parts[] = {"x", "\x83\x41", "\x95\x5C", "\xB1", "\x83", "\x82\xA0", " ", "\xFA\xB1"};
  std::mt19937 random(11);
  for (int trial = 0; trial < 16; ++trial) {
    const OutputForm form{true, trial % 2 == 0};
    std::vector<std::string> lines;
    std::string all;
    std::vector<size_t> ends;
    while (all.size() < (size_t{3} << 19)) {
      std::string line;
      for (size_t n = random() % 800; n > 0; --n) line += parts[random() % 8];
      line += '\n';
      all += line;
      ends.push_back(all.size());
      lines.push_back(std::move(line));
    }
    const size_t failAt = random() % 6;
    std::vector<size_t> oneSizes;
    TextWriter one;
    one.SetForm(form);
    one.Attach(std::make_unique<SizesFile>(oneSizes, failAt));
    size_t failedLine = lines.size();
    for (size_t i = 0; i < lines.size() && failedLine == lines.size(); ++i) {
      if (!one.Write(lines[i])) failedLine = i;
    }
    one.Close();
    std::vector<size_t> togetherSizes;
    TextWriter two;
    two.SetForm(form);
    two.Attach(std::make_unique<SizesFile>(togetherSizes, failAt));
    size_t consumed = 0;
    const bool written = two.Write(all, consumed);
    two.Close();
    const size_t togetherLine = written ? lines.size()
        : static_cast<size_t>(std::upper_bound(ends.begin(), ends.end(), consumed) - ends.begin());
    std::vector<size_t> convertedSizes;
    TextWriter converted;
    converted.SetForm(OutputForm{false, form.lineFeedOnly});
    converted.Attach(std::make_unique<SizesFile>(convertedSizes, failAt));
    size_t convertedFailedLine = lines.size();
    for (size_t i = 0; i < lines.size() && convertedFailedLine == lines.size(); ++i) {
      std::string utf8;
      cp932::AppendToUtf8(lines[i], utf8);
      if (!converted.Write(utf8)) convertedFailedLine = i;
    }
    converted.Close();
    ASSERT_EQ(togetherSizes, oneSizes) << "trial " << trial;
    ASSERT_EQ(convertedSizes, oneSizes) << "trial " << trial;
    ASSERT_EQ(togetherLine, failedLine) << "trial " << trial;
    ASSERT_EQ(convertedFailedLine, failedLine) << "trial " << trial;
    EXPECT_EQ(one.Blanks(), two.Blanks());
  }
}

}  // namespace
