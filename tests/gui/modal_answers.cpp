#include "tests/gui/modal_answers.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QLabel>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QPushButton>
#include <QTest>

namespace ks::gui {

ModalAnswers::ModalAnswers() {
  qApp->installEventFilter(this);
}

ModalAnswers::~ModalAnswers() {
  qApp->removeEventFilter(this);
}

void ModalAnswers::expectMessage(QString caption, QString text, int button) {
  expected_.push_back({std::move(caption), std::move(text), [button](QWidget& window) {
                         auto& box = static_cast<QMessageBox&>(window);
                         QAbstractButton* target =
                             box.button(static_cast<QMessageBox::StandardButton>(button));
                         if (target) QTest::mouseClick(target, Qt::LeftButton);
                       }});
}

void ModalAnswers::expectMessage(QString caption, QString text, Act act) {
  expected_.push_back({std::move(caption), std::move(text), std::move(act)});
}

void ModalAnswers::expectWindow(QString title, Act act) {
  expected_.push_back({std::move(title), {}, std::move(act)});
}

bool ModalAnswers::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && watched->isWidgetType()) {
    auto* widget = static_cast<QWidget*>(watched);
    if (widget->isWindow() && qobject_cast<QDialog*>(widget) &&
        widget->objectName() != QStringLiteral("wizard")) {
      // Answered once the dialog's own event loop runs.
      QPointer<QWidget> window(widget);
      QMetaObject::invokeMethod(
          this,
          [this, window] {
            if (window && window->isVisible()) answer(window);
          },
          Qt::QueuedConnection);
    }
  }
  return QObject::eventFilter(watched, event);
}

void ModalAnswers::answer(QWidget* window) {
  auto* box = qobject_cast<QMessageBox*>(window);
  const QString text = box ? box->text() : QString();
  if (expected_.empty() || expected_.front().title != window->windowTitle() ||
      (box && expected_.front().text != text)) {
    failures << QStringLiteral("unexpected window \"%1\": \"%2\"").arg(window->windowTitle(), text);
    if (auto* dialog = qobject_cast<QDialog*>(window)) dialog->done(0);
    return;
  }
  Expected expected = std::move(expected_.front());
  expected_.pop_front();
  expected.act(*window);
}

void cancelFolderDialog(QWidget& window) {
  auto* buttons = window.findChild<QDialogButtonBox*>();
  QPushButton* cancel = buttons ? buttons->button(QDialogButtonBox::Cancel) : nullptr;
  if (cancel) QTest::mouseClick(cancel, Qt::LeftButton);
}

void saveScreenshot(QWidget& widget, const QString& name) {
  const QString folder = qEnvironmentVariable("KESTROVA_SCREENSHOT_DIR");
  if (folder.isEmpty()) return;
  QDir().mkpath(folder);
  const QString dpi = qEnvironmentVariable("QT_FONT_DPI", QStringLiteral("96"));
  // A run at another scale factor keeps its pictures apart.
  const QString scale = qEnvironmentVariable("QT_SCALE_FACTOR");
  const QString suffix = scale.isEmpty() ? QString() : QStringLiteral("-scale") + scale;
  widget.grab().save(QStringLiteral("%1/%2-%3dpi%4.png").arg(folder, name, dpi, suffix));
}

QStringList cutOffControls(QWidget& root) {
  QStringList failures;
  const auto describe = [](QWidget* w) {
    return QStringLiteral("%1 (%2)").arg(w->objectName(), w->metaObject()->className());
  };
  for (QWidget* widget : root.findChildren<QWidget*>()) {
    if (!widget->isVisibleTo(&root)) continue;
    QWidget* parent = widget->parentWidget();
    if (parent && !parent->rect().contains(widget->geometry())) {
      failures << describe(widget) + QStringLiteral(" lies outside its parent");
    }
    if (auto* label = qobject_cast<QLabel*>(widget)) {
      if (label->text().isEmpty() || label->sizePolicy().horizontalPolicy() == QSizePolicy::Ignored)
        continue;
      const int needed = label->wordWrap() ? label->heightForWidth(label->width())
                                           : label->minimumSizeHint().height();
      if (label->height() < needed ||
          (!label->wordWrap() && label->width() < label->minimumSizeHint().width())) {
        failures << describe(widget) + QStringLiteral(" cuts \"%1\"").arg(label->text());
      }
    } else if (auto* button = qobject_cast<QAbstractButton*>(widget)) {
      const QSize needed = button->minimumSizeHint();
      if (button->width() < needed.width() || button->height() < needed.height()) {
        failures << describe(widget) + QStringLiteral(" cuts \"%1\"").arg(button->text());
      }
    }
  }
  return failures;
}

}  // namespace ks::gui
