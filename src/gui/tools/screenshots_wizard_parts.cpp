// The job wizard's helper windows: the folder pair window, the filter-name dialog in save and
// rename mode, and the excluded-folder picker with some folders ticked.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>

#include "gui/common/text.h"
#include "gui/picker/folder_picker.h"
#include "gui/picker/folder_tree_model.h"
#include "gui/tools/screenshot_kit.h"
#include "gui/wizard/filter_name_dialog.h"
#include "gui/wizard/pair_window.h"

namespace twn::shots {

namespace {

bool RenderPairWindow(const QString& dir) {
  TPairItem pair;
  pair.L_Path = "/home/ann/Photos";
  pair.R_Path = "/media/ann/Backup/Photos";
  pair.bSubFLD = true;
  gui::PairWindow window(nullptr, pair, false);
  return Save(window, dir, "pair_window");
}

bool RenderFilterNameDialog(const QString& dir) {
  gui::FilterNameDialog save(nullptr, false, false, {"Documents", "Pictures", "Source code"}, {});
  save.NameList()->setCurrentRow(1);
  save.NameEdit()->setText("Pictures");
  bool ok = Save(save, dir, "filter_name_dialog");
  gui::FilterNameDialog rename(nullptr, true, true, {}, "Build folders");
  ok &= Save(rename, dir, "filter_name_dialog_rename");
  return ok;
}

bool RenderFolderPicker(const QString& dir) {
  QTemporaryDir temp;
  const QString root = temp.path() + "/ann";
  for (const char* sub :
       {"Documents/Letters", "Documents/Taxes", "Music", "Pictures/2025", "Pictures/2026",
        "Projects/twinward/build", "Projects/twinward/src", "Projects/notes", ".cache", ".config"})
    QDir().mkpath(root + "/" + sub);
  TDiskFolderSource disk;
  const std::string home = gui::PathBytes(root);
  gui::FolderPickerDialog picker(nullptr, disk, {{"/home/ann", home}, {"/", "/"}});
  gui::FolderTreeModel* model = picker.Model();
  const QModelIndex top = model->index(0, 0);
  const auto child = [&](const QModelIndex& parent, const QString& name) {
    for (int r = 0; r < model->rowCount(parent); ++r)
      if (model->index(r, 0, parent).data().toString() == name) return model->index(r, 0, parent);
    return QModelIndex();
  };
  const QModelIndex projects = child(top, "Projects");
  model->fetchMore(projects);
  picker.Tree()->expand(projects);
  const QModelIndex twinward = child(projects, "twinward");
  model->fetchMore(twinward);
  picker.Tree()->expand(twinward);
  model->Click(twinward, true);
  model->Click(child(twinward, "src"), false);
  model->Click(child(top, ".cache"), true);
  picker.Tree()->setCurrentIndex(twinward);
  return Save(picker, dir, "folder_picker");
}

const bool registered = RegisterShot("pair_window", &RenderPairWindow) &&
                        RegisterShot("filter_name_dialog", &RenderFilterNameDialog) &&
                        RegisterShot("folder_picker", &RenderFolderPicker);

}  // namespace

}  // namespace twn::shots
