#pragma once
// Runs a program for a test and collects what it printed.

#include <string>
#include <vector>

namespace ks::test {

struct CommandResult {
  int exitCode = -1;
  std::string out;
  std::string err;
};

// Runs argv[0] with the given arguments (no shell), waits for it, and returns
// its exit code and output. Standard input is empty.
CommandResult runCommand(const std::vector<std::string>& argv);

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
