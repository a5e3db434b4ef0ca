// STUB: to be implemented.
#include "platform/PosixPlatform.h"
CPosixPlatform::CPosixPlatform() {}
CPosixPlatform::~CPosixPlatform() {}
std::unique_ptr<CFile> CPosixPlatform::OpenFile(const std::string&, EOpenMode) { return nullptr; }
bool CPosixPlatform::GetFileId(const std::string&, CFileId&) { return false; }
std::vector<CDirMatch> CPosixPlatform::FindFiles(const std::string&) { return {}; }
void CPosixPlatform::WriteConsole(const std::string&) {}
int CPosixPlatform::ReadConsoleChar() { return -1; }
long long CPosixPlatform::Now() { return 0; }
CDateTime CPosixPlatform::LocalTime(long long) { return {}; }
