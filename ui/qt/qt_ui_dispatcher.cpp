#include "ui/qt/qt_ui_dispatcher.h"

#include <QMetaObject>
#include <QThread>

namespace ks {

bool QtUiDispatcher::onUiThread() const {
  return QThread::currentThread() == receiver_.thread();
}

void QtUiDispatcher::send(const std::function<void()>& fn) {
  if (onUiThread()) {
    fn();
    return;
  }
  QMetaObject::invokeMethod(
      &receiver_, [&fn] { fn(); }, Qt::BlockingQueuedConnection);
}

void QtUiDispatcher::post(std::function<void()> fn) {
  QMetaObject::invokeMethod(&receiver_, std::move(fn), Qt::QueuedConnection);
}

}  // namespace ks
