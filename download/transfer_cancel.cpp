#include "download/transfer_cancel.h"

namespace ks {

// Under the lock, so the handle can't be closed while the client is told.
void TransferCancel::request() {
  std::lock_guard lock(mutex_);
  requested_ = true;
  if (watched_ != kNullInternetHandle) api_->abortTransfer(watched_);
}

bool TransferCancel::requested() const {
  std::lock_guard lock(mutex_);
  return requested_;
}

void TransferCancel::watch(InternetApi& api, InternetHandle handle) {
  std::lock_guard lock(mutex_);
  api_ = &api;
  watched_ = handle;
  if (requested_ && handle != kNullInternetHandle) api.abortTransfer(handle);
}

}  // namespace ks
