#pragma once
// Reaching files without following links (PosixFileSystem's own helpers).

#include <string>

#include "platform/posix/unique_fd.h"

namespace ks {

// The folder that holds the last component of below, reached from folder
// (taken as spelled; "" is the current folder) with openat and O_NOFOLLOW at
// every step, and that last
// component's name. False when a component is a link, missing, not a folder,
// empty, "." or "..".
struct FolderOfName {
  UniqueFd folder;
  std::string name;
};
bool openFolderOf(const std::string& folder, const std::string& below, FolderOfName& out);

// Opens a regular file for reading without ever waiting (a FIFO, a device or
// a folder fails); an invalid descriptor otherwise.
UniqueFd openRegularFile(const std::string& path);

}  // namespace ks
