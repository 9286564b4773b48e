#include "gui/visualrun/visual_run_delegate.h"

#include <QtCore/QFile>
#include <QtGui/QHelpEvent>
#include <QtGui/QPainter>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QTableView>
#include <QtWidgets/QToolTip>

#include "gui/visualrun/visual_run_models.h"

namespace twn::gui {
namespace {

constexpr int kPad = 3;

QPalette::ColorGroup Group(const QTableView* view) {
  return view->hasFocus() ? QPalette::Active : QPalette::Inactive;
}

bool Selected(const QStyleOptionViewItem& option) {
  return option.state & QStyle::State_Selected;
}

}  // namespace

SideFont SideFontOf(const TFontSetting& s, const QFont& base) {
  QFont font = base;
  if (!s.Name.empty()) font.setFamily(QString::fromStdString(s.Name));
  if (s.Size > 0) font.setPointSize(s.Size);
  font.setBold(s.Style & 1);
  font.setItalic(s.Style & 2);
  font.setUnderline(s.Style & 4);
  font.setStrikeOut(s.Style & 8);
  // Stored colours are 0x00BBGGRR.
  const auto c = static_cast<uint32_t>(s.Color);
  return {font, QColor(c & 0xff, (c >> 8) & 0xff, (c >> 16) & 0xff)};
}

GridDelegate::GridDelegate(QTableView* view, const SideFont (&fonts)[2])
    : QStyledItemDelegate(view),
      view_(view),
      fonts_{fonts[0], fonts[1]},
      signs_(view->devicePixelRatioF()) {}

void GridDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                         const QModelIndex& index) const {
  painter->save();
  PaintBackground(painter, option);
  const int side = SideOfColumn(index.column());
  const auto* model = qobject_cast<const GridModel*>(index.model());
  if (index.column() == gcSign) {
    const QVariant image = index.data(GridModel::SignRole);  // none on an empty row
    const QPixmap& sign =
        signs_.Image(model && model->IsPlan(), image.isValid() ? image.toInt() : -1);
    if (!sign.isNull()) {
      const QSize size = sign.deviceIndependentSize().toSize();
      painter->drawPixmap(QStyle::alignedRect(Qt::LeftToRight, Qt::AlignCenter, size, option.rect),
                          sign);
    }
    PaintLines(painter, option.rect, true);
  } else if (side >= 0 && index.data(GridModel::FolderRole).toBool()) {
    PaintFolder(painter, option, index);
  } else {
    PaintText(painter, option, index);
    PaintLines(painter, option.rect, true);
  }
  painter->restore();
}

void GridDelegate::PaintBackground(QPainter* painter, const QStyleOptionViewItem& option) const {
  const QPalette& pal = view_->palette();
  const QColor fill =
      Selected(option) ? pal.color(Group(view_), QPalette::Highlight) : pal.color(QPalette::Base);
  painter->fillRect(option.rect, fill);
}

void GridDelegate::PaintText(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  const QString text = index.data().toString();
  if (text.isEmpty()) return;
  const int side = SideOfColumn(index.column());
  const bool side_font = index.data(GridModel::SideFontRole).toBool();
  QFont font = side_font ? fonts_[side].font : view_->font();
  painter->setFont(font);
  const QPalette& pal = view_->palette();
  painter->setPen(Selected(option) ? pal.color(Group(view_), QPalette::HighlightedText)
                  : side_font      ? fonts_[side].colour
                                   : pal.color(QPalette::Text));
  const QRect box = option.rect.adjusted(kPad, 0, -kPad, 0);
  const auto align = index.data(Qt::TextAlignmentRole).value<Qt::Alignment>();
  painter->drawText(box, static_cast<int>(align),
                    QFontMetrics(font).elidedText(text, Qt::ElideRight, box.width()));
}

void GridDelegate::PaintFolder(QPainter* painter, const QStyleOptionViewItem& option,
                               const QModelIndex& index) const {
  const int side = SideOfColumn(index.column());
  const int first = side == kLeft ? gcLeftName : gcRightName;
  const int last = first + kSideColumns - 1;
  // The whole side is one cell: every column draws it and keeps to its own part.
  const int x = view_->columnViewportPosition(first);
  const int right = view_->columnViewportPosition(last) + view_->columnWidth(last);
  const QRect span(x, option.rect.top(), right - x, option.rect.height());
  painter->setClipRect(option.rect);
  const auto* model = qobject_cast<const GridModel*>(index.model());
  const TFolderRowText text = model ? model->FolderRow(index.row(), side) : TFolderRowText{};
  const bool side_font = text.missing;
  QFont font = side_font ? fonts_[side].font : view_->font();
  font.setBold(true);
  const QFontMetrics metrics(font);
  const QRect box = span.adjusted(kPad + 1, 0, -kPad - 1, 0);
  const std::string fitted = FitFolderRow(text, box.width(), [&metrics](std::string_view s) {
    return metrics.horizontalAdvance(QFile::decodeName(QByteArray(s.data(), qsizetype(s.size()))));
  });
  const QPalette& pal = view_->palette();
  painter->setFont(font);
  painter->setPen(Selected(option) ? pal.color(Group(view_), QPalette::HighlightedText)
                  : side_font      ? fonts_[side].colour
                                   : pal.color(QPalette::Text));
  painter->drawText(box, Qt::AlignLeft | Qt::AlignVCenter,
                    QFile::decodeName(QByteArray::fromStdString(fitted)));
  painter->setPen(pal.color(QPalette::Mid));
  painter->drawRect(span.adjusted(1, 1, -2, -2));
  PaintLines(painter, option.rect, index.column() == last);
}

void GridDelegate::PaintLines(QPainter* painter, const QRect& cell, bool right_edge) const {
  painter->setPen(view_->palette().color(QPalette::Midlight));
  painter->drawLine(cell.bottomLeft(), cell.bottomRight());
  if (right_edge) painter->drawLine(cell.topRight(), cell.bottomRight());
}

bool LogDelegate::helpEvent(QHelpEvent* event, QAbstractItemView* view,
                            const QStyleOptionViewItem& option, const QModelIndex& index) {
  if (event->type() != QEvent::ToolTip) {
    return QStyledItemDelegate::helpEvent(event, view, option, index);
  }
  const QString text = index.data().toString();
  if (option.fontMetrics.horizontalAdvance(text) + 2 * kPad > option.rect.width()) {
    QToolTip::showText(event->globalPos(), text, view, option.rect);
  } else {
    QToolTip::hideText();
  }
  return true;
}

}  // namespace twn::gui
