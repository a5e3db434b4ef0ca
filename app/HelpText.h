// The built-in description of the parameter language, code page 932.
#pragma once

#include <string_view>

constexpr int kHelpLines = 119;
constexpr int kHelpWidth = 70;

// Line n (1..119) as written, without its padding.
std::string_view HelpLine(int n);
// True when the help pauses for a key after line n (24, 48, 72, 96).
inline bool HelpWaitsAfter(int n) { return n == 24 || n == 48 || n == 72 || n == 96; }
