#include "gui/main/tutorials_panel.h"

#include <QtGui/QCloseEvent>
#include <QtWidgets/QLabel>
#include <QtWidgets/QVBoxLayout>

#include "app/main_commands.h"

namespace twn::gui {

TutorialsPanel::TutorialsPanel(QWidget* parent)
    : QDockWidget(QString::fromUtf8(kTutorialsCaption), parent) {
  setObjectName("tutorialsPanel");
  setFeatures(QDockWidget::DockWidgetClosable);
  setAllowedAreas(Qt::LeftDockWidgetArea);
  auto* body = new QWidget(this);
  auto* layout = new QVBoxLayout(body);
  layout->setContentsMargins(12, 6, 8, 6);
  layout->setSpacing(4);
  for (const TTutorial& tutorial : Tutorials()) {
    auto* link = new QLabel(QString("<a href=\"%1\">%2</a>")
                                .arg(tutorial.HelpContext)
                                .arg(QString::fromUtf8(tutorial.Link).toHtmlEscaped()),
                            body);
    link->setObjectName(QString("tutorialLink%1").arg(tutorial.HelpContext));
    link->setTextInteractionFlags(Qt::TextBrowserInteraction);
    connect(link, &QLabel::linkActivated, this,
            [this](const QString& href) { emit TutorialChosen(href.toInt()); });
    auto* text = new QLabel(QString::fromUtf8(tutorial.Text), body);
    text->setWordWrap(true);
    text->setContentsMargins(4, 0, 0, 8);
    layout->addWidget(link);
    layout->addWidget(text);
  }
  layout->addStretch(1);
  body->setMinimumWidth(170);
  body->setMaximumWidth(240);
  setWidget(body);
}

void TutorialsPanel::closeEvent(QCloseEvent* event) {
  event->ignore();  // the command hides the panel and records the choice
  emit CloseClicked();
}

}  // namespace twn::gui
