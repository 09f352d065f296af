// The file system adapter on wide paths (blanks, characters beyond ASCII):
// handles, the times and attributes a cabinet stores, links to folders.

#include <gtest/gtest.h>
#include <windows.h>

#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "tests/win32/win32_test_support.h"

namespace ks {
namespace {

class Win32Files : public ::testing::Test {
 protected:
  test::WideTempFolder temp;
  Win32FileSystem files;
};

TEST_F(Win32Files, HandlesWriteSeekAndReadUnderAWidePath) {
  const std::string path = temp.at(
      "\xc3\xbc"
      "ber \xe6\x97\xa5.txt");
  const std::int32_t out = files.openHandle(path, FileSystem::FileAccess::Write, true, true);
  ASSERT_GE(out, 0);
  EXPECT_EQ(files.writeHandle(out, "0123456789", 10), 10);
  EXPECT_TRUE(files.closeHandle(out));
  EXPECT_FALSE(files.closeHandle(out));  // a closed handle is gone
  EXPECT_EQ(test::fileBytes(*widen(path)), "0123456789");

  const std::int32_t in = files.openHandle(path, FileSystem::FileAccess::Read, false, false);
  ASSERT_GE(in, 0);
  EXPECT_EQ(files.seekHandle(in, 4, 0), 4);
  EXPECT_EQ(files.seekHandle(in, 2, 1), 6);
  char buffer[8] = {};
  EXPECT_EQ(files.readHandle(in, buffer, sizeof buffer), 4);
  EXPECT_EQ(std::string(buffer, 4), "6789");
  EXPECT_EQ(files.readHandle(in, buffer, sizeof buffer), 0);
  EXPECT_TRUE(files.closeHandle(in));

  // Opening without truncation keeps the tail; with it, the file is emptied.
  const std::int32_t again = files.openHandle(path, FileSystem::FileAccess::Write, true, false);
  EXPECT_EQ(files.writeHandle(again, "ab", 2), 2);
  files.closeHandle(again);
  EXPECT_EQ(test::fileBytes(*widen(path)), "ab23456789");
  files.closeHandle(files.openHandle(path, FileSystem::FileAccess::Write, true, true));
  EXPECT_EQ(test::fileBytes(*widen(path)), "");
}

TEST_F(Win32Files, TimesAreTheLocalTimeAndAttributesStick) {
  const std::string path = temp.at("readme.txt");
  files.closeHandle(files.openHandle(path, FileSystem::FileAccess::Write, true, true));
  ASSERT_TRUE(files.setFileTime(path, {2004, 7, 15, 13, 45, 58}));
  ASSERT_TRUE(files.setFileAttributes(
      path, FileSystem::kAttributeReadOnly | FileSystem::kAttributeHidden | 0x40));

  WIN32_FILE_ATTRIBUTE_DATA data{};
  ASSERT_TRUE(GetFileAttributesExW(widen(path)->c_str(), GetFileExInfoStandard, &data));
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

  // A read-only file is never opened for writing, and it isn't replaced.
  EXPECT_EQ(files.openHandle(path, FileSystem::FileAccess::Write, true, true), -1);
  EXPECT_EQ(files.openHandle(path, FileSystem::FileAccess::ReadWrite, false, false), -1);
  const std::int32_t reading = files.openHandle(path, FileSystem::FileAccess::Read, false, false);
  EXPECT_GE(reading, 0);
  files.closeHandle(reading);
}

TEST_F(Win32Files, FoldersListCreateAndRemove) {
  const std::string folder = temp.at("plugins \xc3\xa4");
  EXPECT_TRUE(files.createFolder(folder));
  EXPECT_FALSE(files.createFolder(folder));  // exists already
  files.closeHandle(
      files.openHandle(folder + "\\ftp.dll", FileSystem::FileAccess::Write, true, true));
  std::vector<FileSystem::FolderEntry> entries;
  ASSERT_TRUE(files.listFolder(temp.path(), entries));
  bool listed = false;
  for (const auto& entry : entries) listed |= entry.name == "plugins \xc3\xa4" && entry.isFolder;
  EXPECT_TRUE(listed);
  EXPECT_FALSE(files.removeFolder(folder));  // not empty
  EXPECT_TRUE(files.deleteFile(folder + "\\ftp.dll"));
  EXPECT_TRUE(files.removeFolder(folder));
  EXPECT_FALSE(files.pathExists(folder));
  EXPECT_FALSE(files.listFolder(folder, entries));
}

TEST_F(Win32Files, ALinkToAFolderIsDeletedItselfNeverItsTarget) {
  const std::string target = temp.at("precious");
  ASSERT_TRUE(files.createFolder(target));
  files.closeHandle(
      files.openHandle(target + "\\keep.txt", FileSystem::FileAccess::Write, true, true));
  const std::string link = temp.at("link");
  if (!CreateSymbolicLinkW(widen(link)->c_str(), widen(target)->c_str(),
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
  files.deleteFile(link);
  EXPECT_TRUE(files.pathExists(target + "\\keep.txt"));
  // Windows removes the link with RemoveDirectoryW; wine can remove a link
  // to a folder neither that way nor as a file.
  if (files.pathExists(link)) GTEST_SKIP() << "this system can't remove a link to a folder";
  EXPECT_FALSE(files.pathExists(link));
}

}  // namespace
}  // namespace ks
