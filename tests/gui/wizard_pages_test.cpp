// The job wizard's pages after the pairs basket: controls to job fields and back, the number
// boxes' clamp on leaving, the method presets, the predefined lists and the folder patterns.
#include <QtCore/QMimeData>
#include <QtCore/QTimer>
#include <QtGui/QDropEvent>
#include <QtTest/QSignalSpy>
#include <QtTest/QTest>
#include <QtWidgets/QApplication>
#include <QtWidgets/QCheckBox>
#include <QtWidgets/QComboBox>
#include <QtWidgets/QGroupBox>
#include <QtWidgets/QLineEdit>
#include <QtWidgets/QListWidget>
#include <QtWidgets/QPushButton>
#include <QtWidgets/QRadioButton>
#include <QtWidgets/QSpinBox>
#include <functional>
#include <memory>

#include "gui/wizard/filter_name_dialog.h"
#include "gui/wizard/predefined_list.h"
#include "gui/wizard/wizard_page.h"
#include "model/method_presets.h"
#include "support/fake_message_boxes.h"

namespace twn::gui {

namespace {

using TMaker = WizardPage* (*)(TWizardContext&, QWidget*);

template <class T>
T* Child(QWidget* page, const char* name) {
  T* child = page->findChild<T*>(name);
  if (!child) qFatal("no widget %s", name);
  return child;
}

void Click(QWidget* page, const char* name) {
  Child<QAbstractButton>(page, name)->click();
}

TFileFilter Named(const char* name) {
  TFileFilter f;
  f.FilterName = name;
  f.FLT_Include = std::string("*.") + name;
  return f;
}

}  // namespace

class WizardPagesTest : public QObject {
  Q_OBJECT

  // A shown page loaded from `data_`; Load must not report a change.
  WizardPage* Open(TMaker make) {
    window_ = std::make_unique<QWidget>();
    window_->resize(560, 430);
    WizardPage* page = make(context_, window_.get());
    page->resize(560, 430);
    QSignalSpy changed(page, &WizardPage::Changed);
    page->Load(data_);
    [&] { QCOMPARE(changed.count(), 0); }();
    window_->show();
    QApplication::setActiveWindow(window_.get());
    page->Shown();
    return page;
  }

  TSettings settings_{"/nonexistent"};
  TWizardContext context_{settings_};
  TJobData data_;
  std::unique_ptr<QWidget> window_;

 private slots:
  void init() {
    data_ = TJobData();
    settings_.DefFileFilters = {Named("a"), Named("b"), Named("c")};
    settings_.DefFolderFilters.assign(2, TFolderFilter());
  }

