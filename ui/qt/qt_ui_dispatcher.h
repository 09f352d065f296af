#pragma once
// The UI thread of the Qt frontend: work from other threads runs in the
// thread that made the dispatcher, through Qt's queued calls.

#include <QObject>

#include "platform/ui_dispatcher.h"

namespace ks {

class QtUiDispatcher final : public UiDispatcher {
 public:
  // The calling thread (the one running the application's event loop)
  // becomes the UI thread.
  QtUiDispatcher() = default;

  // Blocks the caller until fn has run on the UI thread
  // (BlockingQueuedConnection); on the UI thread fn runs at once.
  void send(const std::function<void()>& fn) override;
  // Queues fn behind the events already waiting.
  void post(std::function<void()> fn) override;

  bool onUiThread() const;

 private:
  QObject receiver_;
};

}  // namespace ks
