#pragma once
// Every comparison of two paths goes through here, so that it follows the
// file system rather than the spelling: both paths are made canonical (links,
// ".", ".." and trailing separators resolved) and compared with the file
// system's own regard for case. A path that can't be made canonical equals
// nothing and holds nothing.

#include <string>

namespace ks {

class FileSystem;

// True when a and b name the same file or folder.
bool samePath(FileSystem& files, const std::string& a, const std::string& b);

// True when path is folder itself or lies anywhere below it.
bool pathIsWithin(FileSystem& files, const std::string& path, const std::string& folder);

// True for a root of the file system: "/", a drive, a "\\server\share".
bool isFileSystemRoot(FileSystem& files, const std::string& folder);

}  // namespace ks
