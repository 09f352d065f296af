#pragma once
// In-memory dialog templates (DLGTEMPLATEEX) built from the setup's dialog
// templates, for property sheet pages (PSP_DLGINDIRECT) and modal dialogs
// (DialogBoxIndirectParamW).

#include <windows.h>

#include <vector>

#include "resources/dialog_templates.h"

namespace ks {

enum class DialogRole { WizardPage, ModalDialog };

// A DLGTEMPLATEEX with its items, DWORD-aligned as the dialog manager wants.
class Win32DialogTemplate {
 public:
  Win32DialogTemplate(const DialogTemplate& dialog, DialogRole role);
  const DLGTEMPLATE* get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void addHeader(const DialogTemplate& dialog, DialogRole role);
  void addControl(const DialogTemplate& dialog, std::size_t index, DialogRole role);
  void addWord(WORD word) { words_.push_back(word); }
  void addDword(DWORD value);
  void addText(std::string_view text);
  void alignToDword();

  // The words of the template; the allocation is suitably aligned for a
  // DWORD-aligned template.
  std::vector<WORD> words_;
};

// The window class a control of this kind is made of.
const wchar_t* windowClass(ControlKind kind);

// The window styles of a control of the template.
DWORD controlStyle(const DialogTemplate& dialog, std::size_t index, DialogRole role);

}  // namespace ks
