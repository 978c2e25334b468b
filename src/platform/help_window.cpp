// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help_window.h"

#include <QApplication>
#include <QFile>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

namespace merkhaus {

HelpWindow::HelpWindow(QWidget* parent) : QDialog(parent) {
  setWindowTitle(QStringLiteral("Merkhaus 3 - Hilfe"));
  setObjectName(QStringLiteral("HelpWindow"));
  resize(560, 480);
  auto* layout = new QVBoxLayout(this);
  Browser = new QTextBrowser(this);
  Browser->setOpenLinks(true);
  Browser->setAccessibleName(QStringLiteral("Hilfetext"));
  Browser->setSearchPaths({QStringLiteral(":/help")});
  // One style for all pages; it stays with the document when a link loads another page.
  QFile css(QStringLiteral(":/help/help.css"));
  if (css.open(QIODevice::ReadOnly)) {
    Browser->document()->setDefaultStyleSheet(QString::fromUtf8(css.readAll()));
  }
  layout->addWidget(Browser);
}

QString HelpWindow::PageUrl(int context) {
  return context <= 0 ? QStringLiteral("qrc:/help/index.html")
                      : QStringLiteral("qrc:/help/%1.html").arg(context);
}

void HelpWindow::showContents() {
  showTopic(0);
}

void HelpWindow::showTopic(int context) {
  QString url = PageUrl(context);
  if (!QFile::exists(url.mid(3))) url = PageUrl(0);
  Browser->setSource(QUrl(url));
  // While a modal window runs, every other window is blocked: help asked for from there comes up
  // modal itself, in front, so that it can be scrolled and closed, and the window that asked
  // goes on when it is closed. From a window that is not modal it stays beside it.
  QWidget* modal = QApplication::activeModalWidget();
  const Qt::WindowModality wanted = modal && modal != this ? Qt::ApplicationModal : Qt::NonModal;
  if (windowModality() != wanted) {
    hide();  // a new modality applies from the next showing
    setWindowModality(wanted);
  }
  show();
  raise();
  activateWindow();
}

void HelpWindow::close() {
  QDialog::close();
}

}  // namespace merkhaus
