#pragma once
// A fresh home folder for one test: HOME, XDG_CONFIG_HOME and XDG_DATA_HOME
// point into it while the object lives, and it is removed afterwards.

#include <string>

namespace ks::test {

class TempHome {
 public:
  TempHome();
  ~TempHome();
  TempHome(const TempHome&) = delete;
  TempHome& operator=(const TempHome&) = delete;

  const std::string& path() const { return path_; }
  std::string configHome() const { return path_ + "/config"; }
  std::string dataHome() const { return path_ + "/data"; }

 private:
  std::string path_;
};

std::string readWholeFile(const std::string& path);
void writeWholeFile(const std::string& path, const std::string& content);

}  // namespace ks::test
