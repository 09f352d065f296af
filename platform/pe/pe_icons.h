#pragma once
// The first icon of a PE file, as the shell's icon extraction picks it: the
// first image of the first icon group, returned as an icon file (.ico).

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/pe/byte_source.h"

namespace ks::pe {

// Icon images larger than this are not icons a page shows.
inline constexpr std::uint32_t kMaxIconImageBytes = 1u << 20;

// An icon file (.ico) starts with a 6-byte header (reserved 0, type 1, the
// count of images) and holds count entries of 16 bytes: width and height (0
// meaning 256), colour count, reserved, planes, bits per pixel, and the
// image's size and file offset.
inline constexpr std::size_t kIconHeaderBytes = 6;
inline constexpr std::size_t kIconFileEntryBytes = 16;
inline constexpr std::uint16_t kIconType = 1;

// False when the file is not a PE file or has no usable icon.
bool readFirstIconFile(ByteSource& source, std::vector<std::uint8_t>& iconFile);

}  // namespace ks::pe
