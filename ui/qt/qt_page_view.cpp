#include "ui/qt/qt_page_view.h"

#include <QBoxLayout>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QToolButton>
#include <QTreeWidget>
#include <algorithm>
#include <set>

#include "resources/dialog_resources.h"
#include "ui/qt/qt_artwork.h"

namespace ks {

namespace {

using K = ControlKind;

// Dialog results of the standard buttons (IDOK, IDCANCEL).
constexpr int kIdOkButton = 1;
constexpr int kIdCancelButton = 2;
constexpr int kStateImageSize = 16;
constexpr std::string_view kBrowseButtonText = "...";
constexpr int kIconSize = 32;
// The page's area in dialog units, as the templates are drawn.
constexpr int kSideBandWidthDlu = 111;
constexpr int kHeaderBandHeightDlu = 36;
constexpr int kPageWidthDlu = 331;
constexpr int kDialogWidthDlu = 230;
// A dialog font height is the cell height in pixels at 96 dpi; the em size
// is about this part of it.
constexpr double kCellToEm = 0.86;
constexpr double kPointsPerPixelAt96Dpi = 72.0 / 96.0;
const char* kControlIdProperty = "ks.controlId";

QString toQt(const std::string& text) {
  return QString::fromStdString(text);
}

// A static shows "&&" as "&" and hides single mnemonic marks; a line break
// at the end adds nothing.
QString staticText(const std::string& text) {
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '&' && i + 1 < text.size()) ++i;
    shown += text[i];
  }
  while (!shown.empty() && shown.back() == '\n') shown.pop_back();
  return toQt(shown);
}

bool isLabel(ControlKind kind) {
  return kind == K::Static || kind == K::Title;
}

constexpr const char* kTemplateTextProperty = "ks.templateText";

// A label with a mnemonic ("&Proxy:") just before an edit in its row takes
// the keyboard to that edit, as a dialog's label does on Windows.
void giveMnemonic(QBoxLayout& row, QWidget& edit) {
  QLayoutItem* last = row.count() > 0 ? row.itemAt(row.count() - 1) : nullptr;
  auto* label = last ? qobject_cast<QLabel*>(last->widget()) : nullptr;
  if (!label) return;
  const QString text = label->property(kTemplateTextProperty).toString();
  const qsizetype mark = text.indexOf(QLatin1Char('&'));
  if (mark < 0 || mark + 1 >= text.size() || text[mark + 1] == QLatin1Char('&')) return;
  label->setText(text);
  label->setBuddy(&edit);
}

// In a row, edits, lists and the statics that show a value (no template
// text) take the room the labels and buttons leave.
bool fillsRow(const ControlTemplate& control) {
  switch (control.kind) {
    case K::Edit:
    case K::ReadOnlyEdit:
    case K::ComboList:
      return true;
    case K::Static:
      return control.text.empty();
    default:
      return false;
  }
}

// Paints a bitmap over its area in proportion (coverRect): a bitmap band
// once the page asks for it, a picture control from the start.
class BandWidget final : public QWidget {
 public:
  explicit BandWidget(QWidget* parent) : QWidget(parent) {}
  void setBitmap(int bitmapId) {
    pixmap_ = bitmapResource(bitmapId);
    update();
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    if (pixmap_.isNull() || width() <= 0 || height() <= 0) return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(coverRect(pixmap_.deviceIndependentSize(), size()), pixmap_,
                       QRectF(QPointF(0, 0), pixmap_.size()));
  }

 private:
  QPixmap pixmap_;
};

// A tree whose state images take clicks of their own: a click on an item's
// state image is reported and does not move the selection.
class StateTree final : public QTreeWidget {
 public:
  using StateClick = std::function<void(QTreeWidgetItem*)>;
  StateTree(QWidget* parent, StateClick onStateClick)
      : QTreeWidget(parent), onStateClick_(std::move(onStateClick)) {}

