#pragma once
// Alloc and free callbacks for decoder tests: they count, can refuse chosen
// allocations, and keep freed blocks until reset() so that a destroyed handle
// can still be passed in (its cleared tag must be refused).

#include <cstdint>
#include <cstdlib>
#include <set>
#include <vector>

namespace ks::testing {

struct TestAllocator {
  // Allocation number (1-based) to refuse, 0 for none.
  static inline int refuseAllocation = 0;
  // Every request larger than this is refused.
  static inline uint32_t refuseSizesAbove = UINT32_MAX;
  // Requests of exactly limitedSize bytes are granted limitedSizeGrants
  // times, then refused (limitedSize 0: no such limit).
  static inline uint32_t limitedSize = 0;
  static inline int limitedSizeGrants = 0;
  static inline int allocations = 0;
  static inline std::set<void*> live;
  static inline std::vector<void*> freed;

  static void reset() {
    refuseAllocation = 0;
    refuseSizesAbove = UINT32_MAX;
    limitedSize = 0;
    limitedSizeGrants = 0;
    allocations = 0;
    for (void* p : freed) std::free(p);
    freed.clear();
  }
  // Releases the kept blocks when the test program ends.
  struct KeptBlocksRelease {
    ~KeptBlocksRelease() { reset(); }
  };
  static inline KeptBlocksRelease release;

  static void* alloc(uint32_t size) {
    ++allocations;
    if (allocations == refuseAllocation || size > refuseSizesAbove) return nullptr;
    if (limitedSize != 0 && size == limitedSize && limitedSizeGrants-- <= 0) return nullptr;
    void* p = std::malloc(size == 0 ? 1 : size);
    live.insert(p);
    return p;
  }
  static void free(void* p) {
    if (live.erase(p) == 0) std::abort();  // freeing what was not allocated
    freed.push_back(p);
  }
};

}  // namespace ks::testing
