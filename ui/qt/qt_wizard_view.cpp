#include "ui/qt/qt_wizard_view.h"

#include <QApplication>
#include <QBoxLayout>
#include <QCloseEvent>
#include <QDialog>
#include <QFrame>
#include <QMetaObject>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QStackedWidget>
#include <QStyle>
#include <QTimer>
#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "wizard/wizard_frame.h"

namespace ks {

// The top-level window: Escape and the close box are Cancel.
class QtWizardDialog final : public QDialog {
 public:
  std::function<void()> cancelled;
  // Once, when the window manager has framed the window for the first time.
  std::function<void()> framed;

  void reject() override {
    if (cancelled) cancelled();
  }

 protected:
  void showEvent(QShowEvent* event) override {
    QDialog::showEvent(event);
    if (!framed) return;
    QTimer::singleShot(0, this, [this] {
      if (auto once = std::exchange(framed, nullptr)) once();
    });
  }
  void closeEvent(QCloseEvent* event) override {
    event->ignore();
    if (cancelled) cancelled();
  }
};

namespace {

constexpr int kBold = 700;
const PageView::Font kLargestTitleFont{"", 22, kBold};
const PageView::Font kBoldFont{"", 0, kBold};

// The largest of the wizard's pages as their templates lay them out, so
// the window has one size for all of them.
QSize largestTemplatePage() {
  std::vector<std::unique_ptr<QtPageView>> pages;
  int width = 0;
  for (int id : kWizardPageTemplates) {
    const DialogTemplate* found = findDialogTemplate(id);
    if (!found) continue;
    auto page = std::make_unique<QtPageView>(*found, QtPageView::Role::WizardPage);
    // A control hidden in the template may be shown by its page (a progress
    // bar while it works): it counts, and so do the larger bold fonts the
    // pages give their titles and options.
    for (const ControlTemplate& control : found->controls) {
      if (control.hidden) page->show(control.id, true);
      if (control.kind == ControlKind::Title) page->setFont(control.id, kLargestTitleFont);
      if (control.kind == ControlKind::RadioButton) page->setFont(control.id, kBoldFont);
    }
    width = std::max(width, page->minimumWidth());
    pages.push_back(std::move(page));
  }
  int height = 0;
  for (const auto& page : pages) {
    height = std::max({height, page->heightForPageWidth(width), page->dluY(193)});
  }
  // A line to spare for what the pages' texts add to their templates (a
  // description of two lines, a longer status).
  const int spare = pages.empty() ? 0 : pages.front()->fontMetrics().height();
  return {width, height + spare};
}

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
  window_->framed = [this] { placeOnScreen(); };
  auto* layout = new QVBoxLayout(window_.get());
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  // A screen too small for a page scrolls it; the buttons stay in view.
  scroll_ = new QScrollArea;
  scroll_->setFrameShape(QFrame::NoFrame);
  scroll_->setWidgetResizable(true);
  stack_ = new QStackedWidget;
  scroll_->setWidget(stack_);
  layout->addWidget(scroll_, 1);
  buttonBar_ = new QWidget;
  auto* bar = new QVBoxLayout(buttonBar_);
  bar->setContentsMargins(0, 0, 0, 0);
  bar->setSpacing(0);
  auto* rule = new QFrame;
  rule->setFrameShape(QFrame::HLine);
  rule->setFrameShadow(QFrame::Sunken);
  bar->addWidget(rule);
  layout->addWidget(buttonBar_);

  auto* row = new QHBoxLayout;
  const int margin = window_->fontMetrics().averageCharWidth() * 2;
  row->setContentsMargins(margin, margin, margin, margin);
  row->addStretch(1);
  back_ = addButton(*row, QStringLiteral("< &Back"), QStringLiteral("back"));
  next_ = addButton(*row, QStringLiteral("&Next >"), QStringLiteral("next"));
  finish_ = addButton(*row, QStringLiteral("Finish"), QStringLiteral("finish"));
  row->addSpacing(margin);
  cancel_ = addButton(*row, QStringLiteral("Cancel"), QStringLiteral("cancel"));
  bar->addLayout(row);
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
  largestPage_ = largestTemplatePage();
  fitPages();
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

// Like a property sheet, the stack is as large as its largest page, so no
// page is cut off and the window does not change its size from page to
// page. A page a controller filled beyond its template's size widens it.
void QtWizardView::fitPages() {
  int width = largestPage_.width();
  for (const auto& [id, page] : pages_) width = std::max(width, page->minimumWidth());
  int height = largestPage_.height();
  for (const auto& [id, page] : pages_) height = std::max(height, page->heightForPageWidth(width));
  if (sized_ && stack_->minimumSize() == QSize(width, height)) return;
  stack_->setMinimumSize(width, height);
  // Once on the screen the window keeps its size (and the user's): a page
  // that needs more room than its template promised scrolls instead.
  if (!window_->isVisible()) fitWindow();
}

// The window shows the whole page where the screen has room for it and is
// never larger than the screen's free area (less the window manager's frame).
void QtWizardView::fitWindow() {
  const QSize bar = buttonBar_->sizeHint();
  QSize wanted(std::max(stack_->minimumWidth(), bar.width()),
               stack_->minimumHeight() + bar.height());
  if (QScreen* screen = window_->screen() ? window_->screen() : QGuiApplication::primaryScreen()) {
    const int frame = window_->style()->pixelMetric(QStyle::PM_DefaultFrameWidth) * 2;
    const int titleBar = window_->style()->pixelMetric(QStyle::PM_TitleBarHeight);
    const QSize room = screen->availableGeometry().size() - QSize(frame, frame + titleBar);
    // A page that must scroll up and down gets the room of its scroll bar,
    // so it need not scroll sideways too.
    const int scrollBar = window_->style()->pixelMetric(QStyle::PM_ScrollBarExtent);
    if (wanted.height() > room.height()) wanted.rwidth() += scrollBar;
    if (wanted.width() > room.width()) wanted.rheight() += scrollBar;
    wanted = wanted.boundedTo(room);
    if (sized_) wanted = wanted.expandedTo(window_->size()).boundedTo(room);
  }
  sized_ = true;
  window_->resize(wanted);
}

// With the window manager's frame known, the window is made to fit inside
// the screen's free area and centred again, as the first page centred it.
void QtWizardView::placeOnScreen() {
  QScreen* screen = window_->screen();
  if (!screen) return;
  const QSize decoration = window_->frameGeometry().size() - window_->size();
  window_->resize(window_->size().boundedTo(screen->availableGeometry().size() - decoration));
  const WindowRect at = centeredRect(ownerRect(), frameRect());
  moveFrame(at.left, at.top);
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
