// Platform on Linux: POSIX files with flock, case-blind wildcard lookup,
// code page 932 <-> UTF-8 names and text through iconv, the console policy
// and the system clock.
#pragma once

#include "platform/Platform.h"

namespace posix {
class FolderIndexes;  // the folders listed for case-blind look-ups (PosixFolderIndex.h)
}

class PosixPlatform : public Platform {
 public:
  PosixPlatform();
  ~PosixPlatform() override;

  std::unique_ptr<File> Open(const std::string& path, OpenMode mode, std::string& reason) override;
  std::unique_ptr<File> OpenStandardInput() override;
  std::unique_ptr<File> OpenStandardOutput() override;
  bool IsDirectory(const std::string& path) override;
  bool IsTerminal(Stream stream) override;
  bool ConsoleIsUtf8() override { return utf8Console_; }
  bool GetEnvironment(const char* name, std::string& value) override;
  bool GetFileId(const std::string& path, FileId& id) override;
  std::vector<DirMatch> FindFiles(const std::string& pattern) override;
  void WriteConsole(const std::string& text) override;
  void WriteDiagnostic(std::string_view text) override;
  int ReadConsoleChar() override;
  int64_t Milliseconds() override;
  long long Now() override;
  DateTime LocalTime(long long seconds) override;
  bool ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) override;
  void CatchStopSignals() override;
  const std::atomic<int>& StopSignal() override;

 private:
  unsigned closedAtStart_ = 0;  // standard descriptors closed at start (bit 0 input ...)
  bool utf8Console_ = false;  // standard output
  bool utf8Error_ = false;    // standard error
  // Folders indexed for case-blind look-ups, each listed once and then
  // followed, so creating n files in a folder of n entries does not list the
  // folder n times.
  std::unique_ptr<posix::FolderIndexes> folders_;
};