 protected:
  void mousePressEvent(QMouseEvent* event) override {
    QTreeWidgetItem* item = itemAt(event->position().toPoint());
    if (item && event->button() == Qt::LeftButton && !item->icon(0).isNull()) {
      const QRect area = visualItemRect(item);
      const int imageRight = area.left() + iconSize().width() +
                             style()->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, this) * 2 +
                             2;
      if (event->position().x() < imageRight) {
        onStateClick_(item);
        return;
      }
    }
    QTreeWidget::mousePressEvent(event);
  }
  // Space on the current item works its tick box, as in a Windows tree with
  // check boxes.
  void keyPressEvent(QKeyEvent* event) override {
    QTreeWidgetItem* item = currentItem();
    if (event->key() == Qt::Key_Space && event->modifiers() == Qt::NoModifier && item &&
        !item->icon(0).isNull()) {
      onStateClick_(item);
      return;
    }
    QTreeWidget::keyPressEvent(event);
  }

 private:
  StateClick onStateClick_;
};

constexpr int kTreeHandleRole = Qt::UserRole + 1;
constexpr int kStateImageRole = Qt::UserRole + 2;

QIcon stateIcon(const std::vector<QIcon>& images, int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= images.size()) return {};
  return images[static_cast<std::size_t>(index)];
}

// The rows of the template that hold a dialog's standard buttons.
std::set<int> buttonRows(const DialogTemplate& dialog) {
  std::set<int> rows;
  for (const ControlTemplate& control : dialog.controls) {
    if (control.kind == K::PushButton &&
        (control.id == kIdOkButton || control.id == kIdCancelButton)) {
      rows.insert(control.row);
    }
  }
  return rows;
}

}  // namespace

QtPageView::QtPageView(const DialogTemplate& dialog, Role role, QWidget* parent)
    : QWidget(parent), templateId_(dialog.id), role_(role) {
  setObjectName(QStringLiteral("page-%1").arg(dialog.id));
  build(dialog);
}

QtPageView::~QtPageView() = default;

int QtPageView::dluX(int units) const {
  const QString alphabet = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
  const int baseX = (fontMetrics().horizontalAdvance(alphabet) / 26 + 1) / 2;
  return units * baseX / 4;
}

int QtPageView::dluY(int units) const {
  return units * fontMetrics().height() / 8;
}

