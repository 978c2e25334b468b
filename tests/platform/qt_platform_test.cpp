// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTest>

#include "platform/limited_memo.h"
#include "platform/qt_dialogs.h"
#include "platform/qt_messages.h"
#include "platform/qt_text.h"
#include "support/modal.h"

namespace merkhaus {
namespace {

TEST(QtText, ConvertsThroughTheOneTable) {
  EXPECT_EQ(QStringLiteral("Größe € Œuvre"), ToQString(WinString("Gr\xF6\xDF"
                                                                 "e \x80 \x8Cuvre")));
  EXPECT_EQ(WinString("Gr\xF6\xDF"
                      "e \x80"),
            ToWinString(QStringLiteral("Größe €")));
  EXPECT_EQ(WinString("?"), ToWinString(QStringLiteral("Ω")));
  for (int b = 0; b < 256; ++b) {
    const WinString one(std::string(1, static_cast<char>(b)));
    EXPECT_EQ(one, ToWinString(ToQString(one))) << b;
  }
}

TEST(QtText, TypingFieldsRefuseWhatWindows1252CannotHold) {
  QLineEdit edit;
  edit.setValidator(new Win1252Validator(&edit));
  mhtest::typeText(&edit, QStringLiteral("Straße €"));
  EXPECT_EQ(QStringLiteral("Straße €"), edit.text());
  mhtest::typeText(&edit, QStringLiteral("Ω"));
  EXPECT_EQ(QStringLiteral("Straße €"), edit.text());
}

// The typing fields of record text follow the current DataFile: in a Unicode one they take every
// character, their length counted in bytes of UTF-8, as the length byte of the field counts them.
TEST(QtText, FieldsFollowTheDataFileAndCountBytesInUnicode) {
  TextEncoding current = TextEncoding::Cp1252;
  FollowDataFileEncoding([&] { return current; });
  QLineEdit edit;
  edit.setValidator(Win1252Validator::FollowingDataFile(&edit));
  edit.setMaxLength(6);
  mhtest::typeText(&edit, QStringLiteral("Ωж"));
  EXPECT_EQ(QString(), edit.text()) << "Windows-1252 holds neither";
  current = TextEncoding::Utf8;
  mhtest::typeText(&edit, QStringLiteral("Ωжä€"));
  EXPECT_EQ(QStringLiteral("Ωжä"), edit.text()) << "the euro sign would make 9 bytes";
  const WinString typed = ToWinString(edit.text(), CurrentDataFileEncoding());
  EXPECT_EQ("\xCE\xA9\xD0\xB6\xC3\xA4", typed.bytes());
  EXPECT_EQ(edit.text(), ToQString(typed));

  // A comment field: line breaks are CR LF in the record, characters count by their bytes.
  LimitedMemo memo(8);
  memo.setPlainText(QStringLiteral("жж\nжж"));
  EXPECT_EQ("\xD0\xB6\xD0\xB6\r\n\xD0\xB6", memo.winText().bytes());
  EXPECT_TRUE(memo.winText().isUnicode());
  current = TextEncoding::Cp1252;
  memo.setEncoding(TextEncoding::Cp1252);
  memo.setPlainText(QStringLiteral("жä"));
  EXPECT_EQ("\xE4", memo.winText().bytes());
  FollowDataFileEncoding({});
}

TEST(QtText, FiltersInQtForm) {
  EXPECT_EQ(QStringLiteral("DataFile (*.fid);;Alle (*.*)"),
            ToQtFilter("DataFile (*.fid)|*.fid|Alle (*.*)|*.*"));
  EXPECT_EQ(QStringLiteral("Texdateien (*.txt);;Alle (*.*)"),
            ToQtFilter("Texdateien (*.txt)|*.txt|Alle (*.*)|*.*"));
  // The extension a chosen file type gives a name typed without one.
  EXPECT_EQ(QStringLiteral("csv"), SuffixOfFilter(QStringLiteral("CSV-Dateien (*.csv)")));
  EXPECT_EQ(QStringLiteral("kvtml"), SuffixOfFilter(QStringLiteral("KVTML-Dateien (*.kvtml)")));
  EXPECT_EQ(QString(), SuffixOfFilter(QStringLiteral("Alle (*.*)")));
}

struct BoxCase {
  MsgKind kind;
  MsgButtons buttons;
  QMessageBox::Icon icon;
  QStringList captions;
  const char* defaultButton;  // what Enter presses
  int press;                  // index of the caption pressed
  Answer answer;
};

TEST(QtMessages, ShowsGermanButtonsAndTheKindsIcon) {
  // "Ja" and "Nein" answer to Alt+J and Alt+N.
  const QString ja = QStringLiteral("&Ja"), nein = QStringLiteral("&Nein");
  const BoxCase cases[] = {
      {MsgKind::Error,
       MsgButtons::Ok,
       QMessageBox::Critical,
       {QStringLiteral("OK")},
       "OK",
       0,
       Answer::Ok},
      {MsgKind::Warning, MsgButtons::Yes, QMessageBox::Warning, {ja}, "&Ja", 0, Answer::Yes},
      {MsgKind::Confirmation,
       MsgButtons::YesNo,
       QMessageBox::Question,
       {ja, nein},
       "&Ja",
       1,
       Answer::No},
      {MsgKind::Information,
       MsgButtons::YesNoCancel,
       QMessageBox::Information,
       {ja, nein, QStringLiteral("Abbrechen")},
       "&Ja",
       2,
       Answer::Cancel},
      {MsgKind::Warning,
       MsgButtons::YesNo,
       QMessageBox::Warning,
       {ja, nein},
       "&Ja",
       0,
       Answer::Yes},
      // A question whose "Ja" destroys data: Enter answers "Nein".
      {MsgKind::Warning,
       MsgButtons::YesNoDefaultNo,
       QMessageBox::Warning,
       {ja, nein},
       "&Nein",
       0,
       Answer::Yes},
  };
  QtMessages messages;
  for (const auto& c : cases) {
    QStringList seen;
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* box = mhtest::as<QMessageBox>(w);
      if (!box) {
        w->close();
        return;
      }
      EXPECT_EQ(QStringLiteral("Merkhaus 3"), box->windowTitle());
      EXPECT_EQ(QStringLiteral("Wörter über €"), box->text());
      EXPECT_EQ(nullptr, box->findChild<QScrollArea*>()) << "a short text does not scroll";
      EXPECT_EQ(c.icon, box->icon());
      EXPECT_EQ(QString::fromUtf8(c.defaultButton), box->defaultButton()->text());
      // The keyboard starts where Enter would answer: Space presses the same button.
      EXPECT_EQ(box->defaultButton(), QApplication::focusWidget());
      QPushButton* press = nullptr;
      for (auto* b : box->buttons()) {
        seen << b->text();
        if (b->text() == c.captions[c.press]) press = qobject_cast<QPushButton*>(b);
      }
      if (!press) {
        box->close();
        return;
      }
      press->click();
    });
    EXPECT_EQ(c.answer, messages.show(c.kind, "Wörter über €", c.buttons));
    seen.sort();
    QStringList expected = c.captions;
    expected.sort();
    EXPECT_EQ(expected, seen);
  }
}

