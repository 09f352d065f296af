#include "tests/support/fake_platform.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>

namespace ks::test {

namespace {

std::string lower(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string parentOf(const std::string& folded) {
  const std::size_t at = folded.rfind('\\');
  return at == std::string::npos ? std::string() : folded.substr(0, at);
}

}  // namespace

std::string FakeRegistry::fold(RegistryRoot root, const std::string& path) {
  return (root == RegistryRoot::CurrentUser ? "hkcu\\" : "hklm\\") + lower(path);
}

std::vector<std::string> FakeRegistry::children(const std::string& folded) const {
  std::vector<std::string> result;
  for (const auto& [key, unused] : keys_) {
    if (parentOf(key) == folded) result.push_back(key);
  }
  return result;
}

bool FakeRegistry::openKey(RegistryRoot root, const std::string& path) {
  return keys_.count(fold(root, path)) > 0;
}

bool FakeRegistry::createKey(RegistryRoot root, const std::string& path) {
  std::string prefix = root == RegistryRoot::CurrentUser ? "hkcu" : "hklm";
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('\\', start);
    if (end == std::string::npos) end = path.size();
    const std::string part = path.substr(start, end - start);
    prefix += "\\" + lower(part);
    if (!keys_.count(prefix)) {
      keys_[prefix] = Key{};
      names_[prefix] = part;
    }
    start = end + 1;
  }
  return true;
}

bool FakeRegistry::readValue(RegistryRoot root, const std::string& path, const std::string& name,
                             std::string& value) {
  auto key = keys_.find(fold(root, path));
  if (key == keys_.end()) return false;
  auto found = key->second.values.find(lower(name));
  if (found == key->second.values.end()) return false;
  value = found->second;
  return true;
}

bool FakeRegistry::writeValue(RegistryRoot root, const std::string& path, const std::string& name,
                              const std::string& value) {
  auto key = keys_.find(fold(root, path));
  if (key == keys_.end()) return false;
  key->second.values[lower(name)] = value;
  return true;
}

bool FakeRegistry::deleteValue(RegistryRoot root, const std::string& path,
                               const std::string& name) {
  auto key = keys_.find(fold(root, path));
  return key != keys_.end() && key->second.values.erase(lower(name)) > 0;
}

bool FakeRegistry::deleteKey(RegistryRoot root, const std::string& path) {
  const std::string folded = fold(root, path);
  if (!keys_.count(folded)) return false;
  const auto below = children(folded);
  if (!below.empty() && ntFamily) return false;
  for (auto it = keys_.begin(); it != keys_.end();) {
    const bool inside = it->first == folded || it->first.rfind(folded + "\\", 0) == 0;
    if (inside) names_.erase(it->first);
    it = inside ? keys_.erase(it) : std::next(it);
  }
  return true;
}

bool FakeRegistry::subkeyCount(RegistryRoot root, const std::string& path, std::uint32_t& count) {
  const std::string folded = fold(root, path);
  if (!keys_.count(folded)) return false;
  count = static_cast<std::uint32_t>(children(folded).size());
  return true;
}

bool FakeRegistry::enumSubkey(RegistryRoot root, const std::string& path, std::uint32_t index,
                              std::string& name) {
  const std::string folded = fold(root, path);
  if (!keys_.count(folded)) return false;
  const auto below = children(folded);
  if (index >= below.size()) return false;
  const std::string& full = names_[below[index]];
  name = full;
  return true;
}

bool FakeFileSystem::readFile(const std::string& path, std::string& content,
                              std::uint64_t maxBytes) {
  auto found = files.find(path);
  if (found == files.end() || found->second.size() > maxBytes) return false;
  content = found->second;
  return true;
}

namespace {

// The name of path directly below folder, or "" when it is not directly below.
std::string childName(const std::string& folder, const std::string& path) {
  const std::string prefix = folder + kPathSeparator;
  if (path.rfind(prefix, 0) != 0) return {};
  const std::string rest = path.substr(prefix.size());
  return rest.find(kPathSeparator) == std::string::npos ? rest : std::string();
}

}  // namespace

bool FakeFileSystem::listFolder(const std::string& path, std::vector<FolderEntry>& entries) {
  if (!folders.count(path)) return false;
  entries = {{".", true}, {"..", true}};
  for (const auto& [file, content] : files) {
    if (const std::string name = childName(path, file); !name.empty()) entries.push_back({name});
  }
  for (const std::string& folder : folders) {
    if (const std::string name = childName(path, folder); !name.empty()) {
      entries.push_back({name, true});
    }
  }
  return true;
}

bool FakeFileSystem::createFolder(const std::string& path) {
  const std::string parent = path.substr(0, path.rfind(kPathSeparator));
  if (pathExists(path) || unwritable.count(path) || (!parent.empty() && !folders.count(parent))) {
    return false;
  }
  folders.insert(path);
  return true;
}

bool FakeFileSystem::pathExists(const std::string& path) {
  std::string canonical;
  const auto known = [this](const std::string& p) { return files.count(p) || folders.count(p); };
  return known(path) || (canonicalPath(path, canonical) && known(canonical));
}

// Walks the path name by name; a prefix that is a link starts over from its
// target with the names still to come.
bool FakeFileSystem::canonicalPath(const std::string& path, std::string& canonical) {
  if (path.empty()) return false;
  const std::string separator(1, kPathSeparator);
  std::vector<std::string> names;
  std::string rest = path.front() == kPathSeparator ? path : currentFolder + separator + path;
  for (int hops = 0; hops < 40; ++hops) {
    bool followed = false;
    std::size_t start = 0;
    while (start <= rest.size() && !followed) {
      const std::size_t end = std::min(rest.find(kPathSeparator, start), rest.size());
      const std::string name = rest.substr(start, end - start);
      start = end + 1;
      if (name.empty() || name == ".") continue;
      if (name == "..") {
        if (!names.empty()) names.pop_back();
        continue;
      }
      names.push_back(name);
      std::string prefix;
      for (const std::string& part : names) prefix += separator + part;
      if (auto link = links.find(prefix); link != links.end()) {
        rest = link->second + separator + (start < rest.size() ? rest.substr(start) : "");
        names.clear();
        followed = true;
      }
    }
    if (followed) continue;
    canonical.clear();
    for (const std::string& part : names) canonical += separator + part;
    if (canonical.empty()) canonical = separator;
    return true;
  }
  return false;  // a loop of links
}

std::string FakeFileSystem::caseFolded(const std::string& path) {
  return ignoreCase ? lower(path) : path;
}

bool FakeShell::specialFolder(SpecialFolder folder, std::string& path) {
  auto found = folders.find(folder);
  if (found == folders.end()) return false;
  path = found->second;
  return true;
}

std::int32_t FakeShell::createShortcut(const Shortcut& shortcut) {
  created.push_back(shortcut);
  const std::string parent = shortcut.linkPath.substr(0, shortcut.linkPath.rfind(kPathSeparator));
  if (!files_.folders.count(parent)) return -1;
  files_.files[shortcut.linkPath] = shortcut.target + "|" + shortcut.description;
  return 0;
}

bool FakeShell::installIcon(const std::string& name, const std::vector<std::uint8_t>& iconFile,
                            std::string& iconPath) {
  if (iconFolder.empty() || iconFile.empty()) return false;
  iconPath = iconFolder + kPathSeparator + name + ".png";
  files_.files[iconPath] = std::string(iconFile.begin(), iconFile.end());
  return true;
}

void FakeShell::removeIcon(const std::string& iconPath) {
  removedIcons.push_back(iconPath);
  if (iconPath.rfind(iconFolder + kPathSeparator, 0) == 0) files_.files.erase(iconPath);
}

bool FakeProcesses::runAndWait(const std::string& program, const std::string& argv0,
                               int& exitCode) {
  runs.push_back({program, argv0});
  auto found = exitCodes.find(program);
  if (found == exitCodes.end()) return false;
  exitCode = found->second;
  return true;
}

bool FakeProcesses::runningApplicationFolder(std::string& folder) {
  if (runningFolder.empty()) return false;
  folder = runningFolder;
  return true;
}

MessageAnswer FakeDialogs::messageBox(const MessageBoxRequest& request) {
  shown.push_back(request);
  if (answers.empty()) {
    ADD_FAILURE() << "unexpected message box: [" << request.caption << "] " << request.text;
    return MessageAnswer::Cancel;
  }
  const MessageAnswer answer = answers.front();
  answers.pop_front();
  return answer;
}

bool FakeDialogs::browseForFolder(const std::string& title, std::string& path) {
  browseTitles.push_back(title);
  if (browseAnswers.empty()) {
    ADD_FAILURE() << "unexpected folder-browse dialog: " << title;
    return false;
  }
  const std::optional<std::string> answer = browseAnswers.front();
  browseAnswers.pop_front();
  if (!answer) return false;
  path = *answer;
  return true;
}

int FakeDialogs::runModalDialog(int templateId, ModalDialog&) {
  dialogsRun.push_back(templateId);
  if (dialogResults.empty()) {
    ADD_FAILURE() << "unexpected dialog " << templateId;
    return 2;
  }
  const int result = dialogResults.front();
  dialogResults.pop_front();
  return result;
}

bool FakeLibrary::hasExport(const std::string& name) {
  if (name == "DllGetVersion") return script_.hasDllGetVersion;
  if (name == "WSAStartup") return script_.hasWsaStartup;
  if (name == "WSACleanup") return script_.hasWsaCleanup;
  return false;
}

std::int32_t FakeLibrary::dllGetVersion(DllVersionInfo& info) {
  const std::uint32_t size = info.size;
  info = script_.version;
  info.size = size;
  return script_.dllGetVersionResult;
}

int FakeLibrary::wsaStartup(std::uint16_t, std::uint16_t& highVersion) {
  highVersion = script_.wsaHighVersion;
  return script_.wsaStartupResult;
}

std::unique_ptr<LoadedLibrary> FakeLibraryLoader::loadLibrary(const std::string& name) {
  loaded.push_back(name);
  auto found = libraries.find(name);
  if (found == libraries.end()) return nullptr;
  return std::make_unique<FakeLibrary>(found->second, cleanups, unloads);
}

bool FakeVersionResources::readVersionInfo(const std::string& path,
                                           std::vector<std::uint8_t>& block) {
  auto found = blocks.find(path);
  if (found == blocks.end()) return false;
  block = found->second;
  return true;
}

bool FakeVersionResources::readFirstIcon(const std::string& path,
                                         std::vector<std::uint8_t>& iconFile) {
  auto found = icons.find(path);
  if (found == icons.end()) return false;
  iconFile = found->second;
  return true;
}

}  // namespace ks::test
