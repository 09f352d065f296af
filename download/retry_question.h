#pragma once
// Asking the user what to do when a file failed on every URL: the Retry
// dialog, with the Proxy Settings dialog behind its Advanced button.

#include <cstdint>

#include "app/setup_context.h"

namespace ks {

// Shows the Retry dialog modally; true when the user chose "&Retry". cause
// is the lParam of the last failure's WM_DOWNLOAD_END: a server too slow, a
// refused certificate or a damaged package, which the dialog then names.
bool askRetryDownload(SetupContext& context, std::intptr_t cause);

}  // namespace ks
