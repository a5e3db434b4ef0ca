// These tests exercise the real Linux implementation, so they work in a
// temporary directory of their own.
#include "platform/PosixPlatform.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstring>
#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

namespace {

class PosixPlatformTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char tmpl[] = "/tmp/rux_platform_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    dir_ = tmpl;
  }
  void TearDown() override {
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }

  // Creates a file under the temporary directory (file-system spelling).
  void Make(const std::string& name, const std::string& content = "") {
    int fd = open((dir_ + "/" + name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
  }
  void MakeDir(const std::string& name) { ASSERT_EQ(mkdir((dir_ + "/" + name).c_str(), 0755), 0); }
  bool Exists(const std::string& name) {
    struct stat st;
    return lstat((dir_ + "/" + name).c_str(), &st) == 0;
  }
  std::string Slurp(std::unique_ptr<File> file) {
    std::string data;
    char buf[256];
    long long n;
    while ((n = file->Read(buf, sizeof buf)) > 0) data.append(buf, static_cast<size_t>(n));
    return data;
  }
  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) {
    std::string reason;
    return platform_.Open(path, mode, reason);
  }
  std::vector<std::string> Names(const std::vector<DirMatch>& matches) {
    std::vector<std::string> names;
    for (const auto& m : matches) names.push_back(m.name);
    return names;
  }

  std::string dir_;
  PosixPlatform platform_;
};

using Names_t = std::vector<std::string>;

}  // namespace

TEST_F(PosixPlatformTest, FindsCaseBlindInNameOrder) {
  Make("b.txt");
  Make("a.txt");
  Make("A.txt");
  Make("C.TXT");
  Make("d.dat");
  Make("noext");
  MakeDir("sub.txt");
  auto m = platform_.FindFiles(dir_ + "/*.TXT");
  EXPECT_EQ(Names(m), (Names_t{"A.txt", "a.txt", "b.txt", "C.TXT", "sub.txt"}));
  ASSERT_EQ(m.size(), 5u);
  EXPECT_FALSE(m[0].isDirectory);
  EXPECT_TRUE(m[4].isDirectory);
  EXPECT_EQ(m[2].fullPath, dir_ + "/b.txt");
  // "?" is one character; "." and ".." are never matches; "*.*" is every name.
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/?.txt")), (Names_t{"A.txt", "a.txt", "b.txt", "C.TXT"}));
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/??.txt")), Names_t{});
  EXPECT_EQ(platform_.FindFiles(dir_ + "/*").size(), 7u);
  EXPECT_EQ(platform_.FindFiles(dir_ + "/*.*").size(), 7u);
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/NOEXT.*")), Names_t{"noext"});
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/D.DAT")), Names_t{"d.dat"});
  EXPECT_TRUE(platform_.FindFiles(dir_ + "/*.csv").empty());
  EXPECT_TRUE(platform_.FindFiles(dir_ + "/missing/*.txt").empty());
  EXPECT_TRUE(platform_.FindFiles(dir_ + "/").empty());
}

TEST_F(PosixPlatformTest, NamesInCodePage932) {
  Make("データ.txt", "utf8 name");    // UTF-8 in the file system
  Make("ａｂｃ.txt", "full-width");    // full-width lower-case Latin
  Make("\xFF\xFE.txt", "not utf-8");   // no text encoding at all
  Make("ア.txt", "katakana a");
  auto m = platform_.FindFiles(dir_ + "/*.TXT");
  // Every name in its code page 932 form (or raw bytes), in code page order:
  // the single bytes 0xFF 0xFE before any double-byte character.
  Names_t expected = {"\xFF\xFE.txt", "\x82\x81\x82\x82\x82\x83.txt", "\x83\x41.txt",
                      "\x83\x66\x81\x5B\x83\x5E.txt"};
  EXPECT_EQ(Names(m), expected);
  // Every match opens again by its full path, raw names included.
  std::vector<std::string> contents;
  for (const auto& match : m) {
    auto file = OpenFile(match.fullPath, OpenMode::kRead);
    ASSERT_NE(file, nullptr) << match.fullPath;
    contents.push_back(Slurp(std::move(file)));
  }
  EXPECT_EQ(contents, (Names_t{"not utf-8", "full-width", "katakana a", "utf8 name"}));
  // Upper-cased full-width letters find the lower-case name.
  auto abc = OpenFile(dir_ + "/\x82\x60\x82\x61\x82\x62.TXT", OpenMode::kRead);
  ASSERT_NE(abc, nullptr);
  EXPECT_EQ(Slurp(std::move(abc)), "full-width");
  // "?" takes a double-byte character whole, and 0xFF 0xFE are two characters.
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/?.txt")), Names_t{"\x83\x41.txt"});

  // A code page 932 name copied into the file system as raw bytes: found
  // and opened under those bytes.
  MakeDir("raw");
  Make("raw/\x83\x41\x95\x5C.txt", "raw cp932");
  m = platform_.FindFiles(dir_ + "/RAW/\x83\x41*");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].name, "\x83\x41\x95\x5C.txt");
  EXPECT_EQ(Slurp(OpenFile(m[0].fullPath, OpenMode::kRead)), "raw cp932");
}

