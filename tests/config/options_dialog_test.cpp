// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/options_dialog.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSpinBox>
#include <QTabWidget>
#include <QTest>
#include <filesystem>

#include "config/radio_group.h"
#include "shell/main_window.h"
#include "shell/start_up.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::WriteBytes;

// Merkhaus.cfg's lines with some replaced (line number, text).
std::string ConfigWith(std::initializer_list<std::pair<int, std::string>> changes) {
  std::string text = ConfigFileText(Options{});
  std::vector<std::string> lines;
  for (std::size_t start = 0; start < text.size();) {
    const auto end = text.find("\r\n", start);
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  for (const auto& [line, value] : changes)
    lines[line - 1] = value;
  std::string out;
  for (const auto& l : lines)
    out += l + "\r\n";
  return out;
}

// Opens the dialog modally, runs `steps` inside it, and returns after it closed.
void RunDialog(TOptionsDLG& dlg, const std::function<void(TOptionsDLG&)>& steps) {
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    auto* d = mhtest::as<TOptionsDLG>(w);
    if (!d) {
      w->close();
      return;
    }
    steps(*d);
    if (d->isVisible()) d->CancelBtn->click();
  });
  dlg.exec();
}

TEST(OptionsDialog, PagesAndCaptions) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  EXPECT_EQ(QStringLiteral("Optionen"), dlg.windowTitle());
  const QStringList titles = {QStringLiteral("Allgemein"),  QStringLiteral("Üben"),
                              QStringLiteral("Testen"),     QStringLiteral("Algorithmus"),
                              QStringLiteral("Wörterbuch"), QStringLiteral("Sonderzeichen"),
                              QStringLiteral("Wiederholen")};
  const QStringList names = {QStringLiteral("Allgemein"),  QStringLiteral("TabSheet1"),
                             QStringLiteral("TabSheet3"),  QStringLiteral("TabSheet2"),
                             QStringLiteral("dictionary"), QStringLiteral("Sonderzeichen"),
                             QStringLiteral("reviewPage")};
  ASSERT_EQ(7, dlg.PageControl1->count());
  for (int i = 0; i < 7; ++i) {
    EXPECT_EQ(titles[i], dlg.PageControl1->tabText(i));
    EXPECT_EQ(names[i], dlg.PageControl1->widget(i)->objectName());
  }
  EXPECT_EQ(dlg.Allgemein, dlg.PageControl1->currentWidget());
  EXPECT_EQ(5, dlg.openreact->count());
  EXPECT_EQ(QStringLiteral("Eingeben"), dlg.openreact->button(4)->text());
  EXPECT_EQ(QStringLiteral("völlig zufällig (nicht zu empfehlen)"),
            dlg.algorithmus->button(3)->text());
  EXPECT_EQ(QStringLiteral("Bei Eingabe von \"?\" ==> Lösung"), dlg.FragezeichenLosung->text());
  EXPECT_EQ(QStringLiteral("Auto-'weiter'"), dlg.GroupBox2->title());
  EXPECT_EQ(QStringLiteral("Eintragen"), dlg.Button2->text());
  EXPECT_EQ(1, dlg.soz42->maxLength());
  EXPECT_TRUE(dlg.OKBtn->isDefault());
  EXPECT_FALSE(dlg.windowFlags() & Qt::WindowCloseButtonHint);
}

TEST(OptionsDialog, SpinEditsKeepTheirRanges) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  const std::tuple<QSpinBox*, int, int> spins[] = {{dlg.KickoutVal, 1, 255},
                                                   {dlg.Neuversuche, 1, 16},
                                                   {dlg.Losungstrafe, 1, 16},
                                                   {dlg.Autoweiter, 1, 120}};
  for (const auto& [spin, lo, hi] : spins) {
    EXPECT_EQ(lo, spin->minimum()) << spin->objectName().toStdString();
    EXPECT_EQ(hi, spin->maximum()) << spin->objectName().toStdString();
  }
  EXPECT_EQ(2, dlg.KickoutVal->value());
  dlg.KickoutVal->selectAll();
  QTest::keyClicks(dlg.KickoutVal, QStringLiteral("300"));
  EXPECT_LE(dlg.KickoutVal->value(), 255);
  EXPECT_EQ(dlg.KickoutVal->value(), t.options.KickoutVal) << "the live option follows";
  dlg.KickoutVal->setValue(0);
  EXPECT_EQ(1, t.options.KickoutVal);
}

