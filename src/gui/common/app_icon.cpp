#include "gui/common/app_icon.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <cmath>
#include <numbers>

namespace twn::gui {
namespace {

// Drawn on a 128-unit square, the same numbers as data/twinward.svg: a blue disc and two
// arrows chasing each other round its centre, one white over the top, one amber under it.
constexpr double kUnits = 128, kCentre = 64;
constexpr double kDiscRadius = 60, kRimWidth = 4;
constexpr double kArcRadius = 35, kArcWidth = 15;
constexpr double kHeadHalfWidth = 17, kHeadLength = 20;
const QColor kDisc(0x1e, 0x6b, 0xb8), kRim(0x14, 0x4a, 0x82);
const QColor kUpper(Qt::white), kLower(0xff, 0xc2, 0x47);

QPointF OnCircle(double radius, double degrees) {
  const double a = degrees * std::numbers::pi / 180;
  return {kCentre + radius * std::cos(a), kCentre + radius * std::sin(a)};
}

// An arc from `from` to `to` degrees, clockwise on screen (y down), and a head at its end.
void Arrow(QPainter& p, double from, double to, const QColor& colour) {
  const QRectF box(kCentre - kArcRadius, kCentre - kArcRadius, 2 * kArcRadius, 2 * kArcRadius);
  p.setPen(QPen(colour, kArcWidth, Qt::SolidLine, Qt::FlatCap));
  p.setBrush(Qt::NoBrush);
  p.drawArc(box, int(-from * 16), int(-(to - from) * 16));
  const double a = to * std::numbers::pi / 180;
  const QPointF end = OnCircle(kArcRadius, to), out(std::cos(a), std::sin(a));
  const QPointF ahead(-std::sin(a), std::cos(a));
  QPainterPath head;
  head.moveTo(end + out * kHeadHalfWidth);
  head.lineTo(end + ahead * kHeadLength);
  head.lineTo(end - out * kHeadHalfWidth);
  head.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(head);
}

}  // namespace

QPixmap AppIconPixmap(int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / kUnits, size / kUnits);
  p.setPen(QPen(kRim, kRimWidth));
  p.setBrush(kDisc);
  p.drawEllipse(QPointF(kCentre, kCentre), kDiscRadius, kDiscRadius);
  Arrow(p, 195, 335, kUpper);
  Arrow(p, 15, 155, kLower);
  return pixmap;
}

QIcon AppIcon() {
  QIcon icon;
  for (const int size : {16, 22, 32, 48, 64, 128}) icon.addPixmap(AppIconPixmap(size));
  return icon;
}

}  // namespace twn::gui
