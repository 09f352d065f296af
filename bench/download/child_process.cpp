#include "child_process.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <fstream>

extern char** environ;

namespace ks::bench {

ChildProcess::ChildProcess(const std::vector<std::string>& argv, bool captureOutput) {
  std::vector<char*> args;
  for (const std::string& arg : argv) args.push_back(const_cast<char*>(arg.c_str()));
  args.push_back(nullptr);
  std::array<int, 2> pipeEnds{-1, -1};
  if (captureOutput && ::pipe(pipeEnds.data()) != 0) return;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (captureOutput) {
    posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
    posix_spawn_file_actions_addclose(&actions, pipeEnds[1]);
  }
  pid_t pid = -1;
  if (posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ) == 0) pid_ = pid;
  posix_spawn_file_actions_destroy(&actions);
  if (captureOutput) {
    ::close(pipeEnds[1]);
    output_ = pipeEnds[0];
  }
}

ChildProcess::~ChildProcess() {
  if (pid_ > 0) {
    ::kill(pid_, SIGTERM);
    int status = 0;
    ::waitpid(pid_, &status, 0);
  }
  if (output_ >= 0) ::close(output_);
}

std::string ChildProcess::readLine() {
  std::string line;
  char c = 0;
  while (output_ >= 0 && ::read(output_, &c, 1) == 1 && c != '\n') line.push_back(c);
  return line;
}

ChildResult ChildProcess::wait() {
  ChildResult result;
  if (pid_ <= 0) return result;
  int status = 0;
  if (::waitpid(pid_, &status, 0) != pid_) return result;
  pid_ = -1;
  result.exited = WIFEXITED(status);
  result.exitCode = result.exited ? WEXITSTATUS(status) : -1;
  return result;
}

std::string ownExecutable() {
  std::array<char, PATH_MAX> path{};
  const ssize_t length = ::readlink("/proc/self/exe", path.data(), path.size() - 1);
  return length > 0 ? std::string(path.data(), static_cast<std::size_t>(length)) : std::string();
}

long ownPeakResidentKib() {
  std::ifstream status("/proc/self/status");
  std::string line;
  constexpr std::string_view kPeak = "VmHWM:";
  while (std::getline(status, line)) {
    if (line.compare(0, kPeak.size(), kPeak) == 0) return std::stol(line.substr(kPeak.size()));
  }
  return 0;
}

}  // namespace ks::bench
