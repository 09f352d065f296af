// Feeds arbitrary bytes to the cabinet reader: recognition, a full copy with
// the block hook, and a second copy on the same context. Every allocation
// must be freed and every handle closed afterwards.

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "cabinet/cabinet.h"
#include "tests/support/memory_cabinet_files.h"

namespace {

using ks::test::MemoryCabinetFiles;

constexpr std::string_view kNextMarker = "\nKSNEXT\n";
constexpr char kNextName[] = "next.cab";

int32_t hook(CabinetHookInfo* info) {
  // Touch what the hook is shown, so the sanitizers check its bounds.
  volatile uint8_t sink = 0;
  if (info->kind == CAB_HOOK_DATA_BLOCK && info->u.block.compressedSize != 0)
    sink = info->u.block.data[info->u.block.compressedSize - 1];
  if (info->kind == CAB_HOOK_NEW_FOLDER && info->u.folder.folderReserve != nullptr)
    sink = info->u.folder.folderReserve[info->u.folder.folderReserveSize - 1];
  (void)sink;
  return 0;
}

int32_t notify(int32_t kind, CabinetNotification* n) {
  MemoryCabinetFiles& files = MemoryCabinetFiles::instance();
  switch (kind) {
    case CAB_NOTIFY_COPY_FILE:
      return files.createFile("out");
    case CAB_NOTIFY_CLOSE_FILE:
      files.files.erase("out");
      return ks::test::memoryClose(n->fileHandle) == 0 ? 1 : 0;
    case CAB_NOTIFY_NEXT_CABINET:
      if (n->error != 0) return -1;
      std::memcpy(n->text1, kNextName, sizeof kNextName);
      return 0;
    default:
      return 0;
  }
}

void check(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  MemoryCabinetFiles& files = MemoryCabinetFiles::instance();
  files.reset();
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t marker = input.find(kNextMarker);
  const std::string_view first = input.substr(0, marker);
  files.files["fuzz.cab"].assign(first.begin(), first.end());
  if (marker != std::string_view::npos) {
    const std::string_view next = input.substr(marker + kNextMarker.size());
    files.files[kNextName].assign(next.begin(), next.end());
  }
  CabinetError error{};
  CabinetDecoder* context = ks::test::createMemoryCabinetDecoder(&error);
  check(context != nullptr);
  const int32_t handle = ks::test::memoryOpen("fuzz.cab", 0x8000, 0);
  CabinetInfo info{};
  cabinetIsCabinet(context, handle, &info);
  ks::test::memoryClose(handle);
  cabinetCopy(context, "fuzz.cab", "", 0, notify, hook, 7);
  cabinetCopy(context, "fuzz.cab", "", 0, notify, nullptr, 0);
  cabinetDestroy(context);
  check(files.liveAllocations == 0);
  check(files.open.empty());
  return 0;
}
