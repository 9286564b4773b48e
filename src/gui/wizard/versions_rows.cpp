#include "gui/wizard/versions_rows.h"

#include <QtWidgets/QCheckBox>
#include <QtWidgets/QGridLayout>
#include <QtWidgets/QHBoxLayout>
#include <QtWidgets/QLabel>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QPushButton>

#include "gui/common/folder_chooser.h"
#include "gui/common/text.h"
#include "gui/wizard/page_kit.h"
#include "model/versions.h"

namespace twn::gui {

VersionsRows::VersionsRows(QWidget* parent, std::function<void()> changed)
    : QWidget(parent), changed_(std::move(changed)) {
  keep_ = new QCheckBox("Keep deleted and overwritten files", this);
  keep_->setObjectName("keepVersions");
  folder_ = new QLineEdit(this);
  folder_->setObjectName("versionsFolder");
  folder_->setPlaceholderText(Text(std::string(kVersionsFolderName)) + " at the root of each side");
  auto* browse = new QPushButton("Browse...", this);
  browse->setObjectName("versionsBrowse");
  browse_ = browse;
  count_ = new NumberBox(1, kMaxKeepVersions, this);
  count_->setObjectName("keepCount");
  days_ = new NumberBox(0, kMaxKeepDays, this);
  days_->setObjectName("keepDays");
  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(0, 0, 0, 0);
  grid->addWidget(keep_, 0, 0, 1, 2);
  grid->addWidget(new QLabel("in", this), 1, 0);
  auto* where = new QHBoxLayout;
  where->addWidget(folder_, 1);
  where->addWidget(browse);
  grid->addLayout(where, 1, 1);
  auto* retention = new QHBoxLayout;
  retention->addWidget(new QLabel("Keep the last", this));
  retention->addWidget(count_);
  retention->addWidget(new QLabel("versions, and versions younger than", this));
  retention->addWidget(days_);
  retention->addWidget(new QLabel("days", this));
  retention->addStretch();
  grid->addLayout(retention, 2, 1);
  connect(keep_, &QCheckBox::toggled, this, [this](bool on) { Enable(on), Edited(); });
  connect(folder_, &QLineEdit::editingFinished, this, [this] { Edited(); });
  connect(count_, &QLineEdit::editingFinished, this, [this] { Edited(); });
  connect(days_, &QLineEdit::editingFinished, this, [this] { Edited(); });
  connect(browse, &QPushButton::clicked, this, [this] {
    const std::string start = PathBytes(folder_->text());
    if (auto chosen = FolderChooser().ChooseFolder(this, "Versions folder", start)) {
      folder_->setText(PathText(*chosen));
      Edited();
    }
  });
}

void VersionsRows::Load(const TJobData& data) {
  loading_ = true;
  keep_->setChecked(data.bKeepVersions);
  loaded_folder_ = data.VersionsFolder;
  folder_->setText(PathText(data.VersionsFolder));
  count_->SetValue(KeepCount(data.KeepVersions));
  days_->SetValue(KeepDays(data.KeepDays));
  Enable(data.bKeepVersions);
  loading_ = false;
}

void VersionsRows::Store(TJobData& data) {
  count_->Settle();
  days_->Settle();
  data.bKeepVersions = keep_->isChecked();
  data.VersionsFolder =
      folder_->text() == PathText(loaded_folder_) ? loaded_folder_ : PathBytes(folder_->text());
  data.KeepVersions = count_->Value();
  data.KeepDays = days_->Value();
}

void VersionsRows::Enable(bool on) {
  for (QWidget* w : {static_cast<QWidget*>(folder_), browse_, static_cast<QWidget*>(count_),
                     static_cast<QWidget*>(days_)})
    w->setEnabled(on);
}

void VersionsRows::Edited() {
  if (!loading_ && changed_) changed_();
}

}  // namespace twn::gui
