#include "platform/posix/posix_processes.h"

#include <dirent.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <memory>
#include <vector>

extern char** environ;

namespace ks {

namespace {

constexpr int kExitCodeOfSignal = 128;

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};

bool isNumber(const char* text) {
  if (!*text) return false;
  for (; *text; ++text) {
    if (*text < '0' || *text > '9') return false;
  }
  return true;
}

std::string linkTarget(const std::string& path) {
  std::vector<char> buffer(4096);
  const ssize_t length = ::readlink(path.c_str(), buffer.data(), buffer.size());
  if (length <= 0 || static_cast<std::size_t>(length) >= buffer.size()) return {};
  return std::string(buffer.data(), static_cast<std::size_t>(length));
}

}  // namespace

bool PosixProcesses::runAndWait(const std::string& program, const std::string& argv0,
                                int& exitCode) {
  struct stat info {};
  if (::stat(program.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) return false;
  if (!(info.st_mode & S_IXUSR)) ::chmod(program.c_str(), info.st_mode | S_IXUSR);
  std::string name = argv0;
  char* argv[] = {name.data(), nullptr};
  pid_t pid = 0;
  if (::posix_spawn(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0) {
    if (errno != EINTR) return false;
  }
  exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : kExitCodeOfSignal + WTERMSIG(status);
  return true;
}

bool PosixProcesses::runningApplicationFolder(std::string& folder) {
  std::unique_ptr<DIR, DirCloser> proc(::opendir("/proc"));
  if (!proc) return false;
  while (const dirent* entry = ::readdir(proc.get())) {
    if (!isNumber(entry->d_name)) continue;
    const std::string exe = linkTarget(std::string("/proc/") + entry->d_name + "/exe");
    const std::size_t slash = exe.rfind('/');
    if (slash == std::string::npos) continue;
    const std::string name = exe.substr(slash + 1);
    if (name == "Kestrova" || name == "Kestrova.exe") {
      folder = exe.substr(0, slash);
      return true;
    }
  }
  return false;
}

}  // namespace ks