// The review's settings have no line in Merkhaus.cfg: they go to Merkhaus3.conf, which keeps
// them beside it, and Merkhaus.cfg stays as it was.
TEST(OptionsDialog, ReviewSettingsGoToTheirOwnFile) {
  mhtest::TestContext t;
  t.options.more.newEntriesPerDay = 25;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  RunDialog(dlg, [&](TOptionsDLG& d) {
    EXPECT_EQ(25, d.newEntriesPerDay->value());
    EXPECT_EQ(90, d.desiredRetention->value());
    d.desiredRetention->setValue(60);  // below the range
    EXPECT_EQ(70, t.options.more.desiredRetentionPercent);
    d.desiredRetention->setValue(85);
    d.newEntriesPerDay->setValue(0);
    d.OKBtn->click();
  });
  Options without = t.options;
  without.more = MoreOptions{};
  EXPECT_EQ(ConfigFileText(without), ReadBytes(t.dir.file("Merkhaus.cfg")));
  const std::string more = ReadBytes(t.dir.file("Merkhaus3.conf"));
  EXPECT_NE(std::string::npos, more.find("\nreview.retention_percent=85\n")) << more;
  EXPECT_NE(std::string::npos, more.find("\nreview.new_per_day=0\n")) << more;
}

TEST(OptionsDialog, ControlsEditTheLiveOptionsAndOkSavesThem) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  RunDialog(dlg, [&](TOptionsDLG& d) {
    d.Grossklein->click();
    d.Autoweiter->setValue(9);
    d.algorithmus->button(2)->click();
    d.Edit1->clear();
    mhtest::typeText(d.Edit1, QStringLiteral("/daten/Wörter.fid"));
    EXPECT_FALSE(t.options.Grossklein) << "in force before OK";
    EXPECT_EQ(2, t.options.algorithmus);
    d.OKBtn->click();
  });
  const std::string file = ReadBytes(t.dir.file("Merkhaus.cfg"));
  EXPECT_EQ(ConfigWith({{11, Latin1("/daten/Wörter.fid")},
                        {32, "FALSE"},
                        {41, "9"},
                        {59, "2"},
                        {71, "TRUE"},
                        {72, "TRUE"},
                        {73, "TRUE"},
                        {74, "TRUE"},
                        {75, "TRUE"},
                        {76, "TRUE"},
                        {77, "TRUE"}}),
            file);
}

TEST(OptionsDialog, AbbrechenBringsBackTheFilesValues) {
  mhtest::TestContext t;
  WriteBytes(t.dir.file("Merkhaus.cfg"), ConfigWith({{37, "7"}, {26, "FALSE"}}));
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  const std::string before = ReadBytes(t.dir.file("Merkhaus.cfg"));
  EXPECT_EQ(7, t.options.KickoutVal);
  RunDialog(dlg, [&](TOptionsDLG& d) {
    d.KickoutVal->setValue(40);
    d.Study_SpaceCut->click();
    d.openreact->button(3)->click();
    d.soz1->setText(QStringLiteral("x"));
    EXPECT_EQ(40, t.options.KickoutVal);
    d.CancelBtn->click();
  });
  EXPECT_EQ(7, t.options.KickoutVal);
  EXPECT_FALSE(t.options.Study_SpaceCut);
  EXPECT_EQ(0, t.options.openreact);
  EXPECT_EQ(7, dlg.KickoutVal->value());
  EXPECT_FALSE(dlg.Study_SpaceCut->isChecked());
  EXPECT_TRUE(dlg.openreact->button(0)->isChecked());
  EXPECT_EQ(QStringLiteral("ç"), dlg.soz1->text());
  EXPECT_EQ(before, ReadBytes(t.dir.file("Merkhaus.cfg")));

  // Escape is "Abbrechen" too, and a file deleted meanwhile is written with the old values.
  std::filesystem::remove(t.dir.file("Merkhaus.cfg"));
  RunDialog(dlg, [&](TOptionsDLG& d) {
    d.KickoutVal->setValue(50);
    QTest::keyClick(&d, Qt::Key_Escape);
  });
  EXPECT_EQ(7, t.options.KickoutVal);
  EXPECT_EQ(ConfigWith({{37, "7"},
                        {26, "FALSE"},
                        {71, "TRUE"},
                        {72, "TRUE"},
                        {73, "TRUE"},
                        {74, "TRUE"},
                        {75, "TRUE"},
                        {76, "TRUE"},
                        {77, "TRUE"}}),
            ReadBytes(t.dir.file("Merkhaus.cfg")));
}

