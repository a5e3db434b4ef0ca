// The folders the Linux platform has listed for case-blind look-ups (Linux
// only, used by PosixPaths). A folder is listed once, at its first
// case-blind look-up, and followed through inotify from then on, so
// creating n files in a folder of n entries does not list it n times, and a
// look-up still gives exactly what a fresh listing would give.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

namespace posix {

// A folder entry: its name as the file system spells it and its code page
// 932 form (converted from UTF-8, or the raw bytes when that fails).
struct DirEntry {
  std::string raw;
  std::string name;
};

// Lists `dir` ("" is the current folder) in the file system's order, "."
// and ".." left out; false when it cannot be read.
bool ListDirectory(const std::string& dir, std::vector<DirEntry>& entries);

// One folder's case-blind look-up, built from one listing: for every
// upper-cased code page 932 form and upper-cased raw name, the entry a
// case-blind look-up of it returns.
class FolderIndex {
 public:
  // `entries` in listing order.
  explicit FolderIndex(std::vector<DirEntry> entries);
  void Add(DirEntry entry);

  // The entry whose code page 932 form or raw bytes equal `upper` ignoring
  // letter case, nullptr when there is none: the first in name order, and of
  // equal names the first listed, as a scan of the listing would choose.
  const DirEntry* Find(const std::string& upper) const;

 private:
  using Map = std::unordered_map<std::string, size_t>;
  void Keep(Map& map, std::string key, size_t at);

  std::vector<DirEntry> entries_;
  Map byName_;  // upper-cased code page 932 form -> entry
  Map byRaw_;   // upper-cased raw bytes, where they differ from that form -> entry
};

// The folders listed so far, each by its identity (device and inode), so
// every spelling of a folder shares one listing. inotify reports every entry
// created, renamed or removed in a listed folder, by this run or by anyone
// else. Where a folder cannot be watched, it is listed at every look-up.
class FolderIndexes {
 public:
  FolderIndexes() = default;
  ~FolderIndexes();
  FolderIndexes(const FolderIndexes&) = delete;
  FolderIndexes& operator=(const FolderIndexes&) = delete;

  // The entry of `dir` named `upper` ignoring letter case; `fsName` receives
  // its spelling in the file system. False when there is none.
  bool Find(const std::string& dir, const std::string& upper, std::string& fsName);

 private:
  using Key = std::pair<uint64_t, uint64_t>;
  struct Folder {
    FolderIndex index;
    bool stale;  // an entry went away: listed again at the next look-up
  };
  void CatchUp();
  void Apply(int watch, uint32_t mask, const char* name);

  static constexpr int kNotOpened = -2;
  int notify_ = kNotOpened;  // the inotify instance; -1 when there is none
  std::map<Key, Folder> folders_;
  std::map<int, Key> watched_;  // inotify watch -> folder
};

}  // namespace posix