  // Edits on the controls reach the job's fields (after Store, for typed text) and say so.
  void controlsReachTheJob() {
    struct Case {
      const char* page;
      TMaker make;
      std::function<void(WizardPage*)> edit;
      std::function<bool(const TJobData&)> stored;
    };
    const std::vector<Case> cases = {
        {"file filters", &MakeFileFiltersPage,
         [](WizardPage* p) {
           Child<QComboBox>(p, "include")->setEditText("*.txt");
           Click(p, "useExclude");
           Child<QComboBox>(p, "exclude")->setEditText("*.bak");
           Child<QGroupBox>(p, "dateFilter")->setChecked(true);
           Click(p, "datePos3");
           Child<QLineEdit>(p, "sizeA")->setText("5");
           Child<QComboBox>(p, "unitB")->setCurrentIndex(2);
           Child<QCheckBox>(p, "attrArchive")->setCheckState(Qt::Checked);
           Child<QCheckBox>(p, "attrHidden")->setCheckState(Qt::Unchecked);
         },
         [](const TJobData& d) {
           const TFileFilter& f = d.FileFilter;
           return f.FLT_Include == "*.txt" && f.FLT_bUseExclude && f.FLT_Exclude == "*.bak" &&
                  f.FLT_bUseDate && f.FLT_DatePos == fdBeyond && f.FLT_SizeA == 5 &&
                  f.FLT_SizeDegreeB == sdMegabytes && f.FLT_Attr_IncMask == 0x20 &&
                  f.FLT_Attr_ExcMask == 0x02;
         }},
        {"folder filters", &MakeFolderFiltersPage,
         [](WizardPage* p) {
           auto* edit = Child<QLineEdit>(p, "pattern");
           edit->setText("obj");
           QTest::keyClick(edit, Qt::Key_Return);
         },
         [](const TJobData& d) {
           return d.FolderFilter.Patterns() == std::vector<std::string>{"obj"};
         }},
        {"rules", &MakeRulesPage,
         [](WizardPage* p) {
           Click(p, "rulesSize");
           Click(p, "rulesTimezone");
           Child<QSpinBox>(p, "timezoneHours")->setValue(3);
         },
         [](const TJobData& d) {
           return !d.bRulesSize && d.bRulesTime && d.bRulesTimezone && d.RulesTimezone == 3;
         }},
        {"links and folder times", &MakeRulesPage, [](WizardPage* p) { Click(p, "rulesLinks"); },
         [](const TJobData& d) { return !d.bCopyLinks && d.bFolderTimes; }},
        {"scheduling", &MakeSchedulingPage,
         [](WizardPage* p) {
           Child<QListWidget>(p, "frequency")->setCurrentRow(kFreqHours);
           Child<QLineEdit>(p, "hours")->setText("48");
           Click(p, "Sunday");
           Click(p, "Monday");
           Click(p, "runBefore");
           Click(p, "runOnChange");
         },
         [](const TJobData& d) {
           return d.Frequency == kFreqHours && d.freHours == 48 &&
                  d.ExcludeDays == (kSunday | kMonday) && d.bRunBefore && d.bRunOnChange;
         }},
        {"guard percentage", &MakeMethodPage,
         [](WizardPage* p) {
           auto* box = Child<QLineEdit>(p, "guardPercent");
           box->setText("30");
           emit box->editingFinished();
         },
         [](const TJobData& d) { return d.MaxDeletePercent == 30; }},
        {"guard off", &MakeMethodPage, [](WizardPage* p) { Click(p, "guard"); },
         [](const TJobData& d) { return d.MaxDeletePercent == 0; }},
        {"versions", &MakeMethodPage,
         [](WizardPage* p) {
           Click(p, "keepVersions");
           Child<QLineEdit>(p, "versionsFolder")->setText("/keep");
           Child<QLineEdit>(p, "keepCount")->setText("0");
           Child<QLineEdit>(p, "keepDays")->setText("7");
         },
         [](const TJobData& d) {
           return d.bKeepVersions && d.VersionsFolder == "/keep" && d.KeepVersions == 1 &&
                  d.KeepDays == 7;
         }},
        {"log settings", &MakeLogSettingsPage,
         [](WizardPage* p) {
           Click(p, "errorUse");
           Click(p, "summaryCreateNew");
           Click(p, "fullOverwrite");
           Child<QSpinBox>(p, "fullMaxSize")->setValue(2000);
         },
         [](const TJobData& d) {
           return !d.LogError_bUse && d.LogSummary_bCreateNew && !d.LogFull_bCreateNew &&
                  d.LogFull_bOverwrite && !d.LogSummary_bOverwrite && d.LogFull_MaxSize == 2000;
         }},
    };
    for (const Case& c : cases) {
      init();
      WizardPage* page = Open(c.make);
      QSignalSpy changed(page, &WizardPage::Changed);
      c.edit(page);
      page->Store();
      QVERIFY2(c.stored(data_), c.page);
      QVERIFY2(changed.count() > 0, c.page);
      // Loading the stored job into a fresh page and storing it again changes nothing.
      const TJobData before = data_;
      Open(c.make)->Store();
      QVERIFY2(c.stored(data_) && data_.FileFilter == before.FileFilter, c.page);
    }
  }

  // A number box takes any digits and shows its value clamped once the focus leaves it.
  void numberBoxesClampOnLeaving() {
    struct Case {
      int32_t frequency;
      const char* box;
      const char* typed;
      const char* shown;
      int32_t TJobData::*field;
    };
    const Case cases[] = {
        {kFreqMinutes, "minutes", "2000", "900", &TJobData::freMinutes},
        {kFreqDays, "days", "0", "1", &TJobData::freDays},
        {kFreqHours, "hours", "abc", "1", &TJobData::freHours},
        {kFreqHours, "hours", "240", "240", &TJobData::freHours},
    };
    for (const Case& c : cases) {
      data_.Frequency = c.frequency;
      WizardPage* page = Open(&MakeSchedulingPage);
      QVERIFY(QTest::qWaitForWindowActive(window_.get()));
      auto* box = Child<QLineEdit>(page, c.box);
      box->setFocus();
      box->clear();
      QTest::keyClicks(box, c.typed);
      // Letters never get in; digits do, even past the maximum.
      QCOMPARE(box->text(), QString(c.typed).remove(QRegularExpression("[^0-9]")));
      Child<QListWidget>(page, "frequency")->setFocus();
      QCOMPARE(box->text(), QString(c.shown));
      data_.*c.field = -1;
      page->Store();
      QCOMPARE(data_.*c.field, QString(c.shown).toInt());
    }
    // Text set around the validator still reads as the minimum.
    WizardPage* page = Open(&MakeSchedulingPage);
    Child<QLineEdit>(page, "minutes")->setText("abc");
    page->Store();
    QCOMPARE(data_.freMinutes, kMinMinutes);
  }

