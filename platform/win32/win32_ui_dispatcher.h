#pragma once
// The user-interface thread as Windows knows it: a message-only window of the
// thread that made the dispatcher. send() is SendMessageW to it (the sender
// waits until the UI thread has run the work), post() is PostMessageW. Any
// message loop of that thread runs the work: runUntil and runPending for an
// unattended run, or a window frontend's own loop (a property sheet's modal
// loop dispatches to this window too).

#include <windows.h>

#include <thread>

#include "platform/ui_dispatcher.h"

namespace ks {

class Win32UiDispatcher final : public UiThreadLoop {
 public:
  Win32UiDispatcher();
  ~Win32UiDispatcher() override;
  Win32UiDispatcher(const Win32UiDispatcher&) = delete;
  Win32UiDispatcher& operator=(const Win32UiDispatcher&) = delete;

  void send(const std::function<void()>& fn) override;
  void post(std::function<void()> fn) override;
  bool runUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) override;
  void runPending() override;

  // The message-only window the work arrives at.
  HWND window() const { return window_; }

 private:
  // Handles one message of the thread's queue; false when there was none.
  bool dispatchOne();

  const std::thread::id uiThread_;
  HWND window_ = nullptr;
};

}  // namespace ks
