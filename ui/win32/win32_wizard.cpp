#include "ui/win32/win32_wizard.h"

#include <commctrl.h>
#include <prsht.h>

namespace ks {

namespace {

constexpr LRESULT kAccept = 0;
// PSN_SETACTIVE: pass on to the next page that way; PSN_WIZNEXT: stay.
constexpr LRESULT kRefuse = -1;

DWORD wizardButtons(unsigned buttons) {
  DWORD flags = 0;
  if (buttons & WizardButton::kBack) flags |= PSWIZB_BACK;
  if (buttons & WizardButton::kNext) flags |= PSWIZB_NEXT;
  if (buttons & WizardButton::kFinish) flags |= PSWIZB_FINISH;
  return flags;
}

}  // namespace

Win32Wizard::Win32Wizard(SetupContext& context, std::vector<std::unique_ptr<WizardPage>> pages,
                         HINSTANCE instance)
    : instance_(instance), frame_(*this, *context.platform.ui, std::move(pages)) {
  for (int i = 0; i < frame_.pageCount(); ++i) {
    auto page = std::make_unique<Page>();
    page->wizard = this;
    page->index = i;
    page->dialog = findDialogTemplate(frame_.templateIdAt(i));
    if (page->dialog) {
      page->resource = std::make_unique<Win32DialogTemplate>(*page->dialog, DialogRole::WizardPage);
    }
    pages_.push_back(std::move(page));
  }
}

Win32Wizard::~Win32Wizard() = default;

// Pages with no special flags beyond their in-memory template; a wizard
// built from the array of page descriptions, starting at the first page, no
// caption and no callback of its own: it shows the pages' caption.
void Win32Wizard::run() {
  std::vector<PROPSHEETPAGEW> descriptions;
  for (const auto& page : pages_) {
    if (!page->resource) continue;
    PROPSHEETPAGEW description{};
    description.dwSize = sizeof description;
    description.dwFlags = PSP_DLGINDIRECT;
    description.hInstance = instance_;
    description.pResource = page->resource->get();
    description.pfnDlgProc = pageProcedure;
    description.lParam = reinterpret_cast<LPARAM>(page.get());
    descriptions.push_back(description);
  }
  PROPSHEETHEADERW header{};
  header.dwSize = sizeof header;
  header.dwFlags = PSH_WIZARD | PSH_PROPSHEETPAGE | PSH_USEICONID;
  header.hInstance = instance_;
  header.pszIcon = MAKEINTRESOURCEW(kSetupIconResource);
  header.nPages = static_cast<UINT>(descriptions.size());
  header.nStartPage = 0;
  header.ppsp = descriptions.data();
  PropertySheetW(&header);
  sheet_ = nullptr;
  if (quitRequested_) PostQuitMessage(0);
}

INT_PTR CALLBACK Win32Wizard::pageProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* page = reinterpret_cast<Page*>(reinterpret_cast<PROPSHEETPAGEW*>(lParam)->lParam);
    SetWindowLongPtrW(window, DWLP_USER, reinterpret_cast<LONG_PTR>(page));
    page->wizard->initialise(*page, window);
    return TRUE;
  }
  auto* page = reinterpret_cast<Page*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!page || !page->view) return FALSE;
  LRESULT result = 0;
  if (message == WM_NOTIFY &&
      page->wizard->sheetNotification(*page, *reinterpret_cast<NMHDR*>(lParam), result)) {
    SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
    return TRUE;
  }
  if (message == WM_DESTROY) {
    page->view.reset();
    return FALSE;
  }
  if (!page->view->handleMessage(message, wParam, lParam, result)) return FALSE;
  switch (message) {
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORDLG:
      return static_cast<INT_PTR>(result);
    default:
      SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
      return TRUE;
  }
}

void Win32Wizard::initialise(Page& page, HWND window) {
  sheet_ = GetParent(window);
  page.view = std::make_unique<Win32PageView>(window, *page.dialog, instance_);
  page.view->setEvents({
      .command = [this](int id) { frame_.command(id); },
      .treeStateClick = [this](int id, std::uintptr_t item) { frame_.treeStateClick(id, item); },
      .treeSelection = [this](int id, std::uintptr_t item) { frame_.treeSelection(id, item); },
      .paint = [this] { frame_.paint(); },
  });
  frame_.initialisePage(page.index, *page.view);
}

bool Win32Wizard::sheetNotification(Page& page, const NMHDR& header, LRESULT& result) {
  switch (header.code) {
    case PSN_SETACTIVE:
      result = frame_.activatePage(page.index) == ActivateAnswer::Show ? kAccept : kRefuse;
      return true;
    case PSN_KILLACTIVE:
      frame_.leavePage();
      result = FALSE;
      return true;
    case PSN_WIZNEXT:
      result = frame_.pressNext() == NextAnswer::Proceed ? kAccept : kRefuse;
      return true;
    case PSN_WIZBACK:
      frame_.pressBack();
      result = kAccept;
      return true;
    case PSN_WIZFINISH:
      frame_.finish();
      result = FALSE;
      return true;
    case PSN_QUERYCANCEL:
      result = frame_.queryCancel() ? FALSE : TRUE;
      return true;
    default:
      return false;
  }
}

void Win32Wizard::setButtons(unsigned buttons) {
  if (sheet_) PropSheet_SetWizButtons(sheet_, wizardButtons(buttons));
}

WindowRect Win32Wizard::ownerRect() {
  RECT rect{};
  GetWindowRect(GetDesktopWindow(), &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

WindowRect Win32Wizard::frameRect() {
  RECT rect{};
  if (sheet_) GetWindowRect(sheet_, &rect);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

void Win32Wizard::moveFrame(int left, int top) {
  if (!sheet_) return;
  SetWindowPos(sheet_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  RedrawWindow(sheet_, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
}

// The frame has ended the wizard: when the sheet did not end it itself
// (Finish, a confirmed Cancel), it is cancelled, which the frame now allows
// without a question.
void Win32Wizard::close() {
  if (closed_) return;
  closed_ = true;
  if (sheet_) PostMessageW(sheet_, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
}

// The sheet's modal loop would take the quit message for its own end; it is
// posted once the sheet has gone, for start-up's drain of the messages the
// wizard left behind.
void Win32Wizard::postQuitRequest() {
  quitRequested_ = true;
}

}  // namespace ks
