// bench_hash: the SHA-256 of a 256 MiB file as the setup checks a package
// (download/file_digest.h: read through the file system port, hashed through
// the hashing port, OpenSSL EVP here) against the sha256sum command on the
// same file, both with the file in the page cache. Goal: the setup takes
// less than 1.2 times as long as sha256sum.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <system_error>
#include <vector>

#include "catalog/sha256_text.h"
#include "child_process.h"
#include "download/file_digest.h"
#include "platform/posix/openssl_hashing.h"
#include "platform/posix/posix_file_system.h"

namespace ks::bench {

namespace {

namespace fs = std::filesystem;

constexpr std::uint64_t kMiB = 1024 * 1024;
constexpr std::uint64_t kFileBytes = 256 * kMiB;
constexpr double kGoal = 1.2;  // setup / sha256sum
constexpr int kRuns = 5;

constexpr const char* kSetup = "setup (file system port + OpenSSL EVP)";
constexpr const char* kCommand = "sha256sum command";

struct Session {
  std::string file;
  std::vector<double> setupSeconds;
  std::vector<double> commandSeconds;
  std::string setupDigest;
  std::string commandDigest;
};

Session& session() {
  static Session instance;
  return instance;
}

// Bytes no compressor or shortcut could make light of (xorshift).
bool writeFile(const std::string& path) {
  std::ofstream out(path, std::ios::binary);
  std::vector<std::uint64_t> block(kMiB / sizeof(std::uint64_t));
  std::uint64_t state = 0x9e3779b97f4a7c15ull;
  for (std::uint64_t written = 0; written < kFileBytes; written += kMiB) {
    for (std::uint64_t& word : block) {
      state ^= state << 13;
      state ^= state >> 7;
      state ^= state << 17;
      word = state;
    }
    out.write(reinterpret_cast<const char*>(block.data()), static_cast<std::streamsize>(kMiB));
  }
  return static_cast<bool>(out);
}

double secondsSince(std::chrono::steady_clock::time_point begin) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count();
}

void setupHash(benchmark::State& state) {
  PosixFileSystem files;
  OpensslHashing hashing;
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    Sha256Digest digest{};
    if (!sha256OfFile(files, hashing, session().file, digest)) {
      state.SkipWithError("the file could not be hashed");
      break;
    }
    session().setupSeconds.push_back(secondsSince(begin));
    session().setupDigest = sha256Text(digest);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

void commandHash(benchmark::State& state) {
  for (auto _ : state) {
    const auto begin = std::chrono::steady_clock::now();
    ChildProcess command({"sha256sum", session().file}, true);
    const std::string line = command.readLine();
    const ChildResult result = command.wait();
    if (!result.exited || result.exitCode != 0 || line.size() < 64) {
      state.SkipWithError("sha256sum failed");
      break;
    }
    session().commandSeconds.push_back(secondsSince(begin));
    session().commandDigest = line.substr(0, 64);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * kFileBytes));
}

BENCHMARK(setupHash)
    ->Name("setup/256MiB")
    ->Iterations(kRuns)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();
BENCHMARK(commandHash)
    ->Name("sha256sum/256MiB")
    ->Iterations(kRuns)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

double mean(const std::vector<double>& values) {
  double sum = 0;
  for (double v : values) sum += v;
  return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

double best(const std::vector<double>& values) {
  return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
}

void printSummary() {
  const Session& s = session();
  std::printf("\n=== bench_hash summary (SHA-256 of a %llu MiB file in the page cache) ===\n",
              static_cast<unsigned long long>(kFileBytes / kMiB));
  std::printf("%-42s %10s %10s %6s\n", "", "best s", "mean s", "runs");
  std::printf("%-42s %10.3f %10.3f %6zu\n", kSetup, best(s.setupSeconds), mean(s.setupSeconds),
              s.setupSeconds.size());
  std::printf("%-42s %10.3f %10.3f %6zu\n", kCommand, best(s.commandSeconds),
              mean(s.commandSeconds), s.commandSeconds.size());
  if (!s.setupSeconds.empty() && !s.commandSeconds.empty()) {
    const double ratio = mean(s.setupSeconds) / mean(s.commandSeconds);
    std::printf("%-42s %10.3f   (goal < %.1f: %s)\n", "setup / sha256sum (means)", ratio, kGoal,
                ratio < kGoal ? "met" : "NOT met");
    std::printf("%-42s %10.3f\n", "setup / sha256sum (bests)",
                best(s.setupSeconds) / best(s.commandSeconds));
  }
  std::printf("%-42s %s\n", "digests agree",
              !s.setupDigest.empty() && s.setupDigest == s.commandDigest ? "yes" : "NO");
}

int runBenchmarks(int argc, char** argv) {
  std::string pattern = (fs::temp_directory_path() / "ks-bench-hash-XXXXXX").string();
  if (::mkdtemp(pattern.data()) == nullptr) return 1;
  const fs::path folder = pattern;
  session().file = (folder / "package.bin").string();
  int status = 1;
  if (writeFile(session().file)) {
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    printSummary();
    benchmark::Shutdown();
    status = 0;
  }
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  return status;
}

}  // namespace

}  // namespace ks::bench

int main(int argc, char** argv) {
  return ks::bench::runBenchmarks(argc, argv);
}
