#pragma once
// Programs: starting one and waiting for it, and finding the running client.

#include <string>

namespace ks {

class Processes {
 public:
  virtual ~Processes() = default;
  // Starts program with argv0 as its only argument and waits until it ends.
  // False when it could not be started; otherwise exitCode holds its code.
  virtual bool runAndWait(const std::string& program, const std::string& argv0, int& exitCode) = 0;
  // The folder of the running Kestrova client's program file; false when the
  // client is not running.
  virtual bool runningApplicationFolder(std::string& folder) = 0;
};

}  // namespace ks
