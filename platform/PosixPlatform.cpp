// Platform on Linux.
//
// Paths arrive as code page 932 text with "/" or single-byte "\" separators.
// Each component is looked up in its directory in this order:
//   1. an entry spelled with exactly the given bytes (so a name FindFiles
//      returned as raw bytes opens as that very entry),
//   2. an entry spelled with the component converted to UTF-8,
//   3. any entry whose code page 932 form, or raw bytes, equals the component
//      ignoring letter case; the first in name order when several do. This
//      step looks in an index of the folder, listed once and then kept up to
//      date through inotify (FolderIndexes).
// Wildcard matching uses the same "code page 932 form or raw bytes, case-blind"
// rule, so every fullPath FindFiles returns can be opened again.
#include "platform/PosixPlatform.h"

#include "platform/Signals.h"

#include <dirent.h>
#include <fcntl.h>
#include <langinfo.h>
#include <poll.h>
#include <locale.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <map>
#include <string_view>
#include <unordered_map>
#include <utility>

#include "platform/Cp932.h"
#include "platform/Iconv.h"

namespace {

// ---------------------------------------------------------------- encoding

// The name the file system uses for a code page 932 component.
std::string FsName(std::string_view cp932Name) {
  std::string out;
  if (!IconvCp932ToUtf8().Convert(cp932Name, out)) out.assign(cp932Name);
  return out;
}

// The code page 932 form of a file-system name: converted from UTF-8, or the
// raw bytes when the name is not UTF-8 or has no code page 932 form.
std::string Cp932Name(std::string_view fsName) {
  std::string out;
  if (!IconvUtf8ToCp932().Convert(fsName, out)) out.assign(fsName);
  return out;
}

// ------------------------------------------------------------- path pieces

bool IsSeparator(std::string_view path, size_t i) { return path[i] == '/' || path[i] == '\\'; }

// Splits at "/" and single-byte "\" (the second byte of a double-byte
// character is never a separator). Empty components are dropped.
std::vector<std::string> SplitPath(std::string_view path, bool& absolute) {
  std::vector<std::string> parts;
  absolute = !path.empty() && IsSeparator(path, 0);
  std::string cur;
  for (size_t i = 0; i < path.size();) {
    size_t len = cp932::CharLen(path, i);
    if (len == 1 && IsSeparator(path, i)) {
      if (!cur.empty()) parts.push_back(std::move(cur));
      cur.clear();
    } else {
      cur.append(path.substr(i, len));
    }
    i += len;
  }
  if (!cur.empty()) parts.push_back(std::move(cur));
  return parts;
}

// Offset just after the last separator, 0 when there is none.
size_t NameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size();) {
    size_t len = cp932::CharLen(path, i);
    if (len == 1 && IsSeparator(path, i)) start = i + 1;
    i += len;
  }
  return start;
}

std::string Join(const std::string& dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string out = dir;
  if (out.back() != '/') out += '/';
  out.append(name);
  return out;
}

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

std::string Upper(std::string_view s) {
  std::string out;
  cp932::UpperInto(s, out);
  return out;
}

// Order of matches: names compared case-blind, then byte by byte.
bool NameLess(const std::string& a, const std::string& b) {
  int d = cp932::Compare(Upper(a), Upper(b));
  return d != 0 ? d < 0 : a < b;
}

// ---------------------------------------------------------------- wildcards

