#pragma once
// Creating a folder the user typed together with its missing parents, as
// SHCreateDirectoryEx does on Windows.

#include <string>

namespace ks {

class FileSystem;

// Creates path and every missing folder above it, from the top down. False
// when one can't be created (or no part of the path exists to start from);
// then the folders this call made are removed again, so a failure leaves
// nothing behind.
bool createFolderWithParents(FileSystem& files, const std::string& path);

}  // namespace ks
