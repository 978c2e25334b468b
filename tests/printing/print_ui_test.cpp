// SPDX-License-Identifier: GPL-3.0-or-later
// The printed list through the real Qt path: the PDF is read back with poppler-utils.

#include <gtest/gtest.h>

#include <sys/wait.h>
#include <QFileDialog>
#include <QLineEdit>
#include <QListWidget>
#include <QPrintDialog>
#include <QPushButton>
#include <QRegularExpression>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <sstream>

#include "platform/file_io.h"
#include "platform/qt_print.h"
#include "printing/print_command.h"
#include "shell/lesson_choice.h"
#include "shell/main_window.h"
#include "shell/open_datafile_dialog.h"
#include "shell/start_up.h"
#include "support/modal.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Unit;

// Runs a command line and yields what it wrote on stdout (and its exit status).
std::string Shell(const std::string& command, int* status = nullptr) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return out;
  char buffer[4096];
  std::size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
    out.append(buffer, n);
  const int rc = pclose(pipe);
  if (status) *status = WIFEXITED(rc) ? WEXITSTATUS(rc) : -1;
  return out;
}

std::string Quoted(const std::string& path) {
  return "'" + path + "'";
}

// A lesson of 48 entries (two pages) in a DataFile with author and lesson comment.
std::string WriteLesson(const mhtest::TempDir& dir) {
  const std::string path = dir.file("vok.fid");
  std::vector<mhtest::RawRecord> records{
      Header("Meine Vokabeln", "Englisch", "Deutsch", mhtest::Latin1("Anna Müller")),
      Unit(1, mhtest::Latin1("Straße"), "Kapitel 3"),
      Entry6(1, "to go", "", "leave", "gehen", "", "fahren")};
  for (int i = 2; i <= 47; ++i)
    records.push_back(Entry(1, "word" + std::to_string(i), "Wort" + std::to_string(i)));
  records.push_back(Entry(1, mhtest::Latin1("façade"), mhtest::Latin1("Fassade (ä)")));
  mhtest::WriteRecords(path, records);
  return path;
}

// A word of `pdftotext -bbox` and its top left corner in millimetres.
struct Word {
  double x = -1, y = -1;
};
Word FindWord(const std::string& bbox, const std::string& word, int page = 1) {
  // Pages and words appear in order; skip to the page first.
  std::size_t at = 0;
  for (int p = 0; p < page; ++p) {
    at = bbox.find("<page", at);
    if (at == std::string::npos) return {};
    ++at;
  }
  const QRegularExpression re(
      QString::fromUtf8(R"re(<word xMin="([\d.]+)" yMin="([\d.]+)"[^>]*>%1</word>)re")
          .arg(QRegularExpression::escape(QString::fromStdString(word))));
  const auto m = re.match(QString::fromStdString(bbox.substr(at)));
  if (!m.hasMatch()) return {};
  const double mmPerPt = 25.4 / 72;
  return {m.captured(1).toDouble() * mmPerPt, m.captured(2).toDouble() * mmPerPt};
}

