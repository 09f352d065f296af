#include "ui/headless/headless_dispatcher.h"

namespace ks {

// Shared between a sender and the UI thread, so the sender never touches the
// dispatcher again once its work has run.
struct DispatchCompletion {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
};

void HeadlessDispatcher::send(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  auto completion = std::make_shared<DispatchCompletion>();
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(Work{[&fn] { fn(); }, completion});
  }
  queued_.notify_all();
  std::unique_lock lock(completion->mutex);
  completion->done.wait(lock, [&] { return completion->finished; });
}

void HeadlessDispatcher::post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(Work{std::move(fn), nullptr});
  }
  queued_.notify_all();
}

void HeadlessDispatcher::runPending() {
  bool empty = false;
  runUntil(
      [&] {
        std::lock_guard lock(mutex_);
        empty = queue_.empty();
        return empty;
      },
      std::chrono::milliseconds(0));
}

bool HeadlessDispatcher::runUntil(const std::function<bool()>& done,
                                  std::chrono::milliseconds timeout) {
  const auto deadline = std::chrono::steady_clock::now() + timeout;
  while (!done()) {
    Work work;
    {
      std::unique_lock lock(mutex_);
      if (!queued_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return done();
      work = std::move(queue_.front());
      queue_.pop_front();
    }
    work.fn();
    if (work.completion) {
      std::lock_guard lock(work.completion->mutex);
      work.completion->finished = true;
      work.completion->done.notify_all();
    }
  }
  return true;
}

}  // namespace ks