TEST(OptionsDialog, FelderRule) {
  mhtest::TestContext t;
  // A file from a learner who searched only "Synonym B1", but whose Felder line was lost.
  WriteBytes(t.dir.file("Merkhaus.cfg"), ConfigWith({{70, "FALSE"},
                                                     {71, "FALSE"},
                                                     {72, "FALSE"},
                                                     {73, "FALSE"},
                                                     {74, "TRUE"},
                                                     {75, "FALSE"},
                                                     {76, "FALSE"},
                                                     {77, "FALSE"}}));
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  QCheckBox* const fields[] = {dlg.CheckBox1, dlg.CheckBox2, dlg.CheckBox3, dlg.CheckBox4,
                               dlg.CheckBox5, dlg.CheckBox6, dlg.CheckBox7};
  const auto allSearched = [&] {
    return t.options.searchB1 && t.options.searchB2 && t.options.searchB3 && t.options.searchA1 &&
           t.options.searchA2 && t.options.searchA3 && t.options.searchComment;
  };
  EXPECT_TRUE(allSearched()) << "applied once at start-up";
  for (auto* box : fields)
    EXPECT_TRUE(box->isChecked());
  for (int i = 0; i < 6; ++i)
    EXPECT_FALSE(fields[i]->isEnabled());
  EXPECT_TRUE(dlg.CheckBox7->isEnabled());

  RunDialog(dlg, [&](TOptionsDLG& d) {
    d.PageControl1->setCurrentWidget(d.dictionary);
    d.Felder->click();
    for (auto* box :
         {d.CheckBox1, d.CheckBox2, d.CheckBox3, d.CheckBox5, d.CheckBox6, d.CheckBox7}) {
      EXPECT_TRUE(box->isEnabled());
      box->click();
    }
    EXPECT_TRUE(t.options.Felder);
    EXPECT_TRUE(t.options.searchA1);
    EXPECT_FALSE(t.options.searchB1);
    EXPECT_FALSE(t.options.searchComment);
    d.Felder->click();
    EXPECT_TRUE(allSearched()) << "unchecking Felder checks all seven again";
    for (auto* box : fields)
      EXPECT_TRUE(box->isChecked());
    EXPECT_FALSE(d.CheckBox1->isEnabled());
    d.OKBtn->click();
  });
}

TEST(OptionsDialog, DependentControlsFollowTheirSwitch) {
  mhtest::TestContext t;
  WriteBytes(t.dir.file("Merkhaus.cfg"), ConfigWith({{40, "FALSE"}, {33, "FALSE"}}));
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  EXPECT_FALSE(dlg.GroupBox2->isEnabled()) << "as loaded";
  EXPECT_FALSE(dlg.Autoweiterchbx->isEnabled());
  EXPECT_FALSE(dlg.KnowOnlyOneVoc->isEnabled());
  EXPECT_TRUE(dlg.testenKnowOnlyOneVoc->isEnabled());
  dlg.AutoWeiterAkt->click();
  EXPECT_TRUE(dlg.GroupBox2->isEnabled());
  EXPECT_TRUE(dlg.Autoweiterchbx->isEnabled());
  dlg.AutoWeiterAkt->click();
  EXPECT_FALSE(dlg.GroupBox2->isEnabled());
  dlg.Kommatareg->click();
  EXPECT_TRUE(dlg.KnowOnlyOneVoc->isEnabled());
  dlg.testenKommatareg->click();
  EXPECT_FALSE(dlg.testenKnowOnlyOneVoc->isEnabled());
  EXPECT_TRUE(dlg.KnowOnlyOneVoc->isEnabled());
}

