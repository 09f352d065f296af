#pragma once
// Captions of the setup's message boxes that several parts share.

namespace ks {

// Every error and warning message.
inline constexpr const char* kErrorCaption = "Error";

}  // namespace ks
