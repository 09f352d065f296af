#pragma once
// The user-interface thread of the headless frontend: the thread that made
// the dispatcher drains a queue of work that other threads hand it.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/ui_dispatcher.h"

namespace ks {

struct DispatchCompletion;

class HeadlessDispatcher final : public UiThreadLoop {
 public:
  // The calling thread becomes the user-interface thread.
  HeadlessDispatcher() : uiThread_(std::this_thread::get_id()) {}

  void send(const std::function<void()>& fn) override;
  void post(std::function<void()> fn) override;

  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;
  void runPending() override;

 private:
  struct Work {
    std::function<void()> fn;
    // Set for send(): the sender waits for it.
    std::shared_ptr<DispatchCompletion> completion;
  };

  bool onUiThread() const { return std::this_thread::get_id() == uiThread_; }

  const std::thread::id uiThread_;
  std::mutex mutex_;
  std::condition_variable queued_;
  std::deque<Work> queue_;
  // The length of queue_, readable without the lock.
  std::atomic<std::size_t> queuedCount_{0};
};

}  // namespace ks
