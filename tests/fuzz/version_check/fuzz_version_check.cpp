// Any expression text is evaluated; the result never outgrows its field.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "catalog/catalog_records.h"
#include "catalog/version_check.h"
#include "tests/fuzz/support/memory_platform.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ks::fuzz::MemoryPlatform platform;
  ks::SetupContext context;
  context.platform = platform.ports();
  context.state.installDir = "/opt/%WindowsDir%/%InstallDir%";
  context.state.systemDir = std::string(200, 's');
  context.state.windowsDir = "/usr";
  const std::string expression(reinterpret_cast<const char*>(data), size);
  std::string result;
  ks::evaluateVersionCheck(context, expression, result);
  if (result.size() >= ks::kVersionBytes) std::abort();
  std::string left = expression.substr(0, size / 2);
  std::string right = expression.substr(size / 2);
  const bool below = ks::versionIsBelow(left, right);
  if (below && ks::versionIsBelow(right, left)) std::abort();
  return 0;
}
