#pragma once
// How the Visual run grid draws its cells: side fonts where values differ, folder rows as one
// bold cell across a side's five columns, the sign images, and its own grid lines (so that a
// folder row has no inner lines). The log's cells show their line as a tooltip when it does
// not fit.
#include <QtGui/QColor>
#include <QtGui/QFont>
#include <QtWidgets/QStyledItemDelegate>

#include "app/settings.h"
#include "gui/visualrun/visual_run_signs.h"

class QTableView;

namespace twn::gui {

/// A stored font as a QFont and its colour.
struct SideFont {
  QFont font;
  QColor colour;
};
SideFont SideFontOf(const TFontSetting& setting, const QFont& base);

class GridDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  /// `fonts`: the left and right side fonts.
  GridDelegate(QTableView* view, const SideFont (&fonts)[2]);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;

 private:
  void PaintBackground(QPainter* painter, const QStyleOptionViewItem& option) const;
  void PaintFolder(QPainter* painter, const QStyleOptionViewItem& option,
                   const QModelIndex& index) const;
  void PaintText(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const;
  void PaintLines(QPainter* painter, const QRect& cell, bool right_edge) const;

  QTableView* view_;
  SideFont fonts_[2];
  SignImages signs_;
};

class LogDelegate : public QStyledItemDelegate {
  Q_OBJECT

 public:
  using QStyledItemDelegate::QStyledItemDelegate;

  bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                 const QModelIndex& index) override;
};

}  // namespace twn::gui
