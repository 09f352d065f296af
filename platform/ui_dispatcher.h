#pragma once
// The way a worker thread reaches the user-interface thread.

#include <functional>

namespace ks {

class UiDispatcher {
 public:
  virtual ~UiDispatcher() = default;
  // Runs fn on the user-interface thread and returns when it has finished
  // (SendMessage semantics). Called from the UI thread itself, fn runs at once.
  virtual void send(const std::function<void()>& fn) = 0;
  // Queues fn to run on the user-interface thread later (PostMessage semantics).
  virtual void post(std::function<void()> fn) = 0;
};

}  // namespace ks
