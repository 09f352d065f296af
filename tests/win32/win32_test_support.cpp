#include "tests/win32/win32_test_support.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

#include "platform/win32/wide_text.h"

namespace ks::test {

WideTempFolder::WideTempFolder(const std::wstring& marker) {
  namespace fs = std::filesystem;
  std::random_device random;
  const fs::path folder =
      fs::temp_directory_path() / (L"ks win32 " + marker + L" " + std::to_wstring(random()));
  fs::create_directories(folder);
  widePath_ = folder.wstring();
  path_ = narrow(widePath_).value_or(std::string());
}

WideTempFolder::~WideTempFolder() {
  std::error_code ignored;
  // Read-only files a test left would stop the removal.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(widePath_, ignored)) {
    SetFileAttributesW(entry.path().c_str(), FILE_ATTRIBUTE_NORMAL);
  }
  std::filesystem::remove_all(widePath_, ignored);
}

std::string fileBytes(const std::wstring& path) {
  std::ifstream in(std::filesystem::path(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace ks::test
