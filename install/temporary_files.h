#pragma once
// The temporary names under which installed files are written until they are
// complete (see kTemporaryFileEnding), and the removal of those a killed run
// left behind.

#include <string>

#include "platform/file_system.h"

namespace ks {

// below followed by kTemporaryFileEnding.
std::string temporaryNameOf(const std::string& below);

// Deletes every file in folder/below (below may be empty) whose name ends in
// kTemporaryFileEnding (a link of such a name is removed itself); folders
// are left alone.
void removeStaleTemporaryFiles(FileSystem& files, const std::string& folder,
                               const std::string& below);

}  // namespace ks
