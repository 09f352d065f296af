#pragma once
// Answers the modal windows the frontend opens, as a person would: each
// expected window (a message box with its caption and text, the folder
// dialog, a template dialog) is answered through its real buttons once it is
// on screen. A window nobody expected is recorded and closed.

#include <QObject>
#include <QString>
#include <deque>
#include <functional>

class QWidget;

namespace ks::gui {

class ModalAnswers final : public QObject {
 public:
  // Acts on the window once it is shown; the window is a QMessageBox,
  // QFileDialog or template dialog.
  using Act = std::function<void(QWidget& window)>;

  ModalAnswers();
  ~ModalAnswers() override;

  // A message box with this caption and text; its button of the given
  // standard-button value (QMessageBox::Yes, ...) is clicked.
  void expectMessage(QString caption, QString text, int button);
  // A message box with this caption and text, on which act does what the
  // test needs while the box is open (and then clicks a button).
  void expectMessage(QString caption, QString text, Act act);
  // Any other window (folder dialog, template dialog) with this title.
  void expectWindow(QString title, Act act);

  bool done() const { return expected_.empty(); }
  // One line per window that was not expected or did not match.
  QStringList failures;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Expected {
    QString title;
    QString text;  // message boxes only
    Act act;
  };
  void answer(QWidget* window);

  std::deque<Expected> expected_;
};

// The folder dialog's Cancel button, clicked.
void cancelFolderDialog(QWidget& window);

// Saves a PNG of widget as <KESTROVA_SCREENSHOT_DIR>/<name>-<dpi>dpi.png
// (-<dpi>dpi-scale<factor>.png under QT_SCALE_FACTOR) when that variable is
// set.
void saveScreenshot(QWidget& widget, const QString& name);

// Failures for every visible text, button or box in root that is smaller
// than its text needs or lies outside its parent.
QStringList cutOffControls(QWidget& root);

}  // namespace ks::gui
