#include "tests/unit/posix_platform/temp_home.h"

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <vector>

namespace ks::test {

TempHome::TempHome() {
  std::string pattern = std::filesystem::temp_directory_path().string() + "/ks-home-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) ADD_FAILURE() << "mkdtemp failed";
  path_ = buffer.data();
  ::setenv("HOME", path_.c_str(), 1);
  ::setenv("XDG_CONFIG_HOME", configHome().c_str(), 1);
  ::setenv("XDG_DATA_HOME", dataHome().c_str(), 1);
}

TempHome::~TempHome() {
  std::error_code ignored;
  std::filesystem::remove_all(path_, ignored);
}

std::string readWholeFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

void writeWholeFile(const std::string& path, const std::string& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << content;
}

}  // namespace ks::test
