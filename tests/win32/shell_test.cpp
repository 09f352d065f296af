// Real shell links: written by the adapter, read back through IShellLinkW
// as Explorer would read them.

#include <gtest/gtest.h>

// <windows.h> comes before the headers that build on it.
// clang-format off
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include "platform/win32/com_scope.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_shell.h"
#include "tests/win32/win32_test_support.h"

namespace ks {
namespace {

struct LinkContents {
  std::wstring target;
  std::wstring description;
  std::wstring arguments;
};

// Loads a .lnk file through IShellLinkW and IPersistFile.
bool readLink(const std::wstring& path, LinkContents& contents) {
  IShellLinkW* link = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link)))) {
    return false;
  }
  IPersistFile* file = nullptr;
  bool read = false;
  if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t text[MAX_PATH] = {};
    if (SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
      link->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH);
      contents.target = text;
      link->GetDescription(text, MAX_PATH);
      contents.description = text;
      text[0] = L'\0';
      link->GetArguments(text, MAX_PATH);
      contents.arguments = text;
      read = true;
    }
    file->Release();
  }
  link->Release();
  return read;
}

// A link as the Integration page makes it: target and description.
Shell::Shortcut shortcut(const std::string& target, const std::string& linkPath,
                         const std::string& description) {
  Shell::Shortcut link;
  link.target = target;
  link.linkPath = linkPath;
  link.description = description;
  return link;
}

// wine keeps a link's target in the ANSI code page: the folder's name stays
// within it here (Windows keeps any character).
TEST(Win32ShellLinks, ALinkUnderAWidePathStartsItsTargetWithItsName) {
  const test::WideTempFolder temp(L"K\u00e4stner \u00f6\u00fc");
  const ComScope com;
  Win32Shell shell;
  const std::string target = temp.at("Kestrova.exe");
  const std::string link = temp.at("K\xc3\xa9strova" + shell.shortcutExtension());
  ASSERT_EQ(shell.createShortcut(shortcut(target, link, "Kestrova")), S_OK);
  LinkContents contents;
  ASSERT_TRUE(readLink(*widen(link), contents));
  EXPECT_EQ(contents.target, *widen(target));
  EXPECT_EQ(contents.description, L"Kestrova");
  EXPECT_EQ(contents.arguments, L"");
  // The file is a shell link: its header starts with the link's header size.
  EXPECT_EQ(test::fileBytes(*widen(link)).substr(0, 4), std::string("\x4c\0\0\0", 4));

  // Written again (Back, then Next): the link is replaced.
  ASSERT_EQ(shell.createShortcut(shortcut(temp.at("readme.txt"), link, "ReadMe")), S_OK);
  ASSERT_TRUE(readLink(*widen(link), contents));
  EXPECT_EQ(contents.description, L"ReadMe");
}

TEST(Win32ShellLinks, ALinkIntoAMissingFolderFails) {
  const test::WideTempFolder temp;
  Win32Shell shell;
  EXPECT_LT(shell.createShortcut(shortcut(temp.at("a.exe"), temp.at("missing\\a.lnk"), "A")), 0);
}

TEST(Win32ShellFolders, SpecialFoldersExistAndDiffer) {
  Win32Shell shell;
  std::string desktop;
  std::string programs;
  std::string common;
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Desktop, desktop));
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::Programs, programs));
  ASSERT_TRUE(shell.specialFolder(SpecialFolder::CommonPrograms, common));
  for (const std::string* folder : {&desktop, &programs, &common}) {
    const DWORD attributes = GetFileAttributesW(widen(*folder)->c_str());
    EXPECT_NE(attributes, INVALID_FILE_ATTRIBUTES) << *folder;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << *folder;
  }
  EXPECT_NE(programs, common);
  EXPECT_NE(desktop, programs);
}

}  // namespace
}  // namespace ks
