// CPlatform on Linux: POSIX files with flock, case-blind wildcard lookup,
// code page 932 <-> UTF-8 names through iconv, the console policy and the
// system clock.
#pragma once

#include "platform/Platform.h"

class CPosixPlatform : public CPlatform {
 public:
  CPosixPlatform();
  ~CPosixPlatform() override;

  std::unique_ptr<CFile> OpenFile(const std::string& path, EOpenMode mode) override;
  bool GetFileId(const std::string& path, CFileId& id) override;
  std::vector<CDirMatch> FindFiles(const std::string& pattern) override;
  void WriteConsole(const std::string& text) override;
  void WriteDiagnostic(std::string_view text) override;
  int ReadConsoleChar() override;
  long long Now() override;
  CDateTime LocalTime(long long seconds) override;

 private:
  bool m_bUtf8Console = false;
};
