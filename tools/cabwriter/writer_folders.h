#pragma once
// The writer's folders: files grouped into folders, each folder's stream cut
// into blocks of 32768 bytes and compressed.

#include <cstdint>
#include <string>
#include <vector>

#include "tools/cabwriter/cabinet_writer.h"

namespace ks::cabwriter {

struct WriterBlock {
  std::vector<uint8_t> data;  // compressed
  uint32_t uncompressedStart = 0;
  uint16_t uncompressedSize = 0;
};

struct WriterFolder {
  uint16_t type = 0;
  std::vector<WriterBlock> blocks;
  std::vector<std::size_t> files;     // indices into the input files
  std::vector<uint32_t> fileOffsets;  // uoffFolderStart of each
};

bool buildFolders(const std::vector<WriterFile>& files, const WriterOptions& options,
                  std::vector<WriterFolder>& folders, std::string& error);

}  // namespace ks::cabwriter
