// The log viewer showing a full log of a fixture job, with a search done in it.
#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>

#include "gui/logviewer/log_viewer.h"
#include "gui/tools/screenshot_kit.h"

namespace twn::shots {

namespace {

constexpr const char* kFullLog =
    "==============================================================\r\n"
    "TWN job 'Photos to NAS' started at 06/01/26 21:00:02\r\n"
    "\r\n"
    "*** Comparison results ***\r\n"
    "Newer duplicates files:\r\n"
    "   on left side: 14 [48 211 392 bytes]\r\n"
    "   on right side: none\r\n"
    "Single files:\r\n"
    "   on left side: 212 [1 024 512 000 bytes]\r\n"
    "   on right side: 3 [9 214 bytes]\r\n"
    "\r\n"
    "*** Synchronization plan ***\r\n"
    "Files to copy:\r\n"
    "   on left side: none\r\n"
    "   on right side: 226 [1 072 723 392 bytes]\r\n"
    "\r\n"
    "Copy /home/anna/Pictures/2026/06/IMG_0412.jpg\r\n"
    "  to /mnt/nas/photos/2026/06/IMG_0412.jpg\r\n"
    "Copy /home/anna/Pictures/2026/06/IMG_0413.jpg\r\n"
    "  to /mnt/nas/photos/2026/06/IMG_0413.jpg\r\n"
    "Delete /mnt/nas/photos/2026/05/Thumbs.db\r\n"
    "\r\n"
    "*** Synchronization results ***\r\n"
    "Copied files:\r\n"
    "   to left side: none\r\n"
    "   to right side: 226 [1 072 723 392 bytes]\r\n"
    "   errors copying: none\r\n"
    "Job completed 06/01/26 21:04:37\r\n";

bool RenderLogViewer(const QString& dir) {
  TFixture fixture;
  TSettings& settings = fixture.Settings();
  TJob& job = *settings.Jobs[0];
  const std::string logs = settings.Folder() + "/Logs/";
  const std::string full = logs + job.Data.JobName + "_full.log";
  if (!QDir().mkpath(QFile::decodeName(logs.c_str()))) return false;
  QFile file(QFile::decodeName(full.c_str()));
  if (!file.open(QIODevice::WriteOnly) || file.write(kFullLog) < 0) return false;
  file.close();
  job.Data.LogHistory = {full, logs + job.Data.JobName + "_summary.log",
                         logs + job.Data.JobName + "_error (May 31, 2026 at 21-00).log"};
  settings.SearchHistory = {"IMG_0413", "Thumbs"};

  gui::LogViewer viewer(nullptr, settings, nullptr);
  viewer.Prepare(job.JobID);
  viewer.resize(1000, 760);
  viewer.findChild<QListWidget*>("lbxLogList")->setCurrentRow(0);
  viewer.findChild<QComboBox*>("cmbFind")->setEditText("img_0413");
  viewer.findChild<QPushButton*>("btnFind")->click();
  viewer.show();
  return Save(viewer, dir, "log_viewer");
}

const bool registered = RegisterShot("log_viewer", &RenderLogViewer);

}  // namespace

}  // namespace twn::shots
