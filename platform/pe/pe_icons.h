#pragma once
// The first icon of a PE file, as the shell's icon extraction picks it: the
// first image of the first icon group, returned as an icon file (.ico).

#include <cstdint>
#include <vector>

#include "platform/pe/byte_source.h"

namespace ks::pe {

// Icon images larger than this are not icons a page shows.
inline constexpr std::uint32_t kMaxIconImageBytes = 1u << 20;

// False when the file is not a PE file or has no usable icon.
bool readFirstIconFile(ByteSource& source, std::vector<std::uint8_t>& iconFile);

}  // namespace ks::pe
