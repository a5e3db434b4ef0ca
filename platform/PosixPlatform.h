// Platform on Linux: POSIX files with flock, case-blind wildcard lookup,
// code page 932 <-> UTF-8 names and text through iconv, the console policy
// and the system clock.
#pragma once

#include "platform/Platform.h"

class PosixPlatform : public Platform {
 public:
  PosixPlatform();
  ~PosixPlatform() override;

  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) override;
  bool GetFileId(const std::string& path, FileId& id) override;
  std::vector<DirMatch> FindFiles(const std::string& pattern) override;
  void WriteConsole(const std::string& text) override;
  void WriteDiagnostic(std::string_view text) override;
  int ReadConsoleChar() override;
  long long Now() override;
  DateTime LocalTime(long long seconds) override;
  bool ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) override;

 private:
  bool utf8Console_ = false;
};
