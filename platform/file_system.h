#pragma once
// Files and folders, as the setup uses them. Paths are in the platform's own
// form (see kPathSeparator).
//
// Reading follows symbolic links, but only regular files are ever read: a
// FIFO, a device or a folder in place of a file fails at once, and opening
// never waits.
//
// Writing happens only below a folder the setup was given (the installation
// folder, the download folder, a special folder of the shell). Every
// operation that creates, renames, stamps or deletes takes that folder as it
// is spelled (links in it are followed: it was chosen) and a path `below` it,
// its components separated by kPathSeparator ("" as the folder is the
// current folder). No component of `below`, the
// last one included, is ever followed as a symbolic link (on Windows: as any
// reparse point), and the check can't race with a link made meanwhile:
// POSIX walks from the folder with openat and O_NOFOLLOW, component by
// component; Windows opens each folder with FILE_FLAG_OPEN_REPARSE_POINT,
// refuses a reparse point, and holds the handle without FILE_SHARE_DELETE
// while the next component is opened. A link met on the way fails the
// operation, except where an operation says it replaces it; then only the
// link itself is removed, never what it points to.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace ks {

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // True when the attributes of the file or folder can be read.
  virtual bool pathExists(const std::string& path) = 0;
  // Reads a whole regular file of at most maxBytes bytes; false when it is
  // missing, not a regular file, unreadable or larger.
  virtual bool readFile(const std::string& path, std::string& content, std::uint64_t maxBytes) = 0;

  // One entry of a folder listing. A symbolic link (or junction) is never a
  // folder here, whatever it points to.
  struct FolderEntry {
    std::string name;
    bool isFolder = false;
  };
  // The entries of a folder, "." and ".." included where the system lists
  // them; false when the folder can't be read.
  virtual bool listFolder(const std::string& path, std::vector<FolderEntry>& entries) = 0;
  // Creates one folder the user chose (its parent must exist); false when it
  // can't, also when it exists already.
  virtual bool createFolder(const std::string& path) = 0;
  // The bytes the user may still write on the file system that holds folder
  // (GetDiskFreeSpaceEx's free bytes available to the caller); false when
  // that can't be told.
  virtual bool freeSpace(const std::string& folder, std::uint64_t& bytes) = 0;

  // Low-level file handles, through which cabinets are read and downloads
  // and extracted files are written.
  // Opens a regular file for reading and returns its handle, or -1.
  virtual std::int32_t openForReading(const std::string& path) = 0;
  // Bytes read (0 at the end of the file) or written; -1 on failure.
  virtual std::int32_t readHandle(std::int32_t handle, void* buffer, std::uint32_t count) = 0;
  virtual std::int32_t writeHandle(std::int32_t handle, const void* buffer,
                                   std::uint32_t count) = 0;
  virtual bool closeHandle(std::int32_t handle) = 0;
  // origin 0 counts from the start of the file, 1 from the current position.
  // The new position, or -1.
  virtual std::int32_t seekHandle(std::int32_t handle, std::int32_t offset, int origin) = 0;

  // --- Writing below a folder (see the top of this file) ---

  // Creates a new, empty file and returns a handle open for writing, or -1.
  // Whatever had that name is removed first (a file, or a link itself); a
  // folder, device or FIFO of that name fails.
  virtual std::int32_t createFile(const std::string& folder, const std::string& below) = 0;
  // Opens an existing regular file for writing after its last byte and
  // tells its size; -1 when it is missing, a link, a folder, a device or
  // FIFO, or read-only.
  virtual std::int32_t openForAppending(const std::string& folder, const std::string& below,
                                        std::uint64_t& size) = 0;
  // A calendar date and time on the computer's local clock.
  struct LocalDateTime {
    int year = 1980;
    int month = 1;  // 1 to 12
    int day = 1;    // 1 to 31
    int hour = 0;
    int minute = 0;
    int second = 0;
  };
  // Sets the last-write time (and the creation time where the system keeps
  // one) of a file open for writing to a local time; the last-access time
  // stays.
  virtual bool setHandleTime(std::int32_t handle, const LocalDateTime& time) = 0;
  // MS-DOS attribute bits of a file.
  static constexpr std::uint32_t kAttributeReadOnly = 0x01;
  static constexpr std::uint32_t kAttributeHidden = 0x02;
  static constexpr std::uint32_t kAttributeSystem = 0x04;
  static constexpr std::uint32_t kAttributeArchive = 0x20;
  // Sets the read-only, hidden, system and archive bits of a file open for
  // writing (Windows: SetFileInformationByHandle).
  virtual bool setHandleAttributes(std::int32_t handle, std::uint32_t attributes) = 0;
  // Renames from over to, both below folder: an existing file (or a link
  // itself) of the new name is replaced in one step. Fails when to is a
  // folder, a device or FIFO, or a file whose read-only attribute is set.
  virtual bool renameFile(const std::string& folder, const std::string& from,
                          const std::string& to) = 0;
  // Deletes a file (a link itself, never its target); never a folder.
  virtual bool deleteFile(const std::string& folder, const std::string& below) = 0;
  // Makes below a real folder: creates it when it is missing (its parent must
  // exist); a link in its place is removed first. True when it is a folder
  // afterwards; false when it can't be made or a file is in its place.
  virtual bool ensureFolder(const std::string& folder, const std::string& below) = 0;
  // Removes an empty folder (never a link); false when it is missing or not
  // empty. An empty below names folder itself.
  virtual bool removeFolder(const std::string& folder, const std::string& below) = 0;
  // Copies the regular file from into folder as below: the copy is written
  // under its temporary name (kTemporaryFileEnding) and renamed over below
  // once complete, so a failed copy never harms an existing file. Copying a
  // file onto itself fails.
  virtual bool copyFile(const std::string& from, const std::string& folder,
                        const std::string& below) = 0;
  // Gives a file below folder that is a program by its content (an ELF
  // image, or a script that starts with "#!") the execute permission where
  // it may be read; any other file has none. True where the system has no
  // such permission (Windows).
  virtual bool setProgramMode(const std::string& folder, const std::string& below) = 0;
  // True when this user may create files in the folder.
  virtual bool canCreateFiles(const std::string& folder) = 0;
  // Why the last call on this thread that failed did, in the system's words
  // ("Permission denied"); "" when it can't say.
  virtual std::string lastErrorText() = 0;

  // --- Paths as the file system sees them (app/path_compare.h compares them) ---

  // The path made absolute, with the links (and junctions) of the part that
  // exists resolved and ".", ".." and repeated or trailing separators gone; a
  // root keeps its separator (/ and C:\ and \\server\share\ end in one).
  // False when the path can't be made absolute.
  virtual bool canonicalPath(const std::string& path, std::string& canonical) = 0;
  // The path as this file system compares names: folded to one case where it
  // finds names without regard to case (Windows), unchanged where case
  // matters (Linux).
  virtual std::string caseFolded(const std::string& path) = 0;
  // The length of a path in the platform's own units (bytes of UTF-8 on
  // Linux, UTF-16 code units on Windows), and the longest path the setup
  // accepts, in the same units.
  virtual std::size_t pathLength(const std::string& path) = 0;
  virtual std::size_t maxPathLength() = 0;
};

// A file the setup installs is written as its name followed by this ending,
// in its own folder, and renamed over its name only when it is complete. A
// run that was killed on the way leaves such a file; the next run that
// installs into that folder removes it.
inline constexpr std::string_view kTemporaryFileEnding = ".ks-tmp";

}  // namespace ks
