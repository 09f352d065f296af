#pragma once
// What a package puts into the installation folder, found without
// installing it: uninstallation identifies the files of an installation made
// before the manifest existed with it.

#include <string>
#include <vector>

#include "app/setup_context.h"

namespace ks {

// Adds to names the files the package at packagePath puts into the
// installation folder, relative to it: a copied package its own name, a
// cabinet its stored names; an update program nothing that can be known.
// False when the package can't be read. (A PackageContents of app/uninstall.h.)
bool packageContents(SetupContext& context, const Component& component,
                     const std::string& packagePath, std::vector<std::string>& names);

}  // namespace ks
