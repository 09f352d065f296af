#pragma once
// How the download dialogs end, and the buttons they share.

namespace ks {

// Button ids and dialog results (IDOK / IDCANCEL).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

// What a dialog controller answers to a command: keep the dialog open, or
// end it with a result.
struct DialogCommandResult {
  bool ends = false;
  int result = 0;
};

inline constexpr DialogCommandResult kDialogStaysOpen{};
inline constexpr DialogCommandResult endDialog(int result) {
  return {true, result};
}

}  // namespace ks
