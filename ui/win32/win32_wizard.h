#pragma once
// The wizard as a Win32 property sheet (PropertySheetW, PSH_WIZARD): the
// pages built in memory from their dialog templates (PSP_DLGINDIRECT), each
// page's dialog procedure forwarding the sheet's notifications to the wizard
// frame and drawing through its Win32PageView. The sheet turns the pages
// itself: a page that skips itself answers PSN_SETACTIVE with -1, a page
// that stays answers PSN_WIZNEXT with -1.

#include <windows.h>

#include <memory>
#include <vector>

#include "app/setup_context.h"
#include "platform/wizard_view.h"
#include "ui/win32/win32_dialog_template.h"
#include "ui/win32/win32_page_view.h"
#include "wizard/wizard_frame.h"

namespace ks {

class Win32Wizard final : public WizardWindow {
 public:
  Win32Wizard(SetupContext& context, std::vector<std::unique_ptr<WizardPage>> pages,
              HINSTANCE instance);
  ~Win32Wizard() override;
  Win32Wizard(const Win32Wizard&) = delete;
  Win32Wizard& operator=(const Win32Wizard&) = delete;

  // Shows the wizard modally (PropertySheetW); returns when it has closed.
  void run();
  WizardFrame& frame() { return frame_; }
  // The sheet while it is open, else null.
  HWND sheet() const { return sheet_; }

  // WizardWindow
  void setButtons(unsigned buttons) override;
  WindowRect ownerRect() override;
  WindowRect frameRect() override;
  void moveFrame(int left, int top) override;
  void close() override;
  void postQuitRequest() override;

 private:
  struct Page {
    Win32Wizard* wizard = nullptr;
    int index = 0;
    const DialogTemplate* dialog = nullptr;
    std::unique_ptr<Win32DialogTemplate> resource;
    std::unique_ptr<Win32PageView> view;
  };

  static INT_PTR CALLBACK pageProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  void initialise(Page& page, HWND window);
  // A sheet notification's answer (DWLP_MSGRESULT); false when the
  // notification is not the sheet's.
  bool sheetNotification(Page& page, const NMHDR& header, LRESULT& result);

  HINSTANCE instance_;
  WizardFrame frame_;
  std::vector<std::unique_ptr<Page>> pages_;
  HWND sheet_ = nullptr;
  bool closed_ = false;
  // Quit requests wait until the sheet's own message loop has ended.
  bool quitRequested_ = false;
};

}  // namespace ks
