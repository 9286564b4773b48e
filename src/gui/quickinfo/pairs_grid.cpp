#include "gui/quickinfo/pairs_grid.h"
#include "gui/common/text.h"

#include <QtCore/QFile>
#include <QtGui/QPainter>
#include <QtWidgets/QApplication>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QStyledItemDelegate>

#include "gui/quickinfo/info_icons.h"
#include "windows/path_shortening.h"
#include "windows/quick_info_pairs.h"

namespace twn::gui {

void PathFitDelegate::initStyleOption(QStyleOptionViewItem* option,
                                      const QModelIndex& index) const {
  QStyledItemDelegate::initStyleOption(option, index);
  if (index.column() == pcSubfolders) {
    option->displayAlignment = Qt::AlignCenter;
    option->decorationPosition = QStyleOptionViewItem::Top;
    return;
  }
  const QStyle* style = option->widget ? option->widget->style() : QApplication::style();
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, option->widget);
  const QFontMetrics metrics(option->font);
  const TTextWidth measure = [&metrics](std::string_view text) {
    return metrics.horizontalAdvance(Text(text));
  };
  const int width = option->rect.width() - 2 * (margin + 1);
  option->text = Text(ShortenPath(option->text.toStdString(), width, measure));
  option->textElideMode = Qt::ElideNone;
}

PairsModel::PairsModel(std::vector<TPairItem> pairs, QObject* parent)
    : QAbstractTableModel(parent), pairs_(std::move(pairs)) {}

int PairsModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : int(pairs_.size());
}

int PairsModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : kPairColumnCount;
}

QVariant PairsModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || size_t(index.row()) >= pairs_.size()) return {};
  const TPairItem& pair = pairs_[size_t(index.row())];
  switch (role) {
    case Qt::DisplayRole:
    case Qt::ToolTipRole:
      if (index.column() == pcSubfolders) return {};
      return QFile::decodeName(PairCellText(pair, index.column()).c_str());
    case Qt::DecorationRole:
      return index.column() == pcSubfolders ? QVariant(InfoIcon(PairIcon(pair))) : QVariant();
    case Qt::ForegroundRole:
      if (!PairDimmed(pair)) return {};
      return QApplication::palette().brush(QPalette::Disabled, QPalette::Text);
    default:
      return {};
  }
}

QVariant PairsModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  return Text(PairHeaderText(section));
}

PairsView::PairsView(PairsModel* model, QWidget* parent) : QTableView(parent) {
  model->setParent(this);
  setModel(model);
  setItemDelegate(new PathFitDelegate(this));
  setSelectionBehavior(SelectRows);
  setSelectionMode(SingleSelection);
  setEditTriggers(NoEditTriggers);
  setShowGrid(true);
  setWordWrap(false);
  verticalHeader()->hide();
  QHeaderView* header = horizontalHeader();
  QFont bold = header->font();
  bold.setBold(true);
  header->setFont(bold);
  header->setSectionResizeMode(QHeaderView::Stretch);
  header->setSectionResizeMode(pcSubfolders, QHeaderView::Fixed);
  header->resizeSection(pcSubfolders, 16 + 10);
  const int rowHeight = qMax(16, fontMetrics().height()) + 4;
  verticalHeader()->setDefaultSectionSize(rowHeight);
  const bool empty = model->rowCount() == 0;
  header->setVisible(!empty);
  setEnabled(!empty);
}

void PairsView::paintEvent(QPaintEvent* event) {
  QTableView::paintEvent(event);
  if (model() && model()->rowCount() > 0) return;
  QPainter painter(viewport());
  painter.setPen(palette().color(QPalette::Active, QPalette::Text));
  painter.drawText(viewport()->rect(), Qt::AlignCenter, Text(kBasketEmptyText));
}

}  // namespace twn::gui
