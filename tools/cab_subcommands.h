#pragma once
// The parts of "ksetup-tool cab": list, extract and create.

#include <cstdint>
#include <string>

#include "tools/commands.h"

namespace ks::tool {

int runCabList(const Arguments& args);
int runCabExtract(const Arguments& args, FileSystem& fileSystem);
int runCabCreate(const Arguments& args);

// "CAB_ERROR_CORRUPT_CABINET" for 4, and so on.
const char* cabinetErrorName(int32_t code);

}  // namespace ks::tool
