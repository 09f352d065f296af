// bench_download: a 256 MiB HTTP download over loopback through the engine
// (worker thread, libcurl client, status texts on the page) against the
// curl command fetching the same URL; the engine's peak memory for a 16 MiB
// and a 256 MiB file, and for 256 MiB with the package's SHA-256 checked,
// each measured in a process of its own; and one 5 GiB download, whose
// size, file and last progress line must be right beyond 32 bits.
//
//   bench_download [benchmark options]   run everything, summary at the end
//   bench_download --serve               (helper) the loopback HTTP server
//   bench_download --fetch URL FILE [SHA256]
//                                        (helper) one engine download, the
//                                        digest checked when given; prints
//                                        its peak resident set in KiB

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "catalog/sha256_text.h"
#include "child_process.h"
#include "engine_fetch.h"
#include "loopback_server.h"
#include "platform/posix/openssl_hashing.h"

namespace ks::bench {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kLargeBytes = 256 * kMiB;
constexpr std::uint64_t kSmallBytes = 16 * kMiB;
constexpr std::uint64_t kHugeBytes = 5 * 1024 * kMiB;  // beyond every 32-bit count
constexpr double kThroughputGoal = 0.8;                // engine / curl

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
  Measured hashedMemory;  // 256 MiB, SHA-256 checked
  // The 5 GiB download: its time, whether the file is whole, the line.
  Measured huge;
  bool hugeWhole = false;
  std::string hugeProgress;
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
                     return fetchThroughEngine(urlFor(kLargeBytes), target.string(),
                                               FetchOptions{.withTexts = withTexts});
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

// The digest of the server's body of that many bytes.
std::string bodyDigest(std::uint64_t bytes) {
  OpensslHashing hashing;
  const auto sha256 = hashing.newSha256();
  const std::vector<char>& block = bodyPattern();
  for (std::uint64_t left = bytes; left > 0;) {
    const std::size_t now = left < block.size() ? static_cast<std::size_t>(left) : block.size();
    sha256->update(block.data(), now);
    left -= now;
  }
  Sha256Digest digest{};
  sha256->finish(digest);
  return sha256Text(digest);
}

// The engine's peak memory for one download, in a fresh process, so that
// nothing else the benchmark did counts; with the package's digest checked
// when hashed.
std::optional<Measured> engineMemory(std::uint64_t bytes, bool hashed) {
  const fs::path target = session().folder / ("memory-" + std::to_string(bytes) + ".bin");
  std::vector<std::string> command = {ownExecutable(), "--fetch", urlFor(bytes), target.string()};
  if (hashed) command.push_back(bodyDigest(bytes));
  ChildProcess child(command, true);
  const std::string peak = child.readLine();
  const ChildResult result = child.wait();
  const bool whole = holds(target, bytes);
  fs::remove(target);
  if (!result.exited || result.exitCode != 0 || !whole || peak.empty()) {
    std::fprintf(stderr, "engine download of %llu bytes failed\n",
                 static_cast<unsigned long long>(bytes));
    return std::nullopt;
  }
  return Measured{bytes, 0, std::stol(peak)};
}

void measureEngineMemory(std::uint64_t bytes) {
  if (const auto measured = engineMemory(bytes, false)) session().engineMemory[bytes] = *measured;
}

// Once: 5 GiB through the engine with the texts on, as the page runs it.
void measureHugeDownload() {
  const fs::path target = session().folder / "huge.bin";
  const auto begin = std::chrono::steady_clock::now();
  const bool ok =
      fetchThroughEngine(urlFor(kHugeBytes), target.string(), {}, &session().hugeProgress);
  session().huge = Measured{kHugeBytes, secondsSince(begin), 0};
  session().hugeWhole = ok && holds(target, kHugeBytes);
  std::error_code ignored;
  fs::remove(target, ignored);
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
  std::printf("%-40s", "download of 256 MiB, SHA-256 checked");
  if (s.hashedMemory.peakKib == 0) {
    std::printf(" %14s\n", "failed");
  } else {
    std::printf(" %14ld\n", s.hashedMemory.peakKib);
  }
  std::printf("\n%-40s %s in %.1f s (%.1f MiB/s)\n", "download of 5 GiB",
              s.hugeWhole ? "whole" : "FAILED", s.huge.seconds, s.huge.mibPerSecond());
  const std::string expected = "5.00 GB of 5.00 GB received (100%) - ";
  std::printf("%-40s %s\n%-40s %s\n", "  last progress line", s.hugeProgress.c_str(), "",
              s.hugeProgress.rfind(expected, 0) == 0 ? "(as expected)" : "(NOT as expected)");
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
  if (const auto hashed = engineMemory(kLargeBytes, true)) session().hashedMemory = *hashed;
  measureHugeDownload();
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
    if (argc != 4 && argc != 5) return 2;
    ks::bench::FetchOptions options;
    ks::Sha256Digest digest{};
    if (argc == 5) {
      if (!ks::parseSha256Text(argv[4], digest)) return 2;
      options.sha256 = digest;
    }
    const bool ok = ks::bench::fetchThroughEngine(argv[2], argv[3], options);
    std::printf("%ld\n", ks::bench::ownPeakResidentKib());
    return ok ? 0 : 1;
  }
  return ks::bench::runBenchmarks(argc, argv);
}
