// Serialising the laid-out cabinets: CFHEADER, CFFOLDER, CFFILE and CFDATA
// records, reserve areas, neighbour names and checksums.

#include "tools/cabwriter/cabinet_writer.h"

#include "cabinet/cabinet_checksum.h"
#include "tools/cabwriter/writer_layout.h"

namespace ks::cabwriter {

namespace {

constexpr uint32_t kSignature = 0x4643534D;  // "MSCF"
constexpr uint16_t kFlagPrevious = 0x0001;
constexpr uint16_t kFlagNext = 0x0002;
constexpr uint16_t kFlagReserve = 0x0004;
constexpr uint16_t kContinuedFromPrevious = 0xFFFD;
constexpr uint16_t kContinuedToNext = 0xFFFE;
constexpr uint16_t kContinuedBoth = 0xFFFF;
constexpr std::size_t kMaxNameChars = 255;
constexpr std::size_t kMaxEntries = 0xFFFF;
// Reserve areas are filled with a recognisable byte per kind.
constexpr uint8_t kHeaderReserveFill = 'H';
constexpr uint8_t kFolderReserveFill = 'F';
constexpr uint8_t kDataReserveFill = 'D';

using Bytes = std::vector<uint8_t>;

void putU16(Bytes& out, uint32_t value) {
  out.push_back(static_cast<uint8_t>(value));
  out.push_back(static_cast<uint8_t>(value >> 8));
}

void putU32(Bytes& out, uint32_t value) {
  putU16(out, value & 0xFFFF);
  putU16(out, value >> 16);
}

void putName(Bytes& out, const std::string& name) {
  out.insert(out.end(), name.begin(), name.end());
  out.push_back(0);
}

void setU32(Bytes& out, std::size_t at, uint32_t value) {
  for (int i = 0; i < 4; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint16_t fileFolderField(const FolderInCabinet& entry, bool finished, std::size_t localIndex) {
  if (entry.continued) return finished ? kContinuedFromPrevious : kContinuedBoth;
  return finished ? static_cast<uint16_t>(localIndex) : kContinuedToNext;
}

class Serializer {
 public:
  Serializer(const std::vector<WriterFile>& files, const std::vector<WriterFolder>& folders,
             const WriterOptions& options, std::size_t count)
      : files_(files), folders_(folders), options_(options), count_(count) {}

  Bytes cabinet(const CabinetPlan& plan, std::size_t index) {
    Bytes entries = fileEntries(plan);
    Bytes out = header(index, plan.folders.size(), fileCount_);
    const std::size_t folderTable = out.size();
    const uint32_t folderBytes = 8 + options_.folderReserve;
    const std::size_t dataStart = folderTable + plan.folders.size() * folderBytes + entries.size();
    setU32(out, 16, static_cast<uint32_t>(folderTable + plan.folders.size() * folderBytes));
    Bytes data;
    for (const FolderInCabinet& entry : plan.folders) {
      putU32(out, static_cast<uint32_t>(dataStart + data.size()));
      putU16(out, static_cast<uint32_t>(entry.parts.size()));
      putU16(out, folders_[entry.folder].type);
      out.insert(out.end(), options_.folderReserve, kFolderReserveFill);
      for (const PlacedPart& part : entry.parts) dataBlock(data, entry.folder, part);
    }
    out.insert(out.end(), entries.begin(), entries.end());
    out.insert(out.end(), data.begin(), data.end());
    setU32(out, 8, static_cast<uint32_t>(out.size()));
    return out;
  }

 private:
  Bytes header(std::size_t index, std::size_t folderCount, std::size_t fileCount) const {
    const bool previous = index > 0;
    const bool next = index + 1 < count_;
    const bool reserve = hasReserveFields(options_);
    Bytes out;
    putU32(out, kSignature);
    putU32(out, 0);
    putU32(out, 0);  // cbCabinet, set at the end
    putU32(out, 0);
    putU32(out, 0);  // coffFiles, set once the folder table is known
    putU32(out, 0);
    out.push_back(3);  // version 1.3: minor, then major
    out.push_back(1);
    putU16(out, static_cast<uint32_t>(folderCount));
    putU16(out, static_cast<uint32_t>(fileCount));
    putU16(out,
           (previous ? kFlagPrevious : 0) | (next ? kFlagNext : 0) | (reserve ? kFlagReserve : 0));
    putU16(out, options_.setId);
    putU16(out, static_cast<uint32_t>(index));
    if (reserve) {
      putU16(out, options_.headerReserve);
      out.push_back(options_.folderReserve);
      out.push_back(options_.dataReserve);
      out.insert(out.end(), options_.headerReserve, kHeaderReserveFill);
    }
    if (previous) {
      putName(out, cabinetNameInSet(options_.cabinetName, index - 1));
      putName(out, diskNameInSet(index - 1));
    }
    if (next) {
      putName(out, cabinetNameInSet(options_.cabinetName, index + 1));
      putName(out, diskNameInSet(index + 1));
    }
    return out;
  }

  Bytes fileEntries(const CabinetPlan& plan) {
    Bytes out;
    fileCount_ = 0;
    for (std::size_t local = 0; local < plan.folders.size(); ++local) {
      const FolderInCabinet& entry = plan.folders[local];
      const WriterFolder& folder = folders_[entry.folder];
      for (std::size_t i = 0; i < folder.files.size(); ++i) {
        const WriterFile& file = files_[folder.files[i]];
        const uint32_t offset = folder.fileOffsets[i];
        if (entry.continued && fileFinishedBy(offset, file.data.size(), entry.finishedBefore))
          continue;
        const bool finished = fileFinishedBy(offset, file.data.size(), entry.completeEnd);
        putU32(out, static_cast<uint32_t>(file.data.size()));
        putU32(out, offset);
        putU16(out, fileFolderField(entry, finished, local));
        putU16(out, file.date);
        putU16(out, file.time);
        putU16(out, file.attributes);
        putName(out, file.name);
        ++fileCount_;
      }
    }
    return out;
  }

  void dataBlock(Bytes& out, std::size_t folder, const PlacedPart& part) const {
    const WriterBlock& block = folders_[folder].blocks[part.block];
    Bytes head;
    putU32(head, 0);
    putU16(head, part.to - part.from);
    putU16(head, part.splitFirst ? 0 : block.uncompressedSize);
    head.insert(head.end(), options_.dataReserve, kDataReserveFill);
    const uint8_t* bytes = block.data.data() + part.from;
    if (options_.checksums) {
      const uint32_t sum = ks::cab::cabinetChecksum(bytes, part.to - part.from, 0);
      setU32(head, 0, ks::cab::cabinetChecksum(head.data() + 4, head.size() - 4, sum));
    }
    out.insert(out.end(), head.begin(), head.end());
    out.insert(out.end(), bytes, bytes + (part.to - part.from));
  }

  const std::vector<WriterFile>& files_;
  const std::vector<WriterFolder>& folders_;
  const WriterOptions& options_;
  const std::size_t count_;
  std::size_t fileCount_ = 0;
};

bool checkInput(const std::vector<WriterFile>& files, std::string& error) {
  if (files.size() > kMaxEntries) {
    error = "a cabinet holds at most 65535 files";
    return false;
  }
  for (const WriterFile& file : files) {
    if (file.name.empty() || file.name.size() > kMaxNameChars) {
      error = "stored names have 1 to 255 characters: '" + file.name + "'";
      return false;
    }
  }
  return true;
}

}  // namespace

std::string cabinetNameInSet(const std::string& first, std::size_t index) {
  if (index == 0) return first;
  const std::size_t dot = first.rfind('.');
  const std::size_t slash = first.find_last_of("/\\");
  const bool hasExtension = dot != std::string::npos && (slash == std::string::npos || dot > slash);
  const std::string number = std::to_string(index + 1);
  if (!hasExtension) return first + number;
  return first.substr(0, dot) + number + first.substr(dot);
}

bool writeCabinets(const std::vector<WriterFile>& files, const WriterOptions& options,
                   std::vector<CabinetImage>& cabinets, std::string& error) {
  if (!checkInput(files, error)) return false;
  std::vector<WriterFolder> folders;
  if (!buildFolders(files, options, folders, error)) return false;
  const std::vector<CabinetPlan> plans = layOutCabinets(files, folders, options);
  Serializer serializer(files, folders, options, plans.size());
  cabinets.clear();
  for (std::size_t i = 0; i < plans.size(); ++i) {
    cabinets.push_back(
        CabinetImage{cabinetNameInSet(options.cabinetName, i), serializer.cabinet(plans[i], i)});
  }
  return true;
}

}  // namespace ks::cabwriter
