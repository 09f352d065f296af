// ksetup-tool cab create: writes a cabinet (or a spanning set) of files.

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/cab_subcommands.h"
#include "tools/cabwriter/cabinet_writer.h"

namespace ks::tool {

namespace {

using cabwriter::Compression;
using cabwriter::WriterFile;
using cabwriter::WriterOptions;

constexpr int kUsageError = 2;

struct CreateRequest {
  WriterOptions options;
  std::string output;
  std::vector<std::string> inputs;
};

int fail(const std::string& message) {
  std::fprintf(stderr, "ksetup-tool cab create: %s\n", message.c_str());
  return 1;
}

bool parseNumber(const std::string& text, unsigned long maximum, unsigned long& value) {
  char* end = nullptr;
  value = std::strtoul(text.c_str(), &end, 10);
  return !text.empty() && *end == '\0' && value <= maximum;
}

bool parseReserve(const std::string& text, WriterOptions& options) {
  unsigned header = 0, folder = 0, data = 0;
  char extra = 0;
  if (std::sscanf(text.c_str(), "%u,%u,%u%c", &header, &folder, &data, &extra) != 3) return false;
  if (header > 60000 || folder > 255 || data > 255) return false;
  options.headerReserve = static_cast<uint16_t>(header);
  options.folderReserve = static_cast<uint8_t>(folder);
  options.dataReserve = static_cast<uint8_t>(data);
  options.reserveFields = true;
  return true;
}

bool parseOption(const std::vector<std::string>& args, std::size_t& i, WriterOptions& options) {
  const std::string& arg = args[i];
  unsigned long value = 0;
  if (arg == "--mszip")
    options.compression = Compression::Mszip;
  else if (arg == "--store")
    options.compression = Compression::Stored;
  else if (arg == "--quantum")
    options.compression = Compression::Quantum;
  else if (arg.rfind("--quantum=", 0) == 0) {
    if (!parseNumber(arg.substr(10), 21, value) || value < 10) return false;
    options.compression = Compression::Quantum;
    options.quantumWindowBits = static_cast<int>(value);
  } else if (arg == "--max-size" && i + 1 < args.size()) {
    if (!parseNumber(args[++i], UINT32_MAX, value) || value == 0) return false;
    options.maxCabinetSize = static_cast<uint32_t>(value);
  } else if (arg == "--reserve" && i + 1 < args.size()) {
    return parseReserve(args[++i], options);
  } else {
    return false;
  }
  return true;
}

bool parseRequest(const std::vector<std::string>& args, CreateRequest& request) {
  std::size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    if (!parseOption(args, i, request.options)) return false;
  }
  if (i + 1 >= args.size()) return false;
  request.output = args[i];
  request.inputs.assign(args.begin() + static_cast<long>(i) + 1, args.end());
  return true;
}

bool localTime(std::time_t seconds, std::tm& local) {
#ifdef _WIN32
  return localtime_s(&local, &seconds) == 0;
#else
  return localtime_r(&seconds, &local) != nullptr;
#endif
}

// The file's modification time on the local clock, as MS-DOS stores it
// (years 1980 to 2107, two-second steps).
void stampFromFile(const struct stat& info, WriterFile& file) {
  std::tm local{};
  const std::time_t seconds = info.st_mtime;
  if (!localTime(seconds, local) || local.tm_year < 80 || local.tm_year > 207) return;
  file.date = static_cast<uint16_t>(((local.tm_year - 80) << 9) | ((local.tm_mon + 1) << 5) |
                                    local.tm_mday);
  file.time =
      static_cast<uint16_t>((local.tm_hour << 11) | (local.tm_min << 5) | (local.tm_sec / 2));
  file.attributes = (info.st_mode & S_IWUSR) != 0 ? 0x20 : 0x21;
}

// "STORED=PATH" stores PATH under STORED (slashes become backslashes);
// a plain PATH is stored under its file name.
bool loadInput(const std::string& input, WriterFile& file, std::string& error) {
  const std::size_t equals = input.find('=');
  const std::string path = equals == std::string::npos ? input : input.substr(equals + 1);
  file.name = equals == std::string::npos ? std::filesystem::path(path).filename().string()
                                          : input.substr(0, equals);
  for (char& c : file.name)
    if (c == '/') c = '\\';
  std::ifstream in(path, std::ios::binary);
  struct stat info {};
  if (!in || ::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode)) {
    error = "cannot read " + path;
    return false;
  }
  file.data.assign(std::istreambuf_iterator<char>(in), {});
  stampFromFile(info, file);
  return true;
}

bool writeImages(const std::string& output, const std::vector<cabwriter::CabinetImage>& images,
                 std::string& error) {
  const std::filesystem::path folder = std::filesystem::path(output).parent_path();
  for (const auto& image : images) {
    std::ofstream out(folder / image.name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(image.bytes.data()),
              static_cast<std::streamsize>(image.bytes.size()));
    if (!out) {
      error = "cannot write " + (folder / image.name).string();
      return false;
    }
  }
  return true;
}

}  // namespace

int runCabCreate(const Arguments& args) {
  CreateRequest request;
  if (!parseRequest(args, request)) {
    std::fprintf(stderr,
                 "usage: ksetup-tool cab create [--mszip|--quantum[=BITS]|--store] "
                 "[--max-size BYTES] [--reserve H,F,D] OUT.cab [STORED=]FILE...\n");
    return kUsageError;
  }
  std::vector<WriterFile> files(request.inputs.size());
  std::string error;
  for (std::size_t i = 0; i < files.size(); ++i) {
    if (!loadInput(request.inputs[i], files[i], error)) return fail(error);
  }
  const std::size_t slash = request.output.find_last_of('/');
  request.options.cabinetName = request.output.substr(slash == std::string::npos ? 0 : slash + 1);
  std::vector<cabwriter::CabinetImage> images;
  if (!cabwriter::writeCabinets(files, request.options, images, error) ||
      !writeImages(request.output, images, error))
    return fail(error);
  return 0;
}

}  // namespace ks::tool