TEST_F(PosixPlatformTest, PathsWithBackslashesAndCaseBlindFolders) {
  MakeDir("表");  // 0x95 0x5C: its second byte is no separator
  MakeDir("Sub");
  Make("表/x.txt", "in hyo");
  Make("Sub/Data.Txt", "in sub");
  std::string dirBs = dir_;
  for (char& c : dirBs)
    if (c == '/') c = '\\';
  auto f = OpenFile(dirBs + "\\\x95\x5C\\X.TXT", OpenMode::kRead);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Slurp(std::move(f)), "in hyo");
  f = OpenFile(dir_ + "/SUB/data.txt", OpenMode::kRead);
  ASSERT_NE(f, nullptr);
  EXPECT_EQ(Slurp(std::move(f)), "in sub");
  auto m = platform_.FindFiles(dirBs + "\\sub\\*.TXT");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].name, "Data.Txt");
  EXPECT_EQ(m[0].fullPath, dir_ + "/Sub/Data.Txt");
  m = platform_.FindFiles(dir_ + "/\x95\x5C/*");
  ASSERT_EQ(m.size(), 1u);
  EXPECT_EQ(m[0].fullPath, dir_ + "/\x95\x5C/x.txt");

  FileId byName, byFile;
  ASSERT_TRUE(platform_.GetFileId(dir_ + "\\sub\\DATA.TXT", byName));
  f = OpenFile(dir_ + "/Sub/Data.Txt", OpenMode::kRead);
  ASSERT_NE(f, nullptr);
  byFile = f->Id();
  EXPECT_EQ(byName, byFile);
  EXPECT_FALSE(platform_.GetFileId(dir_ + "/Sub/none.txt", byName));
}

TEST_F(PosixPlatformTest, ExactSpellingIsPreferred) {
  Make("DATA.TXT", "upper");
  Make("data.txt", "lower");
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/data.txt", OpenMode::kRead)), "lower");
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/DATA.TXT", OpenMode::kRead)), "upper");
  // Neither spelled this way: the first in name order.
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/Data.Txt", OpenMode::kRead)), "upper");
}

TEST_F(PosixPlatformTest, CaseBlindLookUpsFollowAFolderListedEarlier) {
  Make("DATA.TXT", "upper");
  Make("Data.txt", "mixed");
  // The first case-blind look-up lists the folder: the first in name order.
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/data.TXT", OpenMode::kRead)), "upper");
  // A file created through the platform is found case-blind from then on, so
  // OUT in another spelling writes that file rather than one beside it.
  auto created = OpenFile(dir_ + "/New.Txt", OpenMode::kWrite);
  ASSERT_NE(created, nullptr);
  ASSERT_TRUE(created->Write("new", 3));
  created.reset();
  auto again = OpenFile(dir_ + "/NEW.TXT", OpenMode::kAppend);
  ASSERT_NE(again, nullptr);
  ASSERT_TRUE(again->Write("+", 1));
  again.reset();
  EXPECT_FALSE(Exists("NEW.TXT"));
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/new.txt", OpenMode::kRead)), "new+");
  // Names removed or added by someone else after the listing: the answer a
  // scan of the folder gives now, in the same order.
  ASSERT_EQ(unlink((dir_ + "/DATA.TXT").c_str()), 0);
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/data.TXT", OpenMode::kRead)), "mixed");
  Make("DAta.txt", "late");
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/data.TXT", OpenMode::kRead)), "late");
  // Raw bytes count as well: a UTF-8 name upper-cased byte by byte. The
  // bytes of "ア.TXT" in UTF-8 are also the code page 932 form of "繧｢.txt";
  // ア (0x83 0x41) comes first in name order.
  Make("\xE7\xB9\xA7\xEF\xBD\xA2.txt", "mojibake");  // "繧｢.txt"
  Make("\xE3\x82\xA2.txt", "utf-8 a");                  // "ア.txt"
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/\xE3\x82\xA2.TXT", OpenMode::kRead)), "utf-8 a");
}

