#include "tests/support/memory_cabinet_files.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

namespace ks::test {

namespace {

constexpr int32_t kOpenCreate = 0x0100;

// Allocation header: keeps the block's size in front of it so frees are
// counted exactly.
struct alignas(16) AllocationHeader {
  uint32_t size;
};

}  // namespace

MemoryCabinetFiles& MemoryCabinetFiles::instance() {
  static MemoryCabinetFiles files;
  return files;
}

void MemoryCabinetFiles::reset() {
  *this = MemoryCabinetFiles();
}

int32_t MemoryCabinetFiles::createFile(const std::string& name) {
  files[name].clear();
  const int32_t handle = nextHandle++;
  open[handle] = OpenFile{name, 0};
  return handle;
}

void* memoryAlloc(uint32_t size) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  if (m.allocations++ == m.failAllocation) return nullptr;
  void* block = std::malloc(sizeof(AllocationHeader) + size);
  if (block == nullptr) return nullptr;
  static_cast<AllocationHeader*>(block)->size = size;
  ++m.liveAllocations;
  return static_cast<AllocationHeader*>(block) + 1;
}

void memoryFree(void* memory) {
  if (memory == nullptr) return;
  --MemoryCabinetFiles::instance().liveAllocations;
  std::free(static_cast<AllocationHeader*>(memory) - 1);
}

int32_t memoryOpen(const char* name, int32_t flags, int32_t /*mode*/) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  m.openedNames.push_back(name);
  if (m.files.count(name) == 0) {
    if ((flags & kOpenCreate) == 0) return -1;
    m.files[name];
  }
  const int32_t handle = m.nextHandle++;
  m.open[handle] = MemoryCabinetFiles::OpenFile{name, 0};
  return handle;
}

uint32_t memoryRead(int32_t handle, void* buffer, uint32_t count) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  auto found = m.open.find(handle);
  if (found == m.open.end()) return 0;
  const std::vector<uint8_t>& data = m.files[found->second.name];
  std::size_t& position = found->second.position;
  if (position >= data.size()) return 0;
  const std::size_t got = std::min<std::size_t>(count, data.size() - position);
  std::memcpy(buffer, data.data() + position, got);
  position += got;
  return static_cast<uint32_t>(got);
}

uint32_t memoryWrite(int32_t handle, const void* buffer, uint32_t count) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  auto found = m.open.find(handle);
  if (found == m.open.end()) return 0;
  if (handle == m.shortWriteHandle && count > 0) --count;
  std::vector<uint8_t>& data = m.files[found->second.name];
  std::size_t& position = found->second.position;
  if (data.size() < position + count) data.resize(position + count);
  std::memcpy(data.data() + position, buffer, count);
  position += count;
  return count;
}

int32_t memoryClose(int32_t handle) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  if (m.open.erase(handle) == 0) return -1;
  return handle == m.failingCloseHandle ? -1 : 0;
}

int32_t memorySeek(int32_t handle, int32_t offset, int32_t origin) {
  MemoryCabinetFiles& m = MemoryCabinetFiles::instance();
  auto found = m.open.find(handle);
  if (found == m.open.end()) return -1;
  const int64_t base = origin == 1 ? static_cast<int64_t>(found->second.position) : 0;
  const int64_t target = base + offset;
  if (origin < 0 || origin > 1 || target < 0) return -1;
  found->second.position = static_cast<std::size_t>(target);
  return static_cast<int32_t>(target);
}

CabinetDecoder* createMemoryCabinetDecoder(CabinetError* error) {
  return cabinetCreate(memoryAlloc, memoryFree, memoryOpen, memoryRead, memoryWrite, memoryClose,
                       memorySeek, 1, error);
}

}  // namespace ks::test