QWidget* QtPageView::makeControl(const ControlTemplate& control) {
  const int id = control.id;
  QWidget* widget = nullptr;
  switch (control.kind) {
    case K::Static:
    case K::Title: {
      auto* label = new QLabel(staticText(std::string(control.text)), this);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      label->setProperty(kTemplateTextProperty, toQt(std::string(control.text)));
      widget = label;
      break;
    }
    case K::Edit:
    case K::ReadOnlyEdit: {
      auto* edit = new QLineEdit(toQt(std::string(control.text)), this);
      edit->setReadOnly(control.kind == K::ReadOnlyEdit);
      widget = edit;
      break;
    }
    case K::PushButton: {
      QAbstractButton* button = nullptr;
      if (control.text == kBrowseButtonText) {
        // The small browse button beside an edit.
        button = new QToolButton(this);
        button->setText(toQt(std::string(control.text)));
      } else {
        auto* push = new QPushButton(toQt(std::string(control.text)), this);
        push->setAutoDefault(false);
        if (role_ == Role::Dialog && id == kIdOkButton) push->setDefault(true);
        button = push;
      }
      connect(button, &QAbstractButton::clicked, this, [this, id] { forwardCommand(id); });
      widget = button;
      break;
    }
    case K::RadioButton: {
      auto* radio = new QRadioButton(toQt(std::string(control.text)), this);
      if (!radioGroup_) radioGroup_ = new QButtonGroup(this);
      radioGroup_->addButton(radio);
      connect(radio, &QRadioButton::clicked, this, [this, id] { forwardCommand(id); });
      widget = radio;
      break;
    }
    case K::CheckBox: {
      auto* box = new QCheckBox(toQt(std::string(control.text)), this);
      connect(box, &QCheckBox::clicked, this, [this, id] { forwardCommand(id); });
      widget = box;
      break;
    }
    case K::GroupBox:
      widget = new QGroupBox(toQt(std::string(control.text)), this);
      break;
    case K::ComboList:
      widget = new QComboBox(this);
      break;
    case K::BitmapBand:
    case K::Picture: {
      auto* band = new BandWidget(this);
      if (control.kind == K::Picture) band->setBitmap(control.bitmap);
      widget = band;
      break;
    }
    case K::TreeView: {
      auto* tree = new StateTree(this, [this, id](QTreeWidgetItem* item) {
        if (events_.treeStateClick) {
          events_.treeStateClick(id, item->data(0, kTreeHandleRole).value<quintptr>());
        }
      });
      tree->setHeaderHidden(true);
      tree->setRootIsDecorated(true);
      tree->setIconSize(QSize(kStateImageSize, kStateImageSize));
      connect(tree, &QTreeWidget::currentItemChanged, this, [this, id](QTreeWidgetItem* current) {
        if (fillingTree_ || !events_.treeSelection) return;
        events_.treeSelection(id,
                              current ? current->data(0, kTreeHandleRole).value<quintptr>() : 0);
      });
      widget = tree;
      break;
    }
    case K::ListView: {
      auto* list = new QListWidget(this);
      list->setSelectionMode(QAbstractItemView::NoSelection);
      list->setFocusPolicy(Qt::NoFocus);
      list->setIconSize(QSize(kStateImageSize, kStateImageSize));
      QPalette palette = list->palette();
      palette.setColor(QPalette::Base, Qt::transparent);
      list->setPalette(palette);
      widget = list;
      break;
    }
    case K::ProgressBar:
      widget = new QProgressBar(this);
      break;
    case K::Icon: {
      auto* icon = new QLabel(this);
      icon->setFixedSize(kIconSize, kIconSize);
      if (control.bitmap == kSystemExclamationIcon) {
        icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxWarning).pixmap(kIconSize));
      }
      widget = icon;
      break;
    }
  }
  widget->setProperty(kControlIdProperty, id);
  if (id != -1) {
    widget->setObjectName(QStringLiteral("control-%1").arg(id));
    Control& entry = controls_[id];
    entry.kind = control.kind;
    entry.widget = widget;
    entry.text = std::string(control.text);
  }
  if (control.disabled) widget->setEnabled(false);
  // A hidden bitmap band still marks where the page paints its bitmap.
  if (control.hidden && control.kind != K::BitmapBand) widget->setHidden(true);
  return widget;
}

