// Decoder speed goals, measured side by side in one run:
//   - MSZIP decode against zlib's inflate on identical DEFLATE streams (the
//     same 32 KiB blocks, each with the previous block as dictionary), over
//     text-like data, executable-like binary data and a real executable
//     (built by MinGW-w64): goal ours / zlib >= 1.5 on each;
//   - Quantum decode throughput against zlib's inflate of the same content:
//     goal Quantum / zlib >= 0.3 on text, >= 0.2 on the two binary shapes.
// Throughput counts uncompressed bytes. A summary with the ratios follows
// the benchmark table.

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "cabinet/mszip.h"
#include "cabinet/quantum.h"
#include "tests/unit/decoder_samples/sample_data.h"
#include "tests/unit/mszip/zlib_mszip_blocks.h"
#include "tools/cabwriter/quantum_encoder.h"

namespace {

constexpr size_t kContentSize = 4 << 20;  // 128 blocks (the executable has fewer)
constexpr uint32_t kBlockSize = 32768;
constexpr int kQuantumWindowBits = 21;

void* benchAlloc(uint32_t size) {
  return std::malloc(size);
}
void benchFree(void* memory) {
  std::free(memory);
}

struct Content {
  std::vector<uint8_t> data;
  std::vector<std::vector<uint8_t>> mszipBlocks;    // "CK" + DEFLATE
  std::vector<std::vector<uint8_t>> quantumBlocks;  // our encoder's
};

const Content& content(const std::string& shape) {
  static std::map<std::string, Content> cache;
  auto found = cache.find(shape);
  if (found != cache.end()) return found->second;
  Content c;
  if (shape == "text") {
    c.data = ks::samples::textSample(kContentSize);
  } else if (shape == "binary") {
    c.data = ks::samples::binarySample(kContentSize);
  } else {
    c.data = ks::samples::executableSample(kContentSize);
    c.data.resize(c.data.size() / kBlockSize * kBlockSize);  // whole blocks only
  }
  c.mszipBlocks = ks::samples::mszipCompressFolder(c.data, Z_DEFAULT_COMPRESSION);
  ks::cabwriter::QuantumEncoder encoder(kQuantumWindowBits);
  for (size_t offset = 0; offset < c.data.size(); offset += kBlockSize) {
    std::vector<uint8_t> compressed;
    encoder.encodeBlock(std::span(c.data).subspan(offset, kBlockSize), compressed);
    c.quantumBlocks.push_back(std::move(compressed));
  }
  return cache.emplace(shape, std::move(c)).first->second;
}

void mszipDecode(benchmark::State& state, const std::string& shape) {
  const Content& c = content(shape);
  uint32_t maximum = kBlockSize;
  uint32_t inputSize = 0;
  MszipDecoder* decoder = nullptr;
  mszipCreate(&maximum, benchAlloc, benchFree, &inputSize, &decoder);
  std::vector<uint8_t> output(kBlockSize);
  for (auto _ : state) {
    for (const auto& block : c.mszipBlocks) {
      uint32_t size = kBlockSize;
      if (mszipDecompress(decoder, block.data(), static_cast<uint32_t>(block.size()), output.data(),
                          &size) != DECODER_OK) {
        state.SkipWithError("MSZIP decode failed");
        break;
      }
      benchmark::DoNotOptimize(output.data());
    }
  }
  if (std::memcmp(output.data(), c.data.data() + c.data.size() - kBlockSize, kBlockSize) != 0) {
    state.SkipWithError("MSZIP output differs");
  }
  mszipDestroy(decoder);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.data.size()));
}

void zlibInflate(benchmark::State& state, const std::string& shape) {
  const Content& c = content(shape);
  z_stream stream{};
  inflateInit2(&stream, -15);
  std::vector<uint8_t> outputs[2] = {std::vector<uint8_t>(kBlockSize),
                                     std::vector<uint8_t>(kBlockSize)};
  for (auto _ : state) {
    for (size_t i = 0; i < c.mszipBlocks.size(); ++i) {
      const auto& block = c.mszipBlocks[i];
      std::vector<uint8_t>& output = outputs[i & 1];
      inflateReset(&stream);
      if (i > 0) inflateSetDictionary(&stream, outputs[(i - 1) & 1].data(), kBlockSize);
      stream.next_in = const_cast<Bytef*>(block.data() + 2);
      stream.avail_in = static_cast<uInt>(block.size() - 2);
      stream.next_out = output.data();
      stream.avail_out = kBlockSize;
      if (inflate(&stream, Z_FINISH) != Z_STREAM_END) {
        state.SkipWithError("inflate failed");
        break;
      }
      benchmark::DoNotOptimize(output.data());
    }
  }
  inflateEnd(&stream);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.data.size()));
}

