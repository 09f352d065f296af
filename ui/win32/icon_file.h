#pragma once
// An icon from the bytes of an icon file (.ico): the image of the first
// icon whose size suits the control best.

#include <windows.h>

#include <cstdint>
#include <vector>

namespace ks {

// The image nearest in size to edge pixels, at least that large where the
// file has one; null when the bytes are not an icon file or the image is
// not whole.
HICON iconFromIconFile(const std::vector<std::uint8_t>& file, int edge);

}  // namespace ks