void QtPageView::build(const DialogTemplate& dialog) {
  const bool wizardPage = role_ == Role::WizardPage;
  auto* outer = new QVBoxLayout(this);
  outer->setContentsMargins(0, 0, 0, 0);
  outer->setSpacing(0);
  layout_ = outer;

  const int margin = dluX(7);
  auto* body = new QVBoxLayout;
  body->setContentsMargins(margin, dluY(7), margin, dluY(7));
  body->setSpacing(dluY(3));
  QBoxLayout* bandLayout = nullptr;

  // Where the title stands decides which statics go over the band.
  std::size_t titleIndex = dialog.controls.size();
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    if (dialog.controls[i].kind == K::Title) titleIndex = i;
  }
  std::size_t bandIndex = dialog.controls.size();
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlKind kind = dialog.controls[i].kind;
    if (wizardPage && (kind == K::BitmapBand || kind == K::Picture)) {
      bandIndex = i;
      break;
    }
  }

  auto* page = new QHBoxLayout;
  page->setContentsMargins(0, 0, 0, 0);
  page->setSpacing(0);
  outer->addLayout(page, 1);
  auto* column = new QVBoxLayout;
  column->setContentsMargins(0, 0, 0, 0);
  column->setSpacing(0);

  const std::set<int> standardRows = buttonRows(dialog);
  QHBoxLayout* buttonRow = nullptr;
  QBoxLayout* container = body;
  QHBoxLayout* currentRow = nullptr;
  int currentRowNumber = 0;
  QBoxLayout* currentRowContainer = nullptr;
  bool underRadio = false;
  bool seenRadio = false;
  const int indent = style()->pixelMetric(QStyle::PM_ExclusiveIndicatorWidth) +
                     style()->pixelMetric(QStyle::PM_RadioButtonLabelSpacing);

  int previousRow = 0;
  for (std::size_t i = 0; i < dialog.controls.size(); ++i) {
    const ControlTemplate& control = dialog.controls[i];
    QWidget* widget = makeControl(control);
    const int rowBefore = previousRow;
    previousRow = control.row;

    if (i == bandIndex) {
      auto* band = static_cast<BandWidget*>(widget);
      auto* inBand = new QVBoxLayout(band);
      bandLayout = inBand;
      if (dialog.sideBand) {
        band->setFixedWidth(dluX(kSideBandWidthDlu));
        inBand->setContentsMargins(dluX(4), dluY(6), dluX(4), dluY(10));
        inBand->addStretch(1);
        page->addWidget(band);
      } else {
        band->setMinimumHeight(dluY(kHeaderBandHeightDlu));
        inBand->setContentsMargins(dluX(10), dluY(5), dluX(60), dluY(5));
        inBand->setSpacing(dluY(2));
        column->addWidget(band);
      }
      continue;
    }
    if (bandLayout && dialog.sideBand && i < titleIndex && isLabel(control.kind)) {
      static_cast<QLabel*>(widget)->setAlignment(Qt::AlignHCenter);
      bandLayout->addWidget(widget);
      continue;
    }
    const bool headerText = i == titleIndex || (titleIndex + 1 == i && isLabel(control.kind));
    if (bandLayout && !dialog.sideBand && headerText) {
      if (i != titleIndex) static_cast<QLabel*>(widget)->setIndent(dluX(6));
      bandLayout->addWidget(widget);
      continue;
    }
    if (role_ == Role::Dialog && control.kind == K::PushButton &&
        (standardRows.count(control.row) &&
         (control.row != 0 || control.id == kIdOkButton || control.id == kIdCancelButton))) {
      if (!buttonRow) {
        buttonRow = new QHBoxLayout;
        buttonRow->addStretch(1);
      }
      buttonRow->addWidget(widget);
      continue;
    }
    if (control.kind == K::GroupBox) {
      auto* group = static_cast<QGroupBox*>(widget);
      body->addWidget(group);
      auto* inGroup = new QVBoxLayout(group);
      inGroup->setSpacing(dluY(3));
      container = inGroup;
      currentRow = nullptr;
      underRadio = false;
      continue;
    }
    if (control.kind == K::RadioButton) {
      if (seenRadio) container->addSpacing(dluY(4));
      seenRadio = true;
      underRadio = true;
      currentRow = nullptr;
      container->addWidget(widget);
      continue;
    }
    if (control.row != 0 && isLabel(control.kind)) {
      auto* label = static_cast<QLabel*>(widget);
      label->setWordWrap(false);
      // A long value is cut at the row's end rather than widening the page.
      if (fillsRow(control)) label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    }
    if (control.row != 0 && currentRow && currentRowNumber == control.row &&
        currentRowContainer == container) {
      if (control.kind == K::Edit) giveMnemonic(*currentRow, *widget);
      currentRow->addWidget(widget, fillsRow(control) ? 1 : 0);
      continue;
    }
    // A row of edit and button ends a block: the next text starts a new one.
    if (control.row == 0 && rowBefore != 0 && !underRadio) container->addSpacing(dluY(5));
    QBoxLayout* target = container;
    if (underRadio || control.row != 0) {
      auto* line = new QHBoxLayout;
      line->setSpacing(dluX(4));
      if (underRadio) line->addSpacing(indent);
      container->addLayout(line);
      target = line;
    }
    if (control.row != 0) {
      currentRow = static_cast<QHBoxLayout*>(target);
      currentRowNumber = control.row;
      currentRowContainer = container;
    } else {
      currentRow = nullptr;
    }
    const bool stretches = control.kind == K::TreeView || control.kind == K::ListView ||
                           (control.row != 0 && fillsRow(control));
    target->addWidget(widget, stretches ? 1 : 0);
  }
  body->addStretch(1);
  if (buttonRow) body->addLayout(buttonRow);
  column->addLayout(body, 1);
  page->addLayout(column, 1);
  setMinimumWidth(dluX(wizardPage ? kPageWidthDlu : kDialogWidthDlu));
}

