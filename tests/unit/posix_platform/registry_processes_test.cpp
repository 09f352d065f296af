// Two processes sharing one registry tree.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "platform/posix/posix_registry.h"
#include "tests/unit/posix_platform/temp_home.h"

namespace ks {
namespace {

constexpr auto kUser = RegistryRoot::CurrentUser;

// Runs body in a child process; the child's exit code is 0 when body
// returned true.
template <typename Body>
pid_t runChild(Body body) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(body() ? 0 : 1);
  return pid;
}

int exitCodeOf(pid_t pid) {
  int status = 0;
  if (::waitpid(pid, &status, 0) != pid || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

TEST(RegistryProcesses, ConcurrentWritersToOneKeyLoseNothing) {
  test::TempHome home;
  ASSERT_TRUE(PosixRegistry().createKey(kUser, "Shared"));
  constexpr int kWrites = 60;
  auto writer = [](char who) {
    return [who] {
      PosixRegistry registry;
      for (int i = 0; i < kWrites; ++i) {
        const std::string name = std::string(1, who) + std::to_string(i);
        if (!registry.writeValue(kUser, "Shared", name, name + "-value")) return false;
      }
      return true;
    };
  };
  const pid_t first = runChild(writer('a'));
  const pid_t second = runChild(writer('b'));
  ASSERT_GT(first, 0);
  ASSERT_GT(second, 0);
  EXPECT_EQ(exitCodeOf(first), 0);
  EXPECT_EQ(exitCodeOf(second), 0);
  PosixRegistry registry;
  for (char who : {'a', 'b'}) {
    for (int i = 0; i < kWrites; ++i) {
      const std::string name = std::string(1, who) + std::to_string(i);
      std::string value;
      ASSERT_TRUE(registry.readValue(kUser, "Shared", name, value)) << name;
      EXPECT_EQ(value, name + "-value");
    }
  }
}

// A writer killed at an arbitrary moment leaves the old or the new value,
// and a reader running beside it never sees anything else.
TEST(RegistryProcesses, AWriterKilledMidWayLeavesAWholeValue) {
  test::TempHome home;
  const std::string first(200000, 'A');
  const std::string second(300000, 'B');
  ASSERT_TRUE(PosixRegistry().createKey(kUser, "K"));
  ASSERT_TRUE(PosixRegistry().writeValue(kUser, "K", "v", first));
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t writer = runChild([&] {
    PosixRegistry registry;
    ::close(ready[0]);
    for (long round = 0;; ++round) {
      if (!registry.writeValue(kUser, "K", "v", round % 2 ? first : second)) return false;
      if (round == 1) {
        const char signal = 1;
        if (::write(ready[1], &signal, 1) != 1) return false;
      }
    }
  });
  ASSERT_GT(writer, 0);
  ::close(ready[1]);
  char signal = 0;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);  // the writer is in its loop now
  ::close(ready[0]);
  PosixRegistry reader;
  for (int i = 0; i < 50; ++i) {
    std::string value;
    ASSERT_TRUE(reader.readValue(kUser, "K", "v", value));
    ASSERT_TRUE(value == first || value == second) << "torn value of " << value.size();
  }
  ASSERT_EQ(::kill(writer, SIGKILL), 0);
  int status = 0;
  ASSERT_EQ(::waitpid(writer, &status, 0), writer);
  EXPECT_TRUE(WIFSIGNALED(status));
  std::string value;
  ASSERT_TRUE(PosixRegistry().readValue(kUser, "K", "v", value));
  EXPECT_TRUE(value == first || value == second);
  EXPECT_TRUE(PosixRegistry().writeValue(kUser, "K", "v", "after"));
}

}  // namespace
}  // namespace ks
