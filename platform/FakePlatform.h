// An in-memory CPlatform for tests: files in a map, a settable clock, console
// output captured, console input scripted, and failures on demand (fail the
// Nth write, refuse to open a path). Paths are used exactly as given; wildcard
// lookup is case-blind on the last component like the real one.
#pragma once

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

class CFakePlatform : public CPlatform {
 public:
  std::unique_ptr<CFile> OpenFile(const std::string& path, EOpenMode mode) override;
  bool GetFileId(const std::string& path, CFileId& id) override;
  std::vector<CDirMatch> FindFiles(const std::string& pattern) override;
  void WriteConsole(const std::string& text) override { m_strConsole += text; }
  void WriteDiagnostic(std::string_view text) override { m_strDiagnostics += text; }
  int ReadConsoleChar() override;
  long long Now() override {
    long long now = m_nNow;
    m_nNow += m_nClockStep;
    return now;
  }
  CDateTime LocalTime(long long seconds) override;

  // Test controls.
  void SetFile(const std::string& path, const std::string& content);
  std::string GetFile(const std::string& path) const;
  bool HasFile(const std::string& path) const;
  void AddDirectory(const std::string& path) { m_directories.insert(path); }

  std::string m_strConsole;          // everything written to the console
  std::string m_strDiagnostics;      // everything written to standard error
  std::string m_strConsoleInput;     // bytes ReadConsoleChar hands out
  size_t m_nConsoleRead = 0;         // how many were read
  long long m_nNow = 0;              // Now(); LocalTime treats it as UTC
  long long m_nClockStep = 0;        // added to m_nNow after each Now()
  int m_nFailWriteAt = 0;            // the Nth Write call (1-based, all files) fails; 0 = never
  int m_nWrites = 0;
  bool m_bFailClose = false;         // Close of a file opened for writing reports failure
  std::set<std::string> m_unopenable;  // paths OpenFile refuses

 private:
  struct Node {
    std::string data;
    uint64_t ino = 0;
    bool locked = false;
  };
  friend class CFakeFile;
  std::map<std::string, std::shared_ptr<Node>> m_files;
  std::set<std::string> m_directories;
  uint64_t m_nNextIno = 1;
};
