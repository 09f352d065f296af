#pragma once
// Asking the user what to do when a file failed on every URL: the Retry
// dialog, with the Proxy Settings dialog behind its Advanced button.

#include "app/setup_context.h"

namespace ks {

// Shows the Retry dialog modally; true when the user chose "&Retry".
bool askRetryDownload(SetupContext& context);

}  // namespace ks
