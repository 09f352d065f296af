#pragma once
// The Quantum decoder's spill window, a page cache: when the
// window cannot be allocated in memory it lives in a spill file, opened
// through the caller's open callback with the special name "*", and a few
// 4096-byte pages of it are cached in memory.
//
// Window page k holds window positions 4096k to 4096k + 4095 and lives in the
// spill file at offset 4096k. The page table has one entry per window page
// (at least 3): the memory page holding it, if any, and whether it has been
// written to the file. The memory pages (as many as could be allocated up to
// the page-table size, at least 3) form one list from most to least recently
// used; a page is written back only when it was written since it was loaded.

#include <cstdint>

#include "cabinet/cabinet_callbacks.h"

namespace ks::cabinet {

inline constexpr uint32_t kQuantumPageSize = 4096;
inline constexpr uint32_t kQuantumMinimumPages = 3;

// The caller's callbacks, as the handle keeps them.
struct QuantumCallbacks {
  CabinetAlloc alloc;
  CabinetFree free;
  CabinetOpen open;
  CabinetRead read;
  CabinetWrite write;
  CabinetClose close;
  CabinetSeek seek;
};

struct QuantumMemoryPage {
  QuantumMemoryPage* previous;  // towards the most recently used
  QuantumMemoryPage* next;      // towards the least recently used
  int32_t windowPage;           // -1 while it holds none
  uint32_t dirty;
  uint8_t data[kQuantumPageSize];
};

struct QuantumPageTableEntry {
  QuantumMemoryPage* page;
  uint32_t onDisk;
};

class QuantumPageCache {
 public:
  // Opens the spill file and allocates the page table and the memory pages.
  // On failure everything acquired is released and false returned.
  bool setUp(const QuantumCallbacks& callbacks, uint32_t windowSize);

  // Frees the pages and the table and closes the spill file.
  void tearDown();

  // Forgets every page (nothing is written back) and makes window page 0
  // the current output page. False if that fetch fails.
  bool reset();

  // Returns the memory page holding window page k, loading it from the spill
  // file or taking over the least recently used page as needed; null on
  // failure (the victim is the current output page, a seek, read or write
  // fails, or a page never written is read).
  QuantumMemoryPage* fetch(uint32_t windowPage, bool forWriting);

  uint32_t pageTableSize() const { return pageTableSize_; }
  QuantumMemoryPage* outputPage() const { return outputPage_; }
  void setOutputPage(QuantumMemoryPage* page) { outputPage_ = page; }

 private:
  void moveToFront(QuantumMemoryPage* page);
  bool writeBack(QuantumMemoryPage* page);
  bool load(QuantumMemoryPage* page, uint32_t windowPage);

  const QuantumCallbacks* callbacks_ = nullptr;
  int32_t spillFile_ = -1;
  uint32_t pageTableSize_ = 0;
  QuantumPageTableEntry* pageTable_ = nullptr;
  QuantumMemoryPage* mostRecent_ = nullptr;
  QuantumMemoryPage* leastRecent_ = nullptr;
  QuantumMemoryPage* outputPage_ = nullptr;
};

}  // namespace ks::cabinet
