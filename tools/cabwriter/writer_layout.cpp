#include "tools/cabwriter/writer_layout.h"

#include <string>

namespace ks::cabwriter {

namespace {

constexpr uint32_t kHeaderBytes = 36;
constexpr uint32_t kReserveFieldBytes = 4;
constexpr uint32_t kFolderBytes = 8;
constexpr uint32_t kFileBytes = 16;
constexpr uint32_t kDataBytes = 8;

class Layout {
 public:
  Layout(const std::vector<WriterFile>& files, const std::vector<WriterFolder>& folders,
         const WriterOptions& options)
      : files_(files),
        folders_(folders),
        options_(options),
        limit_(options.maxCabinetSize == 0 ? UINT64_MAX : options.maxCabinetSize),
        completeEnd_(folders.size(), -1),
        placed_(folders.size(), false) {}

  std::vector<CabinetPlan> run() {
    openCabinet();
    for (std::size_t f = 0; f < folders_.size(); ++f) {
      if (folders_[f].blocks.empty()) touch(f);
      for (std::size_t b = 0; b < folders_[f].blocks.size(); ++b) placeBlock(f, b);
    }
    return std::move(plans_);
  }

 private:
  void openCabinet() {
    plans_.emplace_back();
    used_ = cabinetFixedBytes(options_, plans_.size() - 1, options_.maxCabinetSize != 0);
  }

  bool touched(std::size_t f) const {
    const auto& current = plans_.back().folders;
    return !current.empty() && current.back().folder == f;
  }

  // Bytes that listing folder f in the current cabinet adds.
  uint64_t touchCost(std::size_t f) const {
    if (touched(f)) return 0;
    uint64_t cost = kFolderBytes + options_.folderReserve;
    const WriterFolder& folder = folders_[f];
    for (std::size_t i = 0; i < folder.files.size(); ++i) {
      const WriterFile& file = files_[folder.files[i]];
      if (placed_[f] && fileFinishedBy(folder.fileOffsets[i], file.data.size(), completeEnd_[f]))
        continue;
      cost += kFileBytes + file.name.size() + 1;
    }
    return cost;
  }

  void touch(std::size_t f) {
    if (touched(f)) return;
    if (folders_[f].blocks.empty()) completeEnd_[f] = 0;  // nothing to decode
    used_ += touchCost(f);
    FolderInCabinet entry;
    entry.folder = f;
    entry.continued = placed_[f];
    entry.finishedBefore = completeEnd_[f];
    entry.completeEnd = completeEnd_[f];
    plans_.back().folders.push_back(entry);
  }

  void addPart(std::size_t f, std::size_t b, uint32_t from, uint32_t to, bool splitFirst) {
    touch(f);
    FolderInCabinet& entry = plans_.back().folders.back();
    entry.parts.push_back(PlacedPart{b, from, to, splitFirst});
    used_ += kDataBytes + options_.dataReserve + (to - from);
    if (!splitFirst) {
      const WriterBlock& block = folders_[f].blocks[b];
      completeEnd_[f] = static_cast<int64_t>(block.uncompressedStart) + block.uncompressedSize;
      entry.completeEnd = completeEnd_[f];
    }
  }

  void nextCabinet() {
    for (const FolderInCabinet& entry : plans_.back().folders) placed_[entry.folder] = true;
    openCabinet();
  }

  void placeBlock(std::size_t f, std::size_t b) {
    const auto size = static_cast<uint32_t>(folders_[f].blocks[b].data.size());
    for (;;) {
      const uint64_t needed = used_ + touchCost(f) + kDataBytes + options_.dataReserve;
      if (needed + size <= limit_) {
        addPart(f, b, 0, size, false);
        return;
      }
      if (needed < limit_) {
        const auto first = static_cast<uint32_t>(limit_ - needed);
        addPart(f, b, 0, first, true);
        nextCabinet();
        addPart(f, b, first, size, false);  // the second part is never split again
        return;
      }
      if (plans_.back().folders.empty()) {  // too small for any part: the block overflows
        addPart(f, b, 0, size, false);
        return;
      }
      nextCabinet();
    }
  }

  const std::vector<WriterFile>& files_;
  const std::vector<WriterFolder>& folders_;
  const WriterOptions& options_;
  const uint64_t limit_;
  std::vector<int64_t> completeEnd_;
  std::vector<bool> placed_;
  std::vector<CabinetPlan> plans_;
  uint64_t used_ = 0;
};

}  // namespace

bool fileFinishedBy(uint32_t offset, std::size_t size, int64_t decodable) {
  const int64_t end = static_cast<int64_t>(offset) + static_cast<int64_t>(size);
  return decodable >= 0 && end <= decodable;
}

bool hasReserveFields(const WriterOptions& options) {
  return options.reserveFields || options.headerReserve != 0 || options.folderReserve != 0 ||
         options.dataReserve != 0;
}

std::string diskNameInSet(std::size_t index) {
  return "DISK" + std::to_string(index + 1);
}

uint32_t cabinetFixedBytes(const WriterOptions& options, std::size_t index, bool hasNext) {
  uint32_t bytes = kHeaderBytes;
  if (hasReserveFields(options)) bytes += kReserveFieldBytes + options.headerReserve;
  if (index > 0)
    bytes += static_cast<uint32_t>(cabinetNameInSet(options.cabinetName, index - 1).size() + 1 +
                                   diskNameInSet(index - 1).size() + 1);
  if (hasNext)
    bytes += static_cast<uint32_t>(cabinetNameInSet(options.cabinetName, index + 1).size() + 1 +
                                   diskNameInSet(index + 1).size() + 1);
  return bytes;
}

std::vector<CabinetPlan> layOutCabinets(const std::vector<WriterFile>& files,
                                        const std::vector<WriterFolder>& folders,
                                        const WriterOptions& options) {
  return Layout(files, folders, options).run();
}

}  // namespace ks::cabwriter
