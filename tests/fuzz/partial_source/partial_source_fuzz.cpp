// NAME.part.source as it lies in the download folder, where anything may have
// changed it: what it says is taken only when it names this URL, a size and
// a validator that can be sent back in one header line.

#include <cstddef>
#include <cstdint>
#include <string>

#include "download/target_file.h"
#include "tests/fuzz/support/memory_platform.h"

namespace {

// NAME.part is there, with some bytes in it.
class PartialThere : public ks::fuzz::MemoryFileSystem {
 public:
  std::int32_t openForAppending(const std::string&, const std::string&,
                                std::uint64_t& size) override {
    size = 1000;
    return 3;
  }
  bool closeHandle(std::int32_t) override { return true; }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  PartialThere files;
  files.path = "/dl/pkg.cab.part.source";
  files.content.assign(reinterpret_cast<const char*>(data), size);
  const std::string url = "https://user:pw@mirror.example/pub/pkg.cab";
  const ks::Resumable resumable = ks::resumableOf(files, "/dl/pkg.cab", url);
  if (resumable.bytes == 0) return 0;
  if (files.content.rfind("https://mirror.example/pub/pkg.cab\n", 0) != 0) __builtin_trap();
  if (resumable.origin.total < -1) __builtin_trap();
  if (resumable.origin.validator.find_first_of("\r\n") != std::string::npos) __builtin_trap();
  return 0;
}
