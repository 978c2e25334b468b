#include "printing/unit_list_printer.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "store/datafile.h"
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
class PrintUnitListTest : public ::testing::Test {
 protected:
  mhtest::TestContext t;
  std::string path = t.dir.file("vok.fid");
  UnitListPrinter printer{t.services, [] { return std::string("24.12.2025"); }};

  void SetUp() override {
    mhtest::WriteRecords(
        path, {Header("Meine Vokabeln", "Englisch", "Deutsch", "Anna"),
               Unit(1, "Tiere", "Haustiere"), Unit(255, "Verben"),
               Entry6(1, "to go", "", "leave", "gehen", "", "fahren"), Entry(255, "run", "rennen"),
               Entry(1, "cat", "Katze", "", 1), Entry(1, mhtest::Latin1("façade"), "Fassade")});
    t.shared->DataFilePath = path;
    t.shared->CurUnitID = 1;
    ASSERT_TRUE(ReadHeaderRecord(path, t.shared->DataFileHeader));
    // What the mode run before left behind.
    t.shared->CurUnit.B1.set(std::string_view("alte Lektion"));
    t.shared->VocCount = 1;
  }

  ~PrintUnitListTest() override { ClearFileFaults(); }
};

TEST_F(PrintUnitListTest, PrintsTheLiveEntriesOfTheLessonUnderItsHeader) {
  t.printDialog.answerPrint();
  printer.PrintUnitList();
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
  // The printed lesson is now the loaded one.
  EXPECT_EQ(2, t.shared->VocCount);
  EXPECT_EQ("Tiere", t.shared->CurUnit.B1.view());
  EXPECT_EQ(0, t.shared->Cancelled);
}

TEST_F(PrintUnitListTest, NothingIsPrintedOrLoadedWhenTheDialogIsCancelled) {
  t.printDialog.answerCancel();
  printer.PrintUnitList();
  EXPECT_TRUE(t.printDialog.done());
  EXPECT_TRUE(t.printDialog.printed.empty());
  EXPECT_EQ(1, t.shared->VocCount);
  EXPECT_TRUE(t.messages.shown().empty());
}

TEST_F(PrintUnitListTest, WithoutALessonNoDialogIsShown) {
  // A DataFile without lessons: the lesson choice said "Keine Lektionen verfügbar!" and chose
  // none. An empty list under the old lesson's name would be wrong.
  t.shared->CurUnitID = 0;
  printer.PrintUnitList();
  EXPECT_TRUE(t.printDialog.proposedPdfs.empty());
  EXPECT_TRUE(t.messages.shown().empty());
}

TEST_F(PrintUnitListTest, FailuresAreToldAndNothingIsPrinted) {
  struct Case {
    const char* name;
    std::function<void()> arrange;
    std::string message;
    MsgKind kind;
    bool cancelled;
  } cases[] = {
      {"unreadable DataFile",
       [&] {
         InjectFileFault({path, FileFault::At::Open, 0, EIO});
       },
       "IO-Fehler 802!\nDie Datei \"" + path +
           "\" kann nicht geöffnet werden: Ein-/Ausgabefehler des Datenträgers.",
       MsgKind::Error, true},
      {"lesson deleted since it was chosen", [&] { t.shared->CurUnitID = 7; },
       "Die gewählte Lektion gibt es in \"" + path + "\" nicht mehr. Es wird nichts gedruckt.",
       MsgKind::Warning, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    t.shared->CurUnitID = 1;
    t.shared->Cancelled = 0;
    c.arrange();
    t.printDialog.answerPrint();
    t.messages.expect(c.message, Answer::Ok, c.kind, MsgButtons::Ok);
    printer.PrintUnitList();
    ClearFileFaults();
    EXPECT_TRUE(t.printDialog.printed.empty());
    EXPECT_EQ(c.cancelled, t.shared->Cancelled == 1);
    EXPECT_TRUE(t.messages.done());
  }
}

TEST_F(PrintUnitListTest, APrinterThatRefusesIsReported) {
  t.printDialog.answerFailing("Der Drucker \"lp\" hat nicht gedruckt.");
  t.messages.expect("Der Drucker \"lp\" hat nicht gedruckt.", Answer::Ok, MsgKind::Error,
                    MsgButtons::Ok);
  printer.PrintUnitList();
  EXPECT_TRUE(t.printDialog.done());
}

TEST(PrintUnitListOfManyEntries, PrintsAtMostTheFirst255OnSixPages) {
  mhtest::TestContext t;
  const std::string path = t.dir.file("gross.fid");
  std::vector<mhtest::RawRecord> records{Header("G"), Unit(1, "Viele")};
  for (int i = 0; i < 300; ++i)
    records.push_back(Entry(1, "w" + std::to_string(i), "x"));
  mhtest::WriteRecords(path, records);
  t.shared->DataFilePath = path;
  t.shared->CurUnitID = 1;
  t.printDialog.answerPrint();
  UnitListPrinter printer(t.services, [] { return std::string("d"); });
  printer.PrintUnitList();
  ASSERT_EQ(1u, t.printDialog.printed.size());
  const auto& pages = t.printDialog.printed[0].pages;
  ASSERT_EQ(6u, pages.size());
  const auto last = TextsOf(pages[5]);
  // Top line, name, date, "Blatt:" with 6/6, then the entries.
  ASSERT_EQ(7u + 2 * 20, last.size());
  EXPECT_EQ(WinString("6/6"), last[6]);
  EXPECT_EQ(WinString("w235"), last[7]) << "page 6 starts with entry 236";
  EXPECT_EQ(WinString("w254"), last[last.size() - 2]);
}

TEST(ReadUnitListDocument, ChecksTheFileAndTheLesson) {
  mhtest::TestContext t;
  const std::string good = t.dir.file("vok.fid");
  mhtest::WriteRecords(
      good, {Header("V", "Englisch", "Deutsch", "Anna"), Unit(3, "Drei"), Entry(3, "one", "eins")});
  const std::string text = t.dir.file("text.fid");
  mhtest::WriteBytes(text, std::string(700, 'x'));
  const std::string missing = t.dir.file("fehlt.fid");
  struct Case {
    std::string path;
    std::uint8_t unit;
    std::string message;
  } cases[] = {
      {missing, 3, "Die Datei \"" + missing + "\" ist nicht auffindbar!"},
      {text, 3,
       "Kein Merkhaus ]|[ Datafile!\nDie Datei \"" + text + "\" kann nicht ausgewertet werden."},
      {good, 4, "Die Lektion mit der UnitID 4 gibt es in \"" + good + "\" nicht."},
      {t.dir.path().string(), 3,
       "Fehler beim öffnen der Datei als Textfile!\nDie Datei \"" + t.dir.path().string() +
           "\" kann nicht geöffnet werden: das ist ein Ordner."},
  };
  for (const auto& c : cases) {
    t.messages.expect(c.message);
    EXPECT_FALSE(ReadUnitListDocument(c.path, c.unit, "d", t.messages)) << c.path;
    EXPECT_TRUE(t.messages.done()) << c.path;
  }
  const auto doc = ReadUnitListDocument(good, 3, "1.1.2026", t.messages);
  ASSERT_TRUE(doc);
  ASSERT_EQ(1u, doc->pages.size());
  EXPECT_EQ(W({"Merkhaus Version 3.05 - Vokabelliste", "Name:", "Drei", "Druckdatum:", "1.1.2026",
               "Autor:", "Anna", "one", "eins"}),
            TextsOf(doc->pages[0]));
}

}  // namespace
}  // namespace merkhaus
