// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>

#include "platform/limited_memo.h"
#include "shell/header_info_dialog.h"
#include "shell/lesson_choice.h"
#include "shell/new_lesson_dialog.h"
#include "shell/start_up.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

class LessonWindows : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.services, t.dir.path()};
  std::string path = t.dir.file("vok.fid");

  QStringList Lines(QListWidget* list) {
    QStringList out;
    for (int i = 0; i < list->count(); ++i)
      out << list->item(i)->text();
    return out;
  }
};

TEST_F(LessonWindows, ChoosingALesson) {
  mhtest::WriteRecords(
      path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "", mhtest::Latin1("für die Schule")),
             Unit(1, "Tiere"), Unit(255, "Farben", mhtest::Latin1("rot, grün")),
             Unit(254, "Alt", "", 1)});
  t.lesson.dataFilePath = path;
  QStringList lines;
  QString label1, label2;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    EXPECT_EQ(QStringLiteral("Lektionsauswahl"), f->windowTitle());
    lines = Lines(f->ListBox1);
    label1 = f->Label1->text();
    label2 = f->Label2->text();
    EXPECT_TRUE(f->ListBox1->selectedItems().isEmpty()) << "nothing selected at first";
    f->Button1->click();  // without a selection: nothing happens
    EXPECT_TRUE(f->isVisible());
    f->ListBox1->setCurrentRow(1);
    QTest::keyClick(f->ListBox1, Qt::Key_Return);
  });
  EXPECT_EQ(255, windows.lessonChoice().selectLesson(path, false));
  EXPECT_EQ((QStringList{QStringLiteral("Tiere"), QStringLiteral("Farben - rot, grün")}), lines);
  EXPECT_EQ(QStringLiteral("Meine Vokabeln"), label1);
  EXPECT_EQ(QStringLiteral("für die Schule"), label2);
  EXPECT_EQ("Meine Vokabeln", t.lesson.dataFileHeader.B1.view());
}

// Nothing looks chosen until a line is; the arrow keys choose, Enter takes the chosen line.
TEST_F(LessonWindows, TheKeyboardChoosesALine) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere", "zwei\r\nZeilen")});
  t.lesson.dataFilePath = path;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    EXPECT_EQ(QStringLiteral("Tiere - zwei Zeilen"), f->ListBox1->item(0)->text())
        << "one line in the list";
    f->ListBox1->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(-1, f->ListBox1->currentRow()) << "no line looks chosen";
    QTest::keyClick(f->ListBox1, Qt::Key_Down);
    EXPECT_TRUE(f->ListBox1->item(0)->isSelected());
    QTest::keyClick(f->ListBox1, Qt::Key_Return);
  });
  EXPECT_EQ(1, windows.lessonChoice().selectLesson(path, false));
}

// From no line, End goes to the last line and PageDown a page down, as from the first line.
TEST_F(LessonWindows, EndAndPageDownFromNoLine) {
  std::vector<mhtest::RawRecord> records{Header("V")};
  for (int u = 1; u <= 40; ++u)
    records.push_back(Unit(static_cast<std::uint8_t>(u), "L" + std::to_string(u)));
  mhtest::WriteRecords(path, records);
  t.lesson.dataFilePath = path;
  int afterEnd = -1, afterPageDown = -1;
  auto step = [&](Qt::Key key, int& row) {
    return [&, key](QWidget* w) {
      auto* f = mhtest::as<TForm6>(w);
      ASSERT_EQ(-1, f->ListBox1->currentRow());
      QTest::keyClick(f->ListBox1, key);
      row = f->ListBox1->currentRow();
      EXPECT_TRUE(f->ListBox1->currentItem() && f->ListBox1->currentItem()->isSelected());
      f->Button4->click();  // Zurück
    };
  };
  {
    auto driven = mhtest::onNextModal(step(Qt::Key_End, afterEnd));
    windows.lessonChoice().selectLesson(path, false);
  }
  {
    auto driven = mhtest::onNextModal(step(Qt::Key_PageDown, afterPageDown));
    windows.lessonChoice().selectLesson(path, false);
  }
  EXPECT_EQ(39, afterEnd);
  EXPECT_GT(afterPageDown, 1);
  EXPECT_LT(afterPageDown, 39);
}