TEST(PrintPdf, WritesTheListAsA4PdfWithLiberationSansEmbedded) {
  mhtest::TempDir dir;
  const std::string fid = WriteLesson(dir);
  const std::string out = dir.file("liste.pdf");
  std::ostringstream err;
  ASSERT_EQ(0, PrintPdfCommand({out, fid, "1"}, err)) << err.str();
  EXPECT_EQ("", err.str());

  const std::string info = Shell("pdfinfo " + Quoted(out));
  EXPECT_TRUE(
      QString::fromStdString(info).contains(QRegularExpression(QStringLiteral("Pages: +2\n"))))
      << info;
  EXPECT_NE(std::string::npos, info.find("(A4)")) << info;
  EXPECT_NE(std::string::npos, info.find("Vokabelliste Straße")) << info;

  // Columns and the synonyms' separators come out as runs of blanks; one is enough here.
  const std::string text =
      QString::fromStdString(Shell("pdftotext -layout " + Quoted(out) + " -"))
          .replace(QRegularExpression(QStringLiteral(" +")), QStringLiteral(" "))
          .toStdString();
  for (const char* expected :
       {"Merkhaus Version 3.05 - Vokabelliste", "Name:", "Straße", "Kommentar:", "Kapitel 3",
        "Druckdatum:", "Autor:", "Anna Müller", "Blatt:", "1/2", "2/2", "to go ; leave",
        "gehen ; fahren", "word47", "Wort47", "façade", "Fassade (ä)"}) {
    EXPECT_NE(std::string::npos, text.find(expected)) << expected << "\n" << text;
  }
  // The 48th entry is alone on the second page.
  const std::size_t secondPage = text.find('\f');
  ASSERT_NE(std::string::npos, secondPage);
  EXPECT_GT(text.find("façade"), secondPage);
  EXPECT_GT(text.find("2/2"), secondPage);
  EXPECT_LT(text.find("word47"), secondPage);

  // Positions: the printable area starts 5 mm inside the page; the steps are in tenths of mm.
  const std::string bbox = Shell("pdftotext -bbox " + Quoted(out) + " -");
  struct Expected {
    const char* word;
    double x, y;  // millimetres from the page's corner
    int page;
  } positions[] = {
      {"Merkhaus", 25, 9, 1},  {"Name:", 25, 17, 1},    {"Kapitel", 65, 23, 1},
      {"to", 25, 50.5, 1},     {"gehen", 115, 50.5, 1}, {"word47", 25, 280.5, 1},
      {"façade", 25, 50.5, 2}, {"2/2", 65, 41, 2},
  };
  for (const auto& p : positions) {
    const Word w = FindWord(bbox, p.word, p.page);
    EXPECT_NEAR(p.x, w.x, 0.5) << p.word;
    // A word's box starts at the font's ascent, the top of the text.
    EXPECT_NEAR(p.y, w.y, 0.5) << p.word;
  }

  // Arial's metric twin is the font in the file, embedded, regular and bold.
  const std::string fonts = Shell("pdffonts " + Quoted(out));
  EXPECT_NE(std::string::npos, fonts.find("LiberationSans ")) << fonts;
  EXPECT_NE(std::string::npos, fonts.find("LiberationSans-Bold")) << fonts;
  std::istringstream lines(fonts);
  std::string line;
  int fontLines = 0;
  while (std::getline(lines, line)) {
    if (line.empty() || line.rfind("name", 0) == 0 || line.rfind("----", 0) == 0) continue;
    ++fontLines;
    EXPECT_TRUE(line.find("LiberationSans") != std::string::npos ||
                line.find("Arial") != std::string::npos)
        << line;
    EXPECT_NE(std::string::npos, line.find(" yes ")) << "embedded: " << line;
  }
  EXPECT_GE(fontLines, 2);
}

TEST(PrintPdf, FailuresAreToldAndLeaveTheOldFile) {
  mhtest::TempDir dir;
  const std::string fid = WriteLesson(dir);
  const std::string out = dir.file("liste.pdf");
  const std::string missing = dir.file("fehlt.fid");
  const std::string text = dir.file("text.fid");
  mhtest::WriteBytes(text, std::string(700, 'x'));
  struct Case {
    std::vector<std::string> args;
    std::optional<FileFault> fault;
    std::string message;
  } cases[] = {
      {{out, fid}, {}, "Aufruf: merkhaus --print-pdf AUSGABE.pdf DATEI.fid UNITID\n"},
      {{out, fid, "256"}, {}, "Ungültige UnitID „256“: erlaubt sind die Zahlen 1 bis 255.\n"},
      {{out, fid, "2"}, {}, "Die Lektion mit der UnitID 2 gibt es in \"" + fid + "\" nicht.\n"},
      {{out, missing, "1"}, {}, "Die Datei \"" + missing + "\" ist nicht auffindbar!\n"},
      {{out, text, "1"},
       {},
       "Kein Merkhaus ]|[ Datafile!\nDie Datei \"" + text + "\" kann nicht ausgewertet werden.\n"},
      {{fid, fid, "1"},
       {},
       "Die PDF-Datei \"" + fid + "\" ist das DataFile selbst; es wird nicht überschrieben.\n"},
      {{out, fid, "1"},
       FileFault{out, FileFault::At::Write, 100, ENOSPC},
       "Die Vokabelliste konnte nicht als PDF-Datei gespeichert werden!\nDie Datei \"" + out +
           "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem Datenträger.\n"},
  };
  const std::string fidBytes = mhtest::ReadBytes(fid);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    mhtest::WriteBytes(out, "alt");
    if (c.fault) InjectFileFault(*c.fault);
    std::ostringstream err;
    EXPECT_EQ(1, PrintPdfCommand(c.args, err));
    ClearFileFaults();
    EXPECT_EQ(c.message, err.str());
    EXPECT_EQ("alt", mhtest::ReadBytes(out));
    EXPECT_EQ(fidBytes, mhtest::ReadBytes(fid));
  }
  // No temporary file is left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(3, files);
}

