#include "ui/qt/qt_artwork.h"

#include <QBitmap>
#include <QImage>
#include <QString>
#include <algorithm>

// The artwork lives in a static library: its resources are registered by
// hand, since the linker drops unreferenced initialisers.
static void registerArtwork() {
  static const bool registered = [] {
    Q_INIT_RESOURCE(artwork);
    return true;
  }();
  (void)registered;
}

namespace ks {

namespace {

constexpr int kStateImageSize = 16;
const QColor kTransparentKey(255, 0, 255);

}  // namespace

QPixmap bitmapResource(int bitmapId) {
  registerArtwork();
  return QPixmap(QStringLiteral(":/kestrova/bitmap-%1.png").arg(bitmapId));
}

std::vector<QIcon> stateImageStrip(int bitmapId) {
  std::vector<QIcon> images;
  QPixmap strip = bitmapResource(bitmapId);
  if (strip.isNull()) return images;
  strip.setMask(strip.createMaskFromColor(kTransparentKey, Qt::MaskInColor));
  for (int left = 0; left + kStateImageSize <= strip.width(); left += kStateImageSize) {
    images.emplace_back(strip.copy(left, 0, kStateImageSize, kStateImageSize));
  }
  return images;
}

QRectF coverRect(const QSizeF& picture, const QSizeF& area) {
  if (picture.isEmpty() || area.isEmpty()) return {};
  const double scale = std::max(area.width() / picture.width(), area.height() / picture.height());
  const QSizeF drawn = picture * scale;
  const bool wide = area.width() >= area.height();
  const QPointF at(wide ? area.width() - drawn.width() : (area.width() - drawn.width()) / 2,
                   wide ? (area.height() - drawn.height()) / 2 : 0);
  return {at, drawn};
}

}  // namespace ks
