#pragma once
// What the extraction in progress shares with its callbacks, which the
// cabinet library calls without a context.

#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace ks {

struct ExtractionState {
  FileSystem* fileSystem = nullptr;
  std::string destination;  // at most kMaxExtractionPathChars characters
  // The file being written, both below destination: the stored name as a
  // path, and the temporary name it is written under until it is complete.
  // Empty between files.
  std::string target;
  std::string temporary;
  // Folders below destination ("" for destination itself) already rid of
  // the temporary files a killed run left, during this extraction.
  std::set<std::string> sweptFolders;
  // Planning: the sum of the sizes the cabinet declares for its files, and
  // their stored names as paths below destination.
  std::uint64_t declaredBytes = 0;
  std::vector<std::string> plannedFiles;
  // Every file put in place (after its rename), as a path below destination:
  // the installation's manifest is made from it.
  std::vector<std::string> writtenFiles;
};

// Destination, separator and stored name together fit a 256-byte buffer.
inline constexpr std::size_t kMaxExtractionPathChars = 255;

ExtractionState& extractionState();

}  // namespace ks
