// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/kvtml_transfer.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "transfer_test_support.h"

namespace merkhaus {
namespace {

using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::ReadRecords;
using mhtest::Unit;
using mhtest::WriteBytes;
using mhtest::WriteRecords;

std::string Lines(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (auto l : lines)
    (text += l) += "\n";
  return text;
}

std::string Entry(int id, std::string_view t0, std::string_view t1, std::string_view c0 = "",
                  std::string_view c1 = "") {
  auto translation = [](int n, std::string_view text, std::string_view comment) {
    std::string t =
        "<translation id=\"" + std::to_string(n) + "\"><text>" + std::string(text) + "</text>";
    if (!comment.empty()) t += "<comment>" + std::string(comment) + "</comment>";
    return t + "</translation>";
  };
  return "<entry id=\"" + std::to_string(id) + "\">" + translation(0, t0, c0) +
         translation(1, t1, c1) + "</entry>";
}

class KvtmlImport : public ::testing::Test {
 protected:
  void SetUp() override { WriteRecords(path, {Header("V"), Unit(1, "Tiere")}); }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string file = dir.file("wortschatz.kvtml");
  mhtest::ScriptedMessages msgs;
};

// Top-level containers are lessons, nested ones belong to them, loose entries get a lesson of
// their own; translation 0 is the foreign side unless swapped.
TEST_F(KvtmlImport, LessonsFromContainers) {
  WriteBytes(file, Lines({
                       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",                       // 1
                       "<kvtml version=\"2.0\">",                                          // 2
                       "<information><title>Mein Wortschatz</title></information>",        // 3
                       "<entries>",                                                        // 4
                       Entry(0, "dog; hound", "Hund", "bellt", "Vierbeiner"),              // 5
                       Entry(1, "cat", "Katze &amp; Kater", "", "miaut"),                  // 6
                       Entry(2, "house", "Haus"),                                          // 7
                       Entry(3, "tree", "<![CDATA[Baum <groß>]]>"),                        // 8
                       Entry(4, "loose", "lose"),                                          // 9
                       "</entries>",                                                       // 10
                       "<lessons>",                                                        // 11
                       "<container><name>Tiere</name><entry id=\"1\"/>",                   // 12
                       "<container><name>Hunde</name><entry id=\"0\"/><entry id=\"1\"/>",  // 13
                       "</container></container>",                                         // 14
                       "<container><name>Leer</name><container/></container>",             // 15
                       "<container><entry id=\"2\"/>",                                     // 16
                       "<entry id=\"99\"/></container>",                                   // 17
                       "<container><name> Tiere </name><entry id=\"3\"/></container>",     // 18
                       "</lessons>",                                                       // 19
                       "</kvtml>",                                                         // 20
                   }));
  for (const bool swap : {false, true}) {
    SCOPED_TRACE(swap);
    WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
    msgs.expect("Die Datei \"" + file +
                "\" wurde importiert. Hinweise:\nZeile 17: Verweis auf den Eintrag „99“, den es "
                "nicht gibt");
    ImportOptions options;
    options.swap = swap;
    const ImportResult r = ImportKvtml(path, file, msgs, options);
    ASSERT_TRUE(r.imported);
    EXPECT_EQ(5u, r.added);
    auto e = [&](std::uint8_t id, std::string a1, std::string a2, std::string b1, std::string b2,
                 std::string comment) {
      return swap ? Entry6(id, b1, b2, "", a1, a2, "", comment)
                  : Entry6(id, a1, a2, "", b1, b2, "", comment);
    };
    const std::vector<mhtest::RawRecord> expected = {
        Header("V"),
        Unit(1, "Tiere"),
        Unit(255, "Tiere (2)"),
        Unit(254, "Lektion 3"),
        Unit(253, "Tiere (3)"),
        Unit(252, "Mein Wortschatz"),
        e(255, "cat", "", "Katze & Kater", "", "miaut"),
        e(255, "dog", "hound", "Hund", "", "bellt / Vierbeiner"),
        e(254, "house", "", "Haus", "", ""),
        e(253, "tree", "", Latin1("Baum <groß>"), "", ""),
        e(252, "loose", "", "lose", "", ""),
    };
    EXPECT_EQ(expected, ReadRecords(path));
  }
}

TEST_F(KvtmlImport, NewNamesNeverClash) {
  const std::string n60(60, 'n');
  WriteRecords(path, {Header("V"), Unit(1, "Tiere"), Unit(255, n60)});
  std::string doc = "<kvtml version=\"2.0\"><entries>" + Entry(0, "a", "b") + "</entries><lessons>";
  for (const std::string& name : {std::string("Tiere"), std::string("Tiere"), n60,
                                  std::string("   "), std::string("Tiere (2)")}) {
    doc += "<container><name>" + name + "</name><entry id=\"0\"/></container>";
  }
  WriteBytes(file, doc + "</lessons></kvtml>");
  const ImportResult r = ImportKvtml(path, file, msgs);
  ASSERT_TRUE(r.imported);
  std::vector<std::string> names;
  for (const ImportedLesson& l : r.lessons)
    names.push_back(l.name.bytes());
  EXPECT_EQ((std::vector<std::string>{"Tiere (2)", "Tiere (3)", std::string(56, 'n') + " (2)",
                                      "Lektion 4", "Tiere (2) (2)"}),
            names);
  EXPECT_EQ(Unit(250, "Tiere (2) (2)"), ReadRecords(path).at(7));
}

// The 255 lessons that a DataFile holds are counted before anything is written.
TEST_F(KvtmlImport, TheLessonLimitIsCheckedFirst) {
  std::vector<mhtest::RawRecord> recs = {Header("V"), Unit(7, "gelöscht", "", 1)};
  for (int id = 1; id <= 250; ++id)
    recs.push_back(Unit(static_cast<std::uint8_t>(id), "L" + std::to_string(id)));
  for (const int lessons : {6, 5}) {
    WriteRecords(path, recs);
    const std::string before = ReadBytes(path);
    std::string doc = "<kvtml><entries>" + Entry(0, "a", "b") + "</entries><lessons>";
    for (int i = 0; i < lessons; ++i)
      doc += "<container><name>N" + std::to_string(i) + "</name><entry id=\"0\"/></container>";
    WriteBytes(file, doc + "</lessons></kvtml>");
    if (lessons == 6) {
      msgs.expect(
          "Für die 6 Lektionen der Datei ist im DataFile kein Platz mehr: es hat schon 250 von "
          "höchstens 255 Lektionen.\nEs wurde nichts importiert.",
          Answer::Ok, MsgKind::Error, MsgButtons::Ok);
      EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
      EXPECT_EQ(before, ReadBytes(path));
    } else {
      const ImportResult r = ImportKvtml(path, file, msgs);
      ASSERT_EQ(5u, r.lessons.size());
      EXPECT_EQ(255, r.lessons[0].unitID);
      EXPECT_EQ(251, r.lessons[4].unitID);
    }
  }
}

TEST_F(KvtmlImport, BrokenDocumentsChangeNothing) {
  const std::string invalid = "Datei nicht gültig!\nDie Datei \"" + file + "\" ";
  const std::string nothing = ".\nEs wurde nichts importiert.";
  struct Case {
    std::string bytes, message;
  } cases[] = {
      {"<kvtml version=\"2.0\">\n<entries>\n<entry id=\"0\">",
       invalid + "ist kein gültiges XML: Zeile 3: ein Element wird nicht oder falsch geschlossen" +
           nothing},
      {"<kvtml><entries></kvtml>",
       invalid + "ist kein gültiges XML: Zeile 1: ein Element wird nicht oder falsch geschlossen" +
           nothing},
      {"<html><body/></html>",
       invalid + "ist kein KVTML-Dokument (das Element <kvtml> fehlt)" + nothing},
      {"<kvtml version=\"1.0\"><e><o>a</o></e></kvtml>",
       invalid + "ist KVTML in der Version 1.0; gelesen wird KVTML 2.0" + nothing},
      {"\xFF\xFE<\0k\0",
       invalid + "ist in UTF-16 gespeichert; gelesen wird KVTML in UTF-8" + nothing},
      {"<kvtml>\n<entries>\n" + Entry(0, "\xE4", "b") + "</entries></kvtml>",
       "Die Datei \"" + file +
           "\" ist in UTF-8 geschrieben, aber Zeile 3 ist kein gültiger UTF-8-Text.\nEs wurde "
           "nichts importiert."},
      {"<kvtml version=\"2.0\"><entries/></kvtml>",
       "Die Datei \"" + file + "\" enthält keine Vokabeln. Es wurde nichts importiert."},
  };
  const std::string before = ReadBytes(path);
  for (const auto& c : cases) {
    WriteBytes(file, c.bytes);
    msgs.expect(c.message);
    EXPECT_FALSE(ImportKvtml(path, file, msgs).imported) << c.message;
    EXPECT_EQ(before, ReadBytes(path));
  }
}

TEST_F(KvtmlImport, DeclaredLatin1AndProblemEntries) {
  WriteBytes(file, Lines({"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>", "<kvtml><entries>",
                          Entry(0, "girl", Latin1("Mädchen")), "</entries></kvtml>"}));
  ASSERT_TRUE(ImportKvtml(path, file, msgs).imported);
  EXPECT_EQ(Entry6(255, "girl", "", "", Latin1("Mädchen"), "", ""), ReadRecords(path).at(3));

  // A problem entry is one line of the question; a lesson of nothing but problem entries is not
  // made.
  WriteBytes(
      file,
      Lines({"<kvtml><entries>", Entry(0, "alpha", "α"), Entry(1, "a", "b"), "</entries><lessons>",
             "<container><name>Griechisch</name><entry id=\"0\"/></container>",
             "<container><name>Latein</name><entry id=\"1\"/></container>", "</lessons></kvtml>"}));
  msgs.expect("Die Datei \"" + file +
                  "\" enthält Zeilen, die nicht importiert werden können:\nZeile 2: das Zeichen "
                  "„α“ (U+03B1) gibt es in Windows-1252 nicht\nSollen die übrigen Zeilen "
                  "importiert werden?",
              Answer::Yes);
  const ImportResult r = ImportKvtml(path, file, msgs);
  ASSERT_EQ(1u, r.lessons.size());
  EXPECT_EQ(WinString("Latein"), r.lessons[0].name);
  EXPECT_EQ((std::vector<std::size_t>{2}), r.skippedLines);
}

TEST_F(KvtmlImport, AFailedWriteTakesEveryNewLessonBack) {
  std::string doc = "<kvtml><entries>";
  for (int i = 0; i < 10; ++i)
    doc += Entry(i, "w" + std::to_string(i), "x");
  doc += "</entries><lessons>";
  for (int i = 0; i < 3; ++i)
    doc += "<container><name>L" + std::to_string(i) + "</name><entry id=\"" + std::to_string(i) +
           "\"/></container>";
  WriteBytes(file, doc + "</lessons></kvtml>");
  const std::string before = ReadBytes(path);
  // The three headers are written, the entries are not.
  InjectFileFault({path, FileFault::At::Write, 3 * 624 + 100, ENOSPC});
  msgs.expect("Die Datei \"" + path +
              "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem Datenträger.\nEs "
              "wurde nichts importiert; das DataFile ist unverändert.");
  const ImportResult r = ImportKvtml(path, file, msgs);
  ClearFileFaults();
  EXPECT_FALSE(r.imported || r.dataFileChanged);
  EXPECT_EQ(before, ReadBytes(path));
}

// The example DataFiles leave as KVTML and come back with the same lessons and entries; the
// document written again is the same.
TEST(KvtmlRoundTrip, ExampleDataFiles) {
  for (const char* folder : {"englisch", "franzoesisch"}) {
    SCOPED_TRACE(folder);
    mhtest::TempDir dir;
    const std::string from = dir.file("from.fid"), to = dir.file("to.fid");
    mhtest::BuildExampleDataFile(folder, from);
    ASSERT_TRUE(CreateDataFile(
        to, MakeDataFileHeader(WinString("N"), WinString("E"), WinString("D"), {}, {})));
    mhtest::ScriptedMessages msgs;
    const std::string first = dir.file("first.kvtml"), second = dir.file("second.kvtml");
    ASSERT_TRUE(ExportDataFileKvtml(from, first, msgs));
    EXPECT_NE(std::string::npos, ReadBytes(first).find("<title>Beispiel</title>"));
    ASSERT_TRUE(ImportKvtml(to, first, msgs).imported);

    const LessonList a = ReadLessonList(from).value(), b = ReadLessonList(to).value();
    ASSERT_EQ(a.lines.size(), b.lines.size());
    for (std::size_t i = 0; i < a.lines.size(); ++i) {
      const LessonRead x = ReadLesson(from, a.lines[i].unitId, SIZE_MAX).value();
      const LessonRead y = ReadLesson(to, b.lines[i].unitId, SIZE_MAX).value();
      EXPECT_EQ(x.header->B1.get(), y.header->B1.get());
      ASSERT_EQ(x.entries.size(), y.entries.size());
      for (std::size_t k = 0; k < x.entries.size(); ++k) {
        TVocData expected = x.entries[k];
        expected.UnitID = y.header->UnitID;
        EXPECT_TRUE(RecordsEqual(expected, y.entries[k])) << x.entries[k].A1.view();
      }
    }
    ASSERT_TRUE(ExportDataFileKvtml(to, second, msgs));
    const std::string one = ReadBytes(first), two = ReadBytes(second);
    EXPECT_EQ(one.substr(one.find("<entries>")), two.substr(two.find("<entries>")));
  }
}

}  // namespace
}  // namespace merkhaus
