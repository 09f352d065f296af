#pragma once
// What the extraction in progress shares with its callbacks, which the
// cabinet library calls without a context.

#include <string>

#include "platform/file_system.h"

namespace ks {

struct ExtractionState {
  FileSystem* fileSystem = nullptr;
  std::string destination;  // at most kMaxExtractionPathChars characters
};

// Destination, separator and stored name together fit a 256-byte buffer.
inline constexpr std::size_t kMaxExtractionPathChars = 255;

ExtractionState& extractionState();

}  // namespace ks