int QtPageView::heightForPageWidth(int width) const {
  int height = layout_->totalSizeHint().height();
  if (layout_->hasHeightForWidth()) height = std::max(height, layout_->totalHeightForWidth(width));
  return height;
}

QtPageView::Control* QtPageView::find(int controlId) {
  auto found = controls_.find(controlId);
  return found == controls_.end() ? nullptr : &found->second;
}

QWidget* QtPageView::control(int controlId) const {
  auto found = controls_.find(controlId);
  return found == controls_.end() ? nullptr : found->second.widget;
}

void QtPageView::forwardCommand(int controlId) {
  if (events_.command) events_.command(controlId);
}

void QtPageView::setText(int controlId, const std::string& text) {
  Control* c = find(controlId);
  if (!c) return;
  c->text = text;
  if (auto* label = qobject_cast<QLabel*>(c->widget)) {
    label->setText(staticText(text));
  } else if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) {
    edit->setText(toQt(text));
    edit->setCursorPosition(0);
  } else if (auto* button = qobject_cast<QAbstractButton*>(c->widget)) {
    button->setText(toQt(text));
  } else if (auto* group = qobject_cast<QGroupBox*>(c->widget)) {
    group->setTitle(toQt(text));
  }
}

std::string QtPageView::text(int controlId) {
  Control* c = find(controlId);
  if (!c) return {};
  if (auto* edit = qobject_cast<QLineEdit*>(c->widget)) return edit->text().toStdString();
  return c->text;
}

void QtPageView::enable(int controlId, bool enabled) {
  if (Control* c = find(controlId)) c->widget->setEnabled(enabled);
}

// A bitmap band stays: its bitmap is painted onto the page over the band's
// area whether or not the band itself is shown.
void QtPageView::show(int controlId, bool visible) {
  Control* c = find(controlId);
  if (!c || c->kind == K::BitmapBand) return;
  c->widget->setVisible(visible);
}

void QtPageView::check(int controlId, bool checked) {
  Control* c = find(controlId);
  auto* button = c ? qobject_cast<QAbstractButton*>(c->widget) : nullptr;
  if (!button) return;
  // An exclusive group refuses to clear its checked button.
  QButtonGroup* group = button->group();
  if (group) group->setExclusive(false);
  button->setChecked(checked);
  if (group) group->setExclusive(true);
}

bool QtPageView::isChecked(int controlId) {
  Control* c = find(controlId);
  auto* button = c ? qobject_cast<QAbstractButton*>(c->widget) : nullptr;
  return button && button->isChecked();
}

void QtPageView::setProgressRange(int controlId, int low, int high) {
  Control* c = find(controlId);
  if (auto* bar = c ? qobject_cast<QProgressBar*>(c->widget) : nullptr) bar->setRange(low, high);
}

void QtPageView::setProgressPosition(int controlId, int position) {
  Control* c = find(controlId);
  if (auto* bar = c ? qobject_cast<QProgressBar*>(c->widget) : nullptr) bar->setValue(position);
}

void QtPageView::setFont(int controlId, const Font& font) {
  Control* c = find(controlId);
  if (!c) return;
  QFont qtFont = QWidget::font();
  if (!font.face.empty()) qtFont.setFamily(toQt(font.face));
  if (font.height > 0) qtFont.setPointSizeF(font.height * kCellToEm * kPointsPerPixelAt96Dpi);
  qtFont.setWeight(static_cast<QFont::Weight>(font.weight));
  c->widget->setFont(qtFont);
}

