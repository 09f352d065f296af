#include "app/protected_folders.h"

#include <array>

#include "app/path_compare.h"
#include "app/paths.h"
#include "platform/file_system.h"
#include "platform/system_info.h"

namespace ks {

namespace {

// A profile of any user: a folder directly inside the folder of profiles.
bool isUserProfile(FileSystem& files, const std::string& folder, const std::string& profiles) {
  return !profiles.empty() && samePath(files, joinPath(folder, ".."), profiles);
}

}  // namespace

bool isProtectedFolder(SetupContext& context, const std::string& folder) {
  FileSystem& files = *context.platform.fileSystem;
  SystemInfo& system = *context.platform.systemInfo;
  std::string canonical;
  if (!files.canonicalPath(folder, canonical) || isFileSystemRoot(files, folder)) return true;
  const std::string profiles = system.userProfilesFolder();
  const std::array<std::string, 4> held = {system.userHomeFolder(), profiles,
                                           system.windowsDirectory(), system.systemDirectory()};
  for (const std::string& inside : held) {
    if (!inside.empty() && pathIsWithin(files, inside, folder)) return true;
  }
  return isUserProfile(files, folder, profiles);
}

}  // namespace ks
