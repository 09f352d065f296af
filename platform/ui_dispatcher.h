#pragma once
// The way a worker thread reaches the user-interface thread.

#include <chrono>
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

// A user-interface thread that its owner drives itself, as an unattended run
// does: the work other threads hand it runs while the owner waits for an
// outcome. The thread that makes it is its user-interface thread.
class UiThreadLoop : public UiDispatcher {
 public:
  // Runs handed-over work until done() holds (checked after each piece) or
  // until timeout passes without it. True when done() held.
  virtual bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) = 0;
  // Runs the work handed over so far, and what that work hands over in turn,
  // without waiting for more.
  virtual void runPending() = 0;
};

}  // namespace ks
