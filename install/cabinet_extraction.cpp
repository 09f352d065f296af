// Extracting one package cabinet.

#include "install/cabinet_extraction.h"

#include <utility>

#include "app/paths.h"
#include "install/extraction_state.h"

namespace ks {

namespace {

constexpr int32_t kPackageOpenFlags = 0x8020;  // raw, sequential, read-only
constexpr int32_t kCpuType = 1;

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

bool extractInto(const std::string& packagePath, CabinetError& error) {
  ContextGuard context(cabinetCreate(extractionAlloc, extractionFree, extractionOpen,
                                     extractionRead, extractionWrite, extractionClose,
                                     extractionSeek, kCpuType, &error));
  if (context.get() == nullptr) return false;
  if (!isCabinetPackage(context.get(), packagePath, error)) return false;
  // The cabinet path keeps its separator: "dl/core.cab" gives "dl/" and "core.cab".
  const std::size_t at = packagePath.rfind(kPathSeparator);
  const std::string path = at == std::string::npos ? std::string() : packagePath.substr(0, at + 1);
  const std::string name = packagePath.substr(path.size());
  if (cabinetCopy(context.get(), name.c_str(), path.c_str(), 0, cabinetNotifyHandler, nullptr, 0) !=
      1)
    return false;
  return context.destroy();
}

}  // namespace

bool extractCabinet(FileSystem& fileSystem, const std::string& packagePath,
                    const std::string& destination, CabinetError* error) {
  CabinetError record{};
  // A destination that does not fit its buffer would be cut, and files would
  // land in another folder: refused instead.
  if (destination.size() > kMaxExtractionPathChars) {
    reportFailure(record, CAB_ERROR_TARGET_FILE);
    if (error != nullptr) *error = record;
    return false;
  }
  extractionState() = ExtractionState{&fileSystem, destination};
  const bool extracted = extractInto(packagePath, record);
  extractionState() = ExtractionState{};
  if (error != nullptr) *error = record;
  return extracted;
}

}  // namespace ks
