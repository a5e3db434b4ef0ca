// The rules of the Platform interface that tests on the in-memory platform
// rely on, checked on the real platform (in a temporary folder) and on the
// in-memory one alike: which names a pattern finds and in what order, and
// how opened files lock each other. A test on the fake checks what the
// program does only while these agree. (One rule only the real platform
// has: a name the file system spells otherwise, in UTF-8, also matches by
// those bytes; the fake has one spelling per name.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/FakePlatform.h"
#include "platform/Iconv.h"
#include "platform/PosixPlatform.h"

namespace {

// One platform with a folder to work in; names are code page 932.
class Bench {
 public:
  virtual ~Bench() = default;
  virtual const char* Name() const = 0;
  virtual Platform& Get() = 0;
  virtual void MakeFile(const std::string& name, const std::string& content) = 0;
  virtual void MakeFolder(const std::string& name) = 0;
  // The path of `name` in the folder.
  virtual std::string Path(const std::string& name) const = 0;

  // "name" or "name/" (a folder) per match, in the order found.
  std::vector<std::string> Find(const std::string& pattern) {
    std::vector<std::string> found;
    for (const DirMatch& match : Get().FindFiles(Path(pattern))) {
      found.push_back(match.name + (match.isDirectory ? "/" : ""));
    }
    return found;
  }
  std::unique_ptr<File> Open(const std::string& name, OpenMode mode) {
    std::string reason;
    return Get().Open(Path(name), mode, reason);
  }
  std::string Read(const std::string& name) {
    std::unique_ptr<File> file = Open(name, OpenMode::kRead);
    if (!file) return "(cannot open)";
    std::string data;
    char buffer[64];
    long long got;
    while ((got = file->Read(buffer, sizeof buffer)) > 0) data.append(buffer, static_cast<size_t>(got));
    return data;
  }
};

class FakeBench : public Bench {
 public:
  const char* Name() const override { return "fake"; }
  Platform& Get() override { return fake_; }
  void MakeFile(const std::string& name, const std::string& content) override {
    fake_.SetFile(Path(name), content);
  }
  void MakeFolder(const std::string& name) override { fake_.AddDirectory(Path(name)); }
  std::string Path(const std::string& name) const override { return "dir/" + name; }

