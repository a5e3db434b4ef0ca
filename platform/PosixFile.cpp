// POSIX descriptors as Files, with flock.
#include "platform/PosixFile.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/Signals.h"

namespace posix {

namespace {

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

int OpenFlags(OpenMode mode) {
  const int flags = O_CLOEXEC | O_NONBLOCK;  // never hang on a FIFO at open
  switch (mode) {
    case OpenMode::kRead: return flags | O_RDONLY;
    // Emptied by Truncate, after the caller's checks.
    case OpenMode::kWrite: return flags | O_WRONLY | O_CREAT;
    case OpenMode::kAppend: return flags | O_WRONLY | O_CREAT | O_APPEND;
  }
  return flags | O_RDONLY;
}

// Readers share a file, a writer has it alone. flock locks belong to the
// open file description, so this run's own exclusive lock on its output
// also refuses its own later shared open of that file as input. Only
// regular files hold data to protect: a lock on /dev/null, a terminal or a
// pipe would be one lock for the whole machine, and two runs sending their
// output to /dev/null would refuse each other. False when someone else
// holds the file in a conflicting way; a file system without lock support
// is not a reason to refuse work.
bool Lock(int fd, const struct stat& st, OpenMode mode) {
  if (!S_ISREG(st.st_mode)) return true;
  const int operation = mode == OpenMode::kRead ? LOCK_SH : LOCK_EX;
  int lock = 0;
  do {
    lock = flock(fd, operation | LOCK_NB);
  } while (lock != 0 && errno == EINTR);
  return lock == 0 || (errno != EWOULDBLOCK && errno != EAGAIN);
}

// Closes `fd` and returns nullptr with `why` as the reason.
std::unique_ptr<File> Refuse(int fd, const char* why, std::string& reason) {
  reason = why;
  close(fd);
  return nullptr;
}

}  // namespace

std::unique_ptr<File> OpenLocked(const std::string& fsPath, OpenMode mode, std::string& reason) {
  int fd;
  do {
    fd = open(fsPath.c_str(), OpenFlags(mode), 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    reason = std::strerror(errno);
    return nullptr;
  }
  struct stat st;
  if (fstat(fd, &st) != 0) return Refuse(fd, std::strerror(errno), reason);
  if (S_ISDIR(st.st_mode)) return Refuse(fd, std::strerror(EISDIR), reason);
  if (!Lock(fd, st, mode)) return Refuse(fd, "locked by another process", reason);
  fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
  return std::make_unique<PosixFile>(fd, st);
}

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

}  // namespace posix
