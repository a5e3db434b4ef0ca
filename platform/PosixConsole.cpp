// Console encoding per stream, and the standard descriptors.
#include "platform/PosixConsole.h"

#include <fcntl.h>
#include <langinfo.h>
#include <locale.h>
#include <strings.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

#include "platform/Cp932.h"
#include "platform/Iconv.h"

namespace posix {

namespace {

bool WriteAll(int fd, const char* data, size_t size) {
  while (size > 0) {
    ssize_t put = write(fd, data, size);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    data += put;
    size -= static_cast<size_t>(put);
  }
  return true;
}

bool SameWord(const char* a, const char* b) { return strcasecmp(a, b) == 0; }

bool IsUtf8Word(const char* word) { return SameWord(word, "UTF-8") || SameWord(word, "utf8"); }

// True when a locale name says UTF-8: "ja_JP.UTF-8", "C.utf8", "en_US.UTF-8@euro".
bool NameSaysUtf8(const char* name) {
  const char* dot = std::strrchr(name, '.');
  if (dot == nullptr) return false;
  std::string codeset(dot + 1);
  codeset = codeset.substr(0, codeset.find('@'));
  return IsUtf8Word(codeset.c_str());
}

// A locale that cannot be loaded (named but not generated, the default on a
// minimal system): the first of LC_ALL, LC_CTYPE and LANG that is set decides
// by its name.
bool EnvironmentSaysUtf8() {
  for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
    const char* name = std::getenv(variable);
    if (name != nullptr && *name != '\0') return NameSaysUtf8(name);
  }
  return false;
}

}  // namespace

bool ChooseUtf8Console(int fd) {
  if (const char* force = std::getenv("RUX_CONSOLE")) {
    if (IsUtf8Word(force)) return true;
    if (SameWord(force, "cp932") || SameWord(force, "sjis") || SameWord(force, "shift_jis"))
      return false;
  }
  if (!isatty(fd)) return false;
  locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(0));
  if (loc == static_cast<locale_t>(0)) return EnvironmentSaysUtf8();
  const char* codeset = nl_langinfo_l(CODESET, loc);
  bool utf8 = codeset && IsUtf8Word(codeset);
  freelocale(loc);
  return utf8;
}

void WriteConsoleText(int fd, bool utf8, std::string_view text) {
  if (!utf8 || cp932::IsAscii(text)) {
    WriteAll(fd, text.data(), text.size());
    return;
  }
  std::string converted;
  IconvCp932ToUtf8().ConvertLossy(text, converted);
  WriteAll(fd, converted.data(), converted.size());
}

unsigned HoldStandardDescriptors() {
  unsigned closed = 0;
  for (int fd = STDIN_FILENO; fd <= STDERR_FILENO; ++fd) {
    // open() takes the lowest free descriptor, which is this one.
    if (fcntl(fd, F_GETFD) == -1 && errno == EBADF) {
      open("/dev/null", O_RDWR);
      closed |= 1u << fd;
    }
  }
  return closed;
}

}  // namespace posix