 private:
  FakePlatform fake_;
};

// Names are created in the file system in their UTF-8 form, as Linux tools
// would create them.
class PosixBench : public Bench {
 public:
  PosixBench() {
    char folder[] = "/tmp/rux_contract_XXXXXX";
    if (mkdtemp(folder) != nullptr) dir_ = folder;
  }
  ~PosixBench() override {
    std::error_code ignored;
    if (!dir_.empty()) std::filesystem::remove_all(dir_, ignored);
  }
  const char* Name() const override { return "posix"; }
  Platform& Get() override { return posix_; }
  void MakeFile(const std::string& name, const std::string& content) override {
    const int fd = open(FsPath(name).c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    ASSERT_GE(fd, 0) << name;
    ASSERT_EQ(write(fd, content.data(), content.size()), static_cast<ssize_t>(content.size()));
    close(fd);
  }
  void MakeFolder(const std::string& name) override {
    ASSERT_EQ(mkdir(FsPath(name).c_str(), 0755), 0) << name;
  }
  std::string Path(const std::string& name) const override { return dir_ + "/" + name; }

 private:
  std::string FsPath(const std::string& name) const {
    std::string utf8;
    EXPECT_TRUE(IconvCp932ToUtf8().Convert(name, utf8)) << name;
    return dir_ + "/" + utf8;
  }
  std::string dir_;
  PosixPlatform posix_;
};

std::vector<std::unique_ptr<Bench>> Benches() {
  std::vector<std::unique_ptr<Bench>> benches;
  benches.push_back(std::make_unique<FakeBench>());
  benches.push_back(std::make_unique<PosixBench>());
  return benches;
}

using Names = std::vector<std::string>;

TEST(PlatformContract, PatternsFindTheSameNamesInTheSameOrder) {
  for (const auto& bench : Benches()) {
    for (const char* name : {"b.txt", "a.txt", "A.txt", "C.TXT", "d.dat", "noext",
                             "\x82\x81\x82\x82.txt", "\x83\x41.txt", "\x95\x5C.txt"}) {
      bench->MakeFile(name, name);
    }
    bench->MakeFolder("sub.txt");
    const struct {
      const char* pattern;
      Names found;
    } cases[] = {
        // Case-blind, in code page 932 order, equal names by their bytes;
        // folders are found too. ａｂ (0x82 0x81 ...), ア, 表 come last.
        {"*.TXT", {"A.txt", "a.txt", "b.txt", "C.TXT", "sub.txt/", "\x82\x81\x82\x82.txt",
                   "\x83\x41.txt", "\x95\x5C.txt"}},
        // "?" is one character, a double-byte one too.
        {"?.txt", {"A.txt", "a.txt", "b.txt", "C.TXT", "\x83\x41.txt", "\x95\x5C.txt"}},
        // The second byte of ア (0x41) is no "A".
        {"*A.TXT", {"A.txt", "a.txt"}},
        // Full-width letters are letters: Ａ* finds ａｂ.
        {"\x82\x60*", {"\x82\x81\x82\x82.txt"}},
        {"*.*", {"A.txt", "a.txt", "b.txt", "C.TXT", "d.dat", "noext", "sub.txt/",
                 "\x82\x81\x82\x82.txt", "\x83\x41.txt", "\x95\x5C.txt"}},
        {"NOEXT.*", {"noext"}},
        {"*.csv", {}},
        // A name without wildcards is one file: the exact spelling, else the
        // first in name order that differs only in letter case.
        {"a.txt", {"a.txt"}},
        {"A.TXT", {"A.txt"}},
        {"B.TXT", {"b.txt"}},
        {"missing.txt", {}},
        {"", {}},
    };
    for (const auto& c : cases) {
      EXPECT_EQ(bench->Find(c.pattern), c.found) << bench->Name() << ": " << c.pattern;
    }
    // What a pattern finds opens by its full path.
    for (const DirMatch& match : bench->Get().FindFiles(bench->Path("*.txt"))) {
      if (match.isDirectory) continue;
      std::string reason;
      EXPECT_NE(bench->Get().Open(match.fullPath, OpenMode::kRead, reason), nullptr)
          << bench->Name() << ": " << match.fullPath;
    }
  }
}

TEST(PlatformContract, ReadersShareAWriterHasTheFileAlone) {
  for (const auto& bench : Benches()) {
    SCOPED_TRACE(bench->Name());
    bench->MakeFile("data.txt", "kept");
    // Opening for writing empties nothing: the caller checks, then truncates.
    std::unique_ptr<File> writer = bench->Open("data.txt", OpenMode::kWrite);
    ASSERT_NE(writer, nullptr);
    EXPECT_EQ(bench->Open("data.txt", OpenMode::kRead), nullptr);
    EXPECT_EQ(bench->Open("data.txt", OpenMode::kAppend), nullptr);
    ASSERT_TRUE(writer->Close());
    EXPECT_EQ(bench->Read("data.txt"), "kept");

    std::unique_ptr<File> reader1 = bench->Open("data.txt", OpenMode::kRead);
    std::unique_ptr<File> reader2 = bench->Open("data.txt", OpenMode::kRead);
    EXPECT_NE(reader1, nullptr);
    EXPECT_NE(reader2, nullptr);
    EXPECT_EQ(bench->Open("data.txt", OpenMode::kWrite), nullptr);
    reader1.reset();
    EXPECT_EQ(bench->Open("data.txt", OpenMode::kAppend), nullptr);
    reader2.reset();
    std::unique_ptr<File> appender = bench->Open("data.txt", OpenMode::kAppend);
    ASSERT_NE(appender, nullptr);
    EXPECT_TRUE(appender->Write("+more", 5));
    EXPECT_TRUE(appender->Close());
    EXPECT_EQ(bench->Read("data.txt"), "kept+more");

    // A missing file cannot be read, a folder cannot be opened at all.
    bench->MakeFolder("folder");
    EXPECT_EQ(bench->Open("missing.txt", OpenMode::kRead), nullptr);
    EXPECT_EQ(bench->Open("folder", OpenMode::kRead), nullptr);
    EXPECT_EQ(bench->Open("folder", OpenMode::kWrite), nullptr);
  }
}

TEST(PlatformContract, Utf8ToCodePage932WithTheSameConverter) {
  for (const auto& bench : Benches()) {
    std::string out;
    EXPECT_TRUE(bench->Get().ConvertUtf8ToCp932("\xE8\xA1\xA8\xE3\x82\xA2", out)) << bench->Name();
    EXPECT_EQ(out, "\x95\x5C\x83\x41") << bench->Name();  // 表ア
    EXPECT_FALSE(bench->Get().ConvertUtf8ToCp932("\xC3\xA9", out)) << bench->Name();  // é
  }
}

}  // namespace
