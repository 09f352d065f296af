// The Quantum decoder's spill window: page table, memory pages in LRU order,
// spill file I/O through the caller's callbacks.

#include "cabinet/quantum_page_cache.h"

#include <cstring>

namespace ks::cabinet {
namespace {

// The spill file's open arguments: raw, create, read-write; read and write
// permission.
constexpr int32_t kSpillOpenFlags = 0x8102;
constexpr int32_t kSpillOpenMode = 0x0180;
constexpr int32_t kSeekFromStart = 0;

}  // namespace

bool QuantumPageCache::setUp(const QuantumCallbacks& callbacks, uint32_t windowSize) {
  callbacks_ = &callbacks;
  if (callbacks.open == nullptr) return false;

  // The special name: "*", its NUL, then the window size (32 bits, little
  // endian) for an open callback that wants to size the file.
  char name[6] = {'*', '\0'};
  for (int i = 0; i < 4; ++i) name[2 + i] = static_cast<char>((windowSize >> (8 * i)) & 0xFF);
  spillFile_ = callbacks.open(name, kSpillOpenFlags, kSpillOpenMode);
  if (spillFile_ == -1) return false;

  pageTableSize_ = windowSize / kQuantumPageSize;
  if (pageTableSize_ < kQuantumMinimumPages) pageTableSize_ = kQuantumMinimumPages;
  pageTable_ = static_cast<QuantumPageTableEntry*>(
      callbacks.alloc(pageTableSize_ * static_cast<uint32_t>(sizeof(QuantumPageTableEntry))));
  if (pageTable_ == nullptr) {
    tearDown();
    return false;
  }

  // As many memory pages as can be had, up to one per window page.
  uint32_t pages = 0;
  while (pages < pageTableSize_) {
    auto* page = static_cast<QuantumMemoryPage*>(callbacks.alloc(sizeof(QuantumMemoryPage)));
    if (page == nullptr) break;
    page->previous = nullptr;
    page->next = mostRecent_;
    if (mostRecent_ != nullptr) {
      mostRecent_->previous = page;
    } else {
      leastRecent_ = page;
    }
    mostRecent_ = page;
    ++pages;
  }
  if (pages < kQuantumMinimumPages || !reset()) {
    tearDown();
    return false;
  }
  return true;
}

void QuantumPageCache::tearDown() {
  while (mostRecent_ != nullptr) {
    QuantumMemoryPage* next = mostRecent_->next;
    callbacks_->free(mostRecent_);
    mostRecent_ = next;
  }
  leastRecent_ = nullptr;
  outputPage_ = nullptr;
  if (pageTable_ != nullptr) callbacks_->free(pageTable_);
  pageTable_ = nullptr;
  if (spillFile_ != -1) callbacks_->close(spillFile_);
  spillFile_ = -1;
}

bool QuantumPageCache::reset() {
  for (QuantumMemoryPage* page = mostRecent_; page != nullptr; page = page->next) {
    page->windowPage = -1;
    page->dirty = 0;
  }
  std::memset(pageTable_, 0, pageTableSize_ * sizeof(QuantumPageTableEntry));
  outputPage_ = nullptr;
  outputPage_ = fetch(0, true);
  return outputPage_ != nullptr;
}

void QuantumPageCache::moveToFront(QuantumMemoryPage* page) {
  if (page == mostRecent_) return;
  // Unlink (it has a previous page, as it is not the front).
  page->previous->next = page->next;
  if (page->next != nullptr) {
    page->next->previous = page->previous;
  } else {
    leastRecent_ = page->previous;
  }
  page->previous = nullptr;
  page->next = mostRecent_;
  mostRecent_->previous = page;
  mostRecent_ = page;
}

bool QuantumPageCache::writeBack(QuantumMemoryPage* page) {
  const int32_t offset = page->windowPage * static_cast<int32_t>(kQuantumPageSize);
  return callbacks_->seek(spillFile_, offset, kSeekFromStart) == offset &&
         callbacks_->write(spillFile_, page->data, kQuantumPageSize) == kQuantumPageSize;
}

bool QuantumPageCache::load(QuantumMemoryPage* page, uint32_t windowPage) {
  const int32_t offset = static_cast<int32_t>(windowPage * kQuantumPageSize);
  return callbacks_->seek(spillFile_, offset, kSeekFromStart) == offset &&
         callbacks_->read(spillFile_, page->data, kQuantumPageSize) == kQuantumPageSize;
}

QuantumMemoryPage* QuantumPageCache::fetch(uint32_t windowPage, bool forWriting) {
  if (windowPage >= pageTableSize_) return nullptr;
  QuantumPageTableEntry& entry = pageTable_[windowPage];
  if (entry.page != nullptr) {
    moveToFront(entry.page);
    entry.page->dirty |= forWriting ? 1u : 0u;
    return entry.page;
  }
  // A page that was never written holds nothing to read.
  if (entry.onDisk == 0 && !forWriting) return nullptr;

  QuantumMemoryPage* victim = leastRecent_;
  if (victim == outputPage_) return nullptr;
  if (victim->windowPage >= 0) {
    QuantumPageTableEntry& previousOwner = pageTable_[victim->windowPage];
    previousOwner.page = nullptr;
    if (victim->dirty != 0) {
      if (!writeBack(victim)) return nullptr;
      previousOwner.onDisk = 1;
    }
    victim->windowPage = -1;
    victim->dirty = 0;
  }
  moveToFront(victim);
  if (entry.onDisk != 0 && !load(victim, windowPage)) return nullptr;
  entry.page = victim;
  victim->windowPage = static_cast<int32_t>(windowPage);
  victim->dirty = forWriting ? 1u : 0u;
  return victim;
}

}  // namespace ks::cabinet
