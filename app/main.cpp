#include "app/Program.h"
#include "platform/PosixPlatform.h"

int main(int argc, char** argv) {
  PosixPlatform platform;
  InstallOutOfMemoryHandler(platform);
  return RunMain(argc, argv, platform);
}
