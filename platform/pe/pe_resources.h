#pragma once
// The resources of a PE file: a three-level tree (type, then name, then
// language) under the resource data directory, whose leaves point at the
// resource data.

#include <cstdint>
#include <optional>
#include <vector>

#include "platform/pe/byte_source.h"
#include "platform/pe/pe_file.h"

namespace ks::pe {

// Resource types by number.
inline constexpr std::uint32_t kResourceIcon = 3;
inline constexpr std::uint32_t kResourceGroupIcon = 14;
inline constexpr std::uint32_t kResourceVersion = 16;

// A version resource is one VS_VERSIONINFO node, whose length is a 16-bit
// field: it can't be longer than this.
inline constexpr std::uint32_t kMaxVersionResourceBytes = 0xFFFF;

// Where one resource's data lies in the file.
struct ResourceLocation {
  std::uint64_t fileOffset = 0;
  std::uint32_t size = 0;
  std::uint32_t codePage = 0;
};

// Finds the resource of the given type, named by the number name or, without
// one, the first in the tree; of that, the first language. Names that are
// strings only match when no number is asked for.
bool findResource(ByteSource& source, const PeImage& image, std::uint32_t type,
                  std::optional<std::uint32_t> name, ResourceLocation& location);

// Reads the data of a found resource; false when it is larger than maxBytes.
bool readResource(ByteSource& source, const ResourceLocation& location, std::uint32_t maxBytes,
                  std::vector<std::uint8_t>& data);

// The first version resource of a PE file, raw (see catalog/version_block.h
// for its contents). False when the file isn't a PE file or has none.
bool readVersionResource(ByteSource& source, std::vector<std::uint8_t>& block);

}  // namespace ks::pe
