// Platform on Linux: the class that ties together the path look-up
// (PosixPaths, with the folder index), the wildcard rule (Wildcard), files
// and locks (PosixFile), the console policy (PosixConsole) and the clocks.
// Wildcard matching uses the look-up's "code page 932 form or raw bytes,
// case-blind" rule, so every fullPath FindFiles returns can be opened again.
#include "platform/PosixPlatform.h"

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <utility>

#include "platform/Iconv.h"
#include "platform/PathName.h"
#include "platform/PosixConsole.h"
#include "platform/PosixFile.h"
#include "platform/PosixFolderIndex.h"
#include "platform/PosixPaths.h"
#include "platform/Signals.h"
#include "platform/Wildcard.h"

namespace {

// Adds the entry `fsName` of `fsDir` as a match named `name` (its code page
// 932 form) under `absDir`; an entry that cannot be looked at (a dangling
// link) is no file to read and is left out.
void AddMatch(const std::string& fsDir, const std::string& absDir, const std::string& fsName,
              std::string name, std::vector<DirMatch>& matches) {
  struct stat st;
  if (stat(JoinPath(fsDir.empty() ? "." : fsDir, fsName).c_str(), &st) != 0) return;
  DirMatch m;
  m.fullPath = JoinPath(absDir, name);
  m.name = std::move(name);
  m.isDirectory = S_ISDIR(st.st_mode);
  m.size = S_ISREG(st.st_mode) ? static_cast<int64_t>(st.st_size) : -1;
  matches.push_back(std::move(m));
}

}  // namespace

PosixPlatform::PosixPlatform() : folders_(std::make_unique<posix::FolderIndexes>()) {
  closedAtStart_ = posix::HoldStandardDescriptors();
  // A console pipe closed early must not kill a batch half way through its
  // files: writes to it then fail with EPIPE, which is handled where written.
  signal(SIGPIPE, SIG_IGN);
  // Likewise a file-size limit (ulimit -f, systemd's LimitFSIZE=): the write
  // fails with EFBIG and is reported like any output that cannot be written.
  signal(SIGXFSZ, SIG_IGN);
  utf8Console_ = posix::ChooseUtf8Console(STDOUT_FILENO);
  utf8Error_ = posix::ChooseUtf8Console(STDERR_FILENO);
}

PosixPlatform::~PosixPlatform() = default;

std::unique_ptr<File> PosixPlatform::Open(const std::string& path, OpenMode mode,
                                          std::string& reason) {
  std::string fsPath;
  if (!posix::ResolvePath(*folders_, path, mode != OpenMode::kRead, fsPath)) {
    reason = std::strerror(ENOENT);
    return nullptr;
  }
  return posix::OpenLocked(fsPath, mode, reason);
}

bool PosixPlatform::GetFileId(const std::string& path, FileId& id) {
  std::string fsPath;
  struct stat st;
  if (!posix::ResolvePath(*folders_, path, false, fsPath) || stat(fsPath.c_str(), &st) != 0) return false;
  id = FileId{static_cast<uint64_t>(st.st_dev), static_cast<uint64_t>(st.st_ino)};
  return true;
}

std::vector<DirMatch> PosixPlatform::FindFiles(const std::string& pattern) {
  std::vector<DirMatch> matches;
  const size_t nameStart = NameStart(pattern);
  const std::string name = pattern.substr(nameStart);
  if (name.empty()) return matches;
  std::string fsDir;
  if (nameStart > 0) {
    const std::string dirPart = pattern.substr(0, nameStart);
    bool absolute = false;
    if (SplitPath(dirPart, absolute).empty()) {
      fsDir.assign(1, '/');  // the pattern names the root
    } else if (!posix::ResolvePath(*folders_, dirPart, false, fsDir)) {
      return matches;
    }
  }
  const std::string absDir = posix::AbsoluteCp932(fsDir);
  if (!IsWildcardPattern(name)) {
    // One file, found the way opening it would find it (exact spelling
    // first), not every entry that differs from it only in letter case.
    std::string fsName;
    if (name != "." && name != ".." && posix::LookupEntry(*folders_, fsDir, name, fsName)) {
      AddMatch(fsDir, absDir, fsName, posix::Cp932Name(fsName), matches);
    }
    return matches;
  }
  const WildcardPattern wildcard(name);
  std::vector<posix::DirEntry> entries;
  posix::ListDirectory(fsDir, entries);  // a folder that cannot be read has no matches
  for (posix::DirEntry& e : entries) {
    if (wildcard.Matches(e.name) || wildcard.Matches(e.raw)) {
      AddMatch(fsDir, absDir, e.raw, std::move(e.name), matches);
    }
  }
  std::sort(matches.begin(), matches.end(),
            [](const DirMatch& a, const DirMatch& b) { return NameBefore(a.name, b.name); });
  return matches;
}

void PosixPlatform::WriteConsole(const std::string& text) {
  posix::WriteConsoleText(STDOUT_FILENO, utf8Console_, text);
}

void PosixPlatform::WriteDiagnostic(std::string_view text) {
  posix::WriteConsoleText(STDERR_FILENO, utf8Error_, text);
}

// A stream that was closed when the program started is held on /dev/null,
// which is no input to read and no output to write: converted records would
// be thrown away, and the run would claim success.
std::unique_ptr<File> PosixPlatform::OpenStandardInput() {
  if ((closedAtStart_ & (1u << STDIN_FILENO)) != 0) return nullptr;
  return posix::OpenStandardStream(STDIN_FILENO);
}

std::unique_ptr<File> PosixPlatform::OpenStandardOutput() {
  if ((closedAtStart_ & (1u << STDOUT_FILENO)) != 0) return nullptr;
  return posix::OpenStandardStream(STDOUT_FILENO);
}

bool PosixPlatform::IsDirectory(const std::string& path) {
  std::string fsPath;
  struct stat st;
  return posix::ResolvePath(*folders_, path, false, fsPath) && stat(fsPath.c_str(), &st) == 0 &&
         S_ISDIR(st.st_mode);
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
