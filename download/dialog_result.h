#pragma once
// How the download dialogs end, and the buttons they share.

#include "platform/dialogs.h"

namespace ks {

// Button ids and dialog results (IDOK / IDCANCEL).
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;

inline constexpr DialogCommandResult kDialogStaysOpen{};
inline constexpr DialogCommandResult endDialog(int result) {
  return {true, result};
}

}  // namespace ks
