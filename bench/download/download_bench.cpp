// bench_download: a 256 MiB HTTP download over loopback through the engine
// (worker thread, libcurl client, status texts on the page) against the
// curl command fetching the same URL, and the engine's peak memory for a
// 16 MiB and a 256 MiB file, each measured in a process of its own.
//
//   bench_download [benchmark options]   run everything, summary at the end
//   bench_download --serve               (helper) the loopback HTTP server
//   bench_download --fetch URL FILE      (helper) one engine download; prints
//                                        its peak resident set in KiB

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>
#include <string_view>
#include <system_error>

#include "child_process.h"
#include "engine_fetch.h"
#include "loopback_server.h"

namespace ks::bench {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kLargeBytes = 256 * kMiB;
constexpr std::uint64_t kSmallBytes = 16 * kMiB;
constexpr double kThroughputGoal = 0.8;  // engine / curl

constexpr const char* kEngineWithTexts = "engine, status texts on (as the page)";
constexpr const char* kEngineWithoutTexts = "engine, no status texts";
constexpr const char* kCurlCommand = "curl command line";

// A folder for the downloaded files, removed with everything in it.
class TempFolder {
 public:
  TempFolder() {
    std::string pattern = (fs::temp_directory_path() / "ks-bench-download-XXXXXX").string();
    if (::mkdtemp(pattern.data()) != nullptr) path_ = pattern;
  }
  ~TempFolder() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

struct Measured {
  std::uint64_t bytes = 0;
  double seconds = 0;
  long peakKib = 0;
  double mibPerSecond() const {
    return seconds > 0 ? static_cast<double>(bytes) / static_cast<double>(kMiB) / seconds : 0;
  }
};

// What the run found out, for the summary.
struct Session {
  std::string baseUrl;
  fs::path folder;
  std::map<std::string, Measured> throughput;
  std::map<std::uint64_t, Measured> engineMemory;
};

Session& session() {
  static Session instance;
  return instance;
}

std::string urlFor(std::uint64_t bytes) {
  return session().baseUrl + "/bytes/" + std::to_string(bytes);
}

bool holds(const fs::path& file, std::uint64_t bytes) {
  std::error_code error;
  return fs::file_size(file, error) == bytes && !error;
}

double secondsSince(std::chrono::steady_clock::time_point begin) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

// One transfer per iteration: `fetch` downloads the large file into target.
template <typename Fetch>
void measureDownloads(benchmark::State& state, const char* name, Fetch fetch) {
  const fs::path target = session().folder / "large.bin";
  Measured& measured = session().throughput[name];
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    const bool ok = fetch(target, measured);
    const double seconds = secondsSince(begin);
    if (!ok || !holds(target, kLargeBytes)) {
      state.SkipWithError("the download failed or is incomplete");
      break;
    }
    measured.bytes += kLargeBytes;
    measured.seconds += seconds;
    state.PauseTiming();
    fs::remove(target);
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(measured.bytes));
}

void engineDownload(benchmark::State& state, bool withTexts) {
  measureDownloads(state, withTexts ? kEngineWithTexts : kEngineWithoutTexts,
                   [&](const fs::path& target, Measured&) {
                     return fetchThroughEngine(urlFor(kLargeBytes), target.string(), withTexts);
                   });
}

void curlDownload(benchmark::State& state) {
  measureDownloads(state, kCurlCommand, [](const fs::path& target, Measured&) {
    ChildProcess curl({"curl", "--silent", "--show-error", "--fail", "--output", target.string(),
                       urlFor(kLargeBytes)},
                      false);
    const ChildResult result = curl.wait();
    return result.exited && result.exitCode == 0;
  });
}

BENCHMARK_CAPTURE(engineDownload, with_texts_256MiB, true)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(curlDownload)
    ->Name("curlCommand/256MiB")
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK_CAPTURE(engineDownload, no_texts_256MiB, false)
    ->Iterations(3)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

// The engine's peak memory for one download, in a fresh process, so that
// nothing else the benchmark did counts.
void measureEngineMemory(std::uint64_t bytes) {
  const fs::path target = session().folder / ("memory-" + std::to_string(bytes) + ".bin");
  ChildProcess child({ownExecutable(), "--fetch", urlFor(bytes), target.string()}, true);
  const std::string peak = child.readLine();
  const ChildResult result = child.wait();
  if (!result.exited || result.exitCode != 0 || !holds(target, bytes) || peak.empty()) {
    std::fprintf(stderr, "engine download of %llu bytes failed\n",
                 static_cast<unsigned long long>(bytes));
    return;
  }
  session().engineMemory[bytes] = Measured{bytes, 0, std::stol(peak)};
  fs::remove(target);
}

void printSummary() {
  const Session& s = session();
  std::printf("\n=== bench_download summary (HTTP over 127.0.0.1, %llu MiB per transfer) ===\n",
              static_cast<unsigned long long>(kLargeBytes / kMiB));
  std::printf("%-40s %12s %10s\n", "download", "MiB/s", "runs");
  for (const char* name : {kEngineWithTexts, kEngineWithoutTexts, kCurlCommand}) {
    const auto found = s.throughput.find(name);
    if (found == s.throughput.end() || found->second.bytes == 0) {
      std::printf("%-40s %12s\n", name, "failed");
      continue;
    }
    const Measured& m = found->second;
    std::printf("%-40s %12.1f %10llu\n", name, m.mibPerSecond(),
                static_cast<unsigned long long>(m.bytes / kLargeBytes));
  }
  const auto engine = s.throughput.find(kEngineWithTexts);
  const auto curl = s.throughput.find(kCurlCommand);
  if (engine != s.throughput.end() && curl != s.throughput.end() &&
      curl->second.mibPerSecond() > 0) {
    const double ratio = engine->second.mibPerSecond() / curl->second.mibPerSecond();
    std::printf("%-40s %12.3f   (goal >= %.2f: %s)\n", "engine / curl (status texts on)", ratio,
                kThroughputGoal, ratio >= kThroughputGoal ? "met" : "NOT met");
  }
  std::printf("\n%-40s %14s\n", "engine peak memory (own process)", "VmHWM KiB");
  for (const std::uint64_t bytes : {kSmallBytes, kLargeBytes}) {
    const auto found = s.engineMemory.find(bytes);
    std::printf("%-40s", ("download of " + std::to_string(bytes / kMiB) + " MiB").c_str());
    if (found == s.engineMemory.end()) {
      std::printf(" %14s\n", "failed");
    } else {
      std::printf(" %14ld\n", found->second.peakKib);
    }
  }
  const auto small = s.engineMemory.find(kSmallBytes);
  const auto large = s.engineMemory.find(kLargeBytes);
  if (small != s.engineMemory.end() && large != s.engineMemory.end()) {
    std::printf("%-40s %14ld   (file 16x larger)\n", "difference 256 MiB - 16 MiB",
                large->second.peakKib - small->second.peakKib);
  }
}

int runBenchmarks(int argc, char** argv) {
  TempFolder folder;
  if (folder.path().empty()) {
    std::fprintf(stderr, "no temporary folder\n");
    return 1;
  }
  ChildProcess server({ownExecutable(), "--serve"}, true);
  const std::string port = server.started() ? server.readLine() : std::string();
  if (port.empty()) {
    std::fprintf(stderr, "the loopback server did not start\n");
    return 1;
  }
  session().baseUrl = "http://127.0.0.1:" + port;
  session().folder = folder.path();
  std::printf("loopback server: %s (pid of its own, ended with the run)\n",
              session().baseUrl.c_str());

  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  measureEngineMemory(kSmallBytes);
  measureEngineMemory(kLargeBytes);
  printSummary();
  benchmark::Shutdown();
  return 0;
}

}  // namespace

}  // namespace ks::bench

int main(int argc, char** argv) {
  const std::string_view mode = argc >= 2 ? argv[1] : "";
  if (mode == "--serve") return ks::bench::runLoopbackServer();
  if (mode == "--fetch") {
    if (argc != 4) return 2;
    const bool ok = ks::bench::fetchThroughEngine(argv[2], argv[3]);
    std::printf("%ld\n", ks::bench::ownPeakResidentKib());
    return ok ? 0 : 1;
  }
  return ks::bench::runBenchmarks(argc, argv);
}
