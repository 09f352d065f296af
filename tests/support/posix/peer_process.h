#pragma once
// A helper server of the integration tests, run as a child process that
// prints its port on the first line of stdout; killed when the object goes.

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

namespace ks::test {

class PeerProcess {
 public:
  // Starts the program; false when it could not be started or printed no
  // port within the timeout.
  bool start(const std::vector<std::string>& argv, std::chrono::milliseconds timeout);
  ~PeerProcess();

  int port() const { return port_; }

 private:
  pid_t pid_ = -1;
  int output_ = -1;
  int port_ = 0;
};

// A TCP port on 127.0.0.1 that was free a moment ago.
int freeLoopbackPort();

// Waits until something accepts connections on the port.
bool waitForListener(int port, std::chrono::milliseconds timeout);

}  // namespace ks::test
