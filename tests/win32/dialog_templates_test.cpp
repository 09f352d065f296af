// The dialog templates as the dialog manager builds them in memory: every
// control in its place with its class and text, the options of the first
// page excluding each other, and every text whole in its control in the
// fonts the pages give them, with the longest texts the setup writes there,
// at the DPI the test runs at (ctest runs it at 96 and at 144).

#include <gtest/gtest.h>

// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "download/retry_dialog.h"
#include "platform/win32/wide_text.h"
#include "tests/support/fake_platform.h"
#include "ui/headless/headless_dispatcher.h"
#include "ui/win32/win32_dialog_template.h"
#include "ui/win32/win32_page_view.h"
#include "wizard/setup_wizard.h"

namespace ks {
namespace {

using K = ControlKind;

INT_PTR CALLBACK quietProcedure(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG;
}

// A template's dialog, not shown; a page's inside a hidden window of its own.
class TemplateWindow {
 public:
  TemplateWindow(const DialogTemplate& dialog, DialogRole role)
      : resource_(dialog, role),
        parent_(CreateWindowExW(0, L"Static", L"", WS_POPUP, 0, 0, 800, 600, nullptr, nullptr,
                                nullptr, nullptr)),
        window_(CreateDialogIndirectParamW(GetModuleHandleW(nullptr), resource_.get(), parent_,
                                           quietProcedure, 0)) {}
  ~TemplateWindow() {
    DestroyWindow(window_);
    DestroyWindow(parent_);
  }
  HWND get() const { return window_; }

 private:
  Win32DialogTemplate resource_;
  HWND parent_;
  HWND window_;
};

DialogRole roleOf(const DialogTemplate& dialog) {
  return dialog.caption == kWizardCaption && dialog.cx == kWizardPageArea.cx
             ? DialogRole::WizardPage
             : DialogRole::ModalDialog;
}

std::wstring className(HWND window) {
  wchar_t name[64] = L"";
  GetClassNameW(window, name, 64);
  return name;
}

std::string describe(const DialogTemplate& dialog, const ControlTemplate& control) {
  return std::to_string(dialog.id) + ":" + std::to_string(control.id) + " \"" +
         std::string(control.text) + "\"";
}

TEST(Win32DialogTemplates, EveryControlStandsInItsPlaceWithItsClassAndText) {
  for (const DialogTemplate& dialog : allDialogTemplates()) {
    const TemplateWindow window(dialog, roleOf(dialog));
    ASSERT_TRUE(window.get()) << dialog.id << ": the dialog manager refused the template";
    HWND child = GetWindow(window.get(), GW_CHILD);
    for (const ControlTemplate& control : dialog.controls) {
      ASSERT_TRUE(child) << describe(dialog, control) << " is missing";
      EXPECT_EQ(GetDlgCtrlID(child), control.id) << describe(dialog, control);
      EXPECT_EQ(lstrcmpiW(className(child).c_str(), windowClass(control.kind)), 0)
          << describe(dialog, control);
      // Place and size are each turned into pixels, as the dialog manager does.
      RECT origin{control.rect.x, control.rect.y, 0, 0};
      RECT size{0, 0, control.rect.cx, control.rect.cy};
      MapDialogRect(window.get(), &origin);
      MapDialogRect(window.get(), &size);
      const RECT expected{origin.left, origin.top, origin.left + size.right,
                          origin.top + size.bottom};
      RECT placed{};
      GetWindowRect(child, &placed);
      MapWindowPoints(nullptr, window.get(), reinterpret_cast<POINT*>(&placed), 2);
      // Icons and pictures take their image's size; a list drops down.
      if (control.kind != K::Icon && control.kind != K::Picture && control.kind != K::ComboList) {
        EXPECT_TRUE(EqualRect(&expected, &placed))
            << describe(dialog, control) << " at " << placed.left << "," << placed.top << " "
            << placed.right - placed.left << "x" << placed.bottom - placed.top << ", not "
            << expected.left << "," << expected.top << " " << expected.right - expected.left << "x"
            << expected.bottom - expected.top;
      }
      if (control.kind != K::Icon && control.kind != K::Picture) {
        wchar_t text[512] = L"";
        GetWindowTextW(child, text, 512);
        EXPECT_EQ(text, widen(control.text).value()) << describe(dialog, control);
      }
      child = GetWindow(child, GW_HWNDNEXT);
    }
    EXPECT_FALSE(child) << dialog.id << " has controls its template lacks";
  }
}

TEST(Win32DialogTemplates, TheOptionsOfTheFirstPageExcludeEachOther) {
  const TemplateWindow window(*findDialogTemplate(102), DialogRole::WizardPage);
  const int options[] = {1034, 1040, 1035};
  for (int chosen : options) {
    SendDlgItemMessageW(window.get(), chosen, BM_CLICK, 0, 0);
    for (int option : options) {
      EXPECT_EQ(IsDlgButtonChecked(window.get(), option) == BST_CHECKED, option == chosen)
          << option << " after a click on " << chosen;
    }
  }
  SendDlgItemMessageW(window.get(), 1095, BM_CLICK, 0, 0);
  EXPECT_EQ(IsDlgButtonChecked(window.get(), 1035), BST_CHECKED) << "the box took the option";
}

// --- Texts whole in their controls ---

class NoWizard final : public WizardControl {
 public:
  void postButtons(unsigned) override {}
  void endWizard() override {}
  void centerWindow() override {}
};

// What is wrong with how a control shows its text; "" when it is whole.
std::string cutOff(HWND control, ControlKind kind) {
  wchar_t text[1024] = L"";
  const int length = GetWindowTextW(control, text, 1024);
  const LONG style = GetWindowLongW(control, GWL_STYLE);
  if (length == 0 || (style & WS_VISIBLE) == 0) return {};
  // A line the setup fills in would lose its middle when too long: the
  // longest ones it writes must fit whole.
  const bool staticText = kind == K::Static || kind == K::Title;
  RECT client{};
  GetClientRect(control, &client);
  HDC dc = GetDC(control);
  HGDIOBJ previous =
      SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0)));
  UINT flags = DT_CALCRECT | ((staticText && (style & SS_NOPREFIX)) ? DT_NOPREFIX : 0);
  RECT needed{0, 0, client.right, 0};
  DrawTextW(dc, text, length, &needed, flags | (staticText ? DT_WORDBREAK : DT_SINGLELINE));
  SelectObject(dc, previous);
  ReleaseDC(control, dc);
  // Room a button's face, a box or a group's frame keeps for itself.
  const int unit = MulDiv(1, static_cast<int>(windowDpi(control)), 96);
  const int beside = kind == K::CheckBox || kind == K::RadioButton ? 18 * unit
                     : kind == K::PushButton                       ? 8 * unit
                     : kind == K::GroupBox                         ? 14 * unit
                                                                   : 0;
  if (needed.right + beside <= client.right && needed.bottom <= client.bottom) return {};
  return "needs " + std::to_string(needed.right + beside) + " x " + std::to_string(needed.bottom) +
         ", has " + std::to_string(client.right) + " x " + std::to_string(client.bottom);
}

