// An in-memory Platform for tests: files in a map, a settable clock, console
// output captured, console input scripted, and failures on demand (fail the
// Nth write, refuse to open a path). Paths are used exactly as given; the
// last component of a wildcard pattern matches by the real rule
// (platform/Wildcard.h: case-blind, "*.*", the order of matches, one file for
// a name without wildcards).
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

#include "platform/Platform.h"

class FakePlatform : public Platform {
 public:
  std::unique_ptr<File> Open(const std::string& path, OpenMode mode, std::string& reason) override;
  // Standard input hands out `standardInput`; standard output takes writes
  // through the same failure controls as files.
  std::unique_ptr<File> OpenStandardInput() override;
  std::unique_ptr<File> OpenStandardOutput() override;
  // "in/" is the folder "in", as on a real file system.
  bool IsDirectory(const std::string& path) override {
    const bool slash = !path.empty() && (path.back() == '/' || path.back() == '\\');
    return directories_.count(slash ? path.substr(0, path.size() - 1) : path) > 0;
  }
  bool IsTerminal(Stream stream) override { return terminals[static_cast<int>(stream)]; }
  bool ConsoleIsUtf8() override { return utf8Console; }
  bool GetEnvironment(const char* name, std::string& value) override;
  bool GetFileId(const std::string& path, FileId& id) override;
  std::vector<DirMatch> FindFiles(const std::string& pattern) override;
  void WriteConsole(const std::string& text) override { console += text; }
  void WriteDiagnostic(std::string_view text) override { diagnostics += text; }
  int ReadConsoleChar() override;
  int64_t Milliseconds() override { return milliseconds; }
  // Safe to call from several threads (workers read the clock for the date
  // constants); the controls are set before a run.
  long long Now() override {
    std::lock_guard<std::mutex> lock(clockMutex_);
    long long current = now;
    now += clockStep;
    return current;
  }
  DateTime LocalTime(long long seconds) override;
  // The real converter: iconv is a library, and tests of UTF-8 parameter
  // files need its exact answers.
  bool ConvertUtf8ToCp932(std::string_view utf8, std::string& cp932) override;
  void CatchStopSignals() override { stopSignalsCaught = true; }
  const std::atomic<int>& StopSignal() override { return stopSignal; }

  // Test controls.
  void SetFile(const std::string& path, const std::string& content);
  std::string GetFile(const std::string& path) const;
  bool HasFile(const std::string& path) const;
  // Open when the reason does not matter.
  std::unique_ptr<File> OpenFile(const std::string& path, OpenMode mode) {
    std::string reason;
    return Open(path, mode, reason);
  }
  void AddDirectory(const std::string& path) { directories_.insert(path); }

  std::string console;          // everything written to the console
  std::string diagnostics;      // everything written to standard error
  std::string consoleInput;     // bytes ReadConsoleChar hands out
  size_t consoleRead = 0;         // how many were read
  long long now = 0;              // Now(); LocalTime treats it as UTC
  int64_t milliseconds = 0;       // Milliseconds()
  long long clockStep = 0;        // added to now after each Now()
  int failWriteAt = 0;            // the Nth Write call (1-based, all files) fails; 0 = never
  int writes = 0;
  bool failClose = false;         // Close of a file opened for writing reports failure
  // A stop signal (its number in stopSignal) arriving during the Nth Read
  // call (1-based, all files); 0 = never. Reads are counted in `reads`.
  int stopAtRead = 0;
  int reads = 0;
  std::atomic<int> stopSignal{0};
  bool stopSignalsCaught = false;
  std::set<std::string> unopenable;  // paths Open refuses
  std::string standardInput;
  bool terminals[3] = {false, false, false};     // by Stream
  bool utf8Console = false;                      // ConsoleIsUtf8()
  std::map<std::string, std::string> environment;

 private:
  struct Node {
    std::string data;
    uint64_t ino = 0;
    int readers = 0;      // open for reading (shared)
    bool writer = false;  // open for writing or appending (exclusive)
  };
  friend class FakeFile;
  std::map<std::string, std::shared_ptr<Node>> files_;
  std::set<std::string> directories_;
  std::mutex clockMutex_;
  std::shared_ptr<Node> standardOutput_ = std::make_shared<Node>();
  uint64_t nextIno_ = 1;
};
