#include "tests/win32/gui/test_repository.h"

#include <winsock2.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

#include "tools/cabwriter/cabinet_writer.h"

namespace ks::gui {

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> fileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

bool writeFile(const fs::path& path, const void* data, std::size_t size) {
  fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out.write(static_cast<const char*>(data), static_cast<std::streamsize>(size));
  return static_cast<bool>(out);
}

std::string versionInfo(int port, int deadPort) {
  const std::string live = "http://127.0.0.1:" + std::to_string(port);
  const std::string dead = "http://127.0.0.1:" + std::to_string(deadPort);
  return "[Sites]\r\n"
         "Site01=Kestrova server on 127.0.0.1\r\n"
         "Site02=Mirror (offline)\r\n"
         "\r\n"
         "[Core.App]\r\n"
         "Title=Kestrova client\r\n"
         "Description=The FTP client itself.\\nNeeded for everything else.\r\n"
         "Version=1.0.5\r\n"
         "Required=1.0.5\r\n"
         "VersionCheck=FileVersion(\"%InstallDir%\\Kestrova.exe\")\r\n"
         "Size=2000\r\n"
         "Install=2\r\n"
         "URL01=" +
         live +
         "/pub/app.cab\r\n"
         "URL02=" +
         dead +
         "/pub/app.cab\r\n"
         "\r\n"
         "[Core.ReadMe]\r\n"
         "Title=Read me\r\n"
         "Description=A few words to begin with.\r\n"
         "Version=1.0\r\n"
         "Required=1.0\r\n"
         "VersionCheck=FileExist(\"%InstallDir%\\readme.txt\")\r\n"
         "Size=1\r\n"
         "Install=1\r\n"
         "URL01=" +
         live +
         "/pub/readme.txt\r\n"
         "URL02=" +
         dead +
         "/pub/readme.txt\r\n"
         "\r\n"
         "[Extras.Key]\r\n"
         "Title=Licence key\r\n"
         "Description=Your licence, behind the password you were given.\r\n"
         "Version=1.0\r\n"
         "Size=1\r\n"
         "Install=1\r\n"
         "URL01=" +
         live +
         "/auth.bin\r\n"
         "\r\n"
         "[Extras.Themes]\r\n"
         "Title=Themes\r\n"
         "Description=Colour themes for the client.\r\n"
         "Version=2.1\r\n"
         "Size=40\r\n"
         "Install=1\r\n"
         "URL01=" +
         dead + "/pub/themes.zip\r\n";
}

}  // namespace

bool writeTestRepository(const RepositoryPlan& plan, std::string& error) {
  const fs::path root(plan.folder);
  const std::string ini = versionInfo(plan.port, plan.deadPort);
  const std::string readme = "Welcome to Kestrova.\r\n";
  std::vector<cabwriter::WriterFile> files = {
      {"Kestrova.exe", fileBytes(plan.setupProgram)},
      {"plugins\\sftp.dll", std::vector<std::uint8_t>(20000, 'k')},
  };
  if (files[0].data.empty()) {
    error = "the setup program can't be read";
    return false;
  }
  cabwriter::WriterOptions options;
  options.cabinetName = "app.cab";
  std::vector<cabwriter::CabinetImage> cabinets;
  if (!cabwriter::writeCabinets(files, options, cabinets, error)) return false;
  return writeFile(root / "kestrova" / "version2.ini", ini.data(), ini.size()) &&
         writeFile(root / "pub" / "readme.txt", readme.data(), readme.size()) &&
         writeFile(root / "pub" / "app.cab", cabinets[0].bytes.data(), cabinets[0].bytes.size());
}

int deadLoopbackPort() {
  WSADATA data;
  WSAStartup(MAKEWORD(2, 2), &data);
  SOCKET probe = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  int port = 0;
  int size = sizeof address;
  if (bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      getsockname(probe, reinterpret_cast<sockaddr*>(&address), &size) == 0) {
    port = ntohs(address.sin_port);
  }
  closesocket(probe);
  WSACleanup();
  return port;
}

}  // namespace ks::gui
