// kestrova-setup.exe as a user meets it: its property sheet driven from
// outside the program through a whole Internet installation from the HTTP
// test server on 127.0.0.1 (the mode pages forward and back, Cancel
// declined, the component tree ticked by mouse, the folder questions, the
// password and retry dialogs, the proxy dialog), then the registry values
// and shortcuts it leaves, then the uninstall command the registry holds.
// With KESTROVA_SCREENSHOT_DIR set, every page and dialog is saved as a PNG.
//
//   win32_wizard_gui_test SETUP.exe   (beside the peers of with_peers.py)

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <prsht.h>
#include <shlobj.h>
#include <shobjidl.h>
// clang-format on

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <vector>

#include "tests/win32/gui/gui_driver.h"
#include "tests/win32/gui/test_repository.h"

namespace ks::gui {
namespace {

namespace fs = std::filesystem;

// The property sheet's own buttons.
constexpr int kBackButton = 0x3023;
constexpr int kNextButton = 0x3024;
constexpr int kFinishButton = 0x3025;
// The text of a message box.
constexpr int kMessageBoxText = 0xFFFF;
constexpr int kStateUnticked = 1;
constexpr int kStateTicked = 2;
constexpr int kRowWaiting = 1;
constexpr int kRowDownloading = 2;
constexpr int kRowDone = 3;
constexpr int kRowFailed = 4;
constexpr DWORD kInstallationMs = 120000;

const std::wstring kWizardCaption = L"Kestrova Active Setup";
const std::wstring kInstallDir = L"C:\\Program Files\\Kestrova";
const std::wstring kDownloadDir = L"C:\\Kestrova Setup";

std::wstring environment(const char* name) {
  const char* value = std::getenv(name);
  return value ? fs::path(value).wstring() : std::wstring();
}

// A path of the host as this program sees it (wine shows / as Z:\).
std::wstring hostPath(std::wstring path) {
  if (!path.empty() && path[0] == L'/') {
    for (wchar_t& c : path) c = c == L'/' ? L'\\' : c;
    path = L"Z:" + path;
  }
  return path;
}

std::wstring hostFolder(const char* variable) {
  return hostPath(environment(variable));
}

std::wstring registryText(HKEY root, const wchar_t* key, const wchar_t* value) {
  wchar_t text[1024] = L"";
  DWORD size = sizeof text;
  if (RegGetValueW(root, key, value, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS) {
    return L"(missing)";
  }
  return text;
}

bool keyExists(HKEY root, const wchar_t* key) {
  HKEY opened = nullptr;
  if (RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS) return false;
  RegCloseKey(opened);
  return true;
}

std::wstring specialFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path);
  return path;
}

std::wstring linkTarget(const std::wstring& link) {
  IShellLinkW* shellLink = nullptr;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&shellLink)))) {
    return {};
  }
  std::wstring target;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
    wchar_t text[MAX_PATH] = L"";
    if (SUCCEEDED(file->Load(link.c_str(), STGM_READ)) &&
        SUCCEEDED(shellLink->GetPath(text, MAX_PATH, nullptr, SLGP_RAWPATH))) {
      target = text;
    }
    file->Release();
  }
  shellLink->Release();
  return target;
}