TEST_F(PosixPlatformTest, NameWithoutWildcardsFindsOneFile) {
  // INP = data.txt reads one file even where DATA.TXT exists beside it: the
  // spelling written wins, else the first in name order, as when opening.
  Make("DATA.TXT", "upper");
  Make("data.txt", "lower");
  Make("\xE8\xA1\xA8.txt", "wide");  // "表.txt" in UTF-8
  auto m = platform_.FindFiles(dir_ + "/data.txt");
  ASSERT_EQ(Names(m), Names_t{"data.txt"});
  EXPECT_EQ(Slurp(OpenFile(m[0].fullPath, OpenMode::kRead)), "lower");
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/DATA.TXT")), Names_t{"DATA.TXT"});
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/Data.Txt")), Names_t{"DATA.TXT"});
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/\x95\x5C.TXT")), Names_t{"\x95\x5C.txt"});
  EXPECT_TRUE(platform_.FindFiles(dir_ + "/none.txt").empty());
  EXPECT_TRUE(platform_.FindFiles(dir_ + "/..").empty());
  // With a wildcard every spelling is a match of its own.
  EXPECT_EQ(Names(platform_.FindFiles(dir_ + "/data.tx?")), (Names_t{"DATA.TXT", "data.txt"}));
}

TEST_F(PosixPlatformTest, OutputFilesLockAndNeverTruncateOnOpen) {
  Make("out.txt", "old");
  auto out = OpenFile(dir_ + "/OUT.TXT", OpenMode::kWrite);
  ASSERT_NE(out, nullptr);
  EXPECT_FALSE(Exists("OUT.TXT"));  // the existing file, whatever its case
  // Held exclusively: neither a reader nor a writer gets it.
  EXPECT_EQ(OpenFile(dir_ + "/out.txt", OpenMode::kRead), nullptr);
  EXPECT_EQ(OpenFile(dir_ + "/out.txt", OpenMode::kAppend), nullptr);
  // Not emptied until asked.
  struct stat st;
  ASSERT_EQ(stat((dir_ + "/out.txt").c_str(), &st), 0);
  EXPECT_EQ(st.st_size, 3);
  ASSERT_TRUE(out->Truncate());
  ASSERT_TRUE(out->Write("new\r\n", 5));
  EXPECT_TRUE(out->Close());
  EXPECT_TRUE(out->Close());  // a second close does nothing

  auto add = OpenFile(dir_ + "/Out.Txt", OpenMode::kAppend);
  ASSERT_NE(add, nullptr);
  ASSERT_TRUE(add->Write("more", 4));
  add.reset();  // closing releases the lock
  EXPECT_EQ(Slurp(OpenFile(dir_ + "/out.txt", OpenMode::kRead)), "new\r\nmore");

  // A new file keeps the spelling written, in UTF-8.
  auto created = OpenFile(dir_ + "/New\x83\x41.Txt", OpenMode::kWrite);
  ASSERT_NE(created, nullptr);
  EXPECT_TRUE(Exists("Newア.Txt"));
  // Missing folders, directories and a missing input cannot be opened.
  EXPECT_EQ(OpenFile(dir_ + "/nofolder/x.txt", OpenMode::kWrite), nullptr);
  MakeDir("folder");
  EXPECT_EQ(OpenFile(dir_ + "/folder", OpenMode::kRead), nullptr);
  EXPECT_EQ(OpenFile(dir_ + "/folder", OpenMode::kWrite), nullptr);
  EXPECT_EQ(OpenFile(dir_ + "/missing.txt", OpenMode::kRead), nullptr);
  EXPECT_EQ(OpenFile("", OpenMode::kRead), nullptr);
  // Devices are not locked: two runs may both send their output to /dev/null.
  auto null1 = OpenFile("/dev/null", OpenMode::kWrite);
  auto null2 = OpenFile("/dev/null", OpenMode::kWrite);
  EXPECT_NE(null1, nullptr);
  EXPECT_NE(null2, nullptr);
  // A device that refuses data: opens, accepts Truncate, fails the write.
  auto full = OpenFile("/dev/full", OpenMode::kWrite);
  if (full) {
    EXPECT_TRUE(full->Truncate());
    EXPECT_FALSE(full->Write("x", 1));
  }
}