void QtPageView::setTextStyle(int controlId, TextStyle style) {
  Control* c = find(controlId);
  if (!c) return;
  QPalette palette = c->widget->palette();
  switch (style) {
    case TextStyle::Default:
      palette = QWidget::palette();
      break;
    case TextStyle::HeaderText:
      palette.setColor(QPalette::WindowText, Qt::black);
      break;
    case TextStyle::SideBandText:
      palette.setColor(QPalette::WindowText, Qt::white);
      break;
    case TextStyle::OnWhite:
      palette.setColor(QPalette::Window, Qt::white);
      c->widget->setAutoFillBackground(true);
      break;
    case TextStyle::BlueText:
      palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
      break;
    case TextStyle::RedText:
      palette.setColor(QPalette::WindowText, QColor(255, 0, 0));
      break;
  }
  c->widget->setPalette(palette);
}

void QtPageView::setWhiteBackground() {
  QPalette white = palette();
  white.setColor(QPalette::Window, Qt::white);
  setPalette(white);
  setAutoFillBackground(true);
}

void QtPageView::paintBitmap(int controlId, int bitmapId) {
  Control* c = find(controlId);
  if (!c || c->kind != K::BitmapBand) return;
  static_cast<BandWidget*>(c->widget)->setBitmap(bitmapId);
}

void QtPageView::addComboItem(int controlId, const std::string& text, std::intptr_t data) {
  Control* c = find(controlId);
  if (auto* combo = c ? qobject_cast<QComboBox*>(c->widget) : nullptr) {
    combo->addItem(toQt(text), QVariant::fromValue<qint64>(data));
    // A drop-down list shows no item until one is selected.
    if (combo->count() == 1) combo->setCurrentIndex(-1);
  }
}

void QtPageView::selectComboItem(int controlId, int index) {
  Control* c = find(controlId);
  if (auto* combo = c ? qobject_cast<QComboBox*>(c->widget) : nullptr) {
    combo->setCurrentIndex(index >= 0 && index < combo->count() ? index : -1);
  }
}

int QtPageView::selectedComboItem(int controlId) {
  Control* c = find(controlId);
  auto* combo = c ? qobject_cast<QComboBox*>(c->widget) : nullptr;
  return combo ? combo->currentIndex() : -1;
}

std::intptr_t QtPageView::comboItemData(int controlId, int index) {
  Control* c = find(controlId);
  auto* combo = c ? qobject_cast<QComboBox*>(c->widget) : nullptr;
  if (!combo || index < 0 || index >= combo->count()) return -1;
  return static_cast<std::intptr_t>(combo->itemData(index).value<qint64>());
}

void QtPageView::setTreeStateImages(int controlId, int stateBitmap) {
  if (Control* c = find(controlId)) c->stateImages = stateImageStrip(stateBitmap);
}

void QtPageView::clearTree(int controlId) {
  Control* c = find(controlId);
  auto* tree = c ? qobject_cast<QTreeWidget*>(c->widget) : nullptr;
  if (!tree) return;
  fillingTree_ = true;
  tree->clear();
  fillingTree_ = false;
  c->treeItems.clear();
}

QTreeWidgetItem* QtPageView::treeItem(Control& tree, std::uintptr_t item) {
  auto found = tree.treeItems.find(item);
  return found == tree.treeItems.end() ? nullptr : found->second;
}

std::uintptr_t QtPageView::addTreeItem(int controlId, std::uintptr_t parent,
                                       const std::string& text, bool bold, int stateImage) {
  Control* c = find(controlId);
  auto* tree = c ? qobject_cast<QTreeWidget*>(c->widget) : nullptr;
  if (!tree) return 0;
  QTreeWidgetItem* parentItem = parent ? treeItem(*c, parent) : nullptr;
  fillingTree_ = true;
  auto* item = parentItem ? new QTreeWidgetItem(parentItem) : new QTreeWidgetItem(tree);
  fillingTree_ = false;
  const std::uintptr_t handle = nextTreeItem_++;
  item->setText(0, toQt(text));
  item->setData(0, kTreeHandleRole, QVariant::fromValue<quintptr>(handle));
  item->setData(0, kStateImageRole, stateImage);
  // Tree state images are numbered as the strip: image 0 is the unused blank.
  if (stateImage > 0) item->setIcon(0, stateIcon(c->stateImages, stateImage));
  if (bold) {
    QFont font = item->font(0);
    font.setBold(true);
    item->setFont(0, font);
  }
  c->treeItems[handle] = item;
  return handle;
}

