#include "ui/headless/headless_dispatcher.h"

namespace ks {

// Shared between a sender and the UI thread, so the sender never touches the
// dispatcher again once its work has run.
struct DispatchCompletion {
  std::mutex mutex;
  std::condition_variable done;
  std::atomic<bool> finished{false};
};

namespace {

// A hand-off to the other thread usually completes within microseconds
// (a worker's text for the page, the page's answer). Both sides look for it
// this long before they go to sleep, which saves two thread wake-ups per
// hand-off; then they wait as usual.
constexpr auto kSpinBeforeSleep = std::chrono::microseconds(50);

template <typename Ready>
bool spinUntil(Ready ready) {
  const auto until = std::chrono::steady_clock::now() + kSpinBeforeSleep;
  while (!ready()) {
    if (std::chrono::steady_clock::now() >= until) return false;
  }
  return true;
}

}  // namespace

void HeadlessDispatcher::send(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  auto completion = std::make_shared<DispatchCompletion>();
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(Work{[&fn] { fn(); }, completion});
    queuedCount_.fetch_add(1, std::memory_order_release);
  }
  queued_.notify_all();
  if (spinUntil([&] { return completion->finished.load(std::memory_order_acquire); })) return;
  std::unique_lock lock(completion->mutex);
  completion->done.wait(lock, [&] { return completion->finished.load(); });
}

void HeadlessDispatcher::post(std::function<void()> fn) {
  {
    std::lock_guard lock(mutex_);
    queue_.push_back(Work{std::move(fn), nullptr});
    queuedCount_.fetch_add(1, std::memory_order_release);
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
    spinUntil([&] { return queuedCount_.load(std::memory_order_acquire) > 0; });
    {
      std::unique_lock lock(mutex_);
      if (!queued_.wait_until(lock, deadline, [&] { return !queue_.empty(); })) return done();
      work = std::move(queue_.front());
      queue_.pop_front();
      queuedCount_.fetch_sub(1, std::memory_order_relaxed);
    }
    work.fn();
    if (work.completion) {
      std::lock_guard lock(work.completion->mutex);
      work.completion->finished.store(true, std::memory_order_release);
      work.completion->done.notify_all();
    }
  }
  return true;
}

}  // namespace ks
