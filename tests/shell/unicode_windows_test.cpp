// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include "shell/header_info_dialog.h"
#include "shell/new_datafile_form.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "store/datafile.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

constexpr std::string_view kUnicodeSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";

// Types `text` key by key as a keyboard of that language would (QTest::keyClicks knows only the
// Latin keys).
void Type(QWidget* field, const QString& text) {
  for (const QChar c : text) {
    QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
    QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
    QApplication::sendEvent(field, &press);
    QApplication::sendEvent(field, &release);
  }
}

class UnicodeDataFileWindows : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  Windows windows{t.services, t.dir.path()};
  TOKBottomDlg& dlg = windows.openDataFile();

  // "Neues..." with the form filled by `fill`; the path of the new DataFile.
  std::string Create(const std::string& name, const std::function<void(TForm4&)>& fill) {
    const std::string path = t.dir.file(name);
    t.fileDialogs.answerSave(path);
    t.messages.expect("Soll die Vokabeldatei " + path + " angelegt werden?", Answer::Yes);
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* d = mhtest::as<TOKBottomDlg>(w);
      auto form = mhtest::onNextModal([&](QWidget* w4) { fill(*mhtest::as<TForm4>(w4)); });
      d->Button4->click();
      d->OKBtn->click();
    });
    EXPECT_EQ(path, dlg.chooseDataFile(ChooseMode::NewDataFile));
    EXPECT_TRUE(t.messages.done());
    return path;
  }

  // The kind the DataFile info shows for the DataFile at `path`.
  QString KindShown(const std::string& path) {
    t.lesson.dataFilePath = path;
    t.lesson.dataFileHeader = *ReadHeaderRecord(path);
    QString kind;
    bool shown = false;
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* d = mhtest::as<THeaderInfoDlg>(w);
      shown = d->Label5->isVisibleTo(d);
      kind = d->Label4->text() + QLatin1Char(' ') + d->Label5->text();
      d->OKBtn->click();
    });
    windows.headerInfo().Show(true, false);
    EXPECT_TRUE(shown);
    return kind;
  }
};

// The record 0 written for each kind, byte by byte: the signature tells the kind, the texts are
// Windows-1252 or UTF-8, and the info dialog names the kind.
TEST_F(UnicodeDataFileWindows, NewDataFileOfEitherKind) {
  struct Case {
    const char* file;
    int kind;               // the row chosen in "Zeichensatz", -1 for the default
    const char* typed;      // the name, typed key by key
    std::string nameBytes;  // B1 on disk
    std::string_view signature;
    const char* shown;
  };
  const Case cases[] = {
      {"west.fid", -1, "Straße",
       "Stra\xDF"
       "e",
       mhtest::kDataFileSig, "Zeichensatz: Westeuropäisch (Windows-1252)"},
      {"russisch.fid", 1, "Русский язык", "Русский язык", kUnicodeSig,
       "Zeichensatz: Unicode (alle Sprachen)"},
      {"hebraeisch.fid", 1, "עברית", "עברית", kUnicodeSig, "Zeichensatz: Unicode (alle Sprachen)"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    bool defaultIsWestern = false;
    const std::string path = Create(c.file, [&](TForm4& f) {
      defaultIsWestern =
          f.ComboBox3->currentText() == QStringLiteral("Westeuropäisch (Windows-1252)");
      if (c.kind >= 0) f.ComboBox3->setCurrentIndex(c.kind);
      Type(f.Edit1, QString::fromUtf8(c.typed));
      QTest::keyClicks(f.ComboBox1->lineEdit(), QStringLiteral("Fremd"));
      QTest::keyClicks(f.Edit3, QStringLiteral("Ich"));
      f.Button1->click();
    });
    EXPECT_TRUE(defaultIsWestern);
    const std::vector<mhtest::RawRecord> records = mhtest::ReadRecords(path);
    ASSERT_EQ(1u, records.size());
    EXPECT_EQ(c.nameBytes, mhtest::GetText(records[0], mhtest::kB1));
    EXPECT_EQ(std::string(c.signature), mhtest::GetText(records[0], mhtest::kB3));
    EXPECT_EQ(QString::fromUtf8(c.shown), KindShown(path));
    // The next form starts with the default kind again.
    EXPECT_EQ(0, windows.newDataFile().ComboBox3->currentIndex());
  }
}

// Cyrillic typed for Unicode cannot go into a Windows-1252 DataFile: the learner is told which
// field, and the form stays open until the kind fits.
TEST_F(UnicodeDataFileWindows, TextTheKindCannotHoldIsRefused) {
  t.messages.expect(
      "Das Feld \"Name\" passt nicht zum Zeichensatz \"Westeuropäisch (Windows-1252)\": Es "
      "enthält Zeichen, die dieser Zeichensatz nicht kennt. Wählen Sie \"Unicode (alle "
      "Sprachen)\" oder ändern Sie den Text.",
      Answer::Ok, MsgKind::Information, MsgButtons::Ok);
  QString refused;
  int bytesKept = 0;
  const std::string path = Create("zurueck.fid", [&](TForm4& f) {
    // Windows-1252 (the default) takes no Cyrillic at all.
    Type(f.Edit1, QStringLiteral("Имя"));
    refused = f.Edit1->text();
    f.ComboBox3->setCurrentIndex(1);
    // Unicode counts bytes: 59 is the name's room, 29 Cyrillic letters take 58.
    Type(f.Edit1, QString(40, QChar(0x0416)));
    bytesKept = static_cast<int>(f.Edit1->text().toUtf8().size());
    Type(f.ComboBox1->lineEdit(), QStringLiteral("Русский"));
    QTest::keyClicks(f.Edit3, QStringLiteral("Ich"));
    f.ComboBox3->setCurrentIndex(0);
    f.Button1->click();
    EXPECT_TRUE(f.isVisible()) << "refused";
    f.ComboBox3->setCurrentIndex(1);
    f.Button1->click();
  });
  EXPECT_EQ(QString(), refused);
  EXPECT_EQ(58, bytesKept);
  const std::vector<mhtest::RawRecord> records = mhtest::ReadRecords(path);
  ASSERT_EQ(1u, records.size());
  std::string name;
  for (int i = 0; i < 29; ++i)
    name += "Ж";
  EXPECT_EQ(name, mhtest::GetText(records[0], mhtest::kB1)) << "no more bytes than the field holds";
  EXPECT_EQ("Русский", mhtest::GetText(records[0], mhtest::kA1));
  EXPECT_EQ(std::string(kUnicodeSig), mhtest::GetText(records[0], mhtest::kB3));
}

}  // namespace
}  // namespace merkhaus
