#include "platform/FakePlatform.h"

#include <algorithm>
#include <cstring>

#include "platform/Iconv.h"
#include "platform/PathName.h"
#include "platform/Wildcard.h"

class FakeFile : public File {
 public:
  FakeFile(FakePlatform* owner, std::shared_ptr<FakePlatform::Node> node, OpenMode mode)
      : owner_(owner), node_(std::move(node)), mode_(mode) {
    if (mode_ == OpenMode::kRead)
      ++node_->readers;
    else
      node_->writer = true;
  }
  ~FakeFile() override { Close(); }

  long long Read(char* buffer, size_t size) override {
    if (!node_) return -1;
    if (++owner_->reads == owner_->stopAtRead) owner_->stopSignal = 15;
    size_t n = std::min(size, node_->data.size() - pos_);
    std::memcpy(buffer, node_->data.data() + pos_, n);
    pos_ += n;
    return static_cast<long long>(n);
  }
  bool Write(const char* data, size_t size) override {
    if (!node_ || mode_ == OpenMode::kRead) return false;
    if (++owner_->writes == owner_->failWriteAt) return false;
    node_->data.append(data, size);
    return true;
  }
  bool Truncate() override {
    if (!node_) return false;
    node_->data.clear();
    return true;
  }
  FileId Id() const override { return FileId{1, node_ ? node_->ino : 0}; }
  int64_t Size() const override { return node_ ? static_cast<int64_t>(node_->data.size()) : -1; }

  bool Close() override {
    if (!node_) return true;
    if (mode_ == OpenMode::kRead)
      --node_->readers;
    else
      node_->writer = false;
    node_.reset();
    return mode_ == OpenMode::kRead || !owner_->failClose;
  }

 private:
  FakePlatform* owner_;
  std::shared_ptr<FakePlatform::Node> node_;
  OpenMode mode_;
  size_t pos_ = 0;
};

std::unique_ptr<File> FakePlatform::Open(const std::string& path, OpenMode mode,
                                         std::string& reason) {
  if (unopenable.count(path)) {
    reason = "Permission denied";
    return nullptr;
  }
  if (directories_.count(path)) {
    reason = "Is a directory";
    return nullptr;
  }
  auto it = files_.find(path);
  if (it == files_.end()) {
    if (mode == OpenMode::kRead) {
      reason = "No such file or directory";
      return nullptr;
    }
    auto node = std::make_shared<Node>();
    node->ino = nextIno_++;
    it = files_.emplace(path, node).first;
  }
  // Locks as on Linux: readers share, a writer has the file alone.
  const Node& node = *it->second;
  if (node.writer || (mode != OpenMode::kRead && node.readers > 0)) {
    reason = "locked by another process";
    return nullptr;
  }
  return std::make_unique<FakeFile>(this, it->second, mode);
}

std::unique_ptr<File> FakePlatform::OpenStandardInput() {
  auto node = std::make_shared<Node>();
  node->data = standardInput;
  return std::make_unique<FakeFile>(this, node, OpenMode::kRead);
}

std::unique_ptr<File> FakePlatform::OpenStandardOutput() {
  return std::make_unique<FakeFile>(this, standardOutput_, OpenMode::kAppend);
}

bool FakePlatform::GetEnvironment(const char* name, std::string& value) {
  auto it = environment.find(name);
  if (it == environment.end()) return false;
  value = it->second;
  return true;
}

bool FakePlatform::GetFileId(const std::string& path, FileId& id) {
  auto it = files_.find(path);
  if (it == files_.end()) return false;
  id = FileId{1, it->second->ino};
  return true;
}

std::vector<DirMatch> FakePlatform::FindFiles(const std::string& pattern) {
  const size_t nameStart = NameStart(pattern);
  const std::string dir = pattern.substr(0, nameStart);
  const std::string last = pattern.substr(nameStart);
  std::vector<DirMatch> matches;
  if (last.empty()) return matches;
  const WildcardPattern wildcard(last);
  auto consider = [&](const std::string& path, bool isDir, int64_t size) {
    if (path.compare(0, dir.size(), dir) != 0) return;
    std::string name = path.substr(dir.size());
    if (name.find('/') != std::string::npos) return;
    if (wildcard.Matches(name)) matches.push_back(DirMatch{name, path, isDir, size});
  };
  for (const auto& [path, node] : files_) {
    consider(path, false, static_cast<int64_t>(node->data.size()));
  }
  for (const auto& path : directories_) consider(path, true, -1);
  std::sort(matches.begin(), matches.end(),
            [](const DirMatch& a, const DirMatch& b) { return NameBefore(a.name, b.name); });
  // A name without wildcards names one file, as opening it finds it: the
  // exact spelling, else the first that differs only in letter case.
  if (!IsWildcardPattern(last) && matches.size() > 1) {
    auto exact = std::find_if(matches.begin(), matches.end(),
                              [&last](const DirMatch& m) { return m.name == last; });
    matches = {exact != matches.end() ? *exact : matches.front()};
  }
  return matches;
}

int FakePlatform::ReadConsoleChar() {
  if (consoleRead >= consoleInput.size()) {
    ++consoleRead;
    return -1;
  }
  return static_cast<unsigned char>(consoleInput[consoleRead++]);
}

DateTime FakePlatform::LocalTime(long long seconds) {
  // Civil date from days since 1970-01-01 (UTC), enough for tests.
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  long long z = days + 719468;
  long long era = z / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  DateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

void FakePlatform::SetFile(const std::string& path, const std::string& content) {
  auto& node = files_[path];
  if (!node) {
    node = std::make_shared<Node>();
    node->ino = nextIno_++;
  }
  node->data = content;
}

std::string FakePlatform::GetFile(const std::string& path) const {
  auto it = files_.find(path);
  return it == files_.end() ? std::string() : it->second->data;
}

bool FakePlatform::HasFile(const std::string& path) const { return files_.count(path) != 0; }

bool FakePlatform::ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) {
  return IconvUtf8ToCp932().Convert(utf8, cp932);
}
