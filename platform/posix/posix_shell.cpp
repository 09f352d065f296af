#include "platform/posix/posix_shell.h"

#include <fstream>
#include <iterator>

#include "platform/posix/registry_folders.h"
#include "platform/posix/xdg_folders.h"

namespace ks {

namespace {

constexpr std::int32_t kShortcutFailed = static_cast<std::int32_t>(0x80004005u);

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

std::string percentEncodePath(const std::string& path) {
  static const char* kHex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : path) {
    const bool plain = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                       c == '/' || c == '-' || c == '_' || c == '.' || c == '~';
    if (plain) {
      out += static_cast<char>(c);
    } else {
      out += '%';
      out += kHex[c >> 4];
      out += kHex[c & 15];
    }
  }
  return out;
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

std::string desktopEntryText(const std::string& target, const std::string& description) {
  std::string text = "[Desktop Entry]\n";
  if (isDocument(target)) {
    text += "Type=Link\nURL=file://" + escapeString(percentEncodePath(target)) + "\n";
  } else {
    text += "Type=Application\nExec=" + escapeString(quoteExecArgument(target)) + "\n";
  }
  text += "Name=" + escapeString(description) + "\n";
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

std::int32_t PosixShell::createShortcut(const std::string& target, const std::string& linkPath,
                                        const std::string& description) {
  const std::size_t slash = linkPath.rfind('/');
  if (slash == std::string::npos) return kShortcutFailed;
  const bool saved = registry::replaceFile(linkPath.substr(0, slash), linkPath.substr(slash + 1),
                                           desktopEntryText(target, description));
  return saved ? 0 : kShortcutFailed;
}

}  // namespace ks
