// The run driver. This file is listed in RUX_CP932_SOURCES (CMakeLists.txt):
// every string literal below is built as the code page 932 text the console
// shows.
#include "app/RunDriver.h"

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "app/HelpText.h"
#include "param/ConvParam.h"
#include "platform/Cp932.h"

namespace {

// printf-style formatting into a string sized to fit (names and patterns may
// be long, so no fixed buffer limits what is printed).
__attribute__((format(printf, 1, 2))) std::string Format(const char* format, ...) {
  char small[256];
  va_list args;
  va_start(args, format);
  int needed = std::vsnprintf(small, sizeof small, format, args);
  va_end(args);
  if (needed < 0) return std::string();
  if (static_cast<size_t>(needed) < sizeof small) return std::string(small, static_cast<size_t>(needed));
  std::string text(static_cast<size_t>(needed) + 1, '\0');
  va_start(args, format);
  std::vsnprintf(text.data(), text.size(), format, args);
  va_end(args);
  text.resize(static_cast<size_t>(needed));
  return text;
}

// The help text, each line padded with blanks to its full width, with a pause
// for one key after every page of 24 lines except the last.
void ShowHelp(Platform& platform) {
  std::string text;
  for (int n = 1; n <= kHelpLines; ++n) {
    std::string_view line = HelpLine(n);
    text.assign(line.data(), line.size());
    if (text.size() < static_cast<size_t>(kHelpWidth)) text.append(kHelpWidth - text.size(), ' ');
    text += '\n';
    platform.WriteConsole(text);
    if (HelpWaitsAfter(n)) platform.ReadConsoleChar();
  }
}

// Parameter phase: the message and the line that caused it.
void ReportParameterError(Platform& platform, int code, int line) {
  platform.WriteConsole(Format("%s  %d行目\n", CConvParam::GetErrorMessage(code).c_str(), line));
}

// Output open in file mode: the message alone.
void ReportOutputError(Platform& platform, int code) {
  platform.WriteConsole(CConvParam::GetErrorMessage(code) + "\n");
}

// Input-file phase: the message with the file and the record count.
void ReportInputError(Platform& platform, int code, const std::string& name, int count) {
  platform.WriteConsole(CConvParam::GetErrorMessage(code) +
                        Format("（入力ﾌｧｲﾙ:%s 入力件数:%d ）\n", name.c_str(), count));
}

// True when INP names one file (no wildcards) and OUT names that same
// existing file by another spelling ("./a.txt", ".\\a.txt", a symbolic link,
// "sub/../a.txt"). Opening the output empties it, so this must be refused
// before anything is opened, exactly like the two texts being equal.
bool NamesSameFile(const CConvParam& param, Platform& platform) {
  if (param.IsFolderMode()) return false;
  // Only the last component holds wildcards; "?" in a folder name is a letter.
  const std::string& inp = param.m_strInpWritten;
  size_t nameStart = 0;
  for (size_t i = 0; i < inp.size(); i += cp932::CharLen(inp, i)) {
    if (cp932::CharLen(inp, i) == 1 && (inp[i] == '/' || inp[i] == '\\')) nameStart = i + 1;
  }
  const std::string_view name = std::string_view(inp).substr(nameStart);
  if (cp932::FindChar(name, '*') != std::string::npos ||
      cp932::FindChar(name, '?') != std::string::npos) {
    return false;
  }
  FileId inId;
  FileId outId;
  return platform.GetFileId(inp, inId) && platform.GetFileId(param.m_strOutWritten, outId) &&
         inId == outId;
}

// Reads the whole parameter file into `param`; leaves any error in m_nErr
// and the number of the line that caused it in m_nInCount.
void ReadParameterFile(CConvParam& param, Platform& platform, const char* path) {
  std::unique_ptr<File> file = platform.OpenFile(path, OpenMode::kRead);
  if (!file) {
    param.m_nErr = 90;
    return;
  }
  param.m_fpIn.Attach(std::move(file));
  std::string_view piece;
  while (param.m_nErr == 0 && param.m_fpIn.ReadPiece(piece)) {
    ++param.m_nInCount;
    param.ReadStatement(piece);
  }
  // A file that stops being readable half way would leave statements unseen.
  if (param.m_nErr == 0 && param.m_fpIn.Failed()) param.m_nErr = 90;
  param.m_fpIn.Close();

  cp932::UpperInPlace(param.m_strInp);
  cp932::UpperInPlace(param.m_strOut);
  if (param.m_strFunction.empty()) param.m_strFunction = "COPY";

  if (param.m_nErr == 0) {
    if (param.m_strInp.empty() || param.m_strOut.empty()) {
      param.m_nErr = 15;
    } else if (param.m_strInp == param.m_strOut || NamesSameFile(param, platform)) {
      param.m_nErr = 15;
    }
  }
}

int RunConversion(const char* parameterFile, Platform& platform) {
  CConvParam param(platform);

  ReadParameterFile(param, platform, parameterFile);
  if (param.m_nErr != 0) {
    ReportParameterError(platform, param.m_nErr, param.m_nInCount);
    return 1;
  }

  // File mode: one output for the whole run, opened before the inputs are
  // looked up (it is created or emptied even when nothing matches). It is
  // opened without emptying, locked, and only then emptied.
  const bool bFolder = param.IsFolderMode();
  if (!bFolder) {
    const bool bAppend = param.m_szMode[0] == 'a';
    std::unique_ptr<File> out = platform.OpenFile(
        param.m_strOutWritten, bAppend ? OpenMode::kAppend : OpenMode::kWrite);
    if (out && !bAppend && !out->Truncate()) out.reset();
    if (!out) {
      ReportOutputError(platform, 91);
      return 1;
    }
    param.m_fpOut.Attach(std::move(out));
  }

  std::string currentName;
  std::vector<DirMatch> matches = platform.FindFiles(param.m_strInpWritten);
  if (matches.empty()) param.m_nErr = 92;
  for (const DirMatch& match : matches) {
    if (param.m_nErr != 0) break;
    if (match.isDirectory) continue;
    currentName = match.name;
    long long start = platform.Now();
    param.ProcessInputFile(match.fullPath, match.name);
    long long end = platform.Now();
    if (param.m_nErr != 0) break;
    long long elapsed = end - start;
    int seconds = static_cast<int>(elapsed % 60);
    int minutes = static_cast<int>(elapsed / 60 - (elapsed / 3600) * 60);
    platform.WriteConsole(Format("入力ﾌｧｲﾙ:%s 入力件数:%d 出力件数:%d 処理時間:%02d:%02d\n",
                                 match.name.c_str(), param.m_nInCount, param.m_nOutCount,
                                 minutes, seconds));
  }

  // The output is only safe once it is closed: a failure here is a failure
  // of the run, never a success.
  bool bCloseFailed = false;
  if (!bFolder && !param.m_fpOut.Close() && param.m_nErr == 0) bCloseFailed = true;

  if (bCloseFailed) {
    ReportOutputError(platform, 91);
    return 1;
  }
  if (param.m_nErr == 92) {
    ReportInputError(platform, 92, param.m_strInp, 0);
    return 1;
  }
  if (param.m_nErr != 0) {
    ReportInputError(platform, param.m_nErr, currentName, param.m_nInCount);
    return 1;
  }
  return 0;
}

}  // namespace

int RunMain(int argc, const char* const* argv, Platform& platform) {
  if (argc < 2 || argv[1] == nullptr) {
    ShowHelp(platform);
    return 0;
  }
  return RunConversion(argv[1], platform);
}

namespace {
Platform* g_oomPlatform = nullptr;

// Nothing here may allocate: the message is a literal and the platform
// writes it straight to the descriptor.
void OnOutOfMemory() {
  if (g_oomPlatform != nullptr) g_oomPlatform->WriteDiagnostic("rux: error: out of memory\n");
  std::_Exit(1);
}
}  // namespace

void InstallOutOfMemoryHandler(Platform& platform) {
  g_oomPlatform = &platform;
  std::set_new_handler(OnOutOfMemory);
}
