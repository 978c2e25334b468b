// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/vocabulary_list_printer.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/test_context.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Unit;

std::vector<WinString> TextsOf(const PrintPage& page) {
  std::vector<WinString> out;
  for (const auto& s : page)
    if (const auto* t = std::get_if<PrintText>(&s)) out.push_back(t->text);
  return out;
}

std::vector<WinString> W(std::initializer_list<const char*> texts) {
  std::vector<WinString> out;
  for (const char* t : texts)
    out.emplace_back(t);
  return out;
}

// "Drucken" after the DataFile and the lesson were chosen: the main window has set DataFilePath
// and CurUnitID, and the lesson choice has read record 0.
class PrintListTest : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  mhtest::FakeFlows flows;
  VocabularyListPrinter printer{t.mode(flows.bundle())};

  void SetUp() override {
    mhtest::WriteRecords(path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "Anna"),
                                Unit(1, "Tiere", "Haustiere"), Unit(255, "Verben"),
                                Entry6(1, "to go", "", "leave", "gehen", "", "fahren", "irregular"),
                                Entry(255, "run", "rennen"), Entry(1, "cat", "Katze", "", 1),
                                Entry(1, mhtest::Latin1("façade"), "Fassade")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.clock.set(2025, 12, 24);
    // What the mode run before left behind.
    t.lesson.lessonHeader.B1.set(std::string_view("alte Lektion"));
  }

  ~PrintListTest() override { ClearFileFaults(); }
};

TEST_F(PrintListTest, PrintsTheLiveEntriesOfTheLessonUnderItsHeader) {
  t.printDialog.answerPrint();
  printer.printList();
  ASSERT_EQ(1u, t.printDialog.printed.size());
  const PrintDocument& doc = t.printDialog.printed[0];
  EXPECT_EQ("Vokabelliste Tiere", doc.title);
  ASSERT_EQ(1u, doc.pages.size());
  EXPECT_EQ(W({"Merkhaus Version 3.05 - Vokabelliste", "Name:", "Tiere", "Kommentar:", "Haustiere",
               "Druckdatum:", "24.12.2025", "Autor:", "Anna", "to go  ;  leave", "gehen  ;  fahren",
               "fa\xE7"
               "ade",
               "Fassade"}),
            TextsOf(doc.pages[0]));
  EXPECT_EQ((std::vector<std::string>{t.dir.file("vok.pdf")}), t.printDialog.proposedPdfs);
  // The printed lesson is now the current one.
  EXPECT_EQ("Tiere", t.lesson.lessonHeader.B1.view());
}

TEST_F(PrintListTest, NothingIsPrintedOrLoadedWhenTheDialogIsCancelled) {
  t.printDialog.answerCancel();
  printer.printList();
  EXPECT_TRUE(t.printDialog.done());
  EXPECT_TRUE(t.printDialog.printed.empty());
  EXPECT_EQ("alte Lektion", t.lesson.lessonHeader.B1.view());
  EXPECT_TRUE(t.messages.shown().empty());
}

TEST_F(PrintListTest, WithoutALessonNoDialogIsShown) {
  // A DataFile without lessons: the lesson choice said "Keine Lektionen verfügbar!" and chose
  // none. An empty list under the old lesson's name would be wrong.
  t.lesson.unitId = 0;
  printer.printList();
  EXPECT_TRUE(t.printDialog.proposedPdfs.empty());
  EXPECT_TRUE(t.messages.shown().empty());
}

TEST_F(PrintListTest, FailuresAreToldAndNothingIsPrinted) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string message;
    MsgKind kind;
  } cases[] = {
      {"unreadable DataFile",
       [&] {
         InjectFileFault({path, FileFault::At::Open, 0, EIO});
       },
       "IO-Fehler 802!\nDie Datei \"" + path +
           "\" kann nicht geöffnet werden: Ein-/Ausgabefehler des Datenträgers.",
       MsgKind::Error},
      {"lesson deleted since it was chosen", [&] { t.lesson.unitId = 7; },
       "Die gewählte Lektion gibt es in \"" + path + "\" nicht mehr. Es wird nichts gedruckt.",
       MsgKind::Warning},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    t.lesson.unitId = 1;
    c.arrange();
    t.printDialog.answerPrint();
    t.messages.expect(c.message, Answer::Ok, c.kind, MsgButtons::Ok);
    printer.printList();
    ClearFileFaults();
    EXPECT_TRUE(t.printDialog.printed.empty());
    EXPECT_TRUE(t.messages.done());
  }
}

// A list printed into a file says where the file is; a printer needs no word.
TEST_F(PrintListTest, APdfFileIsNamedWhenWritten) {
  const std::string pdf = t.dir.file("vok.pdf");
  t.printDialog.answerPdf(pdf);
  t.messages.expect("Vokabelliste gespeichert: \"" + pdf + "\"", Answer::Ok, MsgKind::Information,
                    MsgButtons::Ok);
  printer.printList();
  EXPECT_EQ(1u, t.printDialog.printed.size());
  EXPECT_TRUE(t.messages.done());
}

TEST_F(PrintListTest, APrinterThatRefusesIsReported) {
  t.printDialog.answerFailing("Der Drucker \"lp\" hat nicht gedruckt.");
  t.messages.expect("Der Drucker \"lp\" hat nicht gedruckt.", Answer::Ok, MsgKind::Error,
                    MsgButtons::Ok);
  printer.printList();
  EXPECT_TRUE(t.printDialog.done());
}

}  // namespace
}  // namespace merkhaus
