#pragma once
// A program the benchmark runs beside itself (the loopback server, a
// measured download, the curl command). A child still running when the
// object goes is terminated and reaped.

#include <sys/types.h>

#include <string>
#include <vector>

namespace ks::bench {

struct ChildResult {
  bool exited = false;  // ended by itself, not by a signal
  int exitCode = -1;
};

class ChildProcess {
 public:
  // Starts argv[0] (looked up on PATH); with captureOutput, the child's
  // stdout can be read with readLine().
  ChildProcess(const std::vector<std::string>& argv, bool captureOutput);
  ~ChildProcess();
  ChildProcess(const ChildProcess&) = delete;
  ChildProcess& operator=(const ChildProcess&) = delete;

  bool started() const { return pid_ > 0; }
  // The next line of the child's stdout without its newline; "" at the end.
  std::string readLine();
  // Waits for the end and reports how the child ended.
  ChildResult wait();

 private:
  pid_t pid_ = -1;
  int output_ = -1;
};

// The program that is running (for starting a helper mode of it).
std::string ownExecutable();

// This process's peak resident set in KiB, from the memory it has had since
// it started its program. (A child's rusage is no use here: a child started
// by posix_spawn inherits the parent's peak as its own.)
long ownPeakResidentKib();

}  // namespace ks::bench
