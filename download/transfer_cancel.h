#pragma once
// Stopping a running transfer from another thread. The page asks (the user
// quit the setup); the engine looks between its steps and, while it waits on
// the network, lets the client break the wait off.

#include <mutex>

#include "platform/internet_api.h"

namespace ks {

class TransferCancel {
 public:
  // Any thread: the transfer stops soon and fails, and removes what it wrote.
  void request();
  bool requested() const;
  // The engine's thread: the handle a request has to reach while the engine
  // waits on it, or kNullInternetHandle before that handle is closed.
  void watch(InternetApi& api, InternetHandle handle);

 private:
  mutable std::mutex mutex_;
  bool requested_ = false;
  InternetApi* api_ = nullptr;
  InternetHandle watched_ = kNullInternetHandle;
};

}  // namespace ks
