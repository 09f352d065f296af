#pragma once
// Loading the version-info file (version2.ini) into the catalog of sites,
// groups and components.

#include <cstddef>
#include <cstdint>
#include <string>

#include "app/setup_context.h"

namespace ks {

// The name of the version-info file, wherever it is stored.
inline constexpr const char* kVersionInfoFileName = "version2.ini";

// Section names are read into a list of this many bytes; names past it are not seen.
inline constexpr std::size_t kSectionListBytes = 1024;
// Longest section name the file format allows.
inline constexpr std::size_t kMaxSectionNameChars = 63;
// A version-info file larger than this is not a version-info file.
inline constexpr std::uint64_t kMaxVersionFileBytes = 4u << 20;

// Replaces the catalog with the contents of the file at path and runs every
// component's version check. False when the file is unusable ("corrupt"): no
// section names, an eleventh group, or no memory. What was read before a
// failure stays in the catalog, consistent with its counts.
//
// Choices for files outside the format: a section name of 64 characters or
// more is passed over; component sections after the twentieth are passed
// over; a name that the 1024-byte list would hold only in part is not seen.
bool loadVersionCatalog(SetupContext& context, const std::string& path);

// Releases every component record and empties the component list.
bool freeVersionCatalog(VersionCatalog& catalog);

}  // namespace ks
