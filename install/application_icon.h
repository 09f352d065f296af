#pragma once
// The application's icon for the Integration page.

#include <cstdint>
#include <string>
#include <vector>

#include "app/setup_context.h"

namespace ks {

// The first icon of the program file as icon-file bytes; empty when the file
// is missing or no Windows program file with an icon.
std::vector<std::uint8_t> applicationIcon(SetupContext& context, const std::string& program);

}  // namespace ks
