#include "platform/FakePlatform.h"

#include <algorithm>
#include <cstring>

#include "platform/Cp932.h"

class CFakeFile : public CFile {
 public:
  CFakeFile(CFakePlatform* owner, std::shared_ptr<CFakePlatform::Node> node, EOpenMode mode)
      : m_owner(owner), m_node(std::move(node)), m_mode(mode) {
    m_node->locked = true;
  }
  ~CFakeFile() override { Close(); }

  long long Read(char* buffer, size_t size) override {
    if (!m_node) return -1;
    size_t n = std::min(size, m_node->data.size() - m_nPos);
    std::memcpy(buffer, m_node->data.data() + m_nPos, n);
    m_nPos += n;
    return static_cast<long long>(n);
  }
  bool Write(const char* data, size_t size) override {
    if (!m_node || m_mode == EOpenMode::kRead) return false;
    if (++m_owner->m_nWrites == m_owner->m_nFailWriteAt) return false;
    m_node->data.append(data, size);
    return true;
  }
  bool Truncate() override {
    if (!m_node) return false;
    m_node->data.clear();
    return true;
  }
  CFileId Id() const override { return CFileId{1, m_node ? m_node->ino : 0}; }
  bool Close() override {
    if (!m_node) return true;
    m_node->locked = false;
    m_node.reset();
    return m_mode == EOpenMode::kRead || !m_owner->m_bFailClose;
  }

 private:
  CFakePlatform* m_owner;
  std::shared_ptr<CFakePlatform::Node> m_node;
  EOpenMode m_mode;
  size_t m_nPos = 0;
};

std::unique_ptr<CFile> CFakePlatform::OpenFile(const std::string& path, EOpenMode mode) {
  if (m_unopenable.count(path) || m_directories.count(path)) return nullptr;
  auto it = m_files.find(path);
  if (it == m_files.end()) {
    if (mode == EOpenMode::kRead) return nullptr;
    auto node = std::make_shared<Node>();
    node->ino = m_nNextIno++;
    it = m_files.emplace(path, node).first;
  }
  if (it->second->locked) return nullptr;
  return std::make_unique<CFakeFile>(this, it->second, mode);
}

bool CFakePlatform::GetFileId(const std::string& path, CFileId& id) {
  auto it = m_files.find(path);
  if (it == m_files.end()) return false;
  id = CFileId{1, it->second->ino};
  return true;
}

namespace {

// "*" and "?" over bytes, letters compared case-blind.
bool WildMatch(const std::string& pattern, size_t p, const std::string& name, size_t n) {
  while (p < pattern.size()) {
    if (pattern[p] == '*') {
      for (size_t k = n; k <= name.size(); ++k)
        if (WildMatch(pattern, p + 1, name, k)) return true;
      return false;
    }
    if (n >= name.size()) return false;
    if (pattern[p] != '?' && cp932::ToUpperChar(static_cast<unsigned char>(pattern[p]), 0) !=
                                 cp932::ToUpperChar(static_cast<unsigned char>(name[n]), 0))
      return false;
    ++p;
    ++n;
  }
  return n == name.size();
}

}  // namespace

std::vector<CDirMatch> CFakePlatform::FindFiles(const std::string& pattern) {
  size_t slash = pattern.rfind('/');
  std::string dir = slash == std::string::npos ? "" : pattern.substr(0, slash + 1);
  std::string last = slash == std::string::npos ? pattern : pattern.substr(slash + 1);
  std::vector<CDirMatch> matches;
  auto consider = [&](const std::string& path, bool isDir) {
    if (path.compare(0, dir.size(), dir) != 0) return;
    std::string name = path.substr(dir.size());
    if (name.find('/') != std::string::npos) return;
    if (WildMatch(last, 0, name, 0)) matches.push_back(CDirMatch{name, path, isDir});
  };
  for (const auto& [path, node] : m_files) consider(path, false);
  for (const auto& path : m_directories) consider(path, true);
  std::sort(matches.begin(), matches.end(),
            [](const CDirMatch& a, const CDirMatch& b) { return a.strName < b.strName; });
  return matches;
}

int CFakePlatform::ReadConsoleChar() {
  if (m_nConsoleRead >= m_strConsoleInput.size()) {
    ++m_nConsoleRead;
    return -1;
  }
  return static_cast<unsigned char>(m_strConsoleInput[m_nConsoleRead++]);
}

CDateTime CFakePlatform::LocalTime(long long seconds) {
  // Civil date from days since 1970-01-01 (UTC), enough for tests.
  long long days = seconds / 86400;
  long long rest = seconds % 86400;
  long long z = days + 719468;
  long long era = z / 146097;
  long long doe = z - era * 146097;
  long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  long long mp = (5 * doy + 2) / 153;
  CDateTime t;
  t.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  t.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  t.year = static_cast<int>(yoe + era * 400 + (t.month <= 2 ? 1 : 0));
  t.hour = static_cast<int>(rest / 3600);
  t.minute = static_cast<int>(rest / 60 % 60);
  t.second = static_cast<int>(rest % 60);
  return t;
}

void CFakePlatform::SetFile(const std::string& path, const std::string& content) {
  auto& node = m_files[path];
  if (!node) {
    node = std::make_shared<Node>();
    node->ino = m_nNextIno++;
  }
  node->data = content;
}

std::string CFakePlatform::GetFile(const std::string& path) const {
  auto it = m_files.find(path);
  return it == m_files.end() ? std::string() : it->second->data;
}

bool CFakePlatform::HasFile(const std::string& path) const { return m_files.count(path) != 0; }
