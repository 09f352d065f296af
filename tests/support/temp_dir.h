#pragma once
// A fresh folder for a test, on every platform.

#include <string>

namespace ks::test {

// A fresh folder under the system's temporary folder, removed with everything
// in it when the object goes.
class TempDir {
 public:
  TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  ~TempDir();
  const std::string& path() const { return path_; }
  // Writes a file below the folder (creating its folders) and returns its path.
  std::string write(const std::string& relative, const std::string& content) const;

 private:
  std::string path_;
};

}  // namespace ks::test