void quantumDecode(benchmark::State& state, const std::string& shape) {
  const Content& c = content(shape);
  uint32_t maximum = kBlockSize;
  uint32_t inputSize = 0;
  QuantumConfiguration configuration{kQuantumWindowBits, 1};
  QuantumDecoder* decoder = nullptr;
  quantumCreate(&maximum, &configuration, benchAlloc, benchFree, &inputSize, &decoder, nullptr,
                nullptr, nullptr, nullptr, nullptr);
  std::vector<uint8_t> output(kBlockSize);
  for (auto _ : state) {
    quantumReset(decoder);
    for (const auto& block : c.quantumBlocks) {
      uint32_t size = kBlockSize;
      if (quantumDecompress(decoder, block.data(), static_cast<uint32_t>(block.size()),
                            output.data(), &size) != DECODER_OK) {
        state.SkipWithError("Quantum decode failed");
        break;
      }
      benchmark::DoNotOptimize(output.data());
    }
  }
  if (std::memcmp(output.data(), c.data.data() + c.data.size() - kBlockSize, kBlockSize) != 0) {
    state.SkipWithError("Quantum output differs");
  }
  quantumDestroy(decoder);
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * c.data.size()));
}

// Collects every run's throughput for the summary.
class SummaryReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      auto counter = run.counters.find("bytes_per_second");
      if (counter != run.counters.end() && !run.error_occurred) {
        // Names carry a "/min_time:..." suffix.
        const std::string name = run.benchmark_name();
        throughput[name.substr(0, name.find("/min_time"))] = counter->second.value;
      }
    }
  }
  std::map<std::string, double> throughput;
};

struct ShapeGoals {
  const char* shape;
  double mszip;    // MSZIP / zlib at least
  double quantum;  // Quantum / zlib at least
};
constexpr ShapeGoals kShapes[] = {
    {"text", 1.5, 0.3}, {"binary", 1.5, 0.2}, {"executable", 1.5, 0.2}};

}  // namespace

int main(int argc, char** argv) {
  for (const ShapeGoals& goals : kShapes) {
    const std::string s = goals.shape;
    benchmark::RegisterBenchmark(("MszipDecode/" + s).c_str(), mszipDecode, s)->MinTime(1.0);
    benchmark::RegisterBenchmark(("ZlibInflate/" + s).c_str(), zlibInflate, s)->MinTime(1.0);
    benchmark::RegisterBenchmark(("QuantumDecode/" + s).c_str(), quantumDecode, s)->MinTime(1.0);
  }
  benchmark::Initialize(&argc, argv);
  SummaryReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);

  std::printf("\nDecoder speed summary (uncompressed MB/s; ratio to zlib inflate)\n");
  bool allMet = true;
  for (const ShapeGoals& goals : kShapes) {
    const std::string s = goals.shape;
    const double zlib = reporter.throughput["ZlibInflate/" + s];
    const double mszip = reporter.throughput["MszipDecode/" + s];
    const double quantum = reporter.throughput["QuantumDecode/" + s];
    if (zlib <= 0) continue;
    const double mszipRatio = mszip / zlib;
    const double quantumRatio = quantum / zlib;
    std::printf(
        "  %-10s zlib %7.1f  MSZIP %7.1f  ratio %.2f (goal >= %.1f)  Quantum %6.1f  "
        "ratio %.3f (goal >= %.1f)\n",
        goals.shape, zlib / 1e6, mszip / 1e6, mszipRatio, goals.mszip, quantum / 1e6, quantumRatio,
        goals.quantum);
    allMet = allMet && mszipRatio >= goals.mszip && quantumRatio >= goals.quantum;
  }
  std::printf("  goals %s\n", allMet ? "met" : "NOT met");
  benchmark::Shutdown();
  return 0;
}
