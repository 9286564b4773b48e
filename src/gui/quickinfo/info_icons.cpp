#include "gui/quickinfo/info_icons.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <QtGui/QPixmap>

#include "windows/quick_info.h"
#include "windows/quick_info_pairs.h"

namespace twn::gui {

namespace {

constexpr int kSize = 16;
const QColor kInk(60, 72, 96);

void Folder(QPainter& p, const QRectF& r, const QColor& fill) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.4, r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.5, r.top() + 4);
  path.lineTo(r.right(), r.top() + 4);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setBrush(fill);
  p.drawPath(path);
}

void Funnel(QPainter& p) {
  const QPolygonF funnel({{2, 3}, {14, 3}, {9.5, 8.5}, {9.5, 13.5}, {6.5, 12}, {6.5, 8.5}});
  p.setBrush(QColor(90, 150, 220));
  p.drawPolygon(funnel);
}

void FolderFilter(QPainter& p) {
  Folder(p, {1.5, 2.5, 13, 11}, QColor(240, 200, 90));
  p.setPen(QPen(QColor(200, 40, 40), 2));
  p.drawLine(QPointF(5, 9), QPointF(11, 9));
}

void TwoArrows(QPainter& p) {
  p.setBrush(QColor(70, 160, 90));
  p.drawPolygon(
      QPolygonF({{1.5, 4}, {10, 4}, {10, 1.5}, {14.5, 5.5}, {10, 9.5}, {10, 7}, {1.5, 7}}));
  p.setBrush(QColor(220, 130, 50));
  p.drawPolygon(
      QPolygonF({{14.5, 10}, {6, 10}, {6, 7.5}, {1.5, 11.5}, {6, 15}, {6, 13}, {14.5, 13}}));
}

void EqualPages(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 2.5, 5, 11));
  p.drawRect(QRectF(9.5, 2.5, 5, 11));
  p.setPen(QPen(QColor(90, 150, 220), 1.5));
  p.drawLine(QPointF(6.5, 6.5), QPointF(9.5, 6.5));
  p.drawLine(QPointF(6.5, 9.5), QPointF(9.5, 9.5));
}

void Clock(QPainter& p) {
  p.setBrush(QColor(250, 245, 225));
  p.drawEllipse(QRectF(1.5, 1.5, 13, 13));
  p.drawLine(QPointF(8, 8), QPointF(8, 4));
  p.drawLine(QPointF(8, 8), QPointF(11, 9.5));
}

void Page(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawPolygon(QPolygonF({{3.5, 1.5}, {10.5, 1.5}, {12.5, 3.5}, {12.5, 14.5}, {3.5, 14.5}}));
  for (int y = 5; y <= 12; y += 2) p.drawLine(QPointF(5.5, y + 0.5), QPointF(10.5, y + 0.5));
}

void Tag(QPainter& p) {
  p.setBrush(QColor(240, 200, 90));
  p.drawPolygon(QPolygonF({{1.5, 4.5}, {10, 4.5}, {14.5, 8}, {10, 11.5}, {1.5, 11.5}}));
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(10, 8), 1.2, 1.2);
}

void Subfolders(QPainter& p) {
  Folder(p, {1.5, 1.5, 10, 8}, QColor(230, 185, 70));
  Folder(p, {4.5, 5.5, 10, 9}, QColor(245, 210, 105));
}

void Bullet(QPainter& p, bool level1) {
  p.setBrush(level1 ? QColor(90, 150, 220) : QColor(150, 160, 175));
  if (level1)
    p.drawPolygon(QPolygonF({{5.5, 4}, {11.5, 8}, {5.5, 12}}));
  else
    p.drawEllipse(QPointF(8, 8), 2.5, 2.5);
}

void Paint(QPainter& p, int index) {
  switch (index) {
    case kInfoIconFileFilters:
      return Funnel(p);
    case kInfoIconFolderFilters:
      return FolderFilter(p);
    case kInfoIconMethod:
      return TwoArrows(p);
    case kInfoIconRules:
      return EqualPages(p);
    case kInfoIconScheduling:
      return Clock(p);
    case kInfoIconLogs:
      return Page(p);
    case kInfoIconJobName:
      return Tag(p);
    case kPairIconFolderOnly:
      return Folder(p, {1.5, 2.5, 13, 11}, QColor(240, 200, 90));
    case kPairIconSubfolders:
      return Subfolders(p);
    case kInfoIconLevel1:
      return Bullet(p, true);
    default:
      return Bullet(p, false);
  }
}

}  // namespace

QIcon InfoIcon(int index) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter painter(&pixmap);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kInk, 1));
  Paint(painter, index);
  painter.end();
  return QIcon(pixmap);
}

}  // namespace twn::gui
