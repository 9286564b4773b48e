#include "gui/visualrun/visual_run_signs.h"

#include <QtGui/QPainter>
#include <QtGui/QPainterPath>
#include <array>

#include "windows/visual_run_grid.h"

namespace twn::gui {
namespace {

constexpr int kHeight = 16;
const QColor kInk(60, 72, 96);
const QColor kCopy(40, 150, 70), kOverwrite(230, 130, 30), kDelete(205, 40, 40);
const QColor kPaper(Qt::white), kFolder(240, 200, 90);

// What stands on one side of a sign.
enum Mark { None, File, Ghost, Dir, DirNew, DirGone, FileGone };
// What stands between the two sides.
enum Middle { Blank, ToRight, ToLeft, OverRight, OverLeft, Newer, Older, Same, Dot };

struct Sign {
  Mark left;
  Middle middle;
  Mark right;
};

// Comparison classes by image index (0-4, 8 is the folder image; the rest unused).
const std::array<Sign, 9> kClassSigns = {{
    {File, Blank, Ghost},
    {Ghost, Blank, File},
    {File, Newer, File},
    {File, Older, File},
    {File, Same, File},
    {None, Blank, None},
    {None, Blank, None},
    {None, Blank, None},
    {Dir, Blank, Dir},
}};
// Plan actions by image index.
const std::array<Sign, 15> kPlanSigns = {{
    {None, Dot, None},
    {File, ToRight, Ghost},
    {Ghost, ToLeft, File},
    {FileGone, Blank, FileGone},
    {FileGone, Blank, None},
    {None, Blank, FileGone},
    {File, OverRight, File},
    {File, OverLeft, File},
    {DirNew, Blank, None},
    {None, Blank, DirNew},
    {DirGone, Blank, None},
    {None, Blank, DirGone},
    {DirGone, Blank, DirNew},
    {DirNew, Blank, DirGone},
    {DirGone, Blank, DirGone},
}};

void Cross(QPainter& p, const QRectF& r) {
  p.setPen(QPen(kDelete, 2));
  p.drawLine(r.topLeft(), r.bottomRight());
  p.drawLine(r.bottomLeft(), r.topRight());
}

void FolderShape(QPainter& p, const QRectF& r, const QColor& fill) {
  QPainterPath path;
  path.moveTo(r.left(), r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.45, r.top() + 2);
  path.lineTo(r.left() + r.width() * 0.55, r.top() + 4);
  path.lineTo(r.right(), r.top() + 4);
  path.lineTo(r.right(), r.bottom());
  path.lineTo(r.left(), r.bottom());
  path.closeSubpath();
  p.setPen(QPen(kInk, 1));
  p.setBrush(fill);
  p.drawPath(path);
}

void DrawMark(QPainter& p, Mark mark, qreal x) {
  const QRectF page(x + 3.5, 1.5, 10, 13);
  const QRectF dir(x + 0.5, 1.5, 16, 13);
  switch (mark) {
    case None:
      return;
    case File:
    case FileGone:
      p.setPen(QPen(kInk, 1));
      p.setBrush(kPaper);
      p.drawRect(page);
      p.drawLine(QPointF(page.left() + 2, 5.5), QPointF(page.right() - 2, 5.5));
      p.drawLine(QPointF(page.left() + 2, 8.5), QPointF(page.right() - 2, 8.5));
      if (mark == FileGone) Cross(p, page.adjusted(1, 1, -1, -1));
      return;
    case Ghost:
      p.setPen(QPen(kInk, 1, Qt::DotLine));
      p.setBrush(Qt::NoBrush);
      p.drawRect(page);
      return;
    case Dir:
      FolderShape(p, dir, kFolder);
      return;
    case DirNew:
      FolderShape(p, dir, kFolder);
      p.setPen(QPen(kCopy, 2.5));
      p.drawLine(QPointF(dir.center().x() - 4, 9.5), QPointF(dir.center().x() + 4, 9.5));
      p.drawLine(QPointF(dir.center().x(), 5.5), QPointF(dir.center().x(), 13.5));
      return;
    case DirGone:
      FolderShape(p, dir, kFolder.lighter(120));
      Cross(p, dir.adjusted(3, 2, -3, -1));
      return;
  }
}

void Arrow(QPainter& p, bool right, const QColor& colour) {
  const qreal from = right ? 25 : 45, to = right ? 45 : 25, back = right ? -5 : 5;
  p.setPen(QPen(colour, 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(from, 8), QPointF(to, 8));
  p.drawLine(QPointF(to, 8), QPointF(to + back, 3.5));
  p.drawLine(QPointF(to, 8), QPointF(to + back, 12.5));
}

void DrawMiddle(QPainter& p, Middle middle) {
  p.setPen(QPen(kInk, 2));
  switch (middle) {
    case Blank:
      return;
    case ToRight:
    case ToLeft:
      Arrow(p, middle == ToRight, kCopy);
      return;
    case OverRight:
    case OverLeft:
      Arrow(p, middle == OverRight, kOverwrite);
      return;
    case Newer:  // the left one is newer: ">" points at the older
      p.drawPolyline(QPolygonF({{30, 3}, {40, 8}, {30, 13}}));
      return;
    case Older:
      p.drawPolyline(QPolygonF({{40, 3}, {30, 8}, {40, 13}}));
      return;
    case Same:
      p.drawLine(QPointF(30, 6), QPointF(40, 6));
      p.drawLine(QPointF(30, 10), QPointF(40, 10));
      return;
    case Dot:
      p.setBrush(kInk);
      p.drawEllipse(QPointF(35, 8), 1.5, 1.5);
      return;
  }
}

QPixmap Draw(const Sign& sign, qreal ratio) {
  QPixmap pixmap(QSize(kSignWidth, kHeight) * ratio);
  pixmap.setDevicePixelRatio(ratio);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  DrawMark(p, sign.left, 2);
  DrawMiddle(p, sign.middle);
  DrawMark(p, sign.right, kSignWidth - 19);
  return pixmap;
}

}  // namespace

QPixmap SignPixmap(bool plan, int image, qreal ratio) {
  if (image < 0) return {};
  if (plan)
    return image < static_cast<int>(kPlanSigns.size()) ? Draw(kPlanSigns[image], ratio) : QPixmap();
  if (image >= static_cast<int>(kClassSigns.size())) return {};
  return Draw(kClassSigns[image], ratio);
}

SignImages::SignImages(qreal ratio) {
  for (int i = 0; i < static_cast<int>(kClassSigns.size()); ++i)
    classes_.push_back(SignPixmap(false, i, ratio));
  for (int i = 0; i < static_cast<int>(kPlanSigns.size()); ++i)
    actions_.push_back(SignPixmap(true, i, ratio));
}

const QPixmap& SignImages::Image(bool plan, int image) const {
  static const QPixmap none;
  const std::vector<QPixmap>& list = plan ? actions_ : classes_;
  return image >= 0 && image < static_cast<int>(list.size()) ? list[image] : none;
}

}  // namespace twn::gui
