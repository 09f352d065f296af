// Running an update program and waiting for it, on Linux.

#include "platform/posix/posix_processes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>

#include "tests/support/posix/run_command.h"

namespace ks {
namespace {

TEST(PosixProcesses, ExitCodesAndTheProgramNameAsTheOnlyArgument) {
  test::TempDir dir;
  const std::string seen = dir.path() + "/seen";
  // Downloads carry no mode bits: the program is copied without execute bits.
  const std::string program = dir.path() + "/update.exe";
  ASSERT_EQ(test::runCommand({"/bin/cp", PRINT_ARGUMENTS, program}).exitCode, 0);
  ASSERT_EQ(::chmod(program.c_str(), 0644), 0);
  setenv("KS_ARGS_FILE", seen.c_str(), 1);
  PosixProcesses processes;
  int exitCode = -1;
  setenv("KS_EXIT_CODE", "0", 1);
  ASSERT_TRUE(processes.runAndWait(program, "update.exe", exitCode));
  EXPECT_EQ(exitCode, 0);
  EXPECT_EQ(test::runCommand({"/bin/cat", seen}).out, "1|update.exe");
  struct stat info {};
  ASSERT_EQ(::stat(program.c_str(), &info), 0);
  EXPECT_TRUE(info.st_mode & S_IXUSR);

  setenv("KS_EXIT_CODE", "1", 1);
  ASSERT_TRUE(processes.runAndWait(program, "update.exe", exitCode));
  EXPECT_EQ(exitCode, 1);
  unsetenv("KS_EXIT_CODE");
  unsetenv("KS_ARGS_FILE");
}

TEST(PosixProcesses, AProgramThatCannotStartIsReported) {
  test::TempDir dir;
  PosixProcesses processes;
  int exitCode = -1;
  EXPECT_FALSE(processes.runAndWait(dir.path() + "/missing", "missing", exitCode));
  EXPECT_FALSE(processes.runAndWait(dir.path(), "folder", exitCode));
  const std::string garbage = dir.write("garbage.exe", std::string("MZ\x90\0\3", 5));
  EXPECT_FALSE(processes.runAndWait(garbage, "garbage.exe", exitCode));
}

TEST(PosixProcesses, TheClientIsNotRunningHere) {
  PosixProcesses processes;
  std::string folder;
  EXPECT_FALSE(processes.runningApplicationFolder(folder));
}

}  // namespace
}  // namespace ks
