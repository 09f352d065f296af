#include "download/minimum_speed.h"

#include <algorithm>

namespace ks {

MinimumSpeed::MinimumSpeed(std::uint32_t bytesPerSecond, std::chrono::milliseconds window,
                           Clock::time_point start)
    : neededBytes_(static_cast<std::uint64_t>(bytesPerSecond) *
                   static_cast<std::uint64_t>(window.count()) / 1000),
      window_(window),
      sliceLength_(
          std::max<std::chrono::milliseconds>(window / kSlices, std::chrono::milliseconds(1))),
      start_(start) {}

// Slices that end before the window are forgotten.
void MinimumSpeed::advanceTo(std::uint64_t slice) {
  const std::uint64_t steps = std::min<std::uint64_t>(slice - currentSlice_, kSlices);
  for (std::uint64_t i = 1; i <= steps; ++i) {
    std::uint64_t& dropped = slices_[(currentSlice_ + i) % kSlices];
    inWindow_ -= dropped;
    dropped = 0;
  }
  currentSlice_ = slice;
}

bool MinimumSpeed::keepsUp(std::uint32_t bytes, Clock::time_point now) {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(now - start_);
  if (elapsed.count() < 0) return true;
  const auto slice = static_cast<std::uint64_t>(elapsed / sliceLength_);
  if (slice > currentSlice_) advanceTo(slice);
  slices_[currentSlice_ % kSlices] += bytes;
  inWindow_ += bytes;
  return elapsed < window_ || inWindow_ >= neededBytes_;
}

}  // namespace ks