TEST(OptionsDialog, BrowsingForTheStandardDataFile) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  const std::string missing = t.dir.file("fehlt.fid");
  const std::string good = t.dir.file("Wörter.fid");
  WriteBytes(good, "");
  t.fileDialogs.answerOpen(missing).answerOpen(good);
  t.messages.expect("Datei \"" + missing + "\" nicht vorhanden!", Answer::Ok, MsgKind::Warning,
                    MsgButtons::Ok);
  dlg.Button1->click();
  EXPECT_EQ(Latin1(good), t.options.StdDF);
  EXPECT_EQ(QString::fromStdString(good), dlg.Edit1->text());
  ASSERT_EQ(2u, t.fileDialogs.openRequests.size());
  EXPECT_EQ("DataFile (*.fid)|*.fid|Alle (*.*)|*.*", t.fileDialogs.openRequests[0].filter);
  EXPECT_EQ(missing, t.fileDialogs.openRequests[1].initialPath);

  // Cancelled after a missing file: StdDF keeps the last path.
  t.fileDialogs.answerOpen(missing).answerOpen(std::nullopt);
  t.messages.expect("Datei \"" + missing + "\" nicht vorhanden!");
  dlg.Button1->click();
  EXPECT_EQ(missing, t.options.StdDF);

  // A path that Merkhaus.cfg cannot hold is not taken.
  const std::string greek = t.dir.file("Λέξεις.fid");
  WriteBytes(greek, "");
  t.fileDialogs.answerOpen(greek).answerOpen(std::nullopt);
  t.messages.expect("Der Pfad \"" + greek +
                    "\" enthält Zeichen, die Merkhaus nicht speichern kann!");
  dlg.Button1->click();
  EXPECT_EQ(missing, t.options.StdDF);
  EXPECT_TRUE(t.messages.done());
}

TEST(OptionsDialog, EintragenWritesTheSpecialCharacters) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  EXPECT_EQ(QStringLiteral("ç"), dlg.soz1->text());
  EXPECT_EQ(QStringLiteral("Æ"), dlg.soz22->text());
  EXPECT_TRUE(dlg.soz3->text().isEmpty());
  dlg.soz1->clear();
  dlg.soz12->clear();
  dlg.soz2->setText(QStringLiteral("é"));
  dlg.soz22->setText(QStringLiteral("É"));
  dlg.Button2->click();
  EXPECT_EQ(Latin1("éÉ\r\n"), ReadBytes(t.dir.file("Merkhaus.soz")));
  EXPECT_EQ(QStringLiteral("é"), dlg.soz1->text()) << "F6's pair moved up to F5";
  EXPECT_EQ(QStringLiteral("É"), dlg.soz12->text());
  EXPECT_TRUE(dlg.soz2->text().isEmpty());
  EXPECT_EQ(std::optional<char>('\xE9'), t.specialChars.keys[0].normal);
  EXPECT_EQ(std::nullopt, t.specialChars.keys[1].normal);
}

TEST(OptionsDialog, OpensOnThePageLastActiveAndHasHelp) {
  mhtest::TestContext t;
  TOptionsDLG dlg(t.options, t.specialChars, t.messages, t.fileDialogs, t.help, t.dir.path());
  RunDialog(dlg, [&](TOptionsDLG& d) {
    d.PageControl1->setCurrentWidget(d.TabSheet3);
    QTest::keyClick(d.OKBtn, Qt::Key_F1);
    d.OKBtn->click();
  });
  QWidget* page = nullptr;
  RunDialog(dlg, [&](TOptionsDLG& d) { page = d.PageControl1->currentWidget(); });
  EXPECT_EQ(dlg.TabSheet3, page);
  EXPECT_EQ(std::vector<int>{10}, t.help.topics);
}

TEST(StartUp, CreatesAMissingConfigFileAndReadsAnExistingOne) {
  {
    mhtest::TestContext t;
    Windows windows(t.services, t.dir.path());
    EXPECT_EQ(ConfigFileText(Options{}), ReadBytes(t.dir.file("Merkhaus.cfg")));
    EXPECT_TRUE(t.options.searchA1) << "the Felder rule ran";
    EXPECT_EQ(std::optional<char>('\xE7'), t.specialChars.keys[0].normal);
  }
  {
    mhtest::TestContext t;
    WriteBytes(t.dir.file("Merkhaus.cfg"), ConfigWith({{15, "1"}, {37, "12"}}));
    WriteBytes(t.dir.file("Merkhaus.soz"), "aA\r\n");
    Windows windows(t.services, t.dir.path());
    EXPECT_EQ(1, t.options.openreact) << "read before the command line is handled";
    EXPECT_EQ(12, t.options.KickoutVal);
    EXPECT_EQ(std::optional<char>('A'), t.specialChars.keys[0].shifted);

    // "Optionen" in the main window shows the dialog.
    TForm1& f = windows.main();
    f.show();
    f.Button7->click();
    auto driven = mhtest::onNextModal([&](QWidget* w) {
      auto* d = mhtest::as<TOptionsDLG>(w);
      if (d) d->CancelBtn->click();
    });
    f.Button9->click();
  }
}

}  // namespace
}  // namespace merkhaus
