#include "platform/win32/win32_command_line.h"

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include "platform/win32/wide_text.h"

namespace ks {

std::vector<std::string> utf8Arguments() {
  int count = 0;
  LPWSTR* arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::string> result;
  if (!arguments) return result;
  for (int i = 0; i < count; ++i) result.push_back(narrow(arguments[i]).value_or(std::string()));
  LocalFree(arguments);
  return result;
}

}  // namespace ks