// "*" matches any run of characters, "?" exactly one character; both texts
// are upper-cased already. Steps by characters, so "?" takes a double-byte
// character whole and a "*" never resumes inside one.
bool WildMatch(std::string_view pat, std::string_view name) {
  size_t p = 0, n = 0;
  size_t starP = std::string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p] == '*') {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pat.size()) {
      size_t pl = cp932::CharLen(pat, p), nl = cp932::CharLen(name, n);
      if (pl == 1 && pat[p] == '?') {
        p += 1;
        n += nl;
        continue;
      }
      if (pl == nl && pat.compare(p, pl, name.substr(n, nl)) == 0) {
        p += pl;
        n += nl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    starN += cp932::CharLen(name, starN);
    n = starN;
    p = starP;
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}

// A pattern ending in ".*" also matches a name without an extension, so
// "*.*" means every file, as batch jobs written for the original platform expect.
bool PatternMatches(std::string_view pat, std::string_view name) {
  if (WildMatch(pat, name)) return true;
  size_t end = pat.size();
  while (end > 0 && pat[end - 1] == '*') --end;
  if (end == pat.size() || end == 0 || pat[end - 1] != '.') return false;
  return name.find('.') == std::string_view::npos && WildMatch(pat.substr(0, end - 1), name);
}

// ------------------------------------------------------------ path lookup

// Directory entries with their code page 932 forms, "." and ".." left out.
struct DirEntry {
  std::string raw;
  std::string name;  // code page 932 form
};

// Lists `dir` in the file system's order; false when it cannot be read.
bool ListDirectory(const std::string& dir, std::vector<DirEntry>& entries) {
  entries.clear();
  DIR* d = opendir(dir.empty() ? "." : dir.c_str());
  if (!d) return false;
  while (const dirent* e = readdir(d)) {
    std::string_view raw = e->d_name;
    if (raw == "." || raw == "..") continue;
    entries.push_back(DirEntry{std::string(raw), Cp932Name(raw)});
  }
  closedir(d);
  return true;
}

// The case-blind step of the look-up for one folder, built from one listing:
// for every upper-cased code page 932 form and upper-cased raw name, the entry
// a case-blind look-up of it returns. A folder of n entries that receives n
// new files is then listed once, not once per file.
class FolderIndex {
 public:
  // `entries` in listing order.
  explicit FolderIndex(std::vector<DirEntry> entries) {
    entries_.reserve(entries.size());
    for (DirEntry& e : entries) Add(std::move(e));
  }

  void Add(DirEntry entry) {
    const size_t at = entries_.size();
    entries_.push_back(std::move(entry));
    const DirEntry& e = entries_.back();
    Keep(byName_, Upper(e.name), at);
    // Raw bytes that are the code page 932 form already are indexed as that.
    if (e.raw != e.name) Keep(byRaw_, Upper(e.raw), at);
  }

  // The entry whose code page 932 form or raw bytes equal `upper` ignoring
  // letter case, nullptr when there is none: the first in name order, and of
  // equal names the first listed, as a scan of the listing would choose.
  const DirEntry* Find(const std::string& upper) const {
    size_t a = Get(byName_, upper), b = Get(byRaw_, upper);
    if (a == kNone || b == kNone) a = std::min(a, b);
    else if (NameLess(entries_[b].name, entries_[a].name)) a = b;
    else if (!NameLess(entries_[a].name, entries_[b].name)) a = std::min(a, b);
    return a == kNone ? nullptr : &entries_[a];
  }

 private:
  using Map = std::unordered_map<std::string, size_t>;
  static constexpr size_t kNone = static_cast<size_t>(-1);

  // Keeps under `key` the first entry in name order, of equal names the first.
  void Keep(Map& map, std::string key, size_t at) {
    auto [it, added] = map.try_emplace(std::move(key), at);
    if (!added && NameLess(entries_[at].name, entries_[it->second].name)) it->second = at;
  }
  static size_t Get(const Map& map, const std::string& key) {
    auto it = map.find(key);
    return it == map.end() ? kNone : it->second;
  }

  std::vector<DirEntry> entries_;
  Map byName_;  // upper-cased code page 932 form -> entry
  Map byRaw_;   // upper-cased raw bytes, where they differ from that form -> entry
};

}  // namespace

// The folders this platform has listed for case-blind look-ups, each by its
// identity (device and inode), so every spelling of a folder shares one
// listing. inotify reports every entry created, renamed or removed in a
// listed folder, by this run or by anyone else, so a look-up gives exactly
// what a scan of the folder would give at that moment. Where a folder cannot
// be watched, it is scanned at every look-up instead.
class FolderIndexes {
 public:
  FolderIndexes() = default;
  ~FolderIndexes() {
    if (notify_ >= 0) close(notify_);
  }
  FolderIndexes(const FolderIndexes&) = delete;
  FolderIndexes& operator=(const FolderIndexes&) = delete;

