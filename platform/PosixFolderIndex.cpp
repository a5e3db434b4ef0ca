// Folder listings for case-blind look-ups, kept current through inotify.
#include "platform/PosixFolderIndex.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "platform/Cp932.h"
#include "platform/PosixPaths.h"
#include "platform/Wildcard.h"

namespace posix {

namespace {

constexpr size_t kNone = static_cast<size_t>(-1);
constexpr uint32_t kEvents = IN_CREATE | IN_MOVED_TO | IN_DELETE | IN_MOVED_FROM | IN_ONLYDIR;

bool Pick(const DirEntry* entry, std::string& fsName) {
  if (!entry) return false;
  fsName = entry->raw;
  return true;
}

}  // namespace

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

FolderIndex::FolderIndex(std::vector<DirEntry> entries) {
  entries_.reserve(entries.size());
  for (DirEntry& e : entries) Add(std::move(e));
}

void FolderIndex::Add(DirEntry entry) {
  const size_t at = entries_.size();
  entries_.push_back(std::move(entry));
  const DirEntry& e = entries_.back();
  Keep(byName_, cp932::Upper(e.name), at);
  // Raw bytes that are the code page 932 form already are indexed as that.
  if (e.raw != e.name) Keep(byRaw_, cp932::Upper(e.raw), at);
}

const DirEntry* FolderIndex::Find(const std::string& upper) const {
  const auto get = [&upper](const Map& map) {
    auto it = map.find(upper);
    return it == map.end() ? kNone : it->second;
  };
  size_t a = get(byName_);
  const size_t b = get(byRaw_);
  if (a == kNone || b == kNone) a = std::min(a, b);
  else if (NameBefore(entries_[b].name, entries_[a].name)) a = b;
  else if (!NameBefore(entries_[a].name, entries_[b].name)) a = std::min(a, b);
  return a == kNone ? nullptr : &entries_[a];
}

// Keeps under `key` the first entry in name order, of equal names the first.
void FolderIndex::Keep(Map& map, std::string key, size_t at) {
  auto [it, added] = map.try_emplace(std::move(key), at);
  if (!added && NameBefore(entries_[at].name, entries_[it->second].name)) it->second = at;
}

FolderIndexes::~FolderIndexes() {
  if (notify_ >= 0) close(notify_);
}

bool FolderIndexes::Find(const std::string& dir, const std::string& upper, std::string& fsName) {
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

// Applies the changes reported since the last look-up.
void FolderIndexes::CatchUp() {
  if (notify_ < 0) return;
  alignas(inotify_event) char buffer[65536];
  for (;;) {
    ssize_t got = read(notify_, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0) return;  // EAGAIN: nothing more
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      Apply(event->wd, event->mask, event->len == 0 ? nullptr : event->name);
    }
  }
}

// One change. A new entry joins its folder's index; a removed one makes the
// folder be listed again, since the entry it hid (the next in name order) is
// not kept.
void FolderIndexes::Apply(int watch, uint32_t mask, const char* name) {
  if (mask & IN_Q_OVERFLOW) {
    for (auto& [key, folder] : folders_) folder.stale = true;
    return;
  }
  auto w = watched_.find(watch);
  if (w == watched_.end()) return;
  if (mask & IN_IGNORED) {  // the folder is gone
    folders_.erase(w->second);
    watched_.erase(w);
    return;
  }
  auto it = folders_.find(w->second);
  if (it == folders_.end() || it->second.stale || name == nullptr) return;
  if (mask & (IN_DELETE | IN_MOVED_FROM)) {
    it->second.stale = true;
  } else {
    std::string raw(name);
    std::string converted = Cp932Name(raw);
    it->second.index.Add(DirEntry{std::move(raw), std::move(converted)});
  }
}

}  // namespace posix
