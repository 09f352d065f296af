// Writing below a folder the setup was given. Every folder between it and the
// entry is opened with FILE_FLAG_OPEN_REPARSE_POINT, refused when it is a
// reparse point, and held open without FILE_SHARE_DELETE until the operation
// is done, so none of them can be swapped for a link meanwhile. The entry
// itself is never followed either: a link in its place is removed, never
// what it points to.

#include <windows.h>

#include <vector>

#include "platform/win32/unique_handle.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"

namespace ks {

namespace {

enum class Entry { Missing, File, ReadOnlyFile, Folder, Link };

// What is at path itself (a link is not followed).
Entry entryAt(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return Entry::Missing;
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return Entry::Link;
  if (attributes & FILE_ATTRIBUTE_DIRECTORY) return Entry::Folder;
  return (attributes & FILE_ATTRIBUTE_READONLY) ? Entry::ReadOnlyFile : Entry::File;
}

// Removes a link itself: a link to a folder is a folder entry.
bool removeLink(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return RemoveDirectoryW(path.c_str()) != 0;
  }
  return DeleteFileW(path.c_str()) != 0;
}

// The folders of one path below a chosen folder, held open while it is used.
class BelowWalk {
 public:
  // False when below isn't UTF-8, or a folder on the way is missing or a
  // reparse point.
  bool open(const std::string& folder, const std::string& below) {
    const auto wideFolder = widen(folder);
    const auto wideBelow = widen(below);
    if (!wideFolder || !wideBelow) return false;
    path_ = *wideFolder;
    std::size_t start = 0;
    while (!wideBelow->empty()) {
      const std::size_t end = wideBelow->find(L'\\', start);
      if (!path_.empty() && path_.back() != L'\\' && path_.back() != L'/') path_ += L'\\';
      path_ += wideBelow->substr(start, end - start);
      if (end == std::wstring::npos) break;
      if (!holdFolder(path_)) return false;
      start = end + 1;
    }
    return true;
  }
  const std::wstring& path() const { return path_; }

