// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/help_window.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QTest>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextDocument>

#include "platform/picture.h"
#include "support/modal.h"

namespace merkhaus {
namespace {

QString Title(const QString& heading) {
  return QStringLiteral("Merkhaus 3 – ") + heading;
}

TEST(HelpWindow, EveryHelpContextShowsItsOwnPage) {
  const std::pair<int, QString> topics[] = {
      {HelpContext::About, QStringLiteral("Info")},
      {HelpContext::MainWindow, QStringLiteral("Das Hauptfenster")},
      {HelpContext::Entry, QStringLiteral("Vokabeln eingeben und korrigieren")},
      {HelpContext::Study, QStringLiteral("Üben")},
      {HelpContext::Test, QStringLiteral("Testen und Testauswertung")},
      {HelpContext::Dictionary, QStringLiteral("Wörterbuch")},
      {HelpContext::OpenDataFile, QStringLiteral("DataFile öffnen")},
      {HelpContext::LessonChoice, QStringLiteral("Lektionsauswahl")},
      {HelpContext::Options, QStringLiteral("Optionen")},
      {HelpContext::Editor, QStringLiteral("DataFile-Editor")},
      {HelpContext::HeaderInfo, QStringLiteral("Name und Kommentar")},
  };
  HelpWindow help;
  for (const auto& [context, heading] : topics) {
    help.showTopic(context);
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(QUrl(QStringLiteral("qrc:/help/%1.html").arg(context)), help.Browser->source());
    EXPECT_EQ(Title(heading), help.Browser->documentTitle()) << context;
    // The text is German UTF-8: an umlaut read as Latin-1 would not match.
    EXPECT_TRUE(help.Browser->toPlainText().contains(heading)) << context;
    EXPECT_GT(help.Browser->toPlainText().size(), 300) << "a real text, context " << context;
    // Every page gets the shared style: its heading in the help's blue.
    QColor headingColour;
    for (QTextBlock b = help.Browser->document()->begin(); b.isValid(); b = b.next()) {
      if (b.text() == heading && b.begin() != b.end()) {
        headingColour = b.begin().fragment().charFormat().foreground().color();
      }
    }
    EXPECT_EQ(QColor(0x24, 0x55, 0x7f), headingColour) << context;
  }
}

TEST(HelpWindow, UnknownContextsAndTheHelpButtonShowTheContents) {
  HelpWindow help;
  const QUrl index(QStringLiteral("qrc:/help/index.html"));
  for (int context : {0, 1, 13, 99, -4}) {
    help.Browser->clear();
    help.showTopic(context);
    EXPECT_EQ(index, help.Browser->source()) << context;
    EXPECT_EQ(Title(QStringLiteral("Hilfe")), help.Browser->documentTitle()) << context;
  }
  help.showTopic(HelpContext::Study);
  help.showContents();
  EXPECT_EQ(index, help.Browser->source());
}

// F1 in a modal window brings the help in front of it, usable while that window waits; the
// window goes on when the help is closed.
TEST(HelpWindow, HelpFromAModalWindowComesInFront) {
  HelpWindow help;
  QDialog dialog;
  AttachHelp(&dialog, help, HelpContext::Study);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    QTest::keyClick(w, Qt::Key_F1);
    EXPECT_TRUE(help.isVisible());
    EXPECT_EQ(&help, QApplication::activeModalWidget()) << "in front, not blocked";
    help.close();
    EXPECT_EQ(&dialog, QApplication::activeModalWidget());
    dialog.accept();
  });
  dialog.exec();
  help.showContents();
  EXPECT_FALSE(help.isModal()) << "from a window that is not modal it stays beside it";
}

TEST(HelpWindow, TheContentsLinkEveryTopicAndNoLinkIsBroken) {
  const QRegularExpression href(QStringLiteral("href=\"([^\"#]+)\""));
  const QStringList pages = QDir(QStringLiteral(":/help")).entryList({QStringLiteral("*.html")});
  ASSERT_EQ(14, pages.size()) << pages.join(QStringLiteral(", ")).toStdString();
  QStringList fromIndex;
  for (const QString& page : pages) {
    QFile file(QStringLiteral(":/help/") + page);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString html = QString::fromUtf8(file.readAll());
    for (const auto& m : href.globalMatch(html)) {
      const QString target = m.captured(1);
      EXPECT_TRUE(QFile::exists(QStringLiteral(":/help/") + target))
          << page.toStdString() << " -> " << target.toStdString();
      if (page == QStringLiteral("index.html")) fromIndex << target;
    }
  }
  for (int context = 2; context <= 10; ++context) {
    EXPECT_TRUE(fromIndex.contains(QStringLiteral("%1.html").arg(context))) << context;
  }
}

}  // namespace
}  // namespace merkhaus
