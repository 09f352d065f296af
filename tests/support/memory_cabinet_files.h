#pragma once
// In-memory files and memory accounting behind the cabinet library's seven
// callbacks, for tests, fuzzing and benchmarks. The callbacks carry no
// context, so the files live in one process-wide instance.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "cabinet/cabinet.h"

namespace ks::test {

struct MemoryCabinetFiles {
  struct OpenFile {
    std::string name;
    std::size_t position = 0;
  };

  std::map<std::string, std::vector<uint8_t>> files;
  std::map<int32_t, OpenFile> open;
  std::vector<std::string> openedNames;  // every successful or failed open, in order
  int32_t nextHandle = 10;
  // Fault injection: the allocation with this 0-based number fails (-1: none);
  // reads and writes of these handles stop short.
  long failAllocation = -1;
  long allocations = 0;
  long liveAllocations = 0;
  int32_t shortWriteHandle = -1;
  int32_t failingCloseHandle = -1;

  static MemoryCabinetFiles& instance();
  void reset();

  // Creates (or truncates) a file and opens it for writing; -1 never.
  int32_t createFile(const std::string& name);
};

void* memoryAlloc(uint32_t size);
void memoryFree(void* memory);
int32_t memoryOpen(const char* name, int32_t flags, int32_t mode);
uint32_t memoryRead(int32_t handle, void* buffer, uint32_t count);
uint32_t memoryWrite(int32_t handle, const void* buffer, uint32_t count);
int32_t memoryClose(int32_t handle);
int32_t memorySeek(int32_t handle, int32_t offset, int32_t origin);

// cabinetCreate with the callbacks above.
CabinetDecoder* createMemoryCabinetDecoder(CabinetError* error);

}  // namespace ks::test