 private:
  bool holdFolder(const std::wstring& path) {
    UniqueFile folder(CreateFileW(
        path.c_str(), FILE_READ_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
        OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
    BY_HANDLE_FILE_INFORMATION information{};
    if (!folder.valid() || !GetFileInformationByHandle(folder.get(), &information) ||
        (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
        !(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
      return false;
    }
    held_.push_back(std::move(folder));
    return true;
  }

  std::vector<UniqueFile> held_;
  std::wstring path_;
};

// True when both paths name the same file.
bool sameFile(const std::wstring& a, const std::wstring& b) {
  const auto identity = [](const std::wstring& path, BY_HANDLE_FILE_INFORMATION& information) {
    const UniqueFile file(CreateFileW(path.c_str(), FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    return file.valid() && GetFileInformationByHandle(file.get(), &information);
  };
  BY_HANDLE_FILE_INFORMATION first{};
  BY_HANDLE_FILE_INFORMATION second{};
  return identity(a, first) && identity(b, second) &&
         first.dwVolumeSerialNumber == second.dwVolumeSerialNumber &&
         first.nFileIndexHigh == second.nFileIndexHigh &&
         first.nFileIndexLow == second.nFileIndexLow;
}

}  // namespace

std::int32_t Win32FileSystem::createFile(const std::string& folder, const std::string& below) {
  BelowWalk walk;
  if (!walk.open(folder, below)) return -1;
  switch (entryAt(walk.path())) {
    case Entry::Folder:
    case Entry::ReadOnlyFile:
      return -1;
    case Entry::File:
    case Entry::Link:
      if (!removeLink(walk.path())) return -1;
      break;
    case Entry::Missing:
      break;
  }
  const HANDLE file =
      CreateFileW(walk.path().c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                  CREATE_NEW, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  return file == INVALID_HANDLE_VALUE ? -1 : keep(file);
}

// The handle is checked again after opening: a reparse point swapped in
// meanwhile is opened as itself and refused.
std::int32_t Win32FileSystem::openForAppending(const std::string& folder, const std::string& below,
                                               std::uint64_t& size) {
  BelowWalk walk;
  if (!walk.open(folder, below) || entryAt(walk.path()) != Entry::File) return -1;
  UniqueFile file(CreateFileW(walk.path().c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                              nullptr));
  BY_HANDLE_FILE_INFORMATION information{};
  LARGE_INTEGER end{};
  if (!file.valid() || !GetFileInformationByHandle(file.get(), &information) ||
      (information.dwFileAttributes &
       (FILE_ATTRIBUTE_REPARSE_POINT | FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) ||
      !SetFilePointerEx(file.get(), LARGE_INTEGER{}, &end, FILE_END)) {
    return -1;
  }
  size = static_cast<std::uint64_t>(end.QuadPart);
  return keep(file.release());
}

bool Win32FileSystem::renameFile(const std::string& folder, const std::string& from,
                                 const std::string& to) {
  BelowWalk source;
  BelowWalk target;
  if (!source.open(folder, from) || !target.open(folder, to)) return false;
  const Entry moved = entryAt(source.path());
  if (moved != Entry::File && moved != Entry::ReadOnlyFile) return false;
  switch (entryAt(target.path())) {
    case Entry::Folder:
    case Entry::ReadOnlyFile:
      return false;
    case Entry::Link:
      if (!removeLink(target.path())) return false;
      break;
    case Entry::File:
    case Entry::Missing:
      break;
  }
  return MoveFileExW(source.path().c_str(), target.path().c_str(), MOVEFILE_REPLACE_EXISTING) != 0;
}

bool Win32FileSystem::deleteFile(const std::string& folder, const std::string& below) {
  BelowWalk walk;
  if (!walk.open(folder, below)) return false;
  switch (entryAt(walk.path())) {
    case Entry::File:
    case Entry::ReadOnlyFile:
    case Entry::Link:
      return removeLink(walk.path());
    case Entry::Folder:
    case Entry::Missing:
      break;
  }
  return false;
}

bool Win32FileSystem::ensureFolder(const std::string& folder, const std::string& below) {
  BelowWalk walk;
  if (!walk.open(folder, below)) return false;
  switch (entryAt(walk.path())) {
    case Entry::Folder:
      return true;
    case Entry::File:
    case Entry::ReadOnlyFile:
      return false;
    case Entry::Link:
      if (!removeLink(walk.path())) return false;
      break;
    case Entry::Missing:
      break;
  }
  return CreateDirectoryW(walk.path().c_str(), nullptr) != 0;
}

bool Win32FileSystem::removeFolder(const std::string& folder, const std::string& below) {
  BelowWalk walk;
  return walk.open(folder, below) && entryAt(walk.path()) == Entry::Folder &&
         RemoveDirectoryW(walk.path().c_str()) != 0;
}

// Written under the temporary name and renamed over below once complete.
bool Win32FileSystem::copyFile(const std::string& from, const std::string& folder,
                               const std::string& below) {
  const std::string temporary = below + std::string(kTemporaryFileEnding);
  BelowWalk target;
  BelowWalk scratch;
  const auto source = widen(from);
  if (!source || !target.open(folder, below) || !scratch.open(folder, temporary)) return false;
  const Entry copied = entryAt(*source);
  if ((copied != Entry::File && copied != Entry::ReadOnlyFile) ||
      entryAt(target.path()) == Entry::Folder || sameFile(*source, target.path())) {
    return false;
  }
  const Entry left = entryAt(scratch.path());
  if (left == Entry::Folder || (left != Entry::Missing && !removeLink(scratch.path()))) {
    return false;
  }
  if (!CopyFileW(source->c_str(), scratch.path().c_str(), TRUE)) return false;
  if (renameFile(folder, temporary, below)) return true;
  DeleteFileW(scratch.path().c_str());
  return false;
}

bool Win32FileSystem::canCreateFiles(const std::string& folder) {
  const auto wide = widen(folder);
  if (!wide) return false;
  std::wstring probe = *wide;
  if (!probe.empty() && probe.back() != L'\\') probe += L'\\';
  probe += L"~ks-write-probe.tmp";
  const UniqueFile file(CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr));
  return file.valid();
}

std::string Win32FileSystem::lastErrorText() {
  const DWORD error = GetLastError();
  wchar_t text[512] = L"";
  const DWORD length =
      FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                     text, sizeof text / sizeof text[0], nullptr);
  std::wstring wide(text, length);
  while (!wide.empty() && (wide.back() == L'\n' || wide.back() == L'\r' || wide.back() == L'.')) {
    wide.pop_back();
  }
  return narrow(wide).value_or(std::string());
}

}  // namespace ks
