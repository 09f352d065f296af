#pragma once
// Queries into a version-information block: the VS_VERSIONINFO tree of a
// program file's version resource, as VersionResources hands it out.
//
// A sub-block name is a path of node keys separated by backslashes, like
// "\StringFileInfo\040904b0\FileVersion"; "\" (or the empty text) names the
// root and its fixed file information. Keys are compared without regard to
// case (ASCII letters). Malformed blocks never read outside the block: a query
// into one simply finds nothing.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

// The value of the node named by subBlock, as raw bytes (for a text node the
// UTF-16 code units). False when the node does not exist.
bool queryVersionValue(const std::vector<std::uint8_t>& block, std::string_view subBlock,
                       std::vector<std::uint8_t>& value);

// The text value of the node named by subBlock, as 8-bit characters: UTF-16
// code units below 0x100 are kept, others become '?'; the text ends at the
// first NUL. False when the node does not exist.
bool queryVersionString(const std::vector<std::uint8_t>& block, std::string_view subBlock,
                        std::string& text);

}  // namespace ks
