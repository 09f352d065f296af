// The file system adapter on wide paths (blanks, characters beyond ASCII):
// handles, the times and attributes a cabinet stores, renames over a file,
// and links on the way of a write.

#include <gtest/gtest.h>
#include <windows.h>

#include "app/path_compare.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "tests/win32/win32_test_support.h"

namespace ks {
namespace {

class Win32Files : public ::testing::Test {
 protected:
  std::string written(const std::string& below, const std::string& content) {
    const std::int32_t file = files.createFile(temp.path(), below);
    EXPECT_GE(file, 0) << below;
    EXPECT_EQ(files.writeHandle(file, content.data(), static_cast<std::uint32_t>(content.size())),
              static_cast<std::int32_t>(content.size()));
    EXPECT_TRUE(files.closeHandle(file));
    return temp.at(below);
  }
  std::string bytes(const std::string& path) { return test::fileBytes(*widen(path)); }

  test::WideTempFolder temp;
  Win32FileSystem files;
};

TEST_F(Win32Files, HandlesWriteSeekAndReadUnderAWidePath) {
  const std::string path = written(
      "\xc3\xbc"
      "ber \xe6\x97\xa5.txt",
      "0123456789");
  EXPECT_EQ(bytes(path), "0123456789");
  const std::int32_t in = files.openForReading(path);
  ASSERT_GE(in, 0);
  EXPECT_EQ(files.seekHandle(in, 4, 0), 4);
  EXPECT_EQ(files.seekHandle(in, 2, 1), 6);
  char buffer[8] = {};
  EXPECT_EQ(files.readHandle(in, buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(files.readHandle(in, buffer, sizeof buffer), 0);
  EXPECT_TRUE(files.closeHandle(in));
  EXPECT_FALSE(files.closeHandle(in));  // a closed handle is gone

  // A new file replaces the old one whole: no stale tail.
  written(
      "\xc3\xbc"
      "ber \xe6\x97\xa5.txt",
      "ab");
  EXPECT_EQ(bytes(path), "ab");
  EXPECT_EQ(files.openForReading(temp.path()), -1);  // a folder is no file
}

TEST_F(Win32Files, TimesAreTheLocalTimeAndAttributesStick) {
  const std::int32_t file = files.createFile(temp.path(), "readme.txt");
  ASSERT_GE(file, 0);
  ASSERT_TRUE(files.setHandleTime(file, {2004, 7, 15, 13, 45, 58}));
  ASSERT_TRUE(files.setHandleAttributes(
      file, FileSystem::kAttributeReadOnly | FileSystem::kAttributeHidden | 0x40));
  files.closeHandle(file);

  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(
      GetFileAttributesExW(widen(temp.at("readme.txt"))->c_str(), GetFileExInfoStandard, &data));
  // wine reports every file as archived.
  EXPECT_EQ(data.dwFileAttributes & ~static_cast<DWORD>(FILE_ATTRIBUTE_ARCHIVE),
            static_cast<DWORD>(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
  FILETIME local{};
  SYSTEMTIME shown{};
  ASSERT_TRUE(FileTimeToLocalFileTime(&data.ftLastWriteTime, &local));
  ASSERT_TRUE(FileTimeToSystemTime(&local, &shown));
  EXPECT_EQ(shown.wYear, 2004);
  EXPECT_EQ(shown.wMonth, 7);
  EXPECT_EQ(shown.wDay, 15);
  EXPECT_EQ(shown.wHour, 13);
  EXPECT_EQ(shown.wMinute, 45);
  EXPECT_EQ(shown.wSecond, 58);
  EXPECT_EQ(CompareFileTime(&data.ftCreationTime, &data.ftLastWriteTime), 0);

  // A read-only file is neither written again nor renamed over.
  EXPECT_EQ(files.createFile(temp.path(), "readme.txt"), -1);
  written("readme.txt.ks-tmp", "new");
  EXPECT_FALSE(files.renameFile(temp.path(), "readme.txt.ks-tmp", "readme.txt"));
  EXPECT_EQ(bytes(temp.at("readme.txt")), "");
}

TEST_F(Win32Files, RenameAndCopyReplaceAFileInOneStep) {
  written("app.cab.part", "complete");
  written("app.cab", "an older, longer package");
  ASSERT_TRUE(files.renameFile(temp.path(), "app.cab.part", "app.cab"));
  EXPECT_EQ(bytes(temp.at("app.cab")), "complete");
  EXPECT_FALSE(files.pathExists(temp.at("app.cab.part")));

  ASSERT_TRUE(files.ensureFolder(temp.path(), "Program Files"));
  ASSERT_TRUE(files.copyFile(temp.at("app.cab"), temp.path(), "Program Files\\setup.exe"));
  EXPECT_EQ(bytes(temp.at("Program Files\\setup.exe")), "complete");
  EXPECT_FALSE(files.pathExists(temp.at("Program Files\\setup.exe.ks-tmp")));
  // Onto itself, spelt in another case: refused, and the file stays.
  EXPECT_FALSE(
      files.copyFile(temp.at("PROGRAM FILES\\SETUP.EXE"), temp.path(), "Program Files\\setup.exe"));
  EXPECT_EQ(bytes(temp.at("Program Files\\setup.exe")), "complete");

  EXPECT_FALSE(files.removeFolder(temp.path(), "Program Files"));  // not empty
  EXPECT_TRUE(files.deleteFile(temp.path(), "Program Files\\setup.exe"));
  EXPECT_FALSE(files.deleteFile(temp.path(), "Program Files"));  // never a folder
  EXPECT_TRUE(files.removeFolder(temp.path(), "Program Files"));
  std::uint64_t free = 0;
  EXPECT_TRUE(files.freeSpace(temp.path(), free));
  EXPECT_GT(free, 0u);
}

TEST_F(Win32Files, NothingIsWrittenThroughALinkToAFolder) {
  ASSERT_TRUE(files.ensureFolder(temp.path(), "precious"));
  written("precious\\keep.txt", "keep");
  if (!CreateSymbolicLinkW(widen(temp.at("link"))->c_str(), widen(temp.at("precious"))->c_str(),
                           SYMBOLIC_LINK_FLAG_DIRECTORY)) {
    GTEST_SKIP() << "this system makes no symbolic links here";
  }
  std::vector<FileSystem::FolderEntry> entries;
  ASSERT_TRUE(files.listFolder(temp.path(), entries));
  for (const auto& entry : entries) {
    if (entry.name == "link") {
      EXPECT_FALSE(entry.isFolder);
    }
  }
  EXPECT_EQ(files.createFile(temp.path(), "link\\keep.txt"), -1);
  EXPECT_FALSE(files.ensureFolder(temp.path(), "link\\sub"));
  EXPECT_FALSE(files.deleteFile(temp.path(), "link\\keep.txt"));
  EXPECT_EQ(bytes(temp.at("precious\\keep.txt")), "keep");
  EXPECT_FALSE(files.pathExists(temp.at("precious\\sub")));
}

// Paths compare as NTFS finds them: the same folder whatever its spelling
// (case beyond ASCII, "." and "..", trailing separators), roots known as
// roots, lengths counted in UTF-16 units.
TEST_F(Win32Files, PathsCompareAsTheFileSystemFindsThem) {
  ASSERT_TRUE(files.ensureFolder(temp.path(),
                                 "\xc3\xbc"
                                 "ber"));  // "über"
  const std::string spelled = temp.path() +
                              "\\x\\..\\\xc3\x9c"
                              "BER\\.\\";  // "Über"
  EXPECT_TRUE(samePath(files, spelled,
                       temp.at("\xc3\xbc"
                               "ber")));
  EXPECT_TRUE(pathIsWithin(files,
                           temp.at("\xc3\xbc"
                                   "ber\\new\\file"),
                           spelled));
  EXPECT_FALSE(pathIsWithin(files, temp.path(), spelled));
  std::string canonical;
  ASSERT_TRUE(files.canonicalPath(spelled, canonical));
  EXPECT_NE(canonical.back(), '\\');
  for (const char* root : {"C:\\", "c:\\.", "C:\\Windows\\.."}) {
    EXPECT_TRUE(isFileSystemRoot(files, root)) << root;
  }
  EXPECT_FALSE(isFileSystemRoot(files, temp.path()));
  EXPECT_EQ(files.pathLength("C:\\\xc3\xbc\xe6\x97\xa5"), 5u);  // 5 UTF-16 units, 8 bytes
  EXPECT_EQ(files.maxPathLength(), 259u);
}

}  // namespace
}  // namespace ks
