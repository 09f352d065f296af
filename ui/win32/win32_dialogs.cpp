#include "ui/win32/win32_dialogs.h"

#include <shlobj.h>

#include <memory>

#include "download/dialog_result.h"
#include "platform/win32/wide_text.h"
#include "resources/dialog_resources.h"
#include "ui/win32/win32_dialog_template.h"
#include "ui/win32/win32_page_view.h"

namespace ks {

namespace {

// DialogBoxIndirectParamW's answer when the dialog can't be made.
constexpr int kNoDialog = -1;
constexpr wchar_t kPasswordMask = L'\u25CF';

std::wstring wide(std::string_view text) {
  return widen(text).value_or(std::wstring());
}

UINT iconFlag(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::Error:
      return MB_ICONERROR;
    case MessageIcon::Warning:
      return MB_ICONWARNING;
    case MessageIcon::Information:
      return MB_ICONINFORMATION;
    case MessageIcon::Question:
      return MB_ICONQUESTION;
    case MessageIcon::None:
      return 0;
  }
  return 0;
}

UINT buttonFlags(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MB_OK;
    case MessageButtons::OkCancel:
      return MB_OKCANCEL;
    case MessageButtons::YesNo:
      return MB_YESNO;
    case MessageButtons::YesNoCancel:
      return MB_YESNOCANCEL;
    case MessageButtons::RetryCancel:
      return MB_RETRYCANCEL;
  }
  return MB_OK;
}

// A box that could not be shown (0) counts as the most cautious answer.
MessageAnswer answerOf(int result, MessageButtons buttons) {
  switch (result) {
    case IDOK:
      return MessageAnswer::Ok;
    case IDYES:
      return MessageAnswer::Yes;
    case IDNO:
      return MessageAnswer::No;
    case IDRETRY:
      return MessageAnswer::Retry;
    case IDCANCEL:
      return MessageAnswer::Cancel;
    default:
      return buttons == MessageButtons::Ok      ? MessageAnswer::Ok
             : buttons == MessageButtons::YesNo ? MessageAnswer::No
                                                : MessageAnswer::Cancel;
  }
}

// What DialogBoxIndirectParamW carries to the dialog procedure.
struct ModalBinding {
  const DialogTemplate& dialog;
  ModalDialog& controller;
  const std::function<void(Win32PageView&)>& prepare;
  HINSTANCE instance;
  std::unique_ptr<Win32PageView> view;
};

INT_PTR CALLBACK modalProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* binding = reinterpret_cast<ModalBinding*>(lParam);
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    binding->view = std::make_unique<Win32PageView>(window, binding->dialog, binding->instance);
    binding->view->setEvents({.command = [binding, window](int id) {
      const DialogCommandResult result = binding->controller.onCommand(id);
      if (result.ends) EndDialog(window, result.result);
    }});
    if (binding->prepare) binding->prepare(*binding->view);
    binding->controller.onInit(*binding->view);
    return TRUE;
  }
  auto* binding = reinterpret_cast<ModalBinding*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!binding || !binding->view) return FALSE;
  if (message == WM_DESTROY) {
    binding->view.reset();
    return FALSE;
  }
  LRESULT result = 0;
  if (!binding->view->handleMessage(message, wParam, lParam, result)) return FALSE;
  if (message == WM_CTLCOLORSTATIC || message == WM_CTLCOLORDLG)
    return static_cast<INT_PTR>(result);
  SetWindowLongPtrW(window, DWLP_MSGRESULT, result);
  return TRUE;
}

// The password question: OK hands over what was typed, Cancel declines.
class PasswordDialog final : public ModalDialog {
 public:
  PasswordDialog(const PasswordRequest& request, std::string& userName, std::string& password)
      : request_(request), userName_(userName), password_(password) {}

  void onInit(PageView& view) override {
    view_ = &view;
    view.setText(kIdcPasswordPrompt, passwordPrompt(request_.proxy, request_.server));
    view.setText(kIdcPasswordUserName, userName_);
  }
  DialogCommandResult onCommand(int controlId) override {
    if (controlId == kIdOk) {
      userName_ = view_->text(kIdcPasswordUserName);
      password_ = view_->text(kIdcPasswordPassword);
      return endDialog(kIdOk);
    }
    return controlId == kIdCancel ? endDialog(kIdCancel) : kDialogStaysOpen;
  }

 private:
  const PasswordRequest& request_;
  std::string& userName_;
  std::string& password_;
  PageView* view_ = nullptr;
};

}  // namespace

HWND dialogOwner() {
  return GetActiveWindow();
}

MessageAnswer Win32Dialogs::messageBox(const MessageBoxRequest& request) {
  int result = 0;
  ui_.send([&] {
    result = MessageBoxW(request.owned ? dialogOwner() : nullptr, wide(request.text).c_str(),
                         wide(request.caption).c_str(),
                         iconFlag(request.icon) | buttonFlags(request.buttons));
  });
  return answerOf(result, request.buttons);
}

// Rooted at the desktop; only folders of the file system, and the way up to
// them, can be chosen.
bool Win32Dialogs::browseForFolder(const std::string& title, std::string& path) {
  bool chosen = false;
  ui_.send([&] {
    const std::wstring prompt = wide(title);
    wchar_t name[MAX_PATH] = L"";
    BROWSEINFOW browse{};
    browse.hwndOwner = dialogOwner();
    browse.pszDisplayName = name;
    browse.lpszTitle = prompt.c_str();
    browse.ulFlags = BIF_RETURNONLYFSDIRS | BIF_RETURNFSANCESTORS;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&browse);
    if (!item) return;
    wchar_t folder[MAX_PATH] = L"";
    const bool converted = SHGetPathFromIDListW(item, folder);
    CoTaskMemFree(item);
    if (!converted) return;
    if (std::optional<std::string> text = narrow(folder)) {
      path = *text;
      chosen = true;
    }
  });
  return chosen;
}

int Win32Dialogs::runDialog(const DialogTemplate& dialog, ModalDialog& controller,
                            const std::function<void(Win32PageView&)>& prepare) {
  const Win32DialogTemplate resource(dialog, DialogRole::ModalDialog);
  ModalBinding binding{dialog, controller, prepare, instance_, nullptr};
  return static_cast<int>(DialogBoxIndirectParamW(instance_, resource.get(), dialogOwner(),
                                                  modalProcedure,
                                                  reinterpret_cast<LPARAM>(&binding)));
}

int Win32Dialogs::runModalDialog(int templateId, ModalDialog& dialog) {
  int result = kNoDialog;
  ui_.send([&] {
    if (const DialogTemplate* found = findDialogTemplate(templateId)) {
      result = runDialog(*found, dialog, nullptr);
    }
  });
  return result;
}

bool Win32Dialogs::askPassword(const PasswordRequest& request, std::string& userName,
                               std::string& password) {
  bool given = false;
  ui_.send([&] {
    const DialogTemplate* found = findDialogTemplate(kIddPassword);
    if (!found) return;
    PasswordDialog dialog(request, userName, password);
    const auto hideTyping = [](Win32PageView& view) {
      SendDlgItemMessageW(view.window(), kIdcPasswordPassword, EM_SETPASSWORDCHAR, kPasswordMask,
                          0);
    };
    given = runDialog(*found, dialog, hideTyping) == kIdOk;
  });
  return given;
}

}  // namespace ks
