// Whole-cabinet extraction, as the setup installs a package: a few MB of
// mixed files in one MSZIP or Quantum cabinet, extracted through the
// FileSystem port into a folder on tmpfs.

#include <benchmark/benchmark.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "install/cabinet_extraction.h"
#include "platform/posix/posix_file_system.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace {

using ks::cabwriter::Compression;

constexpr std::size_t kPackageBytes = 4 * 1024 * 1024;

std::vector<uint8_t> packageData(std::size_t size, uint32_t seed) {
  static const char* const kWords[] = {"setup ",    "kestrova ", "client ", "ftp ",
                                       "transfer ", "queue ",    "folder ", "\r\n"};
  std::vector<uint8_t> data;
  data.reserve(size);
  uint32_t state = seed;
  while (data.size() < size) {
    state = state * 1103515245u + 12345u;
    if ((state >> 28) == 0) {  // now and then a stretch of binary-looking bytes
      for (int i = 0; i < 64 && data.size() < size; ++i)
        data.push_back(static_cast<uint8_t>((state >> (i % 24)) * 31 + i));
      continue;
    }
    for (const char* c = kWords[(state >> 16) % 8]; *c != '\0' && data.size() < size; ++c)
      data.push_back(static_cast<uint8_t>(*c));
  }
  return data;
}

std::string scratchFolder() {
  const std::string base = std::filesystem::exists("/dev/shm") ? "/dev/shm" : "/tmp";
  return base + "/bench_cabinet." + std::to_string(::getpid());
}

// Writes the package once per compression and returns its path.
std::string writePackage(Compression compression, int windowBits) {
  std::vector<ks::cabwriter::WriterFile> files;
  for (int i = 0; i < 8; ++i) {
    ks::cabwriter::WriterFile file;
    file.name = (i % 2 == 0 ? "bin\\part" : "doc\\part") + std::to_string(i) + ".dat";
    file.data = packageData(kPackageBytes / 8, static_cast<uint32_t>(i + 1));
    files.push_back(std::move(file));
  }
  ks::cabwriter::WriterOptions options;
  options.compression = compression;
  options.quantumWindowBits = windowBits;
  options.cabinetName = "package.cab";
  std::vector<ks::cabwriter::CabinetImage> images;
  std::string error;
  if (!ks::cabwriter::writeCabinets(files, options, images, error)) return {};
  const std::string folder = scratchFolder();
  std::filesystem::create_directories(folder);
  const std::string path = folder + "/package-" + std::to_string(static_cast<int>(compression)) +
                           "-" + std::to_string(windowBits) + ".cab";
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(images[0].bytes.data()),
             static_cast<std::streamsize>(images[0].bytes.size()));
  return path;
}

void extractPackage(benchmark::State& state, Compression compression, int windowBits) {
  const std::string package = writePackage(compression, windowBits);
  const std::string destination = scratchFolder() + "/out";
  ks::PosixFileSystem fileSystem;
  for (auto _ : state) {
    state.PauseTiming();
    std::filesystem::remove_all(destination);
    std::filesystem::create_directories(destination);
    state.ResumeTiming();
    if (!ks::extractCabinet(fileSystem, package, destination)) {
      state.SkipWithError("extraction failed");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * kPackageBytes);
  state.counters["package_bytes"] = static_cast<double>(std::filesystem::file_size(package));
  std::filesystem::remove_all(scratchFolder());
}

void BM_ExtractMszip(benchmark::State& state) {
  extractPackage(state, Compression::Mszip, 0);
}
void BM_ExtractQuantum(benchmark::State& state) {
  extractPackage(state, Compression::Quantum, static_cast<int>(state.range(0)));
}
void BM_ExtractStored(benchmark::State& state) {
  extractPackage(state, Compression::Stored, 0);
}

BENCHMARK(BM_ExtractMszip)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractQuantum)->Arg(15)->Arg(21)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ExtractStored)->Unit(benchmark::kMillisecond);

}  // namespace