  // A named method fills and locks the custom controls; Custom unlocks them on the stored ones.
  void methodPresetsLockTheCustomControls() {
    data_.idxMethod = kMethodNone;
    data_.idxNewerL = 4;
    data_.Empty_RemoveR = true;
    WizardPage* page = Open(&MakeMethodPage);
    const auto shows = [&](const TMethodPreset& p, bool enabled) {
      for (size_t f = 0; f < kActionFieldCount; ++f) {
        auto* box = Child<QComboBox>(page, qPrintable(QString("action%1").arg(f)));
        if (box->currentIndex() != p.actions[f] || box->isEnabled() != enabled) return false;
      }
      for (size_t e = 0; e < kEmptyFlagCount; ++e) {
        auto* box = Child<QCheckBox>(page, qPrintable(QString("empty%1").arg(e)));
        if (box->isChecked() != p.empty[e] || box->isEnabled() != enabled) return false;
      }
      return true;
    };
    const TMethodPreset custom{{4, 0, 0, 0, 0, 0, 0}, {false, true, false, false}};
    QVERIFY(Child<QRadioButton>(page, "method6")->isChecked());
    QVERIFY(shows(custom, true));
    page->Store();
    QCOMPARE(data_.idxMethod, kMethodCustom);
    for (int32_t m = kMethodMirrorL; m <= kMethodUpdate; ++m) {
      Click(page, qPrintable(QString("method%1").arg(m)));
      QCOMPARE(data_.idxMethod, m);
      QVERIFY(shows(*MethodPreset(m), false));
      QCOMPARE(data_.Actions(), MethodPreset(m)->actions);
    }
    Click(page, "method6");
    QCOMPARE(data_.idxMethod, kMethodCustom);
    QVERIFY(shows(*MethodPreset(kMethodUpdate), true));
    Child<QComboBox>(page, "action2")->setCurrentIndex(5);
    QCOMPARE(data_.idxEqualDate, 5);
  }

  // Dragging a predefined filter moves it in the settings; a drop on its own place or below
  // the rows does nothing.
  void predefinedListDrag() {
    WizardPage* page = Open(&MakeFileFiltersPage);
    auto* list = Child<FilterListWidget>(page, "predefinedList");
    const auto drop = [&](int from, QPoint at) {
      list->setCurrentRow(from);
      QMimeData mime;
      QDropEvent event(at, Qt::MoveAction, &mime, Qt::LeftButton, Qt::NoModifier);
      list->dropEvent(&event);
    };
    const auto order = [&] {
      QString names;
      for (const TFileFilter& f : settings_.DefFileFilters) names += f.FilterName.c_str();
      return names;
    };
    drop(0, list->visualItemRect(list->item(2)).center());
    QCOMPARE(order(), "bca");
    QCOMPARE(list->currentRow(), 2);
    QCOMPARE(list->item(0)->text(), " b");
    QVERIFY(!Child<QPushButton>(page, "downFilter")->isEnabled() &&
            Child<QPushButton>(page, "upFilter")->isEnabled());
    drop(1, list->visualItemRect(list->item(1)).center());
    drop(1, QPoint(5, list->viewport()->height() - 2));
    QCOMPARE(order(), "bca");
  }

  // Save stores what the page holds (typed text included) over an entry after asking.
  void predefinedSaveAsksBeforeOverwriting() {
    FakeMessageBoxes boxes;
    WizardPage* page = Open(&MakeFileFiltersPage);
    Child<QComboBox>(page, "include")->setEditText("*.new");
    for (bool answer : {false, true}) {
      boxes.answer = answer;
      QTimer::singleShot(0, [&] {
        auto* dialog = qobject_cast<FilterNameDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        QTest::keyClicks(dialog->NameEdit(), "B");
        dialog->accept();
        // No keeps the dialog open.
        if (dialog->isVisible()) dialog->reject();
      });
      Click(page, "saveFilter");
    }
    QCOMPARE(boxes.titles, QStringList(2, "Confirm replacing existing filter"));
    QCOMPARE(settings_.DefFileFilters.size(), size_t(3));
    QCOMPARE(settings_.DefFileFilters[1].FilterName, "B");
    QCOMPARE(settings_.DefFileFilters[1].FLT_Include, "*.new");
    // Set copies an entry into the job and the page.
    auto* list = Child<QListWidget>(page, "predefinedList");
    list->setCurrentRow(2);
    Click(page, "setFilter");
    QCOMPARE(data_.FileFilter.FLT_Include, "*.c");
    QCOMPARE(Child<QComboBox>(page, "include")->currentText(), "*.c");
  }

  void folderPatternsAndPredefinedDelete() {
    data_.FolderFilter.AddPattern("Temp");
    WizardPage* page = Open(&MakeFolderFiltersPage);
    auto* edit = Child<QLineEdit>(page, "pattern");
    for (const char* refused : {"a\\b", "temp", "  ", "c:d"}) {
      edit->setText(refused);
      QVERIFY2(!Child<QPushButton>(page, "addPattern")->isEnabled(), refused);
      QTest::keyClick(edit, Qt::Key_Return);
      QCOMPARE(data_.FolderFilter.Count(), 1);
    }
    auto* list = Child<QListWidget>(page, "predefinedList");
    list->setCurrentRow(1);
    Click(page, "deleteFilter");
    QCOMPARE(settings_.DefFolderFilters.size(), size_t(1));
    QCOMPARE(list->currentRow(), 0);
    Click(page, "deleteFilter");
    QCOMPARE(list->currentRow(), -1);
    QVERIFY(!Child<QPushButton>(page, "deleteFilter")->isEnabled());
  }
};

}  // namespace twn::gui

QTEST_MAIN(twn::gui::WizardPagesTest)
#include "wizard_pages_test.moc"