void QtPageView::expandTreeItem(int controlId, std::uintptr_t item) {
  Control* c = find(controlId);
  if (QTreeWidgetItem* found = c ? treeItem(*c, item) : nullptr) found->setExpanded(true);
}

void QtPageView::setTreeItemStateImage(int controlId, std::uintptr_t item, int stateImage) {
  Control* c = find(controlId);
  QTreeWidgetItem* found = c ? treeItem(*c, item) : nullptr;
  if (!found) return;
  found->setData(0, kStateImageRole, stateImage);
  found->setIcon(0, stateImage > 0 ? stateIcon(c->stateImages, stateImage) : QIcon());
}

void QtPageView::setTreeItemColour(int controlId, std::uintptr_t item, ItemColour colour) {
  Control* c = find(controlId);
  QTreeWidgetItem* found = c ? treeItem(*c, item) : nullptr;
  if (!found) return;
  switch (colour) {
    case ItemColour::Default:
      found->setData(0, Qt::ForegroundRole, QVariant());
      break;
    case ItemColour::Red:
      found->setForeground(0, QColor(255, 0, 0));
      break;
    case ItemColour::Blue:
      found->setForeground(0, QColor(0, 0, 255));
      break;
  }
}

void QtPageView::setListStateImages(int controlId, int stateBitmap) {
  setTreeStateImages(controlId, stateBitmap);
}

void QtPageView::clearList(int controlId) {
  Control* c = find(controlId);
  if (auto* list = c ? qobject_cast<QListWidget*>(c->widget) : nullptr) list->clear();
}

// List state images count from 1: state image 1 is the strip's first image.
int QtPageView::addListRow(int controlId, const std::string& text, int stateImage) {
  Control* c = find(controlId);
  auto* list = c ? qobject_cast<QListWidget*>(c->widget) : nullptr;
  if (!list) return -1;
  auto* row = new QListWidgetItem(stateIcon(c->stateImages, stateImage - 1), toQt(text), list);
  row->setData(kStateImageRole, stateImage);
  return list->row(row);
}

void QtPageView::setListRowStateImage(int controlId, int row, int stateImage) {
  Control* c = find(controlId);
  auto* list = c ? qobject_cast<QListWidget*>(c->widget) : nullptr;
  QListWidgetItem* item = list ? list->item(row) : nullptr;
  if (!item) return;
  item->setData(kStateImageRole, stateImage);
  item->setIcon(stateIcon(c->stateImages, stateImage - 1));
}

void QtPageView::setBoldListRow(int controlId, int row) {
  Control* c = find(controlId);
  auto* list = c ? qobject_cast<QListWidget*>(c->widget) : nullptr;
  if (!list) return;
  for (int i = 0; i < list->count(); ++i) {
    QFont font = list->font();
    font.setBold(i == row);
    list->item(i)->setFont(font);
  }
}

void QtPageView::setIconImage(int controlId, const std::vector<std::uint8_t>& iconFile) {
  Control* c = find(controlId);
  auto* label = c ? qobject_cast<QLabel*>(c->widget) : nullptr;
  if (!label) return;
  if (iconFile.empty()) {
    label->clear();
    return;
  }
  const QImage image = QImage::fromData(iconFile.data(), static_cast<int>(iconFile.size()), "ICO");
  label->setPixmap(QPixmap::fromImage(image).scaled(kIconSize, kIconSize, Qt::KeepAspectRatio,
                                                    Qt::SmoothTransformation));
}

void QtPageView::setToolTip(int controlId, const std::string& text) {
  if (Control* c = find(controlId)) c->widget->setToolTip(toQt(text));
}

void QtPageView::setWaitCursor(bool busy) {
  if (busy) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
  }
}

}  // namespace ks
