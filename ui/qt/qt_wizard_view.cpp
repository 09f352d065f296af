#include "ui/qt/qt_wizard_view.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QStackedWidget>
#include <algorithm>

#include "wizard/wizard_frame.h"

namespace ks {

// The top-level window: Escape and the close box are Cancel.
class QtWizardDialog final : public QDialog {
 public:
  std::function<void()> cancelled;

  void reject() override {
    if (cancelled) cancelled();
  }

 protected:
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (cancelled) cancelled();
  }
};

namespace {

QPushButton* addButton(QBoxLayout& row, const QString& text, const QString& name) {
  auto* button = new QPushButton(text);
  button->setObjectName(name);
  row.addWidget(button);
  return button;
}

}  // namespace

QtWizardView::QtWizardView() : window_(std::make_unique<QtWizardDialog>()) {
  window_->setWindowTitle(
      QString::fromUtf8(kWizardCaption.data(), static_cast<qsizetype>(kWizardCaption.size())));
  window_->setObjectName(QStringLiteral("wizard"));
  window_->cancelled = [this] {
    if (frame_) frame_->cancel();
  };
  auto* layout = new QVBoxLayout(window_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->setSizeConstraint(QLayout::SetMinimumSize);
  stack_ = new QStackedWidget;
  layout->addWidget(stack_, 1);
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  layout->addWidget(rule);

  auto* row = new QHBoxLayout;
  const int margin = window_->fontMetrics().averageCharWidth() * 2;
  row->setContentsMargins(margin, margin, margin, margin);
  row->addStretch(1);
  back_ = addButton(*row, QStringLiteral("< &Back"), QStringLiteral("back"));
  next_ = addButton(*row, QStringLiteral("&Next >"), QStringLiteral("next"));
  finish_ = addButton(*row, QStringLiteral("Finish"), QStringLiteral("finish"));
  row->addSpacing(margin);
  cancel_ = addButton(*row, QStringLiteral("Cancel"), QStringLiteral("cancel"));
  layout->addLayout(row);
  for (QPushButton* button : {back_, next_, finish_, cancel_}) button->setAutoDefault(false);
  setButtons(0);

  QObject::connect(back_, &QPushButton::clicked, window_.get(), [this] {
    if (frame_) frame_->back();
  });
  QObject::connect(next_, &QPushButton::clicked, window_.get(), [this] {
    if (frame_) frame_->next();
  });
  QObject::connect(finish_, &QPushButton::clicked, window_.get(), [this] {
    if (frame_) frame_->finish();
  });
  QObject::connect(cancel_, &QPushButton::clicked, window_.get(), [this] {
    if (frame_) frame_->cancel();
  });
}

QtWizardView::~QtWizardView() = default;

QDialog& QtWizardView::window() {
  return *window_;
}

QtPageView* QtWizardView::page(int templateId) {
  auto found = pages_.find(templateId);
  return found == pages_.end() ? nullptr : found->second;
}

QtPageView* QtWizardView::currentPage() {
  return static_cast<QtPageView*>(stack_->currentWidget());
}

PageView& QtWizardView::createPage(int templateId) {
  const DialogTemplate* found = findDialogTemplate(templateId);
  const DialogTemplate empty{
      .id = templateId, .caption = kWizardCaption, .sideBand = false, .controls = {}};
  auto* page = new QtPageView(found ? *found : empty, QtPageView::Role::WizardPage);
  page->setEvents({
      .command =
          [this](int id) {
            if (frame_) frame_->command(id);
          },
      .treeStateClick =
          [this](int id, std::uintptr_t item) {
            if (frame_) frame_->treeStateClick(id, item);
          },
      .treeSelection =
          [this](int id, std::uintptr_t item) {
            if (frame_) frame_->treeSelection(id, item);
          },
  });
  stack_->addWidget(page);
  pages_[templateId] = page;
  fitPages();
  return *page;
}

// Like a property sheet, the stack is as large as its largest page, so the
// window never cuts a page off.
void QtWizardView::fitPages() {
  int width = 0;
  for (const auto& [id, page] : pages_) width = std::max(width, page->minimumWidth());
  int height = 0;
  for (const auto& [id, page] : pages_) height = std::max(height, page->heightForPageWidth(width));
  for (const auto& [id, page] : pages_) height = std::max(height, page->dluY(193));
  stack_->setMinimumSize(width, height);
  window_->adjustSize();
}

// The page is painted once it is on view; it remembers its bitmap.
void QtWizardView::showPage(int templateId) {
  QtPageView* shown = page(templateId);
  if (!shown) return;
  stack_->setCurrentWidget(shown);
  if (frame_) frame_->paint();
}

void QtWizardView::setButtons(unsigned buttons) {
  back_->setEnabled((buttons & WizardButton::kBack) != 0);
  const bool finish = (buttons & WizardButton::kFinish) != 0;
  next_->setVisible(!finish);
  next_->setEnabled((buttons & WizardButton::kNext) != 0);
  finish_->setVisible(finish);
  next_->setDefault(!finish);
  finish_->setDefault(finish);
}

WindowRect QtWizardView::ownerRect() {
  QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen();
  const QRect area = screen ? screen->availableGeometry() : QRect();
  return {area.left(), area.top(), area.width(), area.height()};
}

WindowRect QtWizardView::frameRect() {
  const QRect frame = window_->frameGeometry();
  return {frame.left(), frame.top(), frame.width(), frame.height()};
}

void QtWizardView::moveFrame(int left, int top) {
  window_->move(left, top);
}

void QtWizardView::close() {
  window_->hide();
  if (closed_) closed_();
}

// Posted, like PostQuitMessage: it is handled after what is already queued.
void QtWizardView::postQuitRequest() {
  if (!quit_) return;
  QMetaObject::invokeMethod(qApp, quit_, Qt::QueuedConnection);
}

}  // namespace ks
