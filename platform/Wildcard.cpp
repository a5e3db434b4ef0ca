// Wildcard matching by characters, and the order of names.
#include "platform/Wildcard.h"

#include "platform/Cp932.h"
#include "platform/PathName.h"

namespace {

// "*" and "?" against a name, both upper-cased already. Steps by
// characters, so "?" takes a double-byte character whole and a "*" never
// resumes inside one.
bool WildMatch(std::string_view pat, std::string_view name) {
  size_t p = 0;
  size_t n = 0;
  size_t starP = std::string_view::npos;
  size_t starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && pat[p] == '*') {
      starP = ++p;
      starN = n;
      continue;
    }
    if (p < pat.size()) {
      const size_t pl = cp932::CharLen(pat, p);
      const size_t nl = cp932::CharLen(name, n);
      if ((pl == 1 && pat[p] == '?') || (pl == nl && pat.compare(p, pl, name.substr(n, nl)) == 0)) {
        p += pl;
        n += nl;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    starN += cp932::CharLen(name, starN);
    n = starN;
    p = starP;
  }
  while (p < pat.size() && pat[p] == '*') ++p;
  return p == pat.size();
}

}  // namespace

bool IsWildcardPattern(std::string_view pattern) {
  const std::string_view name = pattern.substr(NameStart(pattern));
  return cp932::FindChar(name, '*') != std::string_view::npos ||
         cp932::FindChar(name, '?') != std::string_view::npos;
}

WildcardPattern::WildcardPattern(std::string_view pattern) : upper_(cp932::Upper(pattern)) {}

bool WildcardPattern::Matches(std::string_view name) const {
  const std::string upper = cp932::Upper(name);
  if (WildMatch(upper_, upper)) return true;
  // "name.*" (and "*.*"): also the name without any dot.
  const std::string_view pat = upper_;
  size_t end = pat.size();
  while (end > 0 && pat[end - 1] == '*') --end;
  if (end == pat.size() || end == 0 || pat[end - 1] != '.') return false;
  return upper.find('.') == std::string::npos && WildMatch(pat.substr(0, end - 1), upper);
}

bool NameBefore(std::string_view left, std::string_view right) {
  const int order = cp932::Compare(cp932::Upper(left), cp932::Upper(right));
  return order != 0 ? order < 0 : left < right;
}
