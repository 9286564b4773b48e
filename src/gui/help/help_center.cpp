#include "gui/help/help_center.h"

#include <QtCore/QFile>
#include <QtCore/QUrl>
#include <QtCore/QVariant>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QApplication>
#include <QtWidgets/QLabel>
#include <QtWidgets/QTextBrowser>
#include <QtWidgets/QToolBar>
#include <QtWidgets/QVBoxLayout>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gui/common/text.h"
#include "help/help_topics.h"

namespace twn::gui {
namespace {

constexpr const char* kContextProperty = "twnHelpContext";

QString DefaultPage() {
  return QString::fromUtf8(kDefaultHelpPage.data(), qsizetype(kDefaultHelpPage.size()));
}

// A label speaks for the widget it names, as its mnemonic already does.
int OwnOrBuddyContext(const QWidget* w) {
  const int own = HelpContext(w);
  if (own != 0) return own;
  const auto* label = qobject_cast<const QLabel*>(w);
  return label && label->buddy() ? HelpContext(label->buddy()) : 0;
}

}  // namespace

void SetHelpContext(QWidget* w, int context) {
  w->setProperty(kContextProperty, context);
}

int HelpContext(const QWidget* w) {
  return w ? w->property(kContextProperty).toInt() : 0;
}

int ContextForWidget(const QWidget* item) {
  std::vector<int> chain;
  // Up to the widget's own window and no further: a dialog's F1 is about the dialog.
  for (const QWidget* w = item; w; w = w->isWindow() ? nullptr : w->parentWidget())
    chain.push_back(OwnOrBuddyContext(w));
  return EffectiveHelpContext(chain).value_or(0);
}

HelpCenter::HelpCenter(QString programDir, QObject* parent)
    : QObject(parent), programDir_(std::move(programDir)) {}

HelpCenter::~HelpCenter() {
  SetWhatsThisMode(false);
  // The viewer goes with its center, whichever window it is parented to now; one its owner
  // window already took along is null here.
  std::unique_ptr<QWidget> viewer(window_.data());
}

QTextBrowser* HelpCenter::Viewer() const {
  return viewer_;
}

bool HelpCenter::ShowTopic(QWidget* from, const QString& page) {
  const std::optional<std::string> path =
      ExistingHelpTopic(PathBytes(programDir_), page.toStdString());
  if (!path) return false;
  QWidget* owner = from ? from->window() : QApplication::activeWindow();
  QWidget* window = ViewerWindow(owner);
  viewer_->setSource(QUrl::fromLocalFile(QFile::decodeName(path->c_str())));
  window->show();
  window->raise();
  window->activateWindow();
  return true;
}

bool HelpCenter::ShowContext(QWidget* from, int context) {
  const std::string_view page = HelpPageForContext(context);
  return ShowTopic(from, QString::fromUtf8(page.data(), qsizetype(page.size())));
}

// One viewer for the program, moved under the window help was asked from, so that a modal
// dialog does not block it and it stays in front of that window.
QWidget* HelpCenter::ViewerWindow(QWidget* owner) {
  if (window_) {
    if (owner && owner != window_ && window_->parentWidget() != owner) {
      const QRect geometry = window_->geometry();
      window_->setParent(owner, window_->windowFlags() | Qt::Window);
      window_->setGeometry(geometry);
    }
    return window_;
  }
  CreateViewer(owner);
  return window_;
}

void HelpCenter::CreateViewer(QWidget* owner) {
  window_ = new QWidget(owner, Qt::Window);
  window_->setObjectName("helpViewer");
  window_->setWindowTitle(tr("Twinward Help"));
  window_->resize(640, 560);
  auto* layout = new QVBoxLayout(window_);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* tools = new QToolBar(window_);
  viewer_ = new QTextBrowser(window_);
  viewer_->setObjectName("helpBrowser");
  viewer_->setOpenExternalLinks(true);  // http and mailto go to the desktop's programs
  QAction* back = tools->addAction(tr("Back"), viewer_, &QTextBrowser::backward);
  QAction* forward = tools->addAction(tr("Forward"), viewer_, &QTextBrowser::forward);
  tools->addAction(tr("Contents"), this, [this] { ShowTopic(window_, DefaultPage()); });
  back->setEnabled(false);
  forward->setEnabled(false);
  connect(viewer_, &QTextBrowser::backwardAvailable, back, &QAction::setEnabled);
  connect(viewer_, &QTextBrowser::forwardAvailable, forward, &QAction::setEnabled);
  connect(viewer_, &QTextBrowser::sourceChanged, window_, [this] {
    const QString title = viewer_->documentTitle();
    window_->setWindowTitle(title.isEmpty() ? tr("Twinward Help") : title);
  });
  layout->addWidget(tools);
  layout->addWidget(viewer_);
}

void HelpCenter::Install() {
  qApp->installEventFilter(this);
}

bool HelpCenter::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      return OnKeyPress(static_cast<const QKeyEvent&>(*event));
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
      return OnMousePress(watched);
    default:
      return false;
  }
}

bool HelpCenter::OnKeyPress(const QKeyEvent& key) {
  if (key.isAutoRepeat()) return key.key() == Qt::Key_F1;  // held F1 opens nothing more
  SetWhatsThisMode(false);                                 // any key press ends the mode
  if (key.key() != Qt::Key_F1) return false;
  if (key.modifiers() & Qt::ShiftModifier) {
    SetWhatsThisMode(true);
    return true;
  }
  QWidget* item = QApplication::focusWidget();
  if (!item) item = QApplication::activeWindow();
  if (item) ShowContext(item, ContextForWidget(item));
  return true;
}

// Mouse events reach the filter twice, for the native window and then for the widget; the
// widget is the one clicked. The press is kept from it, so the pick is not also its click.
bool HelpCenter::OnMousePress(QObject* watched) {
  if (!whatsThis_ || !watched->isWidgetType()) return false;
  auto* clicked = static_cast<QWidget*>(watched);
  SetWhatsThisMode(false);
  ShowContext(clicked, ContextForWidget(clicked));
  return true;
}

void HelpCenter::SetWhatsThisMode(bool on) {
  if (on == whatsThis_) return;
  whatsThis_ = on;
  if (on)
    QGuiApplication::setOverrideCursor(Qt::WhatsThisCursor);
  else
    QGuiApplication::restoreOverrideCursor();
}

}  // namespace twn::gui
