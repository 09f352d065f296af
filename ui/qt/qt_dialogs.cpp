#include "ui/qt/qt_dialogs.h"

#include <QApplication>
#include <QBoxLayout>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

#include "download/dialog_result.h"
#include "resources/dialog_resources.h"
#include "resources/dialog_templates.h"
#include "ui/qt/qt_page_view.h"

namespace ks {

namespace {

// DialogBoxParam's answer when the dialog can't be made.
constexpr int kNoDialog = -1;

QString toQt(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QMessageBox::Icon qtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::None:
      return QMessageBox::NoIcon;
    case MessageIcon::Error:
      return QMessageBox::Critical;
    case MessageIcon::Warning:
      return QMessageBox::Warning;
    case MessageIcon::Information:
      return QMessageBox::Information;
    case MessageIcon::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons qtButtons(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return QMessageBox::Ok;
    case MessageButtons::OkCancel:
      return QMessageBox::Ok | QMessageBox::Cancel;
    case MessageButtons::YesNo:
      return QMessageBox::Yes | QMessageBox::No;
    case MessageButtons::YesNoCancel:
      return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case MessageButtons::RetryCancel:
      return QMessageBox::Retry | QMessageBox::Cancel;
  }
  return QMessageBox::Ok;
}

// The answer of a box closed without a button: OK for a box with only OK,
// No for Yes/No, Cancel otherwise.
MessageAnswer closedAnswer(MessageButtons buttons) {
  switch (buttons) {
    case MessageButtons::Ok:
      return MessageAnswer::Ok;
    case MessageButtons::YesNo:
      return MessageAnswer::No;
    default:
      return MessageAnswer::Cancel;
  }
}

MessageAnswer answerOf(QMessageBox::StandardButton button, MessageButtons buttons) {
  switch (button) {
    case QMessageBox::Ok:
      return MessageAnswer::Ok;
    case QMessageBox::Cancel:
      return MessageAnswer::Cancel;
    case QMessageBox::Yes:
      return MessageAnswer::Yes;
    case QMessageBox::No:
      return MessageAnswer::No;
    case QMessageBox::Retry:
      return MessageAnswer::Retry;
    default:
      return closedAnswer(buttons);
  }
}

// A dialog built from its template. Escape and the close box arrive as a
// Cancel command, which the controller may refuse.
class TemplateDialog final : public QDialog {
 public:
  TemplateDialog(const DialogTemplate& dialog, QWidget* owner) : QDialog(owner) {
    setWindowTitle(toQt(dialog.caption));
    setObjectName(QStringLiteral("dialog-%1").arg(dialog.id));
    view = new QtPageView(dialog, QtPageView::Role::Dialog, this);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    layout->setSizeConstraint(QLayout::SetMinimumSize);
  }

  void reject() override { command(kIdCancel); }

  void command(int controlId) {
    if (!onCommand) return;
    const DialogCommandResult result = onCommand(controlId);
    if (result.ends) done(result.result);
  }

  QtPageView* view = nullptr;
  std::function<DialogCommandResult(int)> onCommand;
};

}  // namespace

QWidget* dialogOwner() {
  if (QWidget* modal = QApplication::activeModalWidget()) return modal;
  if (QWidget* active = QApplication::activeWindow()) return active;
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (window->isVisible() && window->isWindow()) return window;
  }
  return nullptr;
}

MessageAnswer QtDialogs::messageBox(const MessageBoxRequest& request) {
  MessageAnswer answer = closedAnswer(request.buttons);
  ui_.send([&] {
    QMessageBox box(qtIcon(request.icon), toQt(request.caption), toQt(request.text),
                    qtButtons(request.buttons), request.owned ? dialogOwner() : nullptr);
    box.exec();
    answer = answerOf(box.standardButton(box.clickedButton()), request.buttons);
  });
  return answer;
}

bool QtDialogs::browseForFolder(const std::string& title, std::string& path) {
  bool chosen = false;
  ui_.send([&] {
    const QString start = QFileInfo(toQt(path)).isDir() ? toQt(path) : QDir::homePath();
    QFileDialog dialog(dialogOwner(), toQt(title), start);
    dialog.setObjectName(QStringLiteral("browse-for-folder"));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    path = QDir::toNativeSeparators(dialog.selectedFiles().front()).toStdString();
    chosen = true;
  });
  return chosen;
}

int QtDialogs::runModalDialog(int templateId, ModalDialog& controller) {
  int result = kNoDialog;
  ui_.send([&] {
    const DialogTemplate* found = findDialogTemplate(templateId);
    if (!found) return;
    TemplateDialog dialog(*found, dialogOwner());
    dialog.onCommand = [&controller](int id) { return controller.onCommand(id); };
    dialog.view->setEvents({.command = [&dialog](int id) { dialog.command(id); }});
    controller.onInit(*dialog.view);
    result = dialog.exec();
  });
  return result;
}

bool QtDialogs::askPassword(const PasswordRequest& request, std::string& userName,
                            std::string& password) {
  bool given = false;
  ui_.send([&] {
    const DialogTemplate* found = findDialogTemplate(kIddPassword);
    if (!found) return;
    TemplateDialog dialog(*found, dialogOwner());
    QtPageView& view = *dialog.view;
    view.setText(kIdcPasswordPrompt, passwordPrompt(request.proxy, request.server));
    view.setText(kIdcPasswordUserName, userName);
    if (auto* secret = qobject_cast<QLineEdit*>(view.control(kIdcPasswordPassword))) {
      secret->setEchoMode(QLineEdit::Password);
    }
    // The keyboard starts in the name field.
    if (QWidget* name = view.control(kIdcPasswordUserName)) name->setFocus();
    dialog.onCommand = [](int id) {
      return id == kIdOk || id == kIdCancel ? endDialog(id) : kDialogStaysOpen;
    };
    view.setEvents({.command = [&dialog](int id) { dialog.command(id); }});
    if (dialog.exec() != kIdOk) return;
    userName = view.text(kIdcPasswordUserName);
    password = view.text(kIdcPasswordPassword);
    given = true;
  });
  return given;
}

}  // namespace ks
