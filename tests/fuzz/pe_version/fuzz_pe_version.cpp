// Any file is read as a PE program: its version resource is extracted and
// queried the way the "FileVersion" probe does. The fixtures seed the corpus.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <span>
#include <string>
#include <vector>

#include "catalog/version_block.h"
#include "platform/pe/pe_resources.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ks::pe::MemorySource source(std::span<const std::uint8_t>(data, size));
  std::vector<std::uint8_t> block;
  if (!ks::pe::readVersionResource(source, block)) return 0;
  if (block.size() > ks::pe::kMaxVersionResourceBytes) __builtin_trap();
  std::vector<std::uint8_t> translation;
  if (!ks::queryVersionValue(block, "\\VarFileInfo\\Translation", translation)) return 0;
  if (translation.size() > block.size()) __builtin_trap();
  if (translation.size() < 4) return 0;
  char name[64];
  std::snprintf(name, sizeof name, "\\StringFileInfo\\%02x%02x%02x%02x\\FileVersion",
                translation[1], translation[0], translation[3], translation[2]);
  std::string text;
  if (ks::queryVersionString(block, name, text) && text.size() * 2 > block.size()) {
    __builtin_trap();  // each character takes two bytes of the block
  }
  return 0;
}
