// The one narrow interface between the program and the operating system:
// files locked for shared reading or exclusive writing, wildcard enumeration,
// console, clock and the conversion of UTF-8 text to code page 932.
// PosixPlatform implements it on Linux; FakePlatform keeps everything in
// memory for tests. Nothing outside platform/ touches the operating system.
//
// All paths and names crossing this interface are code page 932 bytes, as the
// parameter file spells them; the implementation converts to and from the
// file system's encoding.
#pragma once

#include <atomic>
#include <compare>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Identity of an open or existing file (device and inode on Linux).
struct FileId {
  uint64_t dev = 0;
  uint64_t ino = 0;
  bool operator==(const FileId&) const = default;
  auto operator<=>(const FileId&) const = default;  // any order, for sets of files
};

// An open file, locked for as long as it is open: shared when opened for
// reading (any number of readers at once), exclusive when opened for writing
// or appending (no other reader or writer). Raw bytes: the text-mode rules
// live in TextReader and TextWriter.
class File {
 public:
  virtual ~File() = default;
  // Reads up to `size` bytes; returns the count, 0 at end of file, -1 on failure.
  virtual long long Read(char* buffer, size_t size) = 0;
  // Writes all bytes; false on failure.
  virtual bool Write(const char* data, size_t size) = 0;
  // Empties the file and writes from its start from now on; false on failure.
  virtual bool Truncate() = 0;
  virtual FileId Id() const = 0;
  // Flushes and closes; false when earlier data could not be stored. Further
  // calls do nothing and return true.
  virtual bool Close() = 0;
  // Why the last Read, Write or Close failed, for people ("No space left on
  // device"); empty when unknown.
  virtual std::string FailureReason() const { return std::string(); }
  // The size in bytes of a regular file; -1 for anything else (a pipe).
  virtual int64_t Size() const { return -1; }

};

// The three standard streams.
enum class Stream : uint8_t { kInput, kOutput, kError };

enum class OpenMode {
  kRead,    // existing file, for reading
  kWrite,   // created if missing, NOT emptied: the caller checks it, then calls Truncate
  kAppend,  // created if missing, written at its end
};

// Broken-down local time.
struct DateTime {
  int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

// One match of a wildcard pattern.
struct DirMatch {
  std::string name;      // bare name as the file system spells it (code page 932 form)
  std::string fullPath;  // pattern's directory made absolute, "/", the name
  bool isDirectory = false;
  int64_t size = -1;     // bytes of a regular file, else -1
};

class Platform {
 public:
  virtual ~Platform() = default;

  // Opens `path` (code page 932, "/" or single-byte "\" separators, looked up
  // case-blind) and takes a non-blocking lock: shared for kRead, exclusive for
  // kWrite and kAppend. Returns nullptr when the file cannot be opened or the
  // lock is not granted at once (a file being written cannot be read, a file
  // being read or written cannot be written; this holds between two files
  // open in the same run as well, so a run cannot read its own open output),
  // and says why in `reason`, for people ("No such file or directory",
  // "locked by another process").
  virtual std::unique_ptr<File> Open(const std::string& path, OpenMode mode,
                                     std::string& reason) = 0;
  // Standard input and output as files, without locks (the text-mode rules
  // apply above this interface as for any file). Null when closed.
  virtual std::unique_ptr<File> OpenStandardInput() = 0;
  virtual std::unique_ptr<File> OpenStandardOutput() = 0;

  // True when `path` names an existing folder (looked up case-blind).
  virtual bool IsDirectory(const std::string& path) = 0;

  // Identity of an existing file; false when there is none.
  virtual bool GetFileId(const std::string& path, FileId& id) = 0;

  // Every entry matching `pattern` (its last component may hold "*" and "?",
  // every component matched case-blind), ordered by name compared case-blind,
  // then byte by byte. Empty when nothing matches.
  virtual std::vector<DirMatch> FindFiles(const std::string& pattern) = 0;

  // Writes code page 932 text to standard output (converted for a UTF-8
  // terminal when the console policy says so).
  virtual void WriteConsole(const std::string& text) = 0;
  // Writes code page 932 text for people to standard error (converted for a
  // UTF-8 terminal when the console policy says so). ASCII text is written
  // without allocating: it also reports running out of memory.
  virtual void WriteDiagnostic(std::string_view text) = 0;
  // True when the stream is a terminal.
  virtual bool IsTerminal(Stream stream) = 0;
  // True when WriteConsole converts its text for a UTF-8 terminal (the
  // console policy), so that what is shown can be laid out for it.
  virtual bool ConsoleIsUtf8() = 0;
  // An environment variable's value; false when it is not set.
  virtual bool GetEnvironment(const char* name, std::string& value) = 0;
  // Reads one byte from standard input; -1 at end of input.
  virtual int ReadConsoleChar() = 0;

  // A steady clock in milliseconds, for rates and time left (progress).
  virtual int64_t Milliseconds() = 0;
  // Current time in whole seconds, and its local calendar form.
  virtual long long Now() = 0;
  virtual DateTime LocalTime(long long seconds) = 0;

  // From now on, SIGTERM, SIGINT and SIGHUP ask the run to stop instead of
  // ending the process: StopSignal() then holds the signal's number, and a
  // read waiting on a pipe or terminal returns what it has. A second such
  // signal ends the process at once.
  virtual void CatchStopSignals() = 0;
  // The number of the signal that asked the run to stop, 0 while none has.
  // Cheap enough to read (relaxed) at every record, from any thread.
  virtual const std::atomic<int>& StopSignal() = 0;

  // Converts UTF-8 text (a parameter file saved as UTF-8) to code page 932.
  // False when `utf8` is not well-formed UTF-8 (a stray or missing
  // continuation byte, an overlong form, a surrogate) or holds a character
  // that has no code page 932 form; then `cp932` is unspecified. ASCII passes
  // unchanged.
  virtual bool ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) = 0;
};
