#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

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

TEST(QtText, FiltersInQtForm) {
  EXPECT_EQ(QStringLiteral("DataFile (*.fid);;Alle (*.*)"),
            ToQtFilter("DataFile (*.fid)|*.fid|Alle (*.*)|*.*"));
  EXPECT_EQ(QStringLiteral("Texdateien (*.txt);;Alle (*.*)"),
            ToQtFilter("Texdateien (*.txt)|*.txt|Alle (*.*)|*.*"));
}

struct BoxCase {
  MsgKind kind;
  MsgButtons buttons;
  QMessageBox::Icon icon;
  QStringList captions;
  int press;  // index of the caption pressed
  Answer answer;
};

TEST(QtMessages, ShowsGermanButtonsAndTheKindsIcon) {
  const BoxCase cases[] = {
      {MsgKind::Error,
       MsgButtons::Ok,
       QMessageBox::Critical,
       {QStringLiteral("OK")},
       0,
       Answer::Ok},
      {MsgKind::Warning,
       MsgButtons::Yes,
       QMessageBox::Warning,
       {QStringLiteral("Ja")},
       0,
       Answer::Yes},
      {MsgKind::Confirmation,
       MsgButtons::YesNo,
       QMessageBox::Question,
       {QStringLiteral("Ja"), QStringLiteral("Nein")},
       1,
       Answer::No},
      {MsgKind::Information,
       MsgButtons::YesNoCancel,
       QMessageBox::Information,
       {QStringLiteral("Ja"), QStringLiteral("Nein"), QStringLiteral("Abbrechen")},
       2,
       Answer::Cancel},
      {MsgKind::Warning,
       MsgButtons::YesNo,
       QMessageBox::Warning,
       {QStringLiteral("Ja"), QStringLiteral("Nein")},
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
      EXPECT_EQ(c.icon, box->icon());
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

}  // namespace
}  // namespace merkhaus