TEST_F(LessonWindows, NoLessonsCases) {
  mhtest::WriteRecords(path, {Header("V")});
  t.lesson.dataFilePath = path;
  t.messages.expect("Keine Lektionen verfügbar!", Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  EXPECT_EQ(0, windows.lessonChoice().selectLesson(path, false))
      << "no lesson, not abandoned: the mode starts and meets an empty lesson";

  t.messages.expect("Keine Lektionen verfügbar. Neue anlegen?", Answer::No, MsgKind::Confirmation,
                    MsgButtons::YesNo);
  EXPECT_EQ(std::nullopt, windows.lessonChoice().selectLesson(path, true));

  // Yes: the new-lesson dialog, then the list with the new lesson.
  t.messages.expect("Keine Lektionen verfügbar. Neue anlegen?", Answer::Yes);
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
                    auto* d = mhtest::as<TOKBottomDlg1>(w);
                    QTest::keyClicks(d->Edit1, QStringLiteral("Erste"));
                    d->OKBtn->click();
                  }).then([&](QWidget* w6) {
      auto* f = mhtest::as<TForm6>(w6);
      f->ListBox1->setCurrentRow(0);
      f->ListBox1DblClick();
    });
    EXPECT_EQ(1, windows.lessonChoice().selectLesson(path, true));
  }

  // All lessons deleted: an empty list, no question.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "weg", "", 1)});
  int count = -1;
  {
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* f = mhtest::as<TForm6>(w);
      count = f->ListBox1->count();
      f->Button4->click();
    });
    EXPECT_EQ(std::nullopt, windows.lessonChoice().selectLesson(path, true));
  }
  EXPECT_EQ(0, count);

  const std::string missing = t.dir.file("fehlt.fid");
  t.messages.expect("RW - Fehler 601!\nDie Datei \"" + missing +
                        "\" kann nicht geöffnet werden: die Datei ist nicht vorhanden.",
                    Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_EQ(0, windows.lessonChoice().selectLesson(missing, false)) << "not abandoned";
}

TEST_F(LessonWindows, NewLessonFromTheList) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
  t.lesson.dataFilePath = path;
  QStringList afterEmpty, afterNew;
  t.messages.expect("Es muß zumindest ein Lektionsname eingegeben werden!", Answer::Ok,
                    MsgKind::Error, MsgButtons::Ok);
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    EXPECT_TRUE(f->Button2->isEnabled());
    {
      auto empty =
          mhtest::onNextModal([&](QWidget* d) { mhtest::as<TOKBottomDlg1>(d)->OKBtn->click(); });
      f->Button2->click();
    }
    afterEmpty = Lines(f->ListBox1);
    auto named = mhtest::onNextModal([&](QWidget* w1) {
      auto* d = mhtest::as<TOKBottomDlg1>(w1);
      QTest::keyClicks(d->Edit1, QStringLiteral("Farben"));
      d->Memo1->setPlainText(QStringLiteral("zwei\nZeilen"));
      d->OKBtn->click();
    });
    f->Button2->click();
    afterNew = Lines(f->ListBox1);
    EXPECT_TRUE(f->ListBox1->selectedItems().isEmpty()) << "the new lesson is not selected";
    // Made: the dialog opens empty next time, the cursor in the name.
    auto third = mhtest::onNextModal([&](QWidget* w1) {
      auto* d = mhtest::as<TOKBottomDlg1>(w1);
      EXPECT_EQ(QString(), d->Edit1->text());
      EXPECT_EQ(QString(), d->Memo1->toPlainText());
      EXPECT_TRUE(d->Edit1->hasFocus());
      d->CancelBtn->click();
    });
    f->Button2->click();
    // A lesson chosen after the dialog was abandoned: the whole choice is abandoned.
    f->ListBox1->setCurrentRow(0);
    f->Button1->click();
  });
  EXPECT_EQ(std::nullopt, windows.lessonChoice().selectLesson(path, true));
  EXPECT_EQ(QStringList{QStringLiteral("Tiere")}, afterEmpty);
  ASSERT_EQ(2, afterNew.size());
  EXPECT_EQ(QStringLiteral("Farben - zwei Zeilen"), afterNew[1]) << "listed last, on one line";
  EXPECT_EQ(Unit(255, "Farben", "zwei\r\nZeilen"), mhtest::ReadRecords(path).at(2));
}

TEST_F(LessonWindows, DeletingFromTheList) {
  mhtest::WriteRecords(
      path, {Header("V"), Unit(1, "Tiere"), Entry(1, "cat", "Katze"), Unit(255, "Farben")});
  t.lesson.dataFilePath = path;
  t.messages.expect("Sie haben keine Lektion ausgewählt!")
      .expect("Soll die Lektion wirklich gelöscht werden?", Answer::Yes)
      .expect("Lektion \"Tiere\" mit 1 Vokabeln erfolgreich gelöscht!");
  QStringList after;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    f->Button3->click();
    f->ListBox1->setCurrentRow(0);
    f->Button3->click();
    after = Lines(f->ListBox1);
    f->Button4->click();
  });
  windows.lessonChoice().selectLesson(path, true);
  EXPECT_EQ(QStringList{QStringLiteral("Farben")}, after);
  EXPECT_EQ(1, mhtest::ReadRecords(path)[2][623]);
}