TEST_F(PosixPlatformTest, ReadersShareAFileAWriterHasItAlone) {
  Make("data.txt", "data");
  // Someone else reads the file (a lock of another open file, as another
  // process would hold it); this run reads it twice at the same time.
  int other = open((dir_ + "/data.txt").c_str(), O_RDONLY);
  ASSERT_GE(other, 0);
  ASSERT_EQ(flock(other, LOCK_SH | LOCK_NB), 0);
  auto reader1 = OpenFile(dir_ + "/DATA.TXT", OpenMode::kRead);
  auto reader2 = OpenFile(dir_ + "/data.txt", OpenMode::kRead);
  ASSERT_NE(reader1, nullptr);
  ASSERT_NE(reader2, nullptr);
  EXPECT_EQ(Slurp(std::move(reader1)), "data");
  // Nobody writes a file that is being read.
  EXPECT_EQ(OpenFile(dir_ + "/data.txt", OpenMode::kWrite), nullptr);
  reader2.reset();
  EXPECT_EQ(OpenFile(dir_ + "/data.txt", OpenMode::kAppend), nullptr);
  // Nobody reads a file that someone else writes.
  ASSERT_EQ(flock(other, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(OpenFile(dir_ + "/data.txt", OpenMode::kRead), nullptr);
  close(other);
  auto writer = OpenFile(dir_ + "/data.txt", OpenMode::kAppend);
  ASSERT_NE(writer, nullptr);
  EXPECT_EQ(OpenFile(dir_ + "/data.txt", OpenMode::kRead), nullptr);
}

TEST_F(PosixPlatformTest, PatternWithoutFolderMeansCurrentFolder) {
  Make("one.txt");
  char old[4096];
  ASSERT_NE(getcwd(old, sizeof old), nullptr);
  ASSERT_EQ(chdir(dir_.c_str()), 0);
  auto m = platform_.FindFiles("ONE.TXT");
  auto rel = platform_.FindFiles(".\\*.txt");
  auto f = OpenFile("one.TXT", OpenMode::kRead);
  ASSERT_EQ(chdir(old), 0);
  ASSERT_EQ(m.size(), 1u);
  ASSERT_EQ(rel.size(), 1u);
  char* real = realpath(dir_.c_str(), nullptr);
  ASSERT_NE(real, nullptr);
  EXPECT_EQ(m[0].fullPath, std::string(real) + "/one.txt");
  EXPECT_EQ(rel[0].fullPath, m[0].fullPath);
  free(real);
  EXPECT_NE(f, nullptr);
}

namespace {

// Runs `body` with standard output sent to a file and returns what it wrote.
template <class F>
std::string CaptureStdout(F body) {
  char tmpl[] = "/tmp/rux_console_XXXXXX";
  int fd = mkstemp(tmpl);
  fflush(stdout);
  int saved = dup(STDOUT_FILENO);
  dup2(fd, STDOUT_FILENO);
  body();
  dup2(saved, STDOUT_FILENO);
  close(saved);
  std::string out;
  char buf[256];
  lseek(fd, 0, SEEK_SET);
  ssize_t n;
  while ((n = read(fd, buf, sizeof buf)) > 0) out.append(buf, static_cast<size_t>(n));
  close(fd);
  unlink(tmpl);
  return out;
}

}  // namespace

TEST(PosixConsole, EncodingPolicyAndInput) {
  const std::string text = "\x93\xFC\x97\xCD\xCC\xA7\xB2\xD9:a.txt\n";  // 入力ﾌｧｲﾙ:a.txt
  const char* before = getenv("RUX_CONSOLE");
  std::string saved = before ? before : "";
  // Not a terminal: the code page 932 bytes as they are.
  unsetenv("RUX_CONSOLE");
  EXPECT_EQ(CaptureStdout([&] { PosixPlatform().WriteConsole(text); }), text);
  EXPECT_FALSE(PosixPlatform().ConsoleIsUtf8());
  setenv("RUX_CONSOLE", "utf-8", 1);
  EXPECT_EQ(CaptureStdout([&] { PosixPlatform().WriteConsole(text); }), "入力ﾌｧｲﾙ:a.txt\n");
  EXPECT_TRUE(PosixPlatform().ConsoleIsUtf8());
  // A byte with no character becomes "?" rather than breaking the terminal.
  EXPECT_EQ(CaptureStdout([&] { PosixPlatform().WriteConsole("a\x83"); }), "a?");
  setenv("RUX_CONSOLE", "cp932", 1);
  EXPECT_EQ(CaptureStdout([&] { PosixPlatform().WriteConsole(text); }), text);
  if (before) setenv("RUX_CONSOLE", saved.c_str(), 1);
  else unsetenv("RUX_CONSOLE");

  // One byte at a time from standard input, -1 at its end.
  char tmpl[] = "/tmp/rux_stdin_XXXXXX";
  int fd = mkstemp(tmpl);
  ASSERT_EQ(write(fd, "y\n", 2), 2);
  lseek(fd, 0, SEEK_SET);
  int savedIn = dup(STDIN_FILENO);
  dup2(fd, STDIN_FILENO);
  PosixPlatform platform;
  int c1 = platform.ReadConsoleChar(), c2 = platform.ReadConsoleChar();
  int c3 = platform.ReadConsoleChar(), c4 = platform.ReadConsoleChar();
  dup2(savedIn, STDIN_FILENO);
  close(savedIn);
  close(fd);
  unlink(tmpl);
  EXPECT_EQ(c1, 'y');
  EXPECT_EQ(c2, '\n');
  EXPECT_EQ(c3, -1);
  EXPECT_EQ(c4, -1);
}

TEST(PosixClock, LocalCalendar) {
  const char* before = getenv("TZ");
  std::string saved = before ? before : "";
  setenv("TZ", "UTC", 1);
  tzset();
  PosixPlatform platform;
  DateTime t = platform.LocalTime(951782400LL + 3661);  // 2000-02-29 01:01:01 UTC
  setenv("TZ", "JST-9", 1);
  tzset();
  DateTime jst = platform.LocalTime(951782400LL + 3661);
  if (before) setenv("TZ", saved.c_str(), 1);
  else unsetenv("TZ");
  tzset();
  EXPECT_EQ(t.year, 2000);
  EXPECT_EQ(t.month, 2);
  EXPECT_EQ(t.day, 29);
  EXPECT_EQ(t.hour, 1);
  EXPECT_EQ(t.minute, 1);
  EXPECT_EQ(t.second, 1);
  EXPECT_EQ(jst.hour, 10);
  long long now = platform.Now();
  EXPECT_LE(std::llabs(now - static_cast<long long>(time(nullptr))), 1);
}

// The literals in UTF-8 below are this source file's own encoding.
TEST(PosixText, Utf8ToCp932) {
  PosixPlatform platform;
  std::string out;
  EXPECT_TRUE(platform.ConvertUtf8ToCp932("EDT = \"表ア\",\"ﾃｽ\"\r\n", out));
  EXPECT_EQ(out, "EDT = \"\x95\x5C\x83\x41\",\"\xC3\xBD\"\r\n");
  // What Linux tools write for these JIS characters reaches the same bytes
  // as the code page 932 forms: wave dash and fullwidth tilde, minus signs.
  EXPECT_TRUE(platform.ConvertUtf8ToCp932("\u301C\uFF5E\u2212\uFF0D", out));
  EXPECT_EQ(out, "\x81\x60\x81\x60\x81\x7C\x81\x7C");
  EXPECT_TRUE(platform.ConvertUtf8ToCp932("plain ASCII", out));
  EXPECT_EQ(out, "plain ASCII");
  // No code page 932 form.
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("caf\u00E9", out));
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("\u00FD", out));  // what ﾃｽ reads as
  // Not well-formed: code page 932 bytes, a truncated character, an overlong
  // "/", a surrogate.
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("\x95\x5C\x83\x41", out));
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("\xE6\x9D", out));
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("\xC0\xAF", out));
  EXPECT_FALSE(platform.ConvertUtf8ToCp932("\xED\xA0\x80", out));
}
