// Files on Linux (used by PosixPlatform): open descriptors as `File`s, the
// locks taken when a file is opened, and the standard streams as files.
#pragma once

#include <memory>
#include <string>

#include "platform/Platform.h"

namespace posix {

// Opens the file-system path `fsPath` as `mode` asks (created if missing for
// writing, never emptied; never waiting on a named pipe) and takes a
// non-blocking flock: shared for reading, exclusive for writing, on regular
// files only. nullptr, with the reason in `reason`, when it cannot be opened,
// is a folder or is locked by someone else.
std::unique_ptr<File> OpenLocked(const std::string& fsPath, OpenMode mode, std::string& reason);

// A standard stream as a File, without a lock: a duplicate descriptor, so
// that closing it reports a failure to store the data without closing the
// stream itself. nullptr when it cannot be duplicated.
std::unique_ptr<File> OpenStandardStream(int fd);

}  // namespace posix
