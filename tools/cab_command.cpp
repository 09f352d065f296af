// ksetup-tool cab: inspect, extract and create cabinet packages.

#include <cstdio>
#include <fstream>
#include <iterator>

#include "app/printable_text.h"
#include "cabinet/cabinet.h"
#include "install/cabinet_extraction.h"
#include "platform/file_system.h"
#include "tools/cab_listing.h"
#include "tools/cab_subcommands.h"
#include "tools/commands.h"

namespace ks::tool {

namespace {

constexpr int kUsageError = 2;

int usage() {
  std::fprintf(stderr,
               "usage: ksetup-tool cab list CABFILE\n"
               "       ksetup-tool cab extract CABFILE DESTDIR\n"
               "       ksetup-tool cab create [--mszip|--quantum[=BITS]|--store] "
               "[--max-size BYTES] [--reserve H,F,D] OUT.cab [STORED=]FILE...\n");
  return kUsageError;
}

}  // namespace

const char* cabinetErrorName(int32_t code) {
  static const char* const kNames[] = {"CAB_ERROR_NONE",
                                       "CAB_ERROR_CABINET_NOT_FOUND",
                                       "CAB_ERROR_NOT_A_CABINET",
                                       "CAB_ERROR_UNSUPPORTED_VERSION",
                                       "CAB_ERROR_CORRUPT_CABINET",
                                       "CAB_ERROR_OUT_OF_MEMORY",
                                       "CAB_ERROR_BAD_COMPRESSION_TYPE",
                                       "CAB_ERROR_DECOMPRESSION_FAILED",
                                       "CAB_ERROR_TARGET_FILE",
                                       "CAB_ERROR_RESERVE_MISMATCH",
                                       "CAB_ERROR_WRONG_CABINET",
                                       "CAB_ERROR_USER_ABORT"};
  if (code < 0 || code >= static_cast<int32_t>(std::size(kNames))) return "CAB_ERROR_UNKNOWN";
  return kNames[code];
}

int runCabList(const Arguments& args) {
  if (args.size() != 1) return usage();
  std::ifstream in(args[0], std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "ksetup-tool cab list: cannot read %s\n", args[0].c_str());
    return 1;
  }
  const std::vector<uint8_t> bytes{std::istreambuf_iterator<char>(in), {}};
  std::vector<CabinetListingEntry> entries;
  std::string error;
  if (!readCabinetListing(bytes, entries, error)) {
    std::fprintf(stderr, "ksetup-tool cab list: %s: %s\n", args[0].c_str(), error.c_str());
    return 1;
  }
  for (const CabinetListingEntry& entry : entries)
    std::printf("%s\n", printableText(formatListingEntry(entry)).c_str());
  return 0;
}

int runCabExtract(const Arguments& args, FileSystem& fileSystem) {
  if (args.size() != 2) return usage();
  ExtractionReport report;
  if (extractCabinet(fileSystem, args[0], args[1], &report)) return 0;
  if (report.bytesNeeded != 0) {
    std::fprintf(stderr, "%s\n", notEnoughSpaceText(report.bytesNeeded).c_str());
  } else {
    std::fprintf(stderr, "%s\n", cabinetErrorName(report.error.code));
  }
  return 1;
}

int runCabCommand(const Arguments& args, const AdapterSet& adapters) {
  if (args.empty()) return usage();
  const Arguments rest(args.begin() + 1, args.end());
  if (args[0] == "list") return runCabList(rest);
  if (args[0] == "extract") return runCabExtract(rest, *adapters.ports.fileSystem);
  if (args[0] == "create") return runCabCreate(rest);
  return usage();
}

}  // namespace ks::tool
