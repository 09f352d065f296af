#pragma once
// The setup's bitmaps as Qt images: the bands whole, the state-image strips
// cut into their 16x16 images.

#include <QIcon>
#include <QPixmap>
#include <QRectF>
#include <QSizeF>
#include <vector>

namespace ks {

// The bitmap resource of an id; a null pixmap when there is none.
QPixmap bitmapResource(int bitmapId);

// The images of a strip of 16x16 state images, numbered from 0. Magenta
// (255, 0, 255) is transparent.
std::vector<QIcon> stateImageStrip(int bitmapId);

// Where a picture is drawn so that it covers an area of another shape
// without being squashed: scaled in proportion until it covers the area, the
// overflow cut on the left of a wide area (a header band, whose artwork
// stands at the right) and at the bottom of a tall one (a side band).
QRectF coverRect(const QSizeF& picture, const QSizeF& area);

}  // namespace ks
