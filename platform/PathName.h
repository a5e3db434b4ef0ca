// Path texts as parameter files spell them: code page 932, components
// separated by "/" or by a "\" that is a character of its own (the second
// byte of a double-byte character, as in "表" 0x95 0x5C, never separates).
// Pure code, the same for the real platform and the in-memory one.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

// The components of `path`, empty ones dropped; `absolute` tells whether it
// starts with a separator.
std::vector<std::string> SplitPath(std::string_view path, bool& absolute);

// Offset just after the last separator (where the name starts), 0 when there
// is none.
size_t NameStart(std::string_view path);

// `dir` and `name` with one "/" between them; `name` alone when `dir` is empty.
std::string JoinPath(const std::string& dir, std::string_view name);
