#pragma once
// The set of ports one run of the setup works through. Pointers are not
// owned; a run (or a test) that needs a port sets it.

namespace ks {

class SystemInfo;
class Registry;
class FileSystem;
class LibraryLoader;
class VersionResources;
class Dialogs;
class Shell;
class Processes;
class Hashing;
class InternetApi;
class UiDispatcher;

struct Platform {
  SystemInfo* systemInfo = nullptr;
  Registry* registry = nullptr;
  FileSystem* fileSystem = nullptr;
  LibraryLoader* libraries = nullptr;
  VersionResources* versionResources = nullptr;
  Dialogs* dialogs = nullptr;
  Shell* shell = nullptr;
  Processes* processes = nullptr;
  Hashing* hashing = nullptr;
  InternetApi* internet = nullptr;
  // The user-interface thread of the frontend that runs the setup.
  UiDispatcher* ui = nullptr;
};

}  // namespace ks
