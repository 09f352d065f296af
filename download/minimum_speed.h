#pragma once
// The minimum speed of a transfer: it fails once fewer bytes arrived over
// the last window than the minimum per second asks for. Nothing is judged
// before one whole window has passed since the data began.

#include <array>
#include <chrono>
#include <cstdint>

namespace ks {

class MinimumSpeed {
 public:
  using Clock = std::chrono::steady_clock;

  MinimumSpeed(std::uint32_t bytesPerSecond, std::chrono::milliseconds window,
               Clock::time_point start);

  // Counts bytes that arrived at now; false when the transfer is too slow.
  bool keepsUp(std::uint32_t bytes, Clock::time_point now);

 private:
  // The window is kept as this many slices of arrivals; the oldest slice
  // drops out as a new one begins.
  static constexpr std::size_t kSlices = 60;

  void advanceTo(std::uint64_t slice);

  std::uint64_t neededBytes_;
  std::chrono::milliseconds window_;
  std::chrono::milliseconds sliceLength_;
  Clock::time_point start_;
  std::array<std::uint64_t, kSlices> slices_{};
  std::uint64_t currentSlice_ = 0;
  std::uint64_t inWindow_ = 0;
};

}  // namespace ks