// wine draws the windows' frames itself when no window manager runs.
void letWineDrawFrames() {
  if (!GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version")) return;
  HKEY key = nullptr;
  if (RegCreateKeyExW(HKEY_CURRENT_USER, L"Software\\Wine\\X11 Driver", 0, nullptr, 0, KEY_WRITE,
                      nullptr, &key, nullptr) != ERROR_SUCCESS) {
    return;
  }
  const wchar_t no[] = L"N";
  RegSetValueExW(key, L"Decorated", 0, REG_SZ, reinterpret_cast<const BYTE*>(no), sizeof no);
  RegCloseKey(key);
}

class WizardGuiTest : public ::testing::Test {
 protected:
  void SetUp() override {
    CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    letWineDrawFrames();
    screenshots_ = hostFolder("KESTROVA_SCREENSHOT_DIR");
  }
  void TearDown() override { CoUninitialize(); }

  // The program under test, from the command line.
  static std::wstring setupProgram() {
    int count = 0;
    wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
    std::wstring program = count > 1 ? arguments[count - 1] : L"";
    LocalFree(arguments);
    return hostPath(program);
  }

  void startSetup(const std::wstring& commandLine) {
    setup_ = std::make_unique<Process>(commandLine);
    ASSERT_TRUE(setup_->started()) << "can't start the setup";
  }

  // The wizard's sheet: the window with the caption and a Next button.
  HWND sheet() {
    if (!sheet_ || !IsWindow(sheet_))
      sheet_ = waitForWindow(setup_->id(), kWizardCaption, kNextButton);
    return sheet_;
  }
  HWND page() {
    return reinterpret_cast<HWND>(SendMessageW(sheet(), PSM_GETCURRENTPAGEHWND, 0, 0));
  }
  std::wstring pageTitle() { return controlText(page(), 1043); }

  void expectPage(const std::wstring& title) {
    ASSERT_TRUE(waitUntil([&] { return pageTitle() == title; }))
        << "the page shown is \"" << fs::path(pageTitle()).string() << "\", not \""
        << fs::path(title).string() << "\"";
    pages_.push_back(title);
    setup_->settle();
  }
  // Back, Next and Finish as the page requested them (posted requests
  // arrive after the page's handler).
  void expectButtons(bool back, bool next, bool finish = false) {
    const auto state = [&] {
      return controlEnabled(sheet(), kBackButton) == back &&
             controlEnabled(sheet(), kNextButton) == next &&
             (controlVisible(sheet(), kFinishButton) && controlEnabled(sheet(), kFinishButton)) ==
                 finish;
    };
    EXPECT_TRUE(waitUntil(state)) << "Back " << controlEnabled(sheet(), kBackButton) << ", Next "
                                  << controlEnabled(sheet(), kNextButton) << ", Finish "
                                  << controlEnabled(sheet(), kFinishButton);
  }
  void press(int button) { PostMessageW(sheet(), PSM_PRESSBUTTON, button, 0); }
  // A click on an option or box of the page, and its tick.
  void tick(int controlId) {
    click(page(), controlId);
    ASSERT_TRUE(waitUntil([&] { return controlChecked(page(), controlId); }))
        << "control " << controlId << " is not ticked";
  }
  void pressNext() {
    ASSERT_TRUE(waitUntil([&] { return controlEnabled(sheet(), kNextButton); }));
    press(PSBTN_NEXT);
  }
  void pressBack() {
    ASSERT_TRUE(waitUntil([&] { return controlEnabled(sheet(), kBackButton); }));
    press(PSBTN_BACK);
  }

  // A message box of the setup: its text, then the answer given.
  void answerMessage(const std::wstring& caption, const std::wstring& text, int button,
                     const char* screenshot = nullptr) {
    HWND box = waitForWindow(setup_->id(), caption, kMessageBoxText);
    ASSERT_TRUE(box) << "no message box \"" << fs::path(caption).string() << "\"";
    EXPECT_EQ(controlText(box, kMessageBoxText), text);
    ASSERT_TRUE(GetDlgItem(box, button)) << "the box has no button " << button;
    if (screenshot) shoot(box, screenshot);
    click(box, button);
    ASSERT_TRUE(waitUntil([&] { return !IsWindow(box); }));
    setup_->settle();
  }

  void shoot(HWND window, const char* name) {
    if (screenshots_.empty()) return;
    setup_->settle();
    const Capture capture = captureWindow(window);
    const std::wstring file = screenshots_ + L"\\" + fs::path(name).wstring() + L".png";
    EXPECT_TRUE(writePng(capture, file)) << name;
  }

  std::vector<HTREEITEM> treeItems(HWND tree) {
    std::vector<HTREEITEM> items;
    for (auto group = TreeView_GetRoot(tree); group; group = TreeView_GetNextSibling(tree, group)) {
      items.push_back(group);
      for (auto item = TreeView_GetChild(tree, group); item;
           item = TreeView_GetNextSibling(tree, item)) {
        items.push_back(item);
      }
    }
    return items;
  }
  std::wstring treeItemText(HWND tree, HTREEITEM item) {
    constexpr int kChars = 256;
    RemoteMemory remote(setup_->handle(), sizeof(TVITEMW) + kChars * sizeof(wchar_t));
    TVITEMW request{};
    request.mask = TVIF_TEXT | TVIF_HANDLE;
    request.hItem = item;
    request.pszText =
        reinterpret_cast<wchar_t*>(static_cast<char*>(remote.address()) + sizeof request);
    request.cchTextMax = kChars;
    wchar_t text[kChars] = L"";
    if (!remote.write(&request, sizeof request) ||
        !SendMessageW(tree, TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote.address())) ||
        !remote.read(text, sizeof text, sizeof request)) {
      return {};
    }
    return text;
  }
  // The item of a title; null when the tree has none.
  HTREEITEM treeItem(HWND tree, const std::wstring& title) {
    for (HTREEITEM item : treeItems(tree)) {
      if (treeItemText(tree, item) == title) return item;
    }
    return nullptr;
  }
  static int stateImage(HWND tree, HTREEITEM item) {
    return static_cast<int>((TreeView_GetItemState(tree, item, TVIS_STATEIMAGEMASK) >> 12) & 0xF);
  }
  // The item's text rectangle in the tree's client coordinates.
  RECT treeItemRect(HWND tree, HTREEITEM item) {
    RemoteMemory remote(setup_->handle(), sizeof(RECT));
    RECT rect{};
    std::memcpy(&rect, &item, sizeof item);  // the item goes in where the rectangle comes out
    remote.write(&rect, sizeof rect);
    SendMessageW(tree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(remote.address()));
    remote.read(&rect, sizeof rect);
    return rect;
  }
  UINT hitTest(HWND tree, POINT point) {
    RemoteMemory remote(setup_->handle(), sizeof(TVHITTESTINFO));
    TVHITTESTINFO hit{};
    hit.pt = point;
    remote.write(&hit, sizeof hit);
    SendMessageW(tree, TVM_HITTEST, 0, reinterpret_cast<LPARAM>(remote.address()));
    remote.read(&hit, sizeof hit);
    return hit.flags;
  }
  // A click with the mouse on the item's tick box: the point left of the
  // text that the tree itself calls its state image.
  void clickTickBox(HWND tree, HTREEITEM item) {
    const RECT text = treeItemRect(tree, item);
    const int middle = (text.top + text.bottom) / 2;
    std::vector<int> inside;
    for (int x = text.left - 1; x > text.left - 40 && x >= 0; --x) {
      if (hitTest(tree, {x, middle}) & TVHT_ONITEMSTATEICON) inside.push_back(x);
    }
    ASSERT_FALSE(inside.empty()) << "the item has no tick box";
    POINT point{inside[inside.size() / 2], middle};
    ClientToScreen(tree, &point);
    SetForegroundWindow(sheet());
    mouseClick(point);
  }
  // Pixels of a colour on the item's text: the custom drawing reached the
  // screen and left the text readable.
  // The row's text rectangle in the list's client coordinates.
  RECT listRowRect(HWND list, int row) {
    RemoteMemory remote(setup_->handle(), sizeof(RECT));
    RECT rect{LVIR_LABEL, 0, 0, 0};
    remote.write(&rect, sizeof rect);
    SendMessageW(list, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(remote.address()));
    remote.read(&rect, sizeof rect);
    return rect;
  }
  int pixelsOfColour(HWND tree, HTREEITEM item, COLORREF colour) {
    return pixelsOfColour(tree, treeItemRect(tree, item), colour);
  }
  int pixelsOfColour(HWND control, RECT area, COLORREF colour) {
    MapWindowPoints(control, nullptr, reinterpret_cast<POINT*>(&area), 2);
    const Capture capture = captureScreen(area);
    int count = 0;
    for (int y = 0; y < capture.height; ++y) {
      for (int x = 0; x < capture.width; ++x) {
        const COLORREF pixel = capture.at(x, y);
        const auto similar = [](int a, int b) { return a > b - 60 && a < b + 60; };
        count += similar(GetRValue(pixel), GetRValue(colour)) &&
                 similar(GetGValue(pixel), GetGValue(colour)) &&
                 similar(GetBValue(pixel), GetBValue(colour));
      }
    }
    return count;
  }
  std::vector<int> rowImages(HWND list) {
    std::vector<int> images;
    const int count = ListView_GetItemCount(list);
    for (int i = 0; i < count; ++i) {
      images.push_back(
          static_cast<int>((ListView_GetItemState(list, i, LVIS_STATEIMAGEMASK) >> 12) & 0xF));
    }
    return images;
  }

  std::unique_ptr<Process> setup_;
  HWND sheet_ = nullptr;
  std::wstring screenshots_;
  std::vector<std::wstring> pages_;
};

