#include "tools/cabwriter/writer_folders.h"

#include <algorithm>
#include <memory>
#include <span>

#include "tools/cabwriter/mszip_encoder.h"
#include "tools/cabwriter/quantum_encoder.h"

namespace ks::cabwriter {

namespace {

constexpr uint32_t kBlockSize = 32768;
constexpr uint16_t kTypeStored = 0;
constexpr uint16_t kTypeMszip = 1;
constexpr uint16_t kTypeQuantum = 2;
constexpr int kQuantumWindowShift = 8;

// One encoder per folder, whichever the compression.
class BlockEncoder {
 public:
  explicit BlockEncoder(const WriterOptions& options) : compression_(options.compression) {
    if (compression_ == Compression::Quantum)
      quantum_ = std::make_unique<QuantumEncoder>(options.quantumWindowBits);
  }
  bool encode(std::span<const uint8_t> block, std::vector<uint8_t>& out) {
    switch (compression_) {
      case Compression::Stored:
        out.assign(block.begin(), block.end());
        return true;
      case Compression::Mszip:
        return mszip_.encodeBlock(block, out);
      case Compression::Quantum:
        return quantum_->encodeBlock(block, out);
    }
    return false;
  }

 private:
  Compression compression_;
  MszipEncoder mszip_;
  std::unique_ptr<QuantumEncoder> quantum_;
};

bool compressFolder(const std::vector<uint8_t>& stream, const WriterOptions& options,
                    WriterFolder& folder, std::string& error) {
  BlockEncoder encoder(options);
  for (std::size_t start = 0; start < stream.size(); start += kBlockSize) {
    const std::size_t size = std::min<std::size_t>(kBlockSize, stream.size() - start);
    WriterBlock block;
    block.uncompressedStart = static_cast<uint32_t>(start);
    block.uncompressedSize = static_cast<uint16_t>(size);
    if (!encoder.encode(std::span(stream).subspan(start, size), block.data)) {
      error = "the block at folder offset " + std::to_string(start) + " could not be compressed";
      return false;
    }
    folder.blocks.push_back(std::move(block));
  }
  return true;
}

}  // namespace

uint16_t folderCompressionType(const WriterOptions& options) {
  switch (options.compression) {
    case Compression::Stored:
      return kTypeStored;
    case Compression::Mszip:
      return kTypeMszip;
    case Compression::Quantum:
      return static_cast<uint16_t>(kTypeQuantum |
                                   (options.quantumWindowBits << kQuantumWindowShift));
  }
  return kTypeStored;
}

bool buildFolders(const std::vector<WriterFile>& files, const WriterOptions& options,
                  std::vector<WriterFolder>& folders, std::string& error) {
  const std::size_t perFolder = options.filesPerFolder == 0 ? files.size() : options.filesPerFolder;
  for (std::size_t first = 0; first < files.size() || folders.empty(); first += perFolder) {
    WriterFolder folder;
    folder.type = folderCompressionType(options);
    std::vector<uint8_t> stream;
    for (std::size_t i = first; i < files.size() && i < first + perFolder; ++i) {
      if (stream.size() + files[i].data.size() > UINT32_MAX) {
        error = "a folder holds more than 4 GB";
        return false;
      }
      folder.files.push_back(i);
      folder.fileOffsets.push_back(static_cast<uint32_t>(stream.size()));
      stream.insert(stream.end(), files[i].data.begin(), files[i].data.end());
    }
    if (!compressFolder(stream, options, folder, error)) return false;
    folders.push_back(std::move(folder));
    if (perFolder == 0) break;
  }
  return true;
}

}  // namespace ks::cabwriter
