#pragma once
// The setup's bitmaps as Qt images: the bands whole, the state-image strips
// cut into their 16x16 images.

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace ks {

// The bitmap resource of an id; a null pixmap when there is none.
QPixmap bitmapResource(int bitmapId);

// The images of a strip of 16x16 state images, numbered from 0. Magenta
// (255, 0, 255) is transparent.
std::vector<QIcon> stateImageStrip(int bitmapId);

}  // namespace ks
