#include "tests/integration/end_to_end/sample_repository.h"

#include <filesystem>
#include <fstream>

#include "tools/cabwriter/cabinet_writer.h"

namespace ks::test {

namespace {

std::vector<std::uint8_t> bytes(const std::string& text) {
  return {text.begin(), text.end()};
}

void writeCabinet(const std::string& path, const std::vector<cabwriter::WriterFile>& files,
                  cabwriter::Compression compression) {
  cabwriter::WriterOptions options;
  options.compression = compression;
  options.quantumWindowBits = 18;
  std::vector<cabwriter::CabinetImage> images;
  std::string error;
  if (!cabwriter::writeCabinets(files, options, images, error) || images.size() != 1) return;
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(images[0].bytes.data()),
             static_cast<std::streamsize>(images[0].bytes.size()));
}

std::string component(const std::string& section, const std::string& title, int size, int method,
                      const std::string& required, const std::string& file,
                      const std::vector<RepositorySite>& sites) {
  std::string text = "[" + section + "]\nTitle=" + title +
                     "\nVersion=1.0.5\nSize=" + std::to_string(size) +
                     "\nInstall=" + std::to_string(method) + "\n";
  if (!required.empty()) text += "Required=" + required + "\n";
  text += "VersionCheck=FileExist(\"%InstallDir%/" + file + "\")\n";
  for (std::size_t i = 0; i < sites.size(); ++i) {
    text += "URL0" + std::to_string(i + 1) + "=" + sites[i].baseUrl + "/" + file + "\n";
  }
  return text;
}

}  // namespace

void writeSamplePackages(const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::string manual;
  for (int i = 0; i < 4000; ++i) manual += "Chapter " + std::to_string(i) + ": transfers.\n";
  writeCabinet(folder + "/app.cab",
               {{"Kestrova.exe", bytes("the client program"), 0x5A21, 0x6000, 0x20},
                {"plugins\\sftp.dll", bytes(std::string(100000, 'p')), 0x5A21, 0x6000, 0x20}},
               cabwriter::Compression::Mszip);
  writeCabinet(folder + "/help.cab", {{"help\\manual.txt", bytes(manual), 0x5A21, 0x6000, 0x20}},
               cabwriter::Compression::Quantum);
  std::ofstream(folder + "/readme.txt") << "Read me first.\n";
}

std::string sampleVersionInfo(const std::vector<RepositorySite>& sites, bool extraPackage) {
  std::string text = "[Sites]\n";
  for (std::size_t i = 0; i < sites.size(); ++i) {
    text += "Site0" + std::to_string(i + 1) + "=" + sites[i].label + "\n";
  }
  text += component("Core.App", "Kestrova client", 120, 2, "1.0.5", "app.cab", sites);
  if (extraPackage) text += component("Core.Lost", "Lost package", 5, 1, "1.0", "lost.cab", sites);
  text += component("Core.ReadMe", "Read me", 1, 1, "1.0", "readme.txt", sites);
  text += component("Extras.Help", "Help files", 240, 2, "1.0", "help.cab", sites);
  return text;
}

}  // namespace ks::test
