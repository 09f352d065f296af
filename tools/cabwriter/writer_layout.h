#pragma once
// Laying the folders' blocks out over one cabinet or a spanning set.
//
// When a cabinet is full, the block that does not fit is split: its first
// part ends the cabinet (cbUncomp 0) and its second part opens the next one,
// counted in that cabinet's cCFData. A block is split at most once. Files of
// a folder that goes on into the next cabinet are listed in both: every file
// not yet decodable from the blocks that end in a cabinet is "continued", as
// a continued folder can only be decoded from where it began.

#include <cstdint>
#include <vector>

#include "tools/cabwriter/writer_folders.h"

namespace ks::cabwriter {

struct PlacedPart {
  std::size_t block = 0;
  uint32_t from = 0;  // compressed byte range of the block in this cabinet
  uint32_t to = 0;
  bool splitFirst = false;  // first part of a split block (cbUncomp 0)
};

struct FolderInCabinet {
  std::size_t folder = 0;
  bool continued = false;  // the folder began in an earlier cabinet
  // Folder bytes decodable from the earlier cabinets, and from this one; -1
  // while no complete block has been placed (selecting the folder would then
  // already need the next cabinet, so no file counts as finished).
  int64_t finishedBefore = -1;
  int64_t completeEnd = -1;
  std::vector<PlacedPart> parts;
};

struct CabinetPlan {
  std::vector<FolderInCabinet> folders;
};

// True when every byte of the file can be decoded from blocks ending by
// `decodable` (an empty file: when its offset is reached).
bool fileFinishedBy(uint32_t offset, std::size_t size, int64_t decodable);

// Fixed part of cabinet `index`: header, reserve fields and area, names.
uint32_t cabinetFixedBytes(const WriterOptions& options, std::size_t index, bool hasNext);
bool hasReserveFields(const WriterOptions& options);
std::string diskNameInSet(std::size_t index);

std::vector<CabinetPlan> layOutCabinets(const std::vector<WriterFile>& files,
                                        const std::vector<WriterFolder>& folders,
                                        const WriterOptions& options);

}  // namespace ks::cabwriter
