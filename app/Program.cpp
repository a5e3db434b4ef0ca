#include "app/Program.h"

#include <cstdlib>
#include <new>
#include <string>

#include "app/ConsolePrinter.h"
#include "app/HelpText.h"
#include "run/Run.h"

namespace {

// The help text, each line padded with blanks to its full width, with a
// pause for one key after every page of 24 lines except the last.
void ShowHelp(Platform& platform) {
  std::string text;
  for (int n = 1; n <= kHelpLines; ++n) {
    const std::string_view line = HelpLine(n);
    text.assign(line.data(), line.size());
    if (text.size() < static_cast<size_t>(kHelpWidth)) text.append(kHelpWidth - text.size(), ' ');
    text += '\n';
    platform.WriteConsole(text);
    if (HelpWaitsAfter(n)) platform.ReadConsoleChar();
  }
}

Platform* g_outOfMemoryPlatform = nullptr;

// Nothing here may allocate: the message is a literal and the platform
// writes it straight to the descriptor.
void OnOutOfMemory() {
  if (g_outOfMemoryPlatform != nullptr) {
    g_outOfMemoryPlatform->WriteDiagnostic("rux: error: out of memory\n");
  }
  std::_Exit(1);
}

}  // namespace

int RunMain(int argc, const char* const* argv, Platform& platform) {
  if (argc < 2 || argv[1] == nullptr) {
    ShowHelp(platform);
    return 0;
  }
  ConsolePrinter printer(platform);
  RunRequest request;
  request.parameterFile = argv[1];
  return RunConversion(request, platform, printer);
}

void InstallOutOfMemoryHandler(Platform& platform) {
  g_outOfMemoryPlatform = &platform;
  std::set_new_handler(OnOutOfMemory);
}
