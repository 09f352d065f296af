#include "tests/support/temp_dir.h"

#include <filesystem>
#include <fstream>
#include <random>

namespace ks::test {

TempDir::TempDir() {
  namespace fs = std::filesystem;
  std::random_device random;
  // create_directory is false for a name that exists: try the next one.
  for (int attempt = 0; attempt < 100 && path_.empty(); ++attempt) {
    const fs::path candidate = fs::temp_directory_path() / ("ks-test-" + std::to_string(random()));
    std::error_code error;
    if (fs::create_directory(candidate, error)) path_ = candidate.string();
  }
}

TempDir::~TempDir() {
  std::error_code ignored;
  if (!path_.empty()) std::filesystem::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& relative, const std::string& content) const {
  const std::filesystem::path full = std::filesystem::path(path_) / relative;
  std::filesystem::create_directories(full.parent_path());
  std::ofstream(full, std::ios::binary) << content;
  return full.string();
}

}  // namespace ks::test
