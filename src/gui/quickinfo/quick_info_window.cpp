#include "gui/quickinfo/quick_info_window.h"
#include "gui/common/text.h"

#include <QtWidgets/QGroupBox>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QHeaderView>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QSplitter>
#include <QtWidgets/QTreeWidget>
#include <QtWidgets/QVBoxLayout>

#include "gui/common/window_placement.h"
#include "gui/help/help_center.h"
#include "gui/quickinfo/info_icons.h"
#include "gui/quickinfo/pairs_grid.h"
#include "windows/quick_info.h"
#include "windows/quick_info_pairs.h"

namespace twn::gui {

namespace {

constexpr int kQuickInfoHelpContext = 16;
constexpr int kSplitterMinimum = 70;

QGroupBox* Group(const QString& title, const char* name, QWidget* content, QWidget* parent) {
  auto* group = new QGroupBox(title, parent);
  group->setObjectName(name);
  group->setMinimumHeight(kSplitterMinimum);
  auto* layout = new QVBoxLayout(group);
  layout->addWidget(content);
  return group;
}

void AddNodes(const std::vector<TInfoNode>& nodes, QTreeWidgetItem* parent) {
  for (const TInfoNode& node : nodes) {
    auto* item = new QTreeWidgetItem(parent, {Text(node.text)});
    item->setIcon(0, InfoIcon(node.icon));
    AddNodes(node.children, item);
  }
}

}  // namespace

QuickInfoWindow::QuickInfoWindow(const TJobData& data, HelpCenter* help, QWidget* parent)
    : QDialog(parent),
      help_(help),
      pairs_(new PairsView(new PairsModel(data.Pairs))),
      tree_(new QTreeWidget) {
  setObjectName("quickInfo");
  setWindowTitle(Text(QuickInfoCaption(data)));
  SetHelpContext(this, kQuickInfoHelpContext);
  pairs_->setObjectName("pairs");
  tree_->setObjectName("properties");
  tree_->setHeaderHidden(true);
  tree_->setEditTriggers(QAbstractItemView::NoEditTriggers);

  auto* splitter = new QSplitter(Qt::Vertical, this);
  splitter->setObjectName("splitter");
  splitter->setChildrenCollapsible(false);
  splitter->addWidget(Group(Text(QuickInfoPairsCaption(data)), "pairsGroup", pairs_, splitter));
  splitter->addWidget(Group(Text(kPropertiesGroupText), "propertiesGroup", tree_, splitter));
  splitter->setStretchFactor(0, 1);
  splitter->setStretchFactor(1, 2);

  auto* close = new QPushButton(Text(kQuickInfoClose), this);
  close->setObjectName("close");
  close->setDefault(true);
  auto* helpButton = new QPushButton(Text(kQuickInfoHelp), this);
  helpButton->setObjectName("help");
  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(close);
  buttons->addWidget(helpButton);
  buttons->addStretch(1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(splitter, 1);
  layout->addLayout(buttons);
  resize(680, 520);

  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  connect(helpButton, &QPushButton::clicked, this, [this] {
    if (help_) help_->ShowTopic(this, "quick_info_window.html");
  });
  FillTree(data);
}

void QuickInfoWindow::FillTree(const TJobData& data) {
  AddNodes(BuildQuickInfo(data), tree_->invisibleRootItem());
  tree_->expandAll();
  if (tree_->topLevelItemCount() > 0) tree_->setCurrentItem(tree_->topLevelItem(0));
}

void ShowQuickInfo(QWidget* parent, const TJob& job, TSettings& settings, HelpCenter* help) {
  QuickInfoWindow window(job.Data, help, parent);
  ApplyWindowPlacement(window, settings.QuickInfo, parent);
  window.exec();
  RecordWindowPlacement(window, settings.QuickInfo);
}

}  // namespace twn::gui