  // The entry of `dir` named `upper` ignoring letter case.
  bool Find(const std::string& dir, const std::string& upper, std::string& fsName) {
    const char* path = dir.empty() ? "." : dir.c_str();
    struct stat st;
    if (stat(path, &st) != 0) return false;
    const Key key{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
    // Opened at the first look-up that needs it, long after the standard
    // descriptors are held, and not at all by runs that never need it.
    if (notify_ == kNotOpened) notify_ = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    CatchUp();
    auto it = folders_.find(key);
    if (it == folders_.end() || it->second.stale) {
      // Watched first, then listed, so no change falls between the two.
      int watch = notify_ >= 0 ? inotify_add_watch(notify_, path, kEvents) : -1;
      std::vector<DirEntry> entries;
      if (!ListDirectory(dir, entries)) return false;
      if (watch < 0) return Pick(FolderIndex(std::move(entries)).Find(upper), fsName);
      watched_[watch] = key;
      it = folders_.insert_or_assign(key, Folder{FolderIndex(std::move(entries)), false}).first;
    }
    return Pick(it->second.index.Find(upper), fsName);
  }

 private:
  using Key = std::pair<uint64_t, uint64_t>;
  struct Folder {
    FolderIndex index;
    bool stale;  // an entry went away: listed again at the next look-up
  };
  static constexpr uint32_t kEvents =
      IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;

  static bool Pick(const DirEntry* entry, std::string& fsName) {
    if (!entry) return false;
    fsName = entry->raw;
    return true;
  }

  // Applies the changes reported since the last look-up. A new entry joins
  // its folder's index; a removed one makes the folder be listed again, since
  // the entry it hid (the next in name order) is not kept.
  void CatchUp() {
    if (notify_ < 0) return;
    alignas(inotify_event) char buffer[65536];
    for (;;) {
      ssize_t got = read(notify_, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0) return;  // EAGAIN: nothing more
      for (ssize_t at = 0; at < got;) {
        const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
        at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
        if (event->mask & IN_Q_OVERFLOW) {
          for (auto& [key, folder] : folders_) folder.stale = true;
          continue;
        }
        auto w = watched_.find(event->wd);
        if (w == watched_.end()) continue;
        if (event->mask & IN_IGNORED) {  // the folder is gone
          folders_.erase(w->second);
          watched_.erase(w);
          continue;
        }
        auto it = folders_.find(w->second);
        if (it == folders_.end() || it->second.stale || event->len == 0) continue;
        if (event->mask & (IN_DELETE | IN_MOVED_FROM)) {
          it->second.stale = true;
        } else {
          std::string raw(event->name);
          std::string name = Cp932Name(raw);
          it->second.index.Add(DirEntry{std::move(raw), std::move(name)});
        }
      }
    }
  }

  static constexpr int kNotOpened = -2;
  int notify_ = kNotOpened;  // the inotify instance; -1 when there is none
  std::map<Key, Folder> folders_;
  std::map<int, Key> watched_;  // inotify watch -> folder
};

namespace {

// Finds the entry of `dir` that the code page 932 component `comp` names;
// `fsName` receives its real spelling.
bool LookupEntry(FolderIndexes& folders, const std::string& dir, const std::string& comp,
                 std::string& fsName) {
  if (EntryExists(Join(dir, comp))) {
    fsName = comp;
    return true;
  }
  std::string converted = FsName(comp);
  if (converted != comp && EntryExists(Join(dir, converted))) {
    fsName = converted;
    return true;
  }
  return folders.Find(dir, Upper(comp), fsName);
}

// Resolves a code page 932 path to the file system's spelling. With
// `lastMayBeNew` a missing last component is taken as written (converted to
// UTF-8), for files about to be created.
bool ResolvePath(FolderIndexes& folders, const std::string& path, bool lastMayBeNew,
                 std::string& fsPath) {
  bool absolute = false;
  std::vector<std::string> parts = SplitPath(path, absolute);
  if (parts.empty()) return false;
  std::string cur = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& comp = parts[i];
    std::string name;
    if (comp == "." || comp == "..") {
      name = comp;
    } else if (!LookupEntry(folders, cur, comp, name)) {
      if (!(lastMayBeNew && i + 1 == parts.size())) return false;
      name = FsName(comp);
    }
    cur = Join(cur, name);
  }
  fsPath = cur;
  return true;
}

// The code page 932 form of a file-system path, made absolute.
std::string AbsoluteCp932(const std::string& fsDir) {
  std::string abs = fsDir;
  if (abs.empty() || abs[0] != '/') {
    std::string cwd(4096, '\0');
    while (!getcwd(cwd.data(), cwd.size())) {
      if (errno != ERANGE) return fsDir;  // no current directory: keep it relative
      cwd.resize(cwd.size() * 2);
    }
    cwd.resize(std::strlen(cwd.c_str()));
    abs = abs.empty() ? cwd : Join(cwd, abs);
  }
  std::string out;
  for (size_t i = 0; i <= abs.size();) {
    size_t slash = abs.find('/', i);
    if (slash == std::string::npos) slash = abs.size();
    std::string_view piece = std::string_view(abs).substr(i, slash - i);
    if (!piece.empty() && piece != ".") (out += '/') += Cp932Name(piece);
    i = slash + 1;
  }
  return out.empty() ? "/" : out;
}

// ------------------------------------------------------------------ files

class PosixFile : public File {
 public:
  PosixFile(int fd, const struct stat& st)
      : fd_(fd), id_{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)},
        regular_(S_ISREG(st.st_mode)), size_(S_ISREG(st.st_mode) ? st.st_size : -1) {}
  ~PosixFile() override { Close(); }

