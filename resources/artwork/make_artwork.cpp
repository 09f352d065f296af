// Draws the setup's bitmaps into PNG files: the side band (110), the header
// band (111), the tree's tick-box strip (126), the list's row-state strip
// (149) and the setup's icon (3000) at 16, 32 and 48 pixels. The PNGs in
// resources/bitmaps are this program's output; run
// `cmake --build <dir> --target artwork` after changing a drawing.
//
// Both bands share one palette and one motif: a hovering kestrel drawn as a
// few swept shapes, with a rising arrow line behind it.

#include <QColor>
#include <QGuiApplication>
#include <QImage>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <QString>
#include <cmath>
#include <cstdio>

namespace {

const QColor kDeepBlue(0x0b, 0x2f, 0x4a);
const QColor kMidBlue(0x1f, 0x63, 0x8c);
const QColor kSkyBlue(0x5d, 0xa3, 0xc9);
const QColor kPaleBlue(0xdc, 0xec, 0xf6);
const QColor kAmber(0xe0, 0x8a, 0x2c);
const QColor kRust(0xb4, 0x5a, 0x1e);
const QColor kMagenta(255, 0, 255);

// The kestrel in a 100 x 100 box, heading up: long pointed wings bent at the
// wrist and swept back, a slim body and a long tail.
QPainterPath kestrelPath() {
  QPainterPath bird;
  bird.moveTo(50, 28);
  // Left wing: leading edge out to the wrist, on to the swept-back tip, and
  // the trailing edge back to the body.
  bird.cubicTo(42, 26, 32, 20, 24, 24);
  bird.cubicTo(16, 30, 8, 40, 0, 50);
  bird.cubicTo(14, 46, 28, 44, 44, 50);
  // Tail.
  bird.lineTo(42, 76);
  bird.quadTo(50, 82, 58, 76);
  bird.lineTo(56, 50);
  // Right wing.
  bird.cubicTo(72, 44, 86, 46, 100, 50);
  bird.cubicTo(92, 40, 84, 30, 76, 24);
  bird.cubicTo(68, 20, 58, 26, 50, 28);
  bird.closeSubpath();
  bird.addEllipse(QPointF(50, 24), 5, 6.5);
  return bird.simplified();
}

// The kestrel fitted into box, turned by angle degrees (banking).
void drawKestrel(QPainter& painter, const QRectF& box, double angle, const QColor& body,
                 const QColor& edge) {
  painter.save();
  painter.translate(box.center());
  painter.rotate(angle);
  painter.scale(box.width() / 100.0, box.height() / 100.0);
  painter.translate(-50, -50);
  QLinearGradient shade(0, 20, 0, 80);
  shade.setColorAt(0.0, body.lighter(115));
  shade.setColorAt(1.0, edge);
  painter.setPen(QPen(edge.darker(130), 1.2));
  painter.setBrush(shade);
  painter.drawPath(kestrelPath());
  painter.restore();
}

// A rising line ending in an arrow head: the download on its way.
void drawRisingArrow(QPainter& painter, const QPointF& from, const QPointF& to,
                     const QColor& colour, double width) {
  painter.save();
  QPen pen(colour, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  QPainterPath line;
  line.moveTo(from);
  const QPointF bend(from.x() + (to.x() - from.x()) * 0.55, from.y());
  line.quadTo(bend, to);
  painter.drawPath(line);
  const QPointF direction = to - bend;
  const double length = std::hypot(direction.x(), direction.y());
  const QPointF unit = direction / length;
  const QPointF normal(-unit.y(), unit.x());
  const double head = width * 3.2;
  QPolygonF arrow;
  arrow << to + unit * head * 0.6 << to - unit * head + normal * head * 0.8
        << to - unit * head - normal * head * 0.8;
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPolygon(arrow);
  painter.restore();
}

QImage sideBand() {
  QImage image(164, 312, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QLinearGradient sky(0, 0, 0, 312);
  sky.setColorAt(0.0, kSkyBlue);
  sky.setColorAt(0.45, kMidBlue);
  sky.setColorAt(1.0, kDeepBlue);
  painter.fillRect(image.rect(), sky);
  // A soft light behind the bird.
  QRadialGradient glow(QPointF(82, 96), 90);
  glow.setColorAt(0.0, QColor(255, 255, 255, 70));
  glow.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.fillRect(image.rect(), glow);
  // Faint horizon lines toward the bottom, where the white texts stand.
  painter.setPen(QPen(QColor(255, 255, 255, 28), 1));
  for (int y = 200; y < 312; y += 14) painter.drawLine(0, y, 164, y - 10);
  drawRisingArrow(painter, QPointF(10, 190), QPointF(150, 30), QColor(255, 255, 255, 110), 2.5);
  drawKestrel(painter, QRectF(34, 44, 100, 96), 28, kAmber, kRust);
  // A thin edge toward the page.
  painter.setPen(QColor(255, 255, 255, 90));
  painter.drawLine(163, 0, 163, 312);
  return image;
}

QImage headerBand() {
  QImage image(496, 56, QImage::Format_RGB32);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  // White where the black title stands, blue toward the motif on the right.
  QLinearGradient sky(0, 0, 496, 0);
  sky.setColorAt(0.0, Qt::white);
  sky.setColorAt(0.55, Qt::white);
  sky.setColorAt(0.8, kPaleBlue);
  sky.setColorAt(1.0, kSkyBlue);
  painter.fillRect(image.rect(), sky);
  drawRisingArrow(painter, QPointF(340, 50), QPointF(490, 8), QColor(31, 99, 140, 140), 2.0);
  drawKestrel(painter, QRectF(428, 3, 50, 50), 28, kAmber, kRust);
  painter.setPen(kMidBlue);
  painter.drawLine(0, 55, 496, 55);
  return image;
}

// A 16 x 16 tick box with a one-pixel frame.
void drawBox(QPainter& painter, int left, const QColor& fill) {
  painter.setPen(QColor(0x4a, 0x5a, 0x68));
  painter.setBrush(fill);
  painter.drawRect(QRectF(left + 2.5, 2.5, 11, 11));
}

void drawTick(QPainter& painter, const QPointF& at, double scale, const QColor& colour) {
  QPainterPath tick;
  tick.moveTo(at + QPointF(-4.5, 0.5) * scale);
  tick.lineTo(at + QPointF(-1.5, 3.5) * scale);
  tick.lineTo(at + QPointF(4.5, -3.5) * scale);
  painter.setPen(QPen(colour, 2.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  painter.setBrush(Qt::NoBrush);
  painter.drawPath(tick);
}

// Blank, empty box, ticked box, grey box, globe; drawn on white, because the
// tree shows them without a mask.
QImage tickBoxStrip() {
  QImage image(80, 16, QImage::Format_RGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  drawBox(painter, 16, Qt::white);
  drawBox(painter, 32, Qt::white);
  drawTick(painter, QPointF(40, 8), 0.9, QColor(0x1d, 0x6b, 0x2a));
  drawBox(painter, 48, QColor(0xc8, 0xcc, 0xd0));
  // The globe: a blue disc with a meridian and two parallels.
  painter.setPen(QPen(kMidBlue, 1.0));
  painter.setBrush(kPaleBlue);
  painter.drawEllipse(QPointF(72, 8), 6.5, 6.5);
  painter.setBrush(Qt::NoBrush);
  painter.drawEllipse(QPointF(72, 8), 2.8, 6.5);
  painter.drawLine(QPointF(65.5, 8), QPointF(78.5, 8));
  painter.drawLine(QPointF(67, 4.5), QPointF(77, 4.5));
  painter.drawLine(QPointF(67, 11.5), QPointF(77, 11.5));
  return image;
}

// Empty, blue right arrow, green tick, red cross on magenta, the colour the
// list treats as transparent. Drawn without antialiasing at the edges that
// meet the magenta, so no pink fringe survives the mask.
QImage rowStateStrip() {
  QImage image(64, 16, QImage::Format_RGB32);
  image.fill(kMagenta);
  QPainter painter(&image);
  // Arrow.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0x1a, 0x5f, 0xc8));
  QPolygon arrow;
  arrow << QPoint(18, 6) << QPoint(24, 6) << QPoint(24, 2) << QPoint(30, 8) << QPoint(24, 14)
        << QPoint(24, 10) << QPoint(18, 10);
  painter.drawPolygon(arrow);
  // Tick.
  painter.setPen(QPen(QColor(0x1d, 0x8a, 0x2e), 3, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
  painter.drawPolyline(QPolygon() << QPoint(35, 8) << QPoint(39, 12) << QPoint(45, 4));
  // Cross.
  painter.setPen(QPen(QColor(0xd0, 0x1f, 0x1f), 3, Qt::SolidLine, Qt::SquareCap));
  painter.drawLine(QPoint(52, 4), QPoint(60, 12));
  painter.drawLine(QPoint(60, 4), QPoint(52, 12));
  return image;
}

// The kestrel on a blue tile with rounded corners; outside the tile the icon
// is transparent.
QImage setupIcon(int edge) {
  QImage image(edge, edge, QImage::Format_ARGB32);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const double unit = edge / 32.0;
  QLinearGradient sky(0, 0, 0, edge);
  sky.setColorAt(0.0, kSkyBlue);
  sky.setColorAt(1.0, kDeepBlue);
  painter.setPen(QPen(kDeepBlue, unit));
  painter.setBrush(sky);
  painter.drawRoundedRect(QRectF(0.5 * unit, 0.5 * unit, edge - unit, edge - unit), 6 * unit,
                          6 * unit);
  drawKestrel(painter, QRectF(2 * unit, 3 * unit, 28 * unit, 28 * unit), 20, kAmber, kRust);
  return image;
}

bool save(const QImage& image, const QString& folder, const QString& name) {
  const QString path = folder + QLatin1Char('/') + name;
  if (image.save(path, "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  QGuiApplication app(argc, argv);
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_artwork OUTPUT_FOLDER\n");
    return 2;
  }
  const QString folder = QString::fromLocal8Bit(argv[1]);
  bool written = save(sideBand(), folder, QStringLiteral("bitmap-110.png")) &&
                 save(headerBand(), folder, QStringLiteral("bitmap-111.png")) &&
                 save(tickBoxStrip(), folder, QStringLiteral("bitmap-126.png")) &&
                 save(rowStateStrip(), folder, QStringLiteral("bitmap-149.png"));
  for (int edge : {16, 32, 48}) {
    written =
        written && save(setupIcon(edge), folder, QStringLiteral("icon-3000-%1.png").arg(edge));
  }
  return written ? 0 : 1;
}
