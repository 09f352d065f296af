// Extracting one package cabinet.

#include "install/cabinet_extraction.h"

#include <cstdio>
#include <utility>

#include "app/paths.h"
#include "install/extraction_state.h"

namespace ks {

namespace {

constexpr int32_t kPackageOpenFlags = 0x8020;  // raw, sequential, read-only
constexpr int32_t kCpuType = 1;
constexpr const char* kNotEnoughSpaceFormat = "Not enough disk space: the package needs %llu MB.";
constexpr std::uint64_t kBytesPerMegabyte = 1024 * 1024;

// Destroys the context on every early return.
class ContextGuard {
 public:
  explicit ContextGuard(CabinetDecoder* context) : context_(context) {}
  ContextGuard(const ContextGuard&) = delete;
  ContextGuard& operator=(const ContextGuard&) = delete;
  ~ContextGuard() {
    if (context_ != nullptr) cabinetDestroy(context_);
  }
  CabinetDecoder* get() const { return context_; }
  bool destroy() { return cabinetDestroy(std::exchange(context_, nullptr)) == 1; }

 private:
  CabinetDecoder* context_;
};

bool reportFailure(CabinetError& error, int32_t code) {
  error.code = code;
  error.failed = 1;
  return false;
}

bool isCabinetPackage(CabinetDecoder* context, const std::string& packagePath,
                      CabinetError& error) {
  const int32_t handle = extractionOpen(packagePath.c_str(), kPackageOpenFlags, 0);
  if (handle == -1) return reportFailure(error, CAB_ERROR_CABINET_NOT_FOUND);
  CabinetInfo info{};
  const bool isCabinet = cabinetIsCabinet(context, handle, &info) == 1;
  extractionClose(handle);
  if (!isCabinet && error.code == CAB_ERROR_NONE)
    return reportFailure(error, CAB_ERROR_NOT_A_CABINET);
  return isCabinet;
}

// The cabinet path keeps its separator: "dl/core.cab" gives "dl/" and "core.cab".
struct CabinetLocation {
  std::string path;
  std::string name;
};

CabinetLocation locate(const std::string& packagePath) {
  const std::size_t at = packagePath.rfind(kPathSeparator);
  CabinetLocation location;
  location.path = at == std::string::npos ? std::string() : packagePath.substr(0, at + 1);
  location.name = packagePath.substr(location.path.size());
  return location;
}

bool copyWith(CabinetDecoder* context, const CabinetLocation& cabinet, CabinetNotify notify) {
  return cabinetCopy(context, cabinet.name.c_str(), cabinet.path.c_str(), 0, notify, nullptr, 0) ==
         1;
}

// The files must fit: a cabinet whose files need more than the free space
// fails before anything is written.
bool fitsFreeSpace(ExtractionReport& report) {
  const ExtractionState& state = extractionState();
  std::uint64_t free = 0;
  if (!state.fileSystem->freeSpace(state.destination, free) || state.declaredBytes <= free) {
    return true;
  }
  report.bytesNeeded = state.declaredBytes;
  return false;
}

CabinetDecoder* createContext(CabinetError& error) {
  return cabinetCreate(extractionAlloc, extractionFree, extractionOpen, extractionRead,
                       extractionWrite, extractionClose, extractionSeek, kCpuType, &error);
}

bool extractInto(const std::string& packagePath, ExtractionReport& report) {
  ContextGuard context(createContext(report.error));
  if (context.get() == nullptr) return false;
  if (!isCabinetPackage(context.get(), packagePath, report.error)) return false;
  const CabinetLocation cabinet = locate(packagePath);
  if (!copyWith(context.get(), cabinet, cabinetPlanningHandler) || !fitsFreeSpace(report)) {
    return false;
  }
  const bool copied = copyWith(context.get(), cabinet, cabinetNotifyHandler);
  ExtractionState& state = extractionState();
  // A file the reader gave up on (it closed the handle) is not kept.
  if (!state.temporary.empty()) state.fileSystem->deleteFile(state.destination, state.temporary);
  return copied && context.destroy();
}

}  // namespace

std::string notEnoughSpaceText(std::uint64_t bytesNeeded) {
  char text[96];
  const std::uint64_t megabytes = (bytesNeeded + kBytesPerMegabyte - 1) / kBytesPerMegabyte;
  std::snprintf(text, sizeof text, kNotEnoughSpaceFormat,
                static_cast<unsigned long long>(megabytes));
  return text;
}

bool extractCabinet(FileSystem& fileSystem, const std::string& packagePath,
                    const std::string& destination, ExtractionReport* report) {
  ExtractionReport record;
  // A destination that does not fit its buffer would be cut, and files would
  // land in another folder: refused instead.
  if (destination.size() > kMaxExtractionPathChars) {
    reportFailure(record.error, CAB_ERROR_TARGET_FILE);
    if (report != nullptr) *report = record;
    return false;
  }
  extractionState() = ExtractionState{};
  extractionState().fileSystem = &fileSystem;
  extractionState().destination = destination;
  const bool extracted = extractInto(packagePath, record);
  record.writtenFiles = std::move(extractionState().writtenFiles);
  extractionState() = ExtractionState{};
  if (report != nullptr) *report = std::move(record);
  return extracted;
}

bool listCabinet(FileSystem& fileSystem, const std::string& packagePath,
                 const std::string& destination, std::vector<std::string>& paths) {
  if (destination.size() > kMaxExtractionPathChars) return false;
  extractionState() = ExtractionState{};
  extractionState().fileSystem = &fileSystem;
  extractionState().destination = destination;
  CabinetError error{};
  bool listed = false;
  {
    ContextGuard context(createContext(error));
    listed = context.get() != nullptr && isCabinetPackage(context.get(), packagePath, error) &&
             copyWith(context.get(), locate(packagePath), cabinetPlanningHandler) &&
             context.destroy();
  }
  paths = std::move(extractionState().plannedFiles);
  extractionState() = ExtractionState{};
  return listed;
}

}  // namespace ks