TEST_F(LessonWindows, KeyIShowsTheLessonInfoReadOnly) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere", "Haustiere")});
  t.lesson.dataFilePath = path;
  QString caption, name, comment;
  bool readOnly = false, writeVisible = true, authorVisible = true;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* f = mhtest::as<TForm6>(w);
    f->ListBox1->setCurrentRow(0);
    auto info = mhtest::onNextModal([&](QWidget* wi) {
      auto* d = mhtest::as<THeaderInfoDlg>(wi);
      caption = d->windowTitle();
      name = d->Edit1->text();
      comment = d->Memo1->toPlainText();
      readOnly = d->Edit1->isReadOnly() && d->Memo1->isReadOnly();
      writeVisible = d->Button1->isVisible();
      authorVisible = d->Edit2->isVisible();
      d->OKBtn->click();
    });
    QTest::keyClick(f->ListBox1, Qt::Key_I);
    EXPECT_TRUE(f->isVisible()) << "the list stays open";
    f->Button4->click();
  });
  windows.lessonChoice().selectLesson(path, false);
  EXPECT_EQ(QStringLiteral("Lektions Info"), caption);
  EXPECT_EQ(QStringLiteral("Tiere"), name);
  EXPECT_EQ(QStringLiteral("Haustiere"), comment);
  EXPECT_TRUE(readOnly);
  EXPECT_FALSE(writeVisible);
  EXPECT_FALSE(authorVisible);
}

TEST_F(LessonWindows, DataFileInfoAsksAboutUnwrittenChanges) {
  mhtest::WriteRecords(path, {Header("Alt", "Englisch", "Deutsch", "", "k")});
  t.lesson.dataFilePath = path;
  t.lesson.dataFileHeader.B1.set("Alt");
  t.lesson.dataFileHeader.Comment.set("k");
  const auto before = mhtest::ReadBytes(path);
  const char* question =
      "Sie haben die Änderungen nicht eingetragen! Sollen die Änderungen jetzt eingetragen "
      "werden?";

  QString author;
  bool enabledBefore = true, enabledAfter = false;
  t.messages.expect(question, Answer::No, MsgKind::Warning, MsgButtons::YesNo);
  auto declined = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<THeaderInfoDlg>(w);
    author = d->Edit2->text();
    enabledBefore = d->Button1->isEnabled();
    QTest::keyClick(d->Edit1, Qt::Key_X);
    QTest::keyClick(d->Edit1, Qt::Key_Backspace);  // back as it was: still a change
    enabledAfter = d->Button1->isEnabled();
    d->OKBtn->click();
  });
  windows.headerInfo().showHeaderInfo(true, true);
  EXPECT_EQ(QStringLiteral("<<Unbekannt>>"), author);
  EXPECT_FALSE(enabledBefore);
  EXPECT_TRUE(enabledAfter);
  EXPECT_EQ(before, mhtest::ReadBytes(path));

  t.messages.expect(question, Answer::Yes);
  auto accepted = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<THeaderInfoDlg>(w);
    EXPECT_EQ(QStringLiteral("DataFile Info"), d->windowTitle());
    d->Edit1->selectAll();
    QTest::keyClicks(d->Edit1, QStringLiteral("Neu"));
    d->OKBtn->click();
  });
  windows.headerInfo().showHeaderInfo(true, true);
  EXPECT_EQ(Header("Neu", "Englisch", "Deutsch", "", "k"), mhtest::ReadRecords(path)[0]);

  // "&Eintragen" writes at once; OK then closes without a question.
  auto written = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<THeaderInfoDlg>(w);
    d->Memo1->selectAll();
    QTest::keyClicks(d->Memo1, QStringLiteral("neu"));
    d->Button1->click();
    EXPECT_FALSE(d->Button1->isEnabled());
    d->OKBtn->click();
  });
  windows.headerInfo().showHeaderInfo(true, true);
  EXPECT_EQ(Header("Neu", "Englisch", "Deutsch", "", "neu"), mhtest::ReadRecords(path)[0]);
}

}  // namespace
}  // namespace merkhaus
