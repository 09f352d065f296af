// Update programs and the running client, with real processes: program paths
// with blanks, exit codes, and the client found whatever the case of its
// file name.

#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_processes.h"
#include "tests/win32/win32_test_support.h"

namespace ks {
namespace {

// The test program beside this test's own program (test_program.cpp).
std::wstring testProgram() {
  wchar_t self[MAX_PATH];
  GetModuleFileNameW(nullptr, self, MAX_PATH);
  return (std::filesystem::path(self).parent_path() / L"ks_win32_test_program.exe").wstring();
}

TEST(Win32Processes, AnUpdateProgramUnderBlanksRunsWithItsQuotedPathAndItsCode) {
  const test::WideTempFolder temp;
  const std::string program = temp.at("System Update.exe");
  ASSERT_TRUE(CopyFileW(testProgram().c_str(), widen(program)->c_str(), FALSE));
  Win32Processes processes;
  int exitCode = -1;
  ASSERT_TRUE(processes.runAndWait(program, program, exitCode));
  EXPECT_EQ(exitCode, 7);  // one argument: the path was not split at the blank
  EXPECT_FALSE(processes.runAndWait(temp.at("missing.exe"), temp.at("missing.exe"), exitCode));
}

TEST(Win32Processes, TheRunningClientIsFoundWhateverTheCaseOfItsName) {
  const test::WideTempFolder temp;
  Win32Processes processes;
  std::string folder;
  ASSERT_FALSE(processes.runningApplicationFolder(folder));
  const std::string client = temp.at("KESTROVA.EXE");
  ASSERT_TRUE(CopyFileW(testProgram().c_str(), widen(client)->c_str(), FALSE));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  std::wstring commandLine = L"\"" + *widen(client) + L"\"";
  ASSERT_TRUE(CreateProcessW(widen(client)->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0,
                             nullptr, nullptr, &startup, &started));
  // The process and its program path exist once CreateProcessW returns.
  const bool found = processes.runningApplicationFolder(folder);
  TerminateProcess(started.hProcess, 0);
  WaitForSingleObject(started.hProcess, INFINITE);
  CloseHandle(started.hThread);
  CloseHandle(started.hProcess);
  ASSERT_TRUE(found);
  EXPECT_EQ(CompareStringOrdinal(widen(folder)->c_str(), -1, temp.widePath().c_str(), -1, TRUE),
            CSTR_EQUAL)
      << folder;
}

}  // namespace
}  // namespace ks
