#pragma once
// The repository the wizard test installs from, written into the folder the
// HTTP test server serves: version2.ini with two sites (the second one
// dead) and four components, and their packages.
//
//   Core.App      Kestrova client  required, a cabinet whose Kestrova.exe is
//                                  the setup program (so it has an icon)
//   Core.ReadMe   Read me          required, a file copied
//   Extras.Key    Licence key      a file behind a password (/auth.bin)
//   Extras.Themes Themes           only on the dead site

#include <string>

namespace ks::gui {

struct RepositoryPlan {
  std::wstring folder;  // what the server serves
  int port = 0;
  int deadPort = 0;
  std::wstring setupProgram;  // becomes Kestrova.exe
};

bool writeTestRepository(const RepositoryPlan& plan, std::string& error);

// Titles and group names of the components, in catalog order.
inline constexpr const char* kGroupCore = "Core";
inline constexpr const char* kGroupExtras = "Extras";
inline constexpr const wchar_t* kPasswordUser = L"kestrova";
inline constexpr const wchar_t* kPassword = L"secret";

// A port of 127.0.0.1 nobody listens on.
int deadLoopbackPort();

}  // namespace ks::gui
