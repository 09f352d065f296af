#pragma once
// File operations of the registry trees: folders for keys, files replaced
// atomically and durably.

#include <string>
#include <vector>

namespace ks::registry {

// Creates the folder and the missing folders above it (mode 0700).
bool makeFolders(const std::string& path);

// Creates one folder and makes its entry durable; true when it exists after.
bool makeFolder(const std::string& path);

// Replaces folder/name by content: a temporary file in the same folder is
// written, flushed to disk and renamed over it, and the folder is flushed,
// so after a crash the file holds the old or the new content, never a mix.
bool replaceFile(const std::string& folder, const std::string& name, const std::string& content);

// Flushes a folder's entries to disk.
bool syncFolder(const std::string& folder);

// The entries of a folder that are folders themselves, "." and ".." left out.
bool listSubfolders(const std::string& folder, std::vector<std::string>& names);

// Removes a folder with what it holds, at most depth levels deep.
bool removeFolder(const std::string& path, int depth);

}  // namespace ks::registry
