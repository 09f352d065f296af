#pragma once
// The manifest: the files the setup put into the installation folder, kept
// in the registry beside "Install Directory" so that uninstallation removes
// exactly those and nothing the user keeps there.
//
// Names are relative to the installation folder, in the platform's form. They
// are stored in the key "Software\Kestrova\Installed Files" as values "Files01",
// "Files02", ..., each holding names separated by line feeds and at most
// kManifestPartBytes bytes, so no single value grows with the installation
// (the Windows registry wants values small).

#include <cstddef>
#include <string>
#include <vector>

namespace ks {

class Registry;

inline constexpr const char* kManifestKey = "Software\\Kestrova\\Installed Files";
inline constexpr std::size_t kManifestPartBytes = 8192;

// The recorded names; false when there is no manifest (an installation made
// before it existed).
bool readInstallManifest(Registry& registry, std::vector<std::string>& names);

// Stores the names, replacing what was recorded; only parts that changed are
// written. A name holding a line feed can't be stored and is left out. False
// when the registry refused a write.
bool writeInstallManifest(Registry& registry, const std::vector<std::string>& names);

}  // namespace ks