TEST(PrintPdf, TheProgramNeedsNoDisplay) {
  mhtest::TempDir dir;
  const std::string fid = WriteLesson(dir);
  const std::string out = dir.file("liste.pdf");
  const std::string env = "env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM ";
  int status = -1;
  Shell(env + Quoted(MERKHAUS_BIN) + " --print-pdf " + Quoted(out) + " " + Quoted(fid) + " 1",
        &status);
  EXPECT_EQ(0, status);
  EXPECT_EQ("%PDF", mhtest::ReadBytes(out).substr(0, 4));

  const std::string errors = Shell(env + Quoted(MERKHAUS_BIN) + " --print-pdf " + Quoted(out) +
                                       " " + Quoted(dir.file("fehlt.fid")) + " 1 2>&1",
                                   &status);
  EXPECT_EQ(1, status);
  EXPECT_EQ("Die Datei \"" + dir.file("fehlt.fid") + "\" ist nicht auffindbar!\n", errors);
}

TEST(QtPrintDialog, WithoutAPrinterThePdfFileIsAskedFor) {
  mhtest::TempDir dir;
  QtPrintDialog dialog([] { return QStringList(); });
  const std::string proposed = dir.file("vok.pdf");
  const std::string chosen = dir.file("Tiere");
  QString title, shownFile;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
                  auto* d = mhtest::as<QFileDialog>(w);
                  title = d->windowTitle();
                  shownFile = d->selectedFiles().value(0);
                  // Typed into the file name field, as the learner does.
                  d->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"))
                      ->setText(QString::fromStdString(chosen));
                  static_cast<QDialog*>(d)->accept();
                }).then([&](QWidget* w) { mhtest::as<QFileDialog>(w)->reject(); });
  const std::unique_ptr<PrintTarget> target = dialog.choosePrinter(proposed);
  ASSERT_NE(nullptr, target);
  EXPECT_EQ(NoPrinterSaveTitle(), title);
  EXPECT_EQ(QString::fromStdString(proposed), shownFile);
  std::string error;
  const PrintDocument doc{
      "T", {{PrintText{200, 40, "Arial", 9, FontWeight::Regular, WinString("Hallo")}}}};
  ASSERT_TRUE(target->print(doc, error)) << error;
  EXPECT_EQ("%PDF", mhtest::ReadBytes(chosen + ".pdf").substr(0, 4)) << "with its extension";
  EXPECT_EQ(nullptr, dialog.choosePrinter(proposed)) << "cancelled";
}

TEST(QtPrintDialog, WithAPrinterTheSystemsDialogIsShown) {
  QtPrintDialog dialog([] { return QStringList{QStringLiteral("lp")}; });
  bool shown = false;
  auto driven = mhtest::onNextModal([&](QWidget* w) {
    shown = mhtest::as<QPrintDialog>(w) != nullptr;
    static_cast<QDialog*>(w)->reject();
  });
  EXPECT_EQ(nullptr, dialog.choosePrinter("/tmp/vok.pdf"));
  EXPECT_TRUE(shown);
}

TEST(PrintFromTheMainWindow, DruckenChoosesDataFileAndLessonAndKeepsTheWindowVisible) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("vok.fid");
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Unit(255, "Verben"),
                              Entry(255, "run", "rennen"), Entry(1, "cat", "Katze")});
  Windows windows(t.services, t.dir.path());
  TForm1& main = windows.main();
  main.show();
  main.Button7->click();
  bool mainVisible = false;
  t.printDialog.onShow = [&] { mainVisible = main.isVisible(); };
  bool mayCreateDataFile = false, mayCreateLesson = true;
  const auto choose = [&](int lesson) {
    return mhtest::onNextModal([&](QWidget* w) {
             auto* d = mhtest::as<TOKBottomDlg>(w);
             mayCreateDataFile = d->Button4->isEnabled();
             d->Edit1->setText(QString::fromStdString(path));
             d->OKBtn->click();
           })
        .then([&, lesson](QWidget* w) {
          auto* f = mhtest::as<TForm6>(w);
          mayCreateLesson = f->Button2->isEnabled();
          f->ListBox1->setCurrentRow(lesson);
          f->Button1->click();
        });
  };
  {
    auto driven = choose(1);
    t.printDialog.answerPrint();
    main.Button8->click();
  }
  EXPECT_TRUE(mayCreateDataFile) << "\"Neues...\" is offered";
  EXPECT_FALSE(mayCreateLesson);
  EXPECT_TRUE(mainVisible);
  ASSERT_EQ(1u, t.printDialog.printed.size());
  EXPECT_EQ("Vokabelliste Verben", t.printDialog.printed[0].title);
  EXPECT_EQ(255, t.lesson.unitId);

  // "Abbrechen" in the print dialog prints nothing.
  {
    auto driven = choose(0);
    t.printDialog.answerCancel();
    main.Button8->click();
  }
  EXPECT_TRUE(t.printDialog.done());
  EXPECT_EQ(1u, t.printDialog.printed.size());
  EXPECT_TRUE(main.isVisible());
  EXPECT_TRUE(t.messages.shown().empty());
}

}  // namespace
}  // namespace merkhaus
