// rux_cp932_literals <source> <output>: writes a copy of the UTF-8 C++ source
// whose ordinary string and character literals carry code page 932 bytes (see
// Cp932Literals.h). The copy starts with a #line directive naming the source,
// so the compiler's messages and __FILE__ point at the file people edit. An
// error prints "<source>:<line>: error: ..." and exits 1 without writing the
// output, which fails the build.
#include <cstdio>
#include <string>

#include "tools/Cp932Literals.h"

namespace {

bool ReadFile(const char* path, std::string& text) {
  FILE* file = std::fopen(path, "rb");
  if (!file) return false;
  char buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) text.append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

// Writes through a temporary file, so an interrupted build leaves no half copy.
bool WriteFile(const std::string& path, const std::string& text) {
  std::string temporary = path + ".tmp";
  FILE* file = std::fopen(temporary.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(text.data(), 1, text.size(), file) == text.size();
  ok = std::fclose(file) == 0 && ok;
  if (ok) ok = std::rename(temporary.c_str(), path.c_str()) == 0;
  if (!ok) std::remove(temporary.c_str());
  return ok;
}

// The path as a string literal body for #line.
std::string LineDirectivePath(const char* path) {
  std::string text;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '"') text += '\\';
    text += *p;
  }
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: rux_cp932_literals <source> <output>\n");
    return 2;
  }
  std::string source;
  if (!ReadFile(argv[1], source)) {
    std::perror(argv[1]);
    return 1;
  }
  std::string converted;
  LiteralResult result = ConvertLiteralsToCp932(source, converted);
  if (result.error != LiteralError::kNone) {
    std::fprintf(stderr, "%s:%d: error: %s\n", argv[1], result.line,
                 DescribeLiteralError(result).c_str());
    return 1;
  }
  std::string output = "#line 1 \"" + LineDirectivePath(argv[1]) + "\"\n" + converted;
  if (!WriteFile(argv[2], output)) {
    std::perror(argv[2]);
    return 1;
  }
  return 0;
}
