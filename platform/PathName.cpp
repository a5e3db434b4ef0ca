// Splitting and joining code page 932 paths.
#include "platform/PathName.h"

#include "platform/Cp932.h"

namespace {

// A separator that is a character of its own at `i` (a character boundary).
bool IsSeparatorAt(std::string_view path, size_t i) {
  return cp932::CharLen(path, i) == 1 && (path[i] == '/' || path[i] == '\\');
}

}  // namespace

std::vector<std::string> SplitPath(std::string_view path, bool& absolute) {
  std::vector<std::string> parts;
  absolute = !path.empty() && IsSeparatorAt(path, 0);
  std::string current;
  for (size_t i = 0; i < path.size(); i += cp932::CharLen(path, i)) {
    if (IsSeparatorAt(path, i)) {
      if (!current.empty()) parts.push_back(std::move(current));
      current.clear();
    } else {
      current.append(path.substr(i, cp932::CharLen(path, i)));
    }
  }
  if (!current.empty()) parts.push_back(std::move(current));
  return parts;
}

size_t NameStart(std::string_view path) {
  size_t start = 0;
  for (size_t i = 0; i < path.size(); i += cp932::CharLen(path, i)) {
    if (IsSeparatorAt(path, i)) start = i + 1;
  }
  return start;
}

std::string JoinPath(const std::string& dir, std::string_view name) {
  if (dir.empty()) return std::string(name);
  std::string out = dir;
  if (out.back() != '/') out += '/';
  out.append(name);
  return out;
}
