// Code page 932 paths resolved against a UTF-8 file system.
#include "platform/PosixPaths.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <vector>

#include "platform/Cp932.h"
#include "platform/Iconv.h"
#include "platform/PathName.h"
#include "platform/PosixFolderIndex.h"

namespace posix {

namespace {

bool EntryExists(const std::string& path) {
  struct stat st;
  return lstat(path.c_str(), &st) == 0;
}

// The current folder, or "" when there is none.
std::string CurrentFolder() {
  std::string cwd(4096, '\0');
  while (!getcwd(cwd.data(), cwd.size())) {
    if (errno != ERANGE) return std::string();
    cwd.resize(cwd.size() * 2);
  }
  cwd.resize(std::strlen(cwd.c_str()));
  return cwd;
}

}  // namespace

std::string FsName(std::string_view cp932Name) {
  std::string out;
  if (!IconvCp932ToUtf8().Convert(cp932Name, out)) out.assign(cp932Name);
  return out;
}

std::string Cp932Name(std::string_view fsName) {
  std::string out;
  if (!IconvUtf8ToCp932().Convert(fsName, out)) out.assign(fsName);
  return out;
}

bool LookupEntry(FolderIndexes& folders, const std::string& dir, const std::string& component,
                 std::string& fsName) {
  if (EntryExists(JoinPath(dir, component))) {
    fsName = component;
    return true;
  }
  std::string converted = FsName(component);
  if (converted != component && EntryExists(JoinPath(dir, converted))) {
    fsName = converted;
    return true;
  }
  return folders.Find(dir, cp932::Upper(component), fsName);
}

bool ResolvePath(FolderIndexes& folders, const std::string& path, bool lastMayBeNew,
                 std::string& fsPath) {
  bool absolute = false;
  std::vector<std::string> parts = SplitPath(path, absolute);
  if (parts.empty()) return false;
  std::string cur = absolute ? "/" : "";
  for (size_t i = 0; i < parts.size(); ++i) {
    const std::string& comp = parts[i];
    std::string name;
    if (comp == "." || comp == "..") {
      name = comp;
    } else if (!LookupEntry(folders, cur, comp, name)) {
      if (!(lastMayBeNew && i + 1 == parts.size())) return false;
      name = FsName(comp);
    }
    cur = JoinPath(cur, name);
  }
  fsPath = cur;
  return true;
}

std::string AbsoluteCp932(const std::string& fsDir) {
  std::string abs = fsDir;
  if (abs.empty() || abs[0] != '/') {
    const std::string cwd = CurrentFolder();
    if (cwd.empty()) return fsDir;  // no current folder: keep it relative
    abs = abs.empty() ? cwd : JoinPath(cwd, abs);
  }
  std::string out;
  for (size_t i = 0; i <= abs.size();) {
    size_t slash = abs.find('/', i);
    if (slash == std::string::npos) slash = abs.size();
    std::string_view piece = std::string_view(abs).substr(i, slash - i);
    if (!piece.empty() && piece != ".") (out += '/') += Cp932Name(piece);
    i = slash + 1;
  }
  return out.empty() ? "/" : out;
}

}  // namespace posix