  long long Read(char* buffer, size_t size) override {
    // Fill the request where the source allows (pipes hand out less at a time).
    size_t total = 0;
    while (total < size && fd_ >= 0) {
      // A stop signal ends a read that waits on a pipe or a terminal: what
      // has arrived is handed out, and the caller sees the stop.
      if (!regular_ && !AwaitData()) break;
      ssize_t got = read(fd_, buffer + total, size - total);
      if (got < 0 && errno == EINTR) continue;
      if (got < 0) {
        error_ = errno;
        return total > 0 ? static_cast<long long>(total) : -1;
      }
      if (got == 0) break;
      total += static_cast<size_t>(got);
    }
    return fd_ >= 0 ? static_cast<long long>(total) : -1;
  }

  bool Write(const char* data, size_t size) override {
    while (size > 0 && fd_ >= 0) {
      ssize_t put = write(fd_, data, size);
      if (put < 0 && errno == EINTR) continue;
      if (put <= 0) {
        error_ = put < 0 ? errno : ENOSPC;
        return false;
      }
      data += put;
      size -= static_cast<size_t>(put);
    }
    return fd_ >= 0;
  }

  bool Truncate() override {
    if (fd_ < 0) return false;
    // Devices such as /dev/null or /dev/full cannot be truncated and need not be.
    if (regular_ && (ftruncate(fd_, 0) != 0 || lseek(fd_, 0, SEEK_SET) != 0)) {
      error_ = errno;
      return false;
    }
    return true;
  }

  FileId Id() const override { return id_; }

  // Waits until the descriptor has data (or its end) to read; false when a
  // stop signal came first. The signal may have been handled on any thread,
  // so the wait looks at the flag every quarter second instead of counting
  // on the read being interrupted.
  bool AwaitData() const {
    pollfd ready{fd_, POLLIN, 0};
    for (;;) {
      if (StopSignalNumber().load(std::memory_order_relaxed) != 0) return false;
      const int n = poll(&ready, 1, 250);
      if (n != 0 && !(n < 0 && errno == EINTR)) return true;  // data, its end, or an error read() reports
    }
  }