TEST_F(WizardGuiTest, AnInternetInstallationThroughThePropertySheetAndItsUninstallation) {
  const std::wstring program = setupProgram();
  const int port = std::atoi(std::getenv("KS_HTTP_PORT") ? std::getenv("KS_HTTP_PORT") : "0");
  ASSERT_GT(port, 0) << "run beside the peers (with_peers.py)";
  std::string error;
  ASSERT_TRUE(
      writeTestRepository({hostFolder("KS_HTTP_ROOT"), port, deadLoopbackPort(), program}, error))
      << error;
  const std::wstring servers = L"127.0.0.1:" + std::to_wstring(port);
  SetEnvironmentVariableW(L"KESTROVA_VERSION_SERVERS", (servers + L"," + servers).c_str());
  ASSERT_NO_FATAL_FAILURE(startSetup(L"\"" + program + L"\""));

  // Setup Options: nothing chosen, nothing installed before.
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Setup Options"));
  expectButtons(false, false);
  EXPECT_FALSE(controlEnabled(page(), 1036));
  EXPECT_EQ(controlText(page(), 1078), L"Not Found");
  EXPECT_EQ(controlText(page(), 1107), L"Version: 0.1.0.0");
  shoot(sheet(), "page-102");

  // Local mode shows the Local Archive Folder page; Back returns.
  ASSERT_NO_FATAL_FAILURE(tick(1040));
  expectButtons(false, true);
  pressNext();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Local Archive Folder"));
  expectButtons(true, true);
  EXPECT_EQ(controlText(page(), 1003), L"C:\\Kestrova Setup");
  shoot(sheet(), "page-153");
  pressBack();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Setup Options"));

  // Cancel, declined: the page and its choice stay.
  press(PSBTN_CANCEL);
  ASSERT_NO_FATAL_FAILURE(
      answerMessage(L"Setup", L"Are you sure you want to quit setup?", IDNO, "message-quit"));
  EXPECT_EQ(pageTitle(), L"Setup Options");
  EXPECT_TRUE(controlChecked(page(), 1040));

  // Internet mode: the Local Archive Folder page skips itself both ways.
  ASSERT_NO_FATAL_FAILURE(tick(1034));
  pressNext();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Component Options"));
  HWND tree = GetDlgItem(page(), 1068);
  ASSERT_TRUE(waitUntil([&] { return treeItems(tree).size() == 6; }));
  pressBack();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Setup Options"));
  pressNext();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Component Options"));
  tree = GetDlgItem(page(), 1068);
  ASSERT_TRUE(waitUntil([&] { return treeItems(tree).size() == 6; }));

  // The required components come ticked and red; the tick boxes follow the
  // mouse.
  HTREEITEM client = treeItem(tree, L"Kestrova client");
  HTREEITEM key = treeItem(tree, L"Licence key");
  HTREEITEM themes = treeItem(tree, L"Themes");
  ASSERT_TRUE(client && key && themes);
  EXPECT_EQ(stateImage(tree, treeItem(tree, L"Core")), 0);
  EXPECT_EQ(stateImage(tree, client), kStateTicked);
  EXPECT_EQ(stateImage(tree, treeItem(tree, L"Read me")), kStateTicked);
  EXPECT_EQ(stateImage(tree, key), kStateUnticked);
  expectButtons(true, true);
  EXPECT_GT(pixelsOfColour(tree, client, RGB(255, 0, 0)), 10);
  EXPECT_GT(pixelsOfColour(tree, key, RGB(0, 0, 0)), 10);
  ASSERT_NO_FATAL_FAILURE(clickTickBox(tree, key));
  EXPECT_TRUE(waitUntil([&] { return stateImage(tree, key) == kStateTicked; }));
  ASSERT_NO_FATAL_FAILURE(clickTickBox(tree, themes));
  EXPECT_TRUE(waitUntil([&] { return stateImage(tree, themes) == kStateTicked; }));
  EXPECT_EQ(controlText(page(), 1076), L"2042 KB");
  TreeView_SelectItem(tree, client);
  EXPECT_TRUE(waitUntil([&] { return controlText(page(), 1098) == L"Not Installed"; }));
  EXPECT_EQ(controlText(page(), 1099), L"1.0.5");
  EXPECT_EQ(controlText(page(), 1075), L"2000 KB");
  shoot(sheet(), "page-1084");

  // Destination Folders: both folders are made after a question; the folder
  // dialog, cancelled, leaves the field as it was.
  pressNext();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Destination Folders"));
  EXPECT_EQ(controlText(page(), 1034), kInstallDir);
  setControlText(page(), 1005, kDownloadDir);
  click(page(), 1004);
  HWND browse = nullptr;
  waitUntil([&] {
    browse = findWindow(setup_->id(), L"Browse for Folder");
    if (!browse) browse = findWindow(setup_->id(), L"Browse For Folder");
    return browse != nullptr;
  });
  ASSERT_TRUE(browse);
  shoot(browse, "dialog-browse");
  PostMessageW(browse, WM_COMMAND, IDCANCEL, 0);
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(browse); }));
  EXPECT_EQ(controlText(page(), 1034), kInstallDir);
  shoot(sheet(), "page-104");
  pressNext();
  const std::wstring question = L"' does not exist.\nDo you want to create it?";
  ASSERT_NO_FATAL_FAILURE(answerMessage(L"Create Folder", L"The folder '" + kInstallDir + question,
                                        IDYES, "message-create-folder"));
  ASSERT_NO_FATAL_FAILURE(
      answerMessage(L"Create Folder", L"The folder '" + kDownloadDir + question, IDYES));

  // Download Location: the first site.
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Dowload Location"));
  HWND sites = GetDlgItem(page(), 1105);
  EXPECT_EQ(SendMessageW(sites, CB_GETCOUNT, 0, 0), 2);
  EXPECT_EQ(SendMessageW(sites, CB_GETCURSEL, 0, 0), 0);
  shoot(sheet(), "page-147");
  pressNext();

  // Download and Install: the password of the licence key, the retry and
  // proxy dialogs for the themes on the dead site.
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Download && Install"));
  HWND password = waitForWindow(setup_->id(), L"Enter Network Password", 9004);
  ASSERT_TRUE(password);
  expectButtons(false, false);
  // Behind the question the page is at work: the licence key's row has the
  // arrow (and is drawn bold), the rows before it their ticks.
  HWND list = GetDlgItem(page(), 1070);
  EXPECT_EQ(rowImages(list), (std::vector<int>{kRowDone, kRowDone, kRowDownloading, kRowWaiting}));
  // The rows' own drawing (the bold row, no background) leaves their texts
  // on the page.
  for (int row = 0; row < 4; ++row) {
    EXPECT_GT(pixelsOfColour(list, listRowRect(list, row), RGB(0, 0, 0)), 10) << "row " << row;
  }
  if (!screenshots_.empty()) {
    RECT box{};  // the question goes off the screen while the page is taken, then back
    GetWindowRect(password, &box);
    const auto moveTo = [&](int left) {
      SetWindowPos(password, nullptr, left, box.top, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    };
    moveTo(box.left - box.right - 100);
    shoot(sheet(), "page-105-working");
    moveTo(box.left);
  }
  setControlText(password, 9003, kPasswordUser);
  setControlText(password, 9004, kPassword);
  shoot(password, "dialog-password");
  click(password, IDOK);
  HWND retry = waitForWindow(setup_->id(), kWizardCaption, 1048);
  ASSERT_TRUE(retry);
  shoot(retry, "dialog-164");
  click(retry, 1073);
  HWND proxy = waitForWindow(setup_->id(), L"Proxy Settings", 1030);
  ASSERT_TRUE(proxy);
  EXPECT_FALSE(controlEnabled(proxy, 1030));
  click(proxy, 1075);
  EXPECT_TRUE(waitUntil([&] { return controlEnabled(proxy, 1030); }));
  shoot(proxy, "dialog-110");
  click(proxy, IDCANCEL);
  ASSERT_TRUE(waitUntil([&] { return !IsWindow(proxy); }));
  click(retry, IDCANCEL);
  EXPECT_TRUE(waitUntil([&] { return rowImages(list).size() == 4 && rowImages(list)[3] != 2; },
                        kInstallationMs));
  EXPECT_EQ(rowImages(list), (std::vector<int>{kRowDone, kRowDone, kRowDone, kRowFailed}));
  expectButtons(true, true);
  shoot(sheet(), "page-105");

  // Integration: the installed program's icon; shortcuts on the desktop and
  // in the user's Start menu.
  pressNext();
  ASSERT_NO_FATAL_FAILURE(expectPage(L"Integration"));
  expectButtons(false, true);
  EXPECT_NE(SendDlgItemMessageW(page(), 1157, STM_GETIMAGE, IMAGE_ICON, 0), 0);
  ASSERT_NO_FATAL_FAILURE(tick(1073));
  ASSERT_NO_FATAL_FAILURE(tick(1074));
  shoot(sheet(), "page-106");
  pressNext();

  ASSERT_NO_FATAL_FAILURE(expectPage(L"Installation Complete"));
  expectButtons(true, false, true);
  EXPECT_TRUE(controlVisible(page(), 1047));
  EXPECT_FALSE(controlVisible(page(), 1046));
  shoot(sheet(), "page-107");
  press(PSBTN_FINISH);
  EXPECT_TRUE(setup_->waitForExit(30000).has_value()) << "the setup did not end after Finish";

  EXPECT_EQ(pages_,
            (std::vector<std::wstring>{
                L"Setup Options", L"Local Archive Folder", L"Setup Options", L"Component Options",
                L"Setup Options", L"Component Options", L"Destination Folders", L"Dowload Location",
                L"Download && Install", L"Integration", L"Installation Complete"}));

  // What the installation leaves.
  EXPECT_EQ(registryText(HKEY_CURRENT_USER, L"Software\\Kestrova", L"Install Directory"),
            kInstallDir);
  const wchar_t* uninstallKey =
      L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kestrova";
  EXPECT_EQ(registryText(HKEY_LOCAL_MACHINE, uninstallKey, L"DisplayName"), L"Kestrova");
  const std::wstring uninstall = registryText(HKEY_LOCAL_MACHINE, uninstallKey, L"UninstallString");
  EXPECT_EQ(uninstall, L"\"" + kInstallDir + L"\\kestrova-setup.exe\" -uninstall");
  for (const wchar_t* file :
       {L"Kestrova.exe", L"plugins\\sftp.dll", L"readme.txt", L"auth.bin", L"kestrova-setup.exe"}) {
    EXPECT_TRUE(fs::exists(kInstallDir + L"\\" + file)) << fs::path(file).string();
  }
  EXPECT_EQ(linkTarget(specialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Kestrova.lnk"),
            kInstallDir + L"\\Kestrova.exe");
  const std::wstring group = specialFolder(CSIDL_PROGRAMS) + L"\\Kestrova\\";
  EXPECT_EQ(linkTarget(group + L"Kestrova.lnk"), kInstallDir + L"\\Kestrova.exe");
  EXPECT_EQ(linkTarget(group + L"Uninstall.lnk"), kInstallDir + L"\\kestrova-setup.exe");
  EXPECT_EQ(linkTarget(group + L"ReadMe.lnk"), kInstallDir + L"\\readme.txt");

  // The uninstall command as the system's list of programs runs it.
  sheet_ = nullptr;
  ASSERT_NO_FATAL_FAILURE(startSetup(uninstall));
  ASSERT_NO_FATAL_FAILURE(answerMessage(L"Uninstall",
                                        L"Are you sure you want to uninstall this application?",
                                        IDYES, "message-uninstall"));
  ASSERT_NO_FATAL_FAILURE(answerMessage(
      L"Uninstall",
      L"Application successfully uninstalled\nYou've to delete the uninstallation executable "
      L"file on your own.",
      IDOK));
  EXPECT_EQ(setup_->waitForExit(30000), std::optional<DWORD>(0));
  EXPECT_FALSE(keyExists(HKEY_CURRENT_USER, L"Software\\Kestrova"));
  EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, uninstallKey));
  EXPECT_FALSE(fs::exists(kInstallDir + L"\\Kestrova.exe"));
  EXPECT_FALSE(fs::exists(specialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Kestrova.lnk"));
}

}  // namespace
}  // namespace ks::gui
