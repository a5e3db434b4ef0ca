// Path look-up on Linux (used by PosixPlatform): code page 932 paths as
// parameter files spell them, found in a file system whose names are UTF-8
// (or any bytes). Each component is looked up in its folder in this order:
//   1. an entry spelled with exactly the given bytes (so a name FindFiles
//      returned as raw bytes opens as that very entry),
//   2. an entry spelled with the component converted to UTF-8,
//   3. any entry whose code page 932 form, or raw bytes, equals the component
//      ignoring letter case; the first in name order when several do (from
//      the folder's index, PosixFolderIndex.h).
#pragma once

#include <string>
#include <string_view>

namespace posix {

class FolderIndexes;

// The name the file system uses for a code page 932 component (UTF-8, or
// the bytes as they are when they have no UTF-8 form).
std::string FsName(std::string_view cp932Name);

// The code page 932 form of a file-system name: converted from UTF-8, or the
// raw bytes when the name is not UTF-8 or has no code page 932 form.
std::string Cp932Name(std::string_view fsName);

// Finds the entry of `dir` (file-system spelling, "" the current folder) that
// the code page 932 component `component` names; `fsName` receives its
// spelling. False when there is none.
bool LookupEntry(FolderIndexes& folders, const std::string& dir, const std::string& component,
                 std::string& fsName);

// Resolves a code page 932 path to the file system's spelling. With
// `lastMayBeNew` a missing last component is taken as written (converted to
// UTF-8), for files about to be created. False when a folder on the way, or
// the last component otherwise, is missing.
bool ResolvePath(FolderIndexes& folders, const std::string& path, bool lastMayBeNew,
                 std::string& fsPath);

// The code page 932 form of a file-system folder, made absolute ("" is the
// current folder).
std::string AbsoluteCp932(const std::string& fsDir);

}  // namespace posix
