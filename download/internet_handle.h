#pragma once
// Owns one handle of the Internet client and closes it when it goes.

#include "platform/internet_api.h"

namespace ks {

class InternetHandleGuard {
 public:
  explicit InternetHandleGuard(InternetApi& api) : api_(api) {}
  ~InternetHandleGuard() { close(); }
  InternetHandleGuard(const InternetHandleGuard&) = delete;
  InternetHandleGuard& operator=(const InternetHandleGuard&) = delete;

  // Takes a new handle; false when it is null (the call that made it failed).
  bool reset(InternetHandle handle) {
    close();
    handle_ = handle;
    return handle_ != kNullInternetHandle;
  }
  InternetHandle get() const { return handle_; }
  void close() {
    if (handle_ != kNullInternetHandle) api_.closeHandle(handle_);
    handle_ = kNullInternetHandle;
  }

 private:
  InternetApi& api_;
  InternetHandle handle_ = kNullInternetHandle;
};

}  // namespace ks
