#pragma once
// Folders the setup never installs into and never removes, whatever their
// spelling: a root of the file system, the user's home folder, a user
// profile, the Windows and system folders, and every folder that holds one
// of them.

#include <string>

#include "app/setup_context.h"

namespace ks {

// True for such a folder, and for a folder that can't be made canonical
// (what it is can't be told).
bool isProtectedFolder(SetupContext& context, const std::string& folder);

}  // namespace ks
