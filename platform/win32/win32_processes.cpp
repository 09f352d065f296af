#include "platform/win32/win32_processes.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <tlhelp32.h>
// clang-format on

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"

namespace ks {

namespace {

constexpr const wchar_t* kApplicationProgram = L"Kestrova.exe";

// The full path of a process's program file; empty when it can't be read.
std::wstring modulePath(DWORD processId) {
  const UniqueKernelHandle process(
      OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
  if (!process.valid()) return std::wstring();
  wchar_t path[MAX_PATH * 4];
  DWORD chars = MAX_PATH * 4;
  if (!QueryFullProcessImageNameW(process.get(), 0, path, &chars)) return std::wstring();
  return std::wstring(path, chars);
}

}  // namespace

bool Win32Processes::runAndWait(const std::string& program, const std::string& argv0,
                                int& exitCode) {
  const auto application = widen(program);
  const auto argument = widen(argv0);
  if (!application || !argument) return false;
  std::wstring commandLine = L"\"" + *argument + L"\"";
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION started{};
  if (!CreateProcessW(application->c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &started)) {
    return false;
  }
  const UniqueKernelHandle process(started.hProcess);
  const UniqueKernelHandle thread(started.hThread);
  DWORD code = 0;
  if (WaitForSingleObject(process.get(), INFINITE) != WAIT_OBJECT_0 ||
      !GetExitCodeProcess(process.get(), &code)) {
    return false;
  }
  exitCode = static_cast<int>(code);
  return true;
}

bool Win32Processes::runningApplicationFolder(std::string& folder) {
  const UniqueFile snapshot(CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot.valid()) return false;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32FirstW(snapshot.get(), &entry); more;
       more = Process32NextW(snapshot.get(), &entry)) {
    if (CompareStringOrdinal(entry.szExeFile, -1, kApplicationProgram, -1, TRUE) != CSTR_EQUAL) {
      continue;
    }
    const std::wstring path = modulePath(entry.th32ProcessID);
    const std::size_t separator = path.find_last_of(L"\\/");
    if (separator == std::wstring::npos) continue;
    const auto text = narrow(std::wstring_view(path).substr(0, separator));
    if (!text) continue;
    folder = *text;
    return true;
  }
  return false;
}

}  // namespace ks