  bool Close() override {
    if (fd_ < 0) return true;
    int fd = fd_;
    fd_ = -1;
    if (close(fd) == 0) return true;  // releases the lock too
    error_ = errno;
    return false;
  }

  std::string FailureReason() const override {
    return error_ == 0 ? std::string() : std::string(std::strerror(error_));
  }

  int64_t Size() const override { return size_; }


 private:
  int fd_;
  FileId id_;
  bool regular_;
  int64_t size_;
  int error_ = 0;
};

// ---------------------------------------------------------------- console

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool SameWord(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

// True when a locale name says UTF-8: "ja_JP.UTF-8", "C.utf8", "en_US.UTF-8@euro".
bool NameSaysUtf8(const char* name) {
  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr) return false;
  std::string codeset(dot + 1);
  codeset = codeset.substr(0, codeset.find('@'));
  return SameWord(codeset.c_str(), "UTF-8") || SameWord(codeset.c_str(), "utf8");
}

// Console encoding of one stream: forced by RUX_CONSOLE, else UTF-8 only for
// a terminal in a UTF-8 locale. The locale is queried without changing the
// program's own. A locale that cannot be loaded (named but not generated,
// the default on a minimal system) is judged by its name.
bool ChooseUtf8Console(int fd) {
  if (const char* force = std::getenv("RUX_CONSOLE")) {
    if (SameWord(force, "utf-8") || SameWord(force, "utf8")) return true;
    if (SameWord(force, "cp932") || SameWord(force, "sjis") || SameWord(force, "shift_jis"))
      return false;
  }
  if (!isatty(fd)) return false;
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
      const char* name = std::getenv(variable);
      if (name != nullptr && *name != '\0') return NameSaysUtf8(name);
    }
    return false;
  }
  const char* codeset = nl_langinfo_l(CODESET, loc);
  bool utf8 = codeset && (SameWord(codeset, "UTF-8") || SameWord(codeset, "utf8"));
  freelocale(loc);
  return utf8;
}

bool IsAscii(std::string_view text) {
  for (char c : text) {
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  }
  return true;
}

// Writes code page 932 text to a console stream, converted when it is UTF-8.
void WriteConsoleText(int fd, bool utf8, std::string_view text) {
  if (!utf8 || IsAscii(text)) {
    WriteAll(fd, text.data(), text.size());
    return;
  }
  std::string converted;
  IconvCp932ToUtf8().ConvertLossy(text, converted);
  WriteAll(fd, converted.data(), converted.size());
}

// A standard stream as a File: a duplicate descriptor, so that closing it
// reports a failure to store the data without closing the stream itself.
std::unique_ptr<File> OpenStandardStream(int fd) {
  const int copy = fcntl(fd, F_DUPFD_CLOEXEC, 3);
  if (copy < 0) return nullptr;
  struct stat st;
  if (fstat(copy, &st) != 0) {
    close(copy);
    return nullptr;
  }
  // A file given as standard input may have been read in part already
  // (`{ head -n 1; rux -i - job.prm; } < in.txt`): its size is what is left.
  if (S_ISREG(st.st_mode)) {
    const off_t at = lseek(copy, 0, SEEK_CUR);
    if (at > 0) st.st_size = at < st.st_size ? st.st_size - at : 0;
  }
  return std::make_unique<PosixFile>(copy, st);
}

// Started with standard input, output or error closed, the first files this
// run opens would take those descriptors, and console text would land in an
// output file. Holding them open on /dev/null keeps every file off them.
// Returns which of them were closed (bit 0 standard input ...).
unsigned HoldStandardDescriptors() {
  unsigned closed = 0;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // open() takes the lowest free descriptor, which is this one.
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", O_RDWR);
      closed |= 1u << fd;
    }
  }
  return closed;
}

}  // namespace

