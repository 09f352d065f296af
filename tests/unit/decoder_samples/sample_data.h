#pragma once
// Deterministic sample contents for the decoder tests, fuzz seeds and
// benchmarks: text-like, binary (executable-like), incompressible, runs, and
// a real executable.

#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace ks::samples {

// A small deterministic generator (xorshift64*), so every run sees the same
// bytes.
class SampleRandom {
 public:
  explicit SampleRandom(uint64_t seed) : state_(seed * 0x9E3779B97F4A7C15ull + 1) {}
  uint64_t next() {
    state_ ^= state_ >> 12;
    state_ ^= state_ << 25;
    state_ ^= state_ >> 27;
    return state_ * 0x2545F4914F6CDD1Dull;
  }
  uint32_t below(uint32_t bound) { return static_cast<uint32_t>(next() % bound); }

 private:
  uint64_t state_;
};

// English-like text: words of a small vocabulary, punctuation, line breaks.
inline std::vector<uint8_t> textSample(size_t size, uint64_t seed = 1) {
  static constexpr std::string_view kWords[] = {
      "the",      "setup",   "installs", "a",        "component", "from",    "cabinet",
      "archive",  "folder",  "download", "site",     "version",   "of",      "client",
      "Kestrova", "window",  "and",      "file",     "is",        "with",    "options",
      "network",  "install", "program",  "shortcut", "registry",  "value",   "to",
      "when",     "user",    "selects",  "page",     "wizard",    "next",    "back",
      "in",       "data",    "block",    "MSZIP",    "Quantum",   "decoder", "frame"};
  SampleRandom random(seed);
  std::vector<uint8_t> out;
  out.reserve(size + 16);
  size_t lineLength = 0;
  while (out.size() < size) {
    std::string_view word = kWords[random.below(std::size(kWords))];
    out.insert(out.end(), word.begin(), word.end());
    lineLength += word.size() + 1;
    uint32_t r = random.below(20);
    if (r == 0) {
      out.push_back('.');
    } else if (r == 1) {
      out.push_back(',');
    }
    if (lineLength > 60 + random.below(15)) {
      out.push_back('\n');
      lineLength = 0;
    } else {
      out.push_back(' ');
    }
  }
  out.resize(size);
  return out;
}

// Executable-like binary: tables of small little-endian integers, repeated
// instruction-like byte patterns, zero padding and some noise.
inline std::vector<uint8_t> binarySample(size_t size, uint64_t seed = 2) {
  SampleRandom random(seed);
  std::vector<uint8_t> out;
  out.reserve(size + 64);
  static constexpr uint8_t kPatterns[][6] = {{0x55, 0x8B, 0xEC, 0x83, 0xEC, 0x10},
                                             {0x8B, 0x45, 0x08, 0x50, 0xE8, 0x00},
                                             {0xC3, 0xCC, 0xCC, 0xCC, 0xCC, 0xCC},
                                             {0x89, 0x45, 0xFC, 0x8B, 0x4D, 0x0C}};
  while (out.size() < size) {
    switch (random.below(5)) {
      case 0: {  // a table of increasing 32-bit values
        uint32_t value = random.below(1 << 20);
        for (int i = 0; i < 8; ++i, value += 4 + random.below(3)) {
          for (int b = 0; b < 4; ++b) out.push_back(static_cast<uint8_t>(value >> (8 * b)));
        }
        break;
      }
      case 1:
      case 2: {
        const auto& pattern = kPatterns[random.below(4)];
        out.insert(out.end(), pattern, pattern + 6);
        out.push_back(static_cast<uint8_t>(random.below(256)));
        break;
      }
      case 3:
        out.insert(out.end(), random.below(24), 0);
        break;
      default:
        for (uint32_t n = random.below(12); n > 0; --n) {
          out.push_back(static_cast<uint8_t>(random.next()));
        }
        break;
    }
  }
  out.resize(size);
  return out;
}

// Incompressible bytes.
inline std::vector<uint8_t> randomSample(size_t size, uint64_t seed = 3) {
  SampleRandom random(seed);
  std::vector<uint8_t> out(size);
  for (auto& byte : out) byte = static_cast<uint8_t>(random.next() >> 24);
  return out;
}

// Runs of one byte, of lengths 1 to 600.
inline std::vector<uint8_t> runsSample(size_t size, uint64_t seed = 4) {
  SampleRandom random(seed);
  std::vector<uint8_t> out;
  out.reserve(size + 600);
  while (out.size() < size) {
    out.insert(out.end(), 1 + random.below(600), static_cast<uint8_t>(random.below(4) * 0x41));
  }
  out.resize(size);
  return out;
}

// Real machine code mixing short matches and literals: the first `size`
// bytes (fewer if the file is shorter) of a program built by the MinGW-w64
// compiler. Needs the ks_samples target, which builds it.
inline std::vector<uint8_t> executableSample(size_t size) {
#ifdef KS_SAMPLE_EXECUTABLE
  std::ifstream in(KS_SAMPLE_EXECUTABLE, std::ios::binary);
  std::vector<uint8_t> out(size);
  in.read(reinterpret_cast<char*>(out.data()), static_cast<std::streamsize>(size));
  out.resize(static_cast<size_t>(in.gcount()));
  if (out.empty()) throw std::runtime_error("missing executable sample " KS_SAMPLE_EXECUTABLE);
  return out;
#else
  (void)size;
  throw std::logic_error("the executable sample needs the ks_samples target");
#endif
}

// The shapes of data the decoder tests run over, by name.
enum class Shape { kText, kBinary, kRandom, kRuns, kZeros, kRepeatedBlock, kExecutable };

inline std::vector<uint8_t> sampleOf(Shape shape, size_t size) {
  switch (shape) {
    case Shape::kText:
      return textSample(size);
    case Shape::kBinary:
      return binarySample(size);
    case Shape::kRandom:
      return randomSample(size);
    case Shape::kRuns:
      return runsSample(size);
    case Shape::kZeros:
      break;
    case Shape::kRepeatedBlock: {
      // A random 5000-byte pattern over and over: long matches at distance
      // 5000, inside every window of 16 bits and more.
      std::vector<uint8_t> pattern = randomSample(5000, 9);
      std::vector<uint8_t> out;
      while (out.size() < size) out.insert(out.end(), pattern.begin(), pattern.end());
      out.resize(size);
      return out;
    }
    case Shape::kExecutable:
      return executableSample(size);
  }
  return std::vector<uint8_t>(size, 0);
}

}  // namespace ks::samples