void expectWholeTexts(HWND window, const DialogTemplate& dialog) {
  HWND child = GetWindow(window, GW_CHILD);
  for (const ControlTemplate& control : dialog.controls) {
    if (!child) return;
    const std::string problem = cutOff(child, control.kind);
    EXPECT_EQ(problem, "") << describe(dialog, control) << " is cut off";
    child = GetWindow(child, GW_HWNDNEXT);
  }
}

// The longest texts the setup writes into a page's controls.
struct WrittenText {
  int templateId;
  int controlId;
  const char* text;
};
const WrittenText kLongestTexts[] = {
    {1084, 1042, "Download of Version Informations aborted."},
    {1084, 1087, "The FTP client itself.\nNeeded for everything else.\nVersion 1.0.5 brings SFTP."},
    {1084, 1098, "Not Installed"},
    {1084, 1076, "9999999 KB"},
    {105, 1042, "Executing System Update"},
    {105, 1067, "99999 KB of 99999 KB received (100%) - 9999.99 KB/s"},
};

TEST(Win32DialogTemplates, EveryPageShowsItsTextsWholeInThePagesFonts) {
  test::FakePlatform fakes;
  HeadlessDispatcher ui;
  SetupContext context;
  context.platform = fakes.ports();
  context.platform.ui = &ui;
  context.state.installDir = "C:\\Program Files\\Kestrova";
  NoWizard wizard;
  for (const auto& page : makeWizardPages(context)) {
    const DialogTemplate& dialog = *findDialogTemplate(page->templateId());
    const TemplateWindow window(dialog, DialogRole::WizardPage);
    Win32PageView view(window.get(), dialog, GetModuleHandleW(nullptr));
    page->initialise(view, wizard);
    for (const WrittenText& written : kLongestTexts) {
      if (written.templateId == dialog.id && written.text)
        view.setText(written.controlId, written.text);
    }
    expectWholeTexts(window.get(), dialog);
    page->onDestroy();
  }
}

TEST(Win32DialogTemplates, EveryDialogShowsItsTextsWhole) {
  for (const DialogTemplate& dialog : allDialogTemplates()) {
    if (roleOf(dialog) != DialogRole::ModalDialog) continue;
    const TemplateWindow window(dialog, DialogRole::ModalDialog);
    Win32PageView view(window.get(), dialog, GetModuleHandleW(nullptr));
    if (dialog.id == kIddRetryDownload) view.setText(kIdcRetryProblem, kRetryDialogTooSlow);
    expectWholeTexts(window.get(), dialog);
  }
}

}  // namespace
}  // namespace ks
