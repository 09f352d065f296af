// A small program for the process tests. Started under the name
// "Kestrova.exe" (in any case) it waits, as a running client would, until it
// is ended; under any other name it ends at once with code 7 when its
// command line holds exactly one argument (its quoted path), else with 1.

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <cwchar>

int main() {
  wchar_t path[MAX_PATH];
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  const wchar_t* name = std::wcsrchr(path, L'\\');
  if (name && CompareStringOrdinal(name + 1, -1, L"Kestrova.exe", -1, TRUE) == CSTR_EQUAL) {
    Sleep(60000);
    return 0;
  }
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  LocalFree(arguments);
  return count == 1 ? 7 : 1;
}