// The problem lines of a large import make a text taller than the screen: it scrolls inside the
// box, whole, and the box with its buttons stays on the screen.
TEST(QtMessages, ALongTextScrollsInsideABoxThatFitsTheScreen) {
  std::string text = "Die Datei enthält Zeilen, die nicht importiert werden können:";
  for (int i = 1; i <= 200; ++i) {
    text += "\nZeile " + std::to_string(i) +
            ": das Zeichen „м“ (U+043C) gibt es in Windows-1252 nicht; das Zeichen „е“ (U+0435) "
            "gibt es in Windows-1252 nicht";
  }
  text += "\nSollen die übrigen Zeilen importiert werden?";
  QtMessages messages;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* box = mhtest::as<QMessageBox>(w);
    if (!box) {
      w->close();
      return;
    }
    const QRect screen = box->screen()->availableGeometry();
    EXPECT_LE(box->frameGeometry().height(), screen.height());
    EXPECT_LE(box->frameGeometry().width(), screen.width());
    EXPECT_EQ(Utf8ToQString(text), box->text());
    const auto* scroll = box->findChild<QScrollArea*>();
    EXPECT_TRUE(scroll != nullptr &&
                scroll->widget() == box->findChild<QLabel*>(QStringLiteral("qt_msgbox_label")));
    QPushButton* no = nullptr;
    for (auto* b : box->buttons()) {
      if (b->text() == QStringLiteral("&Nein")) no = qobject_cast<QPushButton*>(b);
    }
    // The box is closed whatever was seen, so that a failure does not keep the test waiting.
    if (no == nullptr) {
      ADD_FAILURE() << "no button \"Nein\"";
      box->close();
      return;
    }
    EXPECT_LE(no->mapTo(box, QPoint(0, no->height())).y(), box->height());
    no->click();
  });
  EXPECT_EQ(Answer::No, messages.show(MsgKind::Warning, text, MsgButtons::YesNo));
}

}  // namespace
}  // namespace merkhaus
