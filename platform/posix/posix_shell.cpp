#include "platform/posix/posix_shell.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

#include "platform/posix/png_file.h"
#include "platform/posix/registry_folders.h"
#include "platform/posix/xdg_folders.h"

namespace ks {

namespace {

constexpr std::int32_t kShortcutFailed = static_cast<std::int32_t>(0x80004005u);
constexpr mode_t kLauncherMode = 0755;
constexpr mode_t kIconMode = 0644;
// What opens a document with the application the user chose for it.
constexpr const char* kOpenDocument = "xdg-open";

struct SplitLink {
  std::string folder;  // "" when the path has no folder
  std::string name;
};

SplitLink splitLink(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return {path.substr(0, slash), path.substr(slash + 1)};
}

// Escapes for a desktop entry's string values: backslash and line breaks.
std::string escapeString(const std::string& text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        out += c;
    }
  }
  return out;
}

// One argument of an Exec line: always quoted, with the characters the
// format reserves inside quotes escaped, and % doubled.
std::string quoteExecArgument(const std::string& argument) {
  std::string out = "\"";
  for (char c : argument) {
    if (c == '"' || c == '`' || c == '$' || c == '\\') out += '\\';
    if (c == '%') out += '%';
    out += c;
  }
  return out + "\"";
}

bool isDocument(const std::string& target) {
  const std::size_t dot = target.rfind('.');
  if (dot == std::string::npos || target.find('/', dot) != std::string::npos) return false;
  std::string extension = target.substr(dot);
  for (char& c : extension) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return extension == ".txt" || extension == ".htm" || extension == ".html" ||
         extension == ".pdf" || extension == ".rtf";
}

// The value of XDG_DESKTOP_DIR in user-dirs.dirs ("$HOME/..." or absolute).
std::string configuredDesktop(const std::string& home) {
  std::ifstream in(configHomeFolder() + "/user-dirs.dirs");
  std::string line;
  while (std::getline(in, line)) {
    const std::string key = "XDG_DESKTOP_DIR=\"";
    if (line.rfind(key, 0) != 0 || line.size() < key.size() + 1 || line.back() != '"') continue;
    std::string value = line.substr(key.size(), line.size() - key.size() - 1);
    if (value.rfind("$HOME", 0) == 0) return home + value.substr(5);
    if (!value.empty() && value[0] == '/') return value;
  }
  return {};
}

}  // namespace

std::string desktopFolder() {
  const std::string home = homeFolder();
  const std::string configured = configuredDesktop(home);
  return configured.empty() ? home + "/Desktop" : configured;
}

std::string iconThemeFolder() {
  return dataHomeFolder() + "/icons/hicolor";
}

std::string desktopEntryText(const Shell::Shortcut& shortcut) {
  const std::string& name = shortcut.menuName.empty() ? shortcut.description : shortcut.menuName;
  std::string text = "[Desktop Entry]\nType=Application\n";
  text += "Name=" + escapeString(name) + "\n";
  if (!shortcut.comment.empty()) text += "Comment=" + escapeString(shortcut.comment) + "\n";
  const std::string start = isDocument(shortcut.target) ? std::string(kOpenDocument) + " " : "";
  text += "Exec=" + escapeString(start + quoteExecArgument(shortcut.target)) + "\n";
  if (!shortcut.iconPath.empty()) text += "Icon=" + escapeString(shortcut.iconPath) + "\n";
  if (!shortcut.categories.empty()) text += "Categories=" + shortcut.categories + "\n";
  return text;
}

bool PosixShell::specialFolder(SpecialFolder folder, std::string& path) {
  switch (folder) {
    case SpecialFolder::Desktop:
      path = desktopFolder();
      break;
    case SpecialFolder::Programs:
      // Like the Start menu's programs folder, the user's menu folder always
      // exists: a fresh home gets it when it is first asked for.
      path = dataHomeFolder() + "/applications";
      registry::makeFolders(path);
      break;
    case SpecialFolder::CommonPrograms:
      path = commonPrograms_;
      break;
  }
  return !path.empty();
}

std::int32_t PosixShell::createShortcut(const Shortcut& shortcut) {
  const SplitLink link = splitLink(shortcut.linkPath);
  if (link.folder.empty()) return kShortcutFailed;
  if (!registry::replaceFile(link.folder, link.name, desktopEntryText(shortcut))) {
    return kShortcutFailed;
  }
  const bool launcher = link.folder == desktopFolder();
  if (launcher && ::chmod(shortcut.linkPath.c_str(), kLauncherMode) != 0) return kShortcutFailed;
  return 0;
}

bool PosixShell::installIcon(const std::string& name, const std::vector<std::uint8_t>& iconFile,
                             std::string& iconPath) {
  std::vector<std::uint8_t> png;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  if (!iconFileToPng(iconFile, png, width, height)) return false;
  const std::string folder =
      iconThemeFolder() + "/" + std::to_string(width) + "x" + std::to_string(height) + "/apps";
  const std::string file = name + ".png";
  if (!registry::makeFolders(folder) ||
      !registry::replaceFile(folder, file, std::string(png.begin(), png.end())) ||
      ::chmod((folder + "/" + file).c_str(), kIconMode) != 0) {
    return false;
  }
  iconPath = folder + "/" + file;
  return true;
}

// Only a PNG file in a size folder of the theme's "apps" context.
void PosixShell::removeIcon(const std::string& iconPath) {
  const std::string theme = iconThemeFolder() + "/";
  const SplitLink icon = splitLink(iconPath);
  if (!iconPath.starts_with(theme) || !icon.folder.ends_with("/apps") ||
      !icon.name.ends_with(".png") || iconPath.find("/..") != std::string::npos) {
    return;
  }
  ::unlink(iconPath.c_str());
}

}  // namespace ks
