// The wildcard rule for file names, and the order of the names a pattern
// finds: the one rule both platforms follow, so a test on the in-memory
// platform checks the matching the program does.
//
// "*" matches any run of characters (none too), "?" exactly one character
// (a double-byte character is one); letters match case-blind by the code
// page 932 case tables (a-z, full-width Latin, Greek, Cyrillic). A pattern
// ending in ".*" also matches a name without a dot, so "*.*" means every
// file, as batch jobs written for the original platform expect. Pure code.
#pragma once

#include <string>
#include <string_view>

// True when the last component of `pattern` holds "*" or "?": it may match
// many names. Without them it names one file.
bool IsWildcardPattern(std::string_view pattern);

// A name pattern (one path component), upper-cased once for matching many
// names.
class WildcardPattern {
 public:
  explicit WildcardPattern(std::string_view pattern);
  bool Matches(std::string_view name) const;

 private:
  std::string upper_;
};

// The order of matches: names compared case-blind in code page 932 order,
// then byte by byte, so every run visits the files of a folder alike.
bool NameBefore(std::string_view left, std::string_view right);
