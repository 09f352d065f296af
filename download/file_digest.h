#pragma once
// The SHA-256 digest of a file, read in blocks through the file system port
// and hashed through the hashing port: memory stays the same whatever the
// file's size.

#include <string>

#include "platform/file_system.h"
#include "platform/hashing.h"

namespace ks {

// False when the file can't be opened or read to its end, or the system's
// hashing fails.
bool sha256OfFile(FileSystem& files, Hashing& hashing, const std::string& path,
                  Sha256Digest& digest);

}  // namespace ks