PosixPlatform::PosixPlatform() : folders_(std::make_unique<FolderIndexes>()) {
  closedAtStart_ = HoldStandardDescriptors();
  // A console pipe closed early must not kill a batch half way through its
  // files: writes to it then fail with EPIPE, which is handled where written.
  signal(SIGPIPE, SIG_IGN);
  // Likewise a file-size limit (ulimit -f, systemd's LimitFSIZE=): the write
  // fails with EFBIG and is reported like any output that cannot be written.
  signal(SIGXFSZ, SIG_IGN);
  utf8Console_ = ChooseUtf8Console(STDOUT_FILENO);
  utf8Error_ = ChooseUtf8Console(STDERR_FILENO);
}

PosixPlatform::~PosixPlatform() = default;

std::unique_ptr<File> PosixPlatform::Open(const std::string& path, OpenMode mode,
                                          std::string& reason) {
  std::string fsPath;
  if (!ResolvePath(*folders_, path, mode != OpenMode::kRead, fsPath)) {
    reason = std::strerror(ENOENT);
    return nullptr;
  }
  int flags = O_CLOEXEC | O_NONBLOCK;  // never hang on a FIFO at open
  switch (mode) {
    case OpenMode::kRead:
      flags |= O_RDONLY;
      break;
    case OpenMode::kWrite:
      flags |= O_WRONLY | O_CREAT;  // emptied by Truncate, after the caller's checks
      break;
    case OpenMode::kAppend:
      flags |= O_WRONLY | O_CREAT | O_APPEND;
      break;
  }
  int fd;
  do {
    fd = open(fsPath.c_str(), flags, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) {
    reason = std::strerror(errno);
    close(fd);
    return nullptr;
  }
  if (S_ISDIR(st.st_mode)) {
    reason = std::strerror(EISDIR);
    close(fd);
    return nullptr;
  }
  // Readers share a file, a writer has it alone. flock locks belong to the
  // open file description, so this run's own exclusive lock on its output
  // also refuses its own later shared open of that file as input. Only
  // regular files hold data to protect: a lock on /dev/null, a terminal or a
  // pipe would be one lock for the whole machine, and two runs sending their
  // output to /dev/null would refuse each other.
  const int operation = mode == OpenMode::kRead ? LOCK_SH : LOCK_EX;
  int lock = 0;
  if (S_ISREG(st.st_mode)) {
    do {
      lock = flock(fd, operation | LOCK_NB);
    } while (lock != 0 && errno == EINTR);
  }
  // Held in a conflicting way by someone else: the file cannot be opened. A
  // file system without lock support is not a reason to refuse work.
  if (lock != 0 && (errno == EWOULDBLOCK || errno == EAGAIN)) {
    reason = "locked by another process";
    close(fd);
    return nullptr;
  }
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixFile>(fd, st);
}

bool PosixPlatform::GetFileId(const std::string& path, FileId& id) {
  std::string fsPath;
  struct stat st;
  if (!ResolvePath(*folders_, path, false, fsPath) || stat(fsPath.c_str(), &st) != 0) return false;
  id = FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

std::vector<DirMatch> PosixPlatform::FindFiles(const std::string& pattern) {
  std::vector<DirMatch> matches;
  size_t nameStart = NameStart(pattern);
  std::string last = Upper(std::string_view(pattern).substr(nameStart));
  if (last.empty()) return matches;
  std::string fsDir;
  if (nameStart > 0) {
    std::string dirPart = pattern.substr(0, nameStart);
    bool absolute = false;
    if (SplitPath(dirPart, absolute).empty()) {
      fsDir.assign(1, '/');  // the pattern names the root
    } else if (!ResolvePath(*folders_, dirPart, false, fsDir)) {
      return matches;
    }
  }
  std::string absDir = AbsoluteCp932(fsDir);

  // A last component without wildcards names one file, found the way opening
  // it would find it (exact spelling first), not every entry that differs
  // from it only in letter case.
  const std::string written = pattern.substr(nameStart);
  if (cp932::FindChar(written, '*') == std::string::npos &&
      cp932::FindChar(written, '?') == std::string::npos) {
    std::string fsName;
    struct stat st;
    if (written == "." || written == ".." || !LookupEntry(*folders_, fsDir, written, fsName) ||
        stat(Join(fsDir.empty() ? "." : fsDir, fsName).c_str(), &st) != 0) {
      return matches;
    }
    DirMatch m;
    m.name = Cp932Name(fsName);
    m.fullPath = Join(absDir, m.name);
    m.isDirectory = S_ISDIR(st.st_mode);
    m.size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
    matches.push_back(std::move(m));
    return matches;
  }

  std::vector<DirEntry> entries;
  ListDirectory(fsDir, entries);  // a folder that cannot be read has no matches
  for (DirEntry& e : entries) {
    if (!PatternMatches(last, Upper(e.name)) && !PatternMatches(last, Upper(e.raw))) continue;
    struct stat st;
    // An entry that cannot be looked at (a dangling link) is no file to read.
    if (stat(Join(fsDir.empty() ? "." : fsDir, e.raw).c_str(), &st) != 0) continue;
    DirMatch m;
    m.fullPath = Join(absDir, e.name);
    m.name = std::move(e.name);
    m.isDirectory = S_ISDIR(st.st_mode);
    m.size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
    matches.push_back(std::move(m));
  }
  std::sort(matches.begin(), matches.end(),
            [](const DirMatch& a, const DirMatch& b) { return NameLess(a.name, b.name); });
  return matches;
}

void PosixPlatform::WriteConsole(const std::string& text) {
  WriteConsoleText(STDOUT_FILENO, utf8Console_, text);
}

void PosixPlatform::WriteDiagnostic(std::string_view text) {
  WriteConsoleText(STDERR_FILENO, utf8Error_, text);
}

// A stream that was closed when the program started is held on /dev/null,
// which is no input to read and no output to write: converted records would
// be thrown away, and the run would claim success.
std::unique_ptr<File> PosixPlatform::OpenStandardInput() {
  if ((closedAtStart_ & (1u << STDIN_FILENO)) != 0) return nullptr;
  return OpenStandardStream(STDIN_FILENO);
}

std::unique_ptr<File> PosixPlatform::OpenStandardOutput() {
  if ((closedAtStart_ & (1u << STDOUT_FILENO)) != 0) return nullptr;
  return OpenStandardStream(STDOUT_FILENO);
}

bool PosixPlatform::IsDirectory(const std::string& path) {
  std::string fsPath;
  struct stat st;
  return ResolvePath(*folders_, path, false, fsPath) && stat(fsPath.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool PosixPlatform::IsTerminal(Stream stream) {
  switch (stream) {
    case Stream::kInput: return isatty(STDIN_FILENO) == 1;
    case Stream::kOutput: return isatty(STDOUT_FILENO) == 1;
    case Stream::kError: return isatty(STDERR_FILENO) == 1;
  }
  return false;
}

bool PosixPlatform::GetEnvironment(const char* name, std::string& value) {
  const char* found = std::getenv(name);
  if (found == nullptr) return false;
  value = found;
  return true;
}

int PosixPlatform::ReadConsoleChar() {
  unsigned char c;
  for (;;) {
    ssize_t got = read(STDIN_FILENO, &c, 1);
    if (got == 1) return c;
    if (got < 0 && errno == EINTR) continue;
    return -1;
  }
}

int64_t PosixPlatform::Milliseconds() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

long long PosixPlatform::Now() { return static_cast<long long>(time(nullptr)); }

DateTime PosixPlatform::LocalTime(long long seconds) {
  time_t t = static_cast<time_t>(seconds);
  struct tm tmv;
  DateTime dt;
  if (!localtime_r(&t, &tmv)) return dt;
  dt.year = tmv.tm_year + 1900;
  dt.month = tmv.tm_mon + 1;
  dt.day = tmv.tm_mday;
  dt.hour = tmv.tm_hour;
  dt.minute = tmv.tm_min;
  dt.second = tmv.tm_sec;
  return dt;
}

bool PosixPlatform::ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) {
  return IconvUtf8ToCp932().Convert(utf8, cp932);
}

void PosixPlatform::CatchStopSignals() { CatchStopSignalsOnce(); }

const std::atomic<int>& PosixPlatform::StopSignal() { return StopSignalNumber(); }
