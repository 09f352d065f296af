#pragma once
// Asking the user what to do when a file failed on every URL: the Retry
// dialog, with the Proxy Settings dialog behind its Advanced button.

#include "app/setup_context.h"

namespace ks {

// Shows the Retry dialog modally; true when the user chose "&Retry".
// tooSlow: the last failure was a server that sent too slowly, and the
// dialog says so.
bool askRetryDownload(SetupContext& context, bool tooSlow);

}  // namespace ks
