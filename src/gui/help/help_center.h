#pragma once
// Context help: F1 opens the page of the focused widget's help context in one help viewer
// window, Shift+F1 lets a click pick the widget, and Help buttons open pages by name.
#include <QtCore/QObject>
#include <QtCore/QPointer>
#include <QtCore/QString>

class QKeyEvent;
class QTextBrowser;
class QWidget;

namespace twn::gui {

/// A widget's help context (0 = none), kept as a dynamic property of the widget.
void SetHelpContext(QWidget* w, int context);
int HelpContext(const QWidget* w);

/// The context F1 uses for `item`: its own, a label's buddy's, or the nearest one up the
/// parents to its window (included) and no further; 0 when there is none.
int ContextForWidget(const QWidget* item);

class HelpCenter : public QObject {
  Q_OBJECT

 public:
  /// programDir is the folder holding TWN-help/ (or the bin/ folder of an installed program).
  explicit HelpCenter(QString programDir, QObject* parent = nullptr);
  ~HelpCenter() override;

  /// Opens `page` of the help folder in the viewer, owned by from's window (or the active
  /// window). False, and nothing shown, when the folder or the page is missing.
  bool ShowTopic(QWidget* from, const QString& page);
  bool ShowContext(QWidget* from, int context);
  /// Watches the application's key presses and clicks for F1 and Shift+F1.
  void Install();

  QTextBrowser* Viewer() const;
  bool WhatsThisMode() const { return whatsThis_; }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool OnKeyPress(const QKeyEvent& key);
  bool OnMousePress(QObject* watched);
  void SetWhatsThisMode(bool on);
  QWidget* ViewerWindow(QWidget* owner);
  void CreateViewer(QWidget* owner);

  QString programDir_;
  QPointer<QWidget> window_;  // dies with the window it is parented to
  QPointer<QTextBrowser> viewer_;
  bool whatsThis_ = false;
};

}  // namespace twn::gui
