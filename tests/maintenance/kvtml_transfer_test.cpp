// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/kvtml_transfer.h"

#include <gtest/gtest.h>
#include <pugixml.hpp>

#include <algorithm>
#include <functional>
#include <sstream>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/datafile.h"
#include "store/lesson_list.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "text/text_rules.h"
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
      {"<kvtml version=\"3.0\"><e><o>a</o></e></kvtml>",
       invalid + "ist KVTML in der Version 3.0; gelesen wird KVTML 1.0 und 2.0" + nothing},
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

// Every malformed UTF-8 sequence is told by its line wherever in the document it stands, also
// where the parser itself would let it pass or say something else.
TEST_F(KvtmlImport, EveryMalformedSequenceIsToldByItsLine) {
  const char* const sequences[] = {
      "\xC0\xAF",          // an overlong form of two bytes
      "\xE0\x80\xAF",      // an overlong form of three bytes
      "\xED\xA0\x80",      // a surrogate
      "\xF4\x90\x80\x80",  // beyond U+10FFFF
      "\xF5\x80\x80\x80",  // a lead byte that never starts a character
      "\x80",              // a continuation byte alone
      "\xE2\x82",          // a character cut short
      "\xFE",
      "\xFF",
  };
  const std::function<std::string(const std::string&)> places[] = {
      [](const std::string& x) {
        return "<entry id=\"1\"><translation id=\"0\"><text>" + x + "</text></translation></entry>";
      },
      [](const std::string& x) { return "<entry id=\"1\" note=\"" + x + "\"/>"; },
      [](const std::string& x) { return "<!-- " + x + " -->"; },
      [](const std::string& x) {
        return "<entry><translation><text><![CDATA[" + x + "]]></text></translation></entry>";
      },
      [](const std::string& x) { return "<?pi " + x + "?>"; },
      [](const std::string& x) { return "<a" + x + "/>"; },
  };
  const std::string before = ReadBytes(path);
  for (const char* sequence : sequences) {
    int place = 0;
    for (const auto& at : places) {
      SCOPED_TRACE(testing::Message() << "place " << place++ << ", bytes "
                                      << testing::PrintToString(std::string(sequence)));
      WriteBytes(file, Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                              "<kvtml version=\"2.0\"><entries>", Entry(0, "a", "b"),
                              at(std::string(sequence) + "z"), "</entries></kvtml>"}));
      msgs.expect("Die Datei \"" + file +
                  "\" ist in UTF-8 geschrieben, aber Zeile 4 ist kein gültiger UTF-8-Text.\nEs "
                  "wurde nichts importiert.");
      EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
      EXPECT_TRUE(msgs.done());
      EXPECT_EQ(before, ReadBytes(path));
    }
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

// KWordQuiz's and KVocTrain's older documents: entries straight under <kvtml>, their lesson
// named by the m attribute and described in <lesson>; entries without one go to a lesson named
// after the title attribute.
TEST_F(KvtmlImport, Version1Documents) {
  struct Case {
    const char* name;
    std::string doc;
    bool swap;
    std::vector<mhtest::RawRecord> added;  // after Header and Unit(1, "Tiere")
  } cases[] = {
      {"lessons and loose entries",
       Lines({"<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
              "<!DOCTYPE kvtml SYSTEM \"kvoctrain.dtd\">",
              "<kvtml encoding=\"UTF-8\" generator=\"kwordquiz 0.9.2\" cols=\"2\" title=\"Alt\">",
              " <lesson width=\"138\">", "  <desc no=\"1\">Farben</desc>",
              "  <desc no=\"2\" current=\"1\">Tiere</desc>", " </lesson>",
              " <e m=\"2\"><o width=\"250\">dog; hound</o><t width=\"250\">Hund</t></e>",
              " <e m=\"1\"><o>red</o><t>rot</t></e>", " <e><o>Käse</o><t>cheese &amp; more</t></e>",
              " <e m=\"1\"><o>blue</o><t>blau</t><t>hellblau</t></e>", "</kvtml>"}),
       false,
       {Unit(255, "Farben"), Unit(254, "Tiere (2)"), Unit(253, "Alt"),
        mhtest::Entry(255, "red", "rot"), mhtest::Entry(255, "blue", "blau"),
        Entry6(254, "dog", "hound", "", "Hund", "", ""),
        mhtest::Entry(253, Latin1("Käse"), "cheese & more")}},
      {"swapped, a lesson without description",
       "<kvtml version=\"1.0\"><e m=\"3\"><o>a</o><t>b</t></e><e m=\"0\"><o>c</o><t>d</t></e>"
       "</kvtml>",
       true,
       {Unit(255, "Lektion 1"), Unit(254, "wortschatz"), mhtest::Entry(255, "b", "a"),
        mhtest::Entry(254, "d", "c")}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
    WriteBytes(file, c.doc);
    ImportOptions options;
    options.swap = c.swap;
    ASSERT_TRUE(ImportKvtml(path, file, msgs, options).imported);
    std::vector<mhtest::RawRecord> expected = {Header("V"), Unit(1, "Tiere")};
    expected.insert(expected.end(), c.added.begin(), c.added.end());
    EXPECT_EQ(expected, ReadRecords(path));
    EXPECT_TRUE(msgs.done());
  }
}

// An entity the document never declares has no text: the entry that uses it is a problem line,
// never a word "&xxe;", whether or not the document names a DTD.
TEST_F(KvtmlImport, UndeclaredEntitiesAreProblemLines) {
  for (const char* doctype : {"", "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"kvtml2.dtd\">"}) {
    SCOPED_TRACE(doctype);
    WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
    WriteBytes(file, Lines({doctype, "<kvtml><entries>", Entry(0, "a &xxe; b", "c"),
                            Entry(1, "ok", "gut"), "</entries></kvtml>"}));
    msgs.expect("Die Datei \"" + file +
                    "\" enthält Zeilen, die nicht importiert werden können:\nZeile 3: die "
                    "Entität „&xxe;“ ist nicht erklärt\nSollen die übrigen Zeilen importiert "
                    "werden?",
                Answer::Yes);
    const ImportResult r = ImportKvtml(path, file, msgs);
    ASSERT_TRUE(r.imported);
    EXPECT_EQ(1u, r.added);
    EXPECT_EQ(mhtest::Entry(255, "ok", "gut"), ReadRecords(path).back());
  }
}

// Ids that are no numbers, one of them twice (references mean its first entry), a number far
// beyond the entries, and a reference to an id that no entry has; enough ids for the table of
// ids to grow several times.
TEST_F(KvtmlImport, IdsThatAreNoNumbers) {
  auto entry = [](const std::string& id, const std::string& foreign, const std::string& native) {
    return "<entry id=\"" + id + "\"><translation id=\"0\"><text>" + foreign +
           "</text></translation><translation id=\"1\"><text>" + native +
           "</text></translation></entry>\n";
  };
  std::string doc = "<kvtml version=\"2.0\"><entries>\n";  // line 1
  const int count = 200;
  for (int i = 0; i < count; ++i)  // lines 2 to 201
    doc += entry("k" + std::to_string(i), "f" + std::to_string(i), "n" + std::to_string(i));
  doc += entry("k5", "again", "nochmal");                   // line 202
  doc += entry("4000000", "far", "weit");                   // line 203
  doc += "</entries><lessons><container><name>L</name>\n";  // line 204
  doc += "<entry id=\"4000000\"/>";                         // line 205
  for (int i = count - 1; i >= 0; --i)
    doc += "<entry id=\"k" + std::to_string(i) + "\"/>";
  doc += "\n<entry id=\"nope\"/>\n</container></lessons></kvtml>\n";  // line 206
  WriteBytes(file, doc);
  msgs.expect("Die Datei \"" + file +
              "\" wurde importiert. Hinweise:\nZeile 206: Verweis auf den Eintrag „nope“, den es "
              "nicht gibt");
  const ImportResult r = ImportKvtml(path, file, msgs);
  ASSERT_TRUE(r.imported);
  const std::vector<mhtest::RawRecord> records = ReadRecords(path);
  ASSERT_EQ(std::size_t{4 + count + 2}, records.size());
  EXPECT_EQ(Unit(255, "L"), records[2]);
  EXPECT_EQ(Unit(254, "wortschatz"), records[3]);
  EXPECT_EQ(mhtest::Entry(255, "far", "weit"), records[4]);
  for (int i = 0; i < count; ++i) {
    EXPECT_EQ(mhtest::Entry(255, "f" + std::to_string(i), "n" + std::to_string(i)),
              records[static_cast<std::size_t>(4 + count - i)]);
  }
  EXPECT_EQ(mhtest::Entry(254, "again", "nochmal"), records.back());
}

// Ids of a text and a number are read as numbers of that text: "e7", "7" and "e07" are three
// ids, and a reference to none of them is told as written.
TEST_F(KvtmlImport, IdsOfATextAndANumber) {
  auto entry = [](const std::string& id, const std::string& foreign) {
    return "<entry id=\"" + id + "\"><translation id=\"0\"><text>" + foreign +
           "</text></translation><translation id=\"1\"><text>x</text></translation></entry>\n";
  };
  WriteBytes(file, "<kvtml version=\"2.0\"><entries>\n" + entry("e0", "a") + entry("e7", "b") +
                       entry("7", "c") + entry("e07", "d") +
                       "</entries><lessons><container><name>L</name>\n<entry id=\"e07\"/>"
                       "<entry id=\"7\"/><entry id=\"e7\"/><entry id=\"e0\"/>\n"
                       "<entry id=\"e9\"/></container></lessons></kvtml>\n");
  msgs.expect("Die Datei \"" + file +
              "\" wurde importiert. Hinweise:\nZeile 8: Verweis auf den Eintrag „e9“, den es "
              "nicht gibt");
  ASSERT_TRUE(ImportKvtml(path, file, msgs).imported);
  const std::vector<mhtest::RawRecord> records = ReadRecords(path);
  const std::vector<mhtest::RawRecord> added(records.begin() + 3, records.end());
  EXPECT_EQ(
      (std::vector<mhtest::RawRecord>{mhtest::Entry(255, "d", "x"), mhtest::Entry(255, "c", "x"),
                                      mhtest::Entry(255, "b", "x"), mhtest::Entry(255, "a", "x")}),
      added);
}

// A document larger than the blocks the reader parses at once, with characters of two and three
// bytes across every block boundary: a broken character far behind the first block is found on
// its line, and an intact document imports every entry into its lesson in order.
TEST_F(KvtmlImport, DocumentsLargerThanABlock) {
  std::string doc = "<kvtml version=\"2.0\"><entries>\n";
  const int count = 30000;
  for (int i = 0; i < count; ++i)
    doc += Entry(i, "wört" + std::to_string(i), "€uro ü " + std::to_string(i)) + "\n";
  doc += "</entries><lessons><container><name>Groß</name>";
  // The first half in reverse order: a lesson's order is its list's, not the document's.
  for (int i = count / 2 - 1; i >= 0; --i)
    doc += "<entry id=\"" + std::to_string(i) + "\"/>";
  doc += "</container></lessons></kvtml>\n";
  ASSERT_GT(doc.size(), std::size_t{2} << 20);

  std::string broken = doc;
  const std::size_t at = broken.find("€uro ü 29000");
  broken[at + 1] = 'x';  // the second byte of "€"
  WriteBytes(file, broken);
  const std::string before = ReadBytes(path);
  msgs.expect("Die Datei \"" + file +
              "\" ist in UTF-8 geschrieben, aber Zeile 29002 ist kein gültiger UTF-8-Text.\nEs "
              "wurde nichts importiert.");
  EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
  EXPECT_EQ(before, ReadBytes(path));

  WriteBytes(file, doc);
  const ImportResult r = ImportKvtml(path, file, msgs);
  ASSERT_TRUE(r.imported);
  ASSERT_EQ(2u, r.lessons.size());
  EXPECT_EQ(WinString(Latin1("Groß")), r.lessons[0].name);
  EXPECT_EQ(WinString("wortschatz"), r.lessons[1].name);
  const std::vector<mhtest::RawRecord> records = ReadRecords(path);
  ASSERT_EQ(std::size_t{2 + 2 + count}, records.size());
  EXPECT_EQ(mhtest::Entry(255, Latin1("wört14999"), "\x80uro \xFC 14999"), records[4]);
  EXPECT_EQ(mhtest::Entry(255, Latin1("wört0"), "\x80uro \xFC 0"), records[4 + count / 2 - 1]);
  EXPECT_EQ(mhtest::Entry(254, Latin1("wört15000"), "\x80uro \xFC 15000"), records[4 + count / 2]);
  EXPECT_EQ(mhtest::Entry(254, Latin1("wört29999"), "\x80uro \xFC 29999"), records.back());
}

// A carriage return without a line feed is a line break, also where the reading's blocks of
// 256 KiB meet and the return is the last byte of one block: the entry after it is told by its
// line.
TEST_F(KvtmlImport, ACarriageReturnAloneIsALineBreakAlsoWhereBlocksMeet) {
  constexpr std::size_t kBlock = std::size_t{256} << 10;
  for (const std::size_t at : {kBlock - 2, kBlock - 1, kBlock}) {
    SCOPED_TRACE(at);
    std::string doc = "<kvtml version=\"2.0\"><entries>\n";
    for (int i = 0; doc.size() < at - 200; ++i)
      doc += Entry(i, "a", "b") + "\n";
    doc.append(at - doc.size(), ' ');
    const auto line = 2 + std::count(doc.begin(), doc.end(), '\n');
    doc += "\r" + Entry(99999, "alpha", "α") + "\n</entries></kvtml>\n";
    WriteBytes(file, doc);
    msgs.expect("Die Datei \"" + file +
                    "\" enthält Zeilen, die nicht importiert werden können:\nZeile " +
                    std::to_string(line) +
                    ": das Zeichen „α“ (U+03B1) gibt es in Windows-1252 nicht\nSollen die "
                    "übrigen Zeilen importiert werden?",
                Answer::No);
    EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
    EXPECT_TRUE(msgs.done());
  }
}

// More entries than the reader keeps in memory (the rest wait in a scratch file), taken by the
// lessons in orders of their own: backwards, in two halves, and the loose ones in document
// order. Every record lands where it belongs, byte for byte.
TEST_F(KvtmlImport, EntriesBeyondWhatTheReaderHoldsInMemory) {
  const int count = 21000;
  const auto word = [](int i) { return "word " + std::to_string(i); };
  const auto wort = [](int i) { return "Wörter " + std::to_string(i); };
  const auto comment = [](int i) {
    return "a comment that makes the entry long enough, number " + std::to_string(i);
  };
  std::string doc = "<kvtml version=\"2.0\"><entries>\n";
  for (int i = 0; i < count; ++i)
    doc += Entry(i, word(i) + "; syn", wort(i), comment(i)) + "\n";
  std::vector<int> backwards, halves, loose;
  for (int i = count - 3; i >= 0; i -= 3)
    backwards.push_back(i);
  for (int i = count / 2 + 1; i < count; i += 3)
    halves.push_back(i);
  for (int i = 1; i <= count / 2; i += 3)
    halves.push_back(i);
  for (int i = 2; i < count; i += 3)
    loose.push_back(i);
  doc += "</entries><lessons>";
  for (const auto& [name, ids] : {std::pair{"Rückwärts", &backwards}, {"Hälften", &halves}}) {
    doc += std::string("<container><name>") + name + "</name>";
    for (const int i : *ids)
      doc += "<entry id=\"" + std::to_string(i) + "\"/>";
    doc += "</container>\n";
  }
  WriteBytes(file, doc + "</lessons></kvtml>\n");

  const ImportResult r = ImportKvtml(path, file, msgs);
  ASSERT_TRUE(r.imported);
  EXPECT_TRUE(msgs.done());
  std::vector<mhtest::RawRecord> expected = {Header("V"), Unit(1, "Tiere"),
                                             Unit(255, Latin1("Rückwärts")),
                                             Unit(254, Latin1("Hälften")), Unit(253, "wortschatz")};
  for (const auto& [unit, ids] : {std::pair{255, &backwards}, {254, &halves}, {253, &loose}}) {
    for (const int i : *ids) {
      expected.push_back(Entry6(static_cast<std::uint8_t>(unit), word(i), "syn", "",
                                Latin1(wort(i)), "", "", comment(i)));
    }
  }
  EXPECT_EQ(expected, ReadRecords(path));
}

// A document of several blocks whose fault comes late: the message names its line, a broken
// character after an earlier XML error is still found (and told first), and the DataFile is
// untouched.
TEST_F(KvtmlImport, LateFaultsOfALargeDocument) {
  std::string doc = "<kvtml version=\"2.0\">\n<entries>\n";  // lines 1, 2
  const int count = 20000;
  for (int i = 0; i < count; ++i)  // lines 3 to 20002
    doc += Entry(i, "wört " + std::to_string(i), "€uro " + std::string(60, 'x')) + "\n";
  doc += "</entries>\n</kvtml>\n";  // lines 20003, 20004
  ASSERT_GT(doc.size(), std::size_t{3} << 20);
  const std::string lateEntry = "wört 19990";  // on line 19993
  struct Case {
    const char* name;
    std::function<void(std::string&)> spoil;
    std::string message;
  } cases[] = {
      {"a tag that does not close late",
       [&](std::string& d) { d.replace(d.find(lateEntry) - 5, 4, "tuxt"); },
       "Datei nicht gültig!\nDie Datei \"" + file +
           "\" ist kein gültiges XML: Zeile 19993: ein Element wird nicht oder falsch "
           "geschlossen.\nEs wurde nichts importiert."},
      {"a broken character after an early XML error",
       [&](std::string& d) {
         d.replace(d.find("<entries>"), 9, "<entries<");
         d[d.find(lateEntry) + 2] = 'x';  // the second byte of "ö"
       },
       "Die Datei \"" + file +
           "\" ist in UTF-8 geschrieben, aber Zeile 19993 ist kein gültiger UTF-8-Text.\nEs "
           "wurde nichts importiert."},
  };
  const std::string before = ReadBytes(path);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    std::string spoilt = doc;
    c.spoil(spoilt);
    WriteBytes(file, spoilt);
    msgs.expect(c.message);
    EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_TRUE(msgs.done());
  }
}

// Entries are converted while the document is still read; the notes of both come out in the
// order of the document also where they share a line.
TEST_F(KvtmlImport, NotesOfOneLineKeepTheirOrder) {
  WriteBytes(file,
             "<!DOCTYPE kvtml SYSTEM \"kvtml2.dtd\"><kvtml><information><title>&a;</title>"
             "</information><entries>" +
                 Entry(0, "α", "b") + Entry(1, "&b;", "c") + Entry(2, std::string(61, 'l'), "d") +
                 Entry(3, "ok", "gut") +
                 "</entries><lessons><container><name>&c;</name><entry id=\"3\"/><entry "
                 "id=\"9\"/></container></lessons></kvtml>");
  msgs.expect("Die Datei \"" + file +
                  "\" enthält Zeilen, die nicht importiert werden können:\nZeile 1: die Entität "
                  "„&a;“ ist nicht erklärt\nZeile 1: das Zeichen „α“ (U+03B1) gibt es in "
                  "Windows-1252 nicht\nZeile 1: die Entität „&b;“ ist nicht erklärt\nZeile 1: "
                  "die Entität „&c;“ ist nicht erklärt\nHinweise:\nZeile 1: A1 auf 60 Zeichen "
                  "gekürzt\nZeile 1: Verweis auf den Eintrag „9“, den es nicht gibt\nSollen die "
                  "übrigen Zeilen importiert werden?",
              Answer::No);
  EXPECT_FALSE(ImportKvtml(path, file, msgs).imported);
  EXPECT_TRUE(msgs.done());
}

// A well-formed document without declarations of its own is read by a faster parser than the
// others; each spelling here goes one way or the other, and every one must tell the entries by
// the line their start tag begins on, whatever came before it on that line (a comment, a CDATA
// section, a processing instruction, each over two lines) or however the tag is broken.
TEST_F(KvtmlImport, EverySpellingTellsTheSameLines) {
  const auto entry = [](int id, std::string_view foreign, std::string_view native) {
    return "<entry id=\"" + std::to_string(id) + "\"><translation id=\"0\"><text>" +
           std::string(foreign) + "</text></translation><translation id=\"1\"><text>" +
           std::string(native) + "</text></translation></entry>";
  };
  const std::string doc = Lines({
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",  // 1
      "<kvtml version=\"2.0\"><entries>",            // 2
      "<entry",                                      // 3
      " id=\"0\"><translation id=\"0\"><text>alpha</text></translation><translation "
      "id=\"1\"><text>α</text></translation></entry>",           // 4
      "<!-- a comment",                                          // 5
      "over two lines -->" + entry(1, "beta", "β"),              // 6
      "<entry id=\"2\"><translation id=\"0\"><text><![CDATA[x",  // 7
      "y]]></text></translation><translation id=\"1\"><text>γ</text></translation></entry><?pi x",
      "?>" + entry(3, "dog", "Hund") + entry(4, "delta", "δ"),  // 9
      "</entries><lessons><container><name>L</name><entry id=\"0\"/><entry id=\"1\"/><entry "
      "id=\"2\"/><entry id=\"3\"/><entry id=\"4\"/>",     // 10
      "<entry id=\"7\"/></container></lessons></kvtml>",  // 11
  });
  const auto replaced = [&](std::string_view from, std::string_view to) {
    std::string text = doc;
    for (std::size_t at = 0; (at = text.find(from, at)) != std::string::npos; at += to.size())
      text.replace(at, from.size(), to);
    return text;
  };
  const struct {
    const char* name;
    std::string text;
    const char* missing = "7";  // the entry the lesson names but the document lacks
  } spellings[] = {
      {"line feeds", doc},
      {"carriage return and line feed", replaced("\n", "\r\n")},
      {"carriage returns", replaced("\n", "\r")},
      {"an element with a prefix",
       replaced("<text>dog</text>", "<text>dog</text><x:n xmlns:x=\"urn:x\">n</x:n>")},
      {"attributes with a prefix", replaced("<translation ", "<translation xml:lang=\"x\" ")},
      {"an attribute with a reference", replaced("<entry id=\"7\"/>", "<entry id=\"7&amp;\"/>"),
       "7&"},
  };
  // Also where libxml2 cannot be loaded: expat reads every spelling then, alike.
  struct Reset {
    ~Reset() { UseLibxmlForTesting(nullptr); }
  } reset;
  for (const char* libxml : {static_cast<const char*>(nullptr), "libxml2-fehlt.so"}) {
    EXPECT_EQ(libxml == nullptr, UseLibxmlForTesting(libxml));
    for (const auto& spelling : spellings) {
      SCOPED_TRACE(std::string(spelling.name) + (libxml != nullptr ? ", without libxml2" : ""));
      WriteRecords(path, {Header("V"), Unit(1, "Tiere")});
      WriteBytes(file, spelling.text);
      msgs.expect(
          "Die Datei \"" + file +
              "\" enthält Zeilen, die nicht importiert werden können:\nZeile 3: das Zeichen "
              "„α“ (U+03B1) gibt es in Windows-1252 nicht\nZeile 6: das Zeichen „β“ (U+03B2) "
              "gibt es in Windows-1252 nicht\nZeile 7: das Zeichen „γ“ (U+03B3) gibt es in "
              "Windows-1252 nicht\nZeile 9: das Zeichen „δ“ (U+03B4) gibt es in "
              "Windows-1252 nicht\nHinweise:\nZeile 11: Verweis auf den Eintrag „" +
              spelling.missing +
              "“, den es nicht gibt\nSollen die übrigen Zeilen importiert werden?",
          Answer::Yes);
      const ImportResult r = ImportKvtml(path, file, msgs);
      ASSERT_TRUE(r.imported);
      EXPECT_EQ((std::vector<std::size_t>{3, 6, 7, 9}), r.skippedLines);
      EXPECT_EQ((std::vector<mhtest::RawRecord>{Header("V"), Unit(1, "Tiere"), Unit(255, "L"),
                                                Entry6(255, "dog", "", "", "Hund", "", "")}),
                ReadRecords(path));
      EXPECT_TRUE(msgs.done());
    }
  }
}

// The document as a DOM writer builds it, for comparison with the export, which writes while it
// reads.
std::string DomKvtml(const TVocData& header, std::span<const KvtmlLesson> lessons) {
  auto text = [](pugi::xml_node parent, const char* name, const WinString& value) {
    std::string utf8 = ToUtf8(value);
    for (char& c : utf8) {
      const auto b = static_cast<unsigned char>(c);
      if (b < 0x20 && c != '\t' && c != '\n' && c != '\r') c = ' ';
    }
    parent.append_child(name).text().set(utf8.c_str());
  };
  pugi::xml_document doc;
  pugi::xml_node declaration = doc.append_child(pugi::node_declaration);
  declaration.append_attribute("version") = "1.0";
  declaration.append_attribute("encoding") = "UTF-8";
  doc.append_child(pugi::node_doctype)
      .set_value("kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\"");
  pugi::xml_node kvtml = doc.append_child("kvtml");
  kvtml.append_attribute("version") = "2.0";
  pugi::xml_node information = kvtml.append_child("information");
  information.append_child("generator").text().set("Merkhaus 3");
  text(information, "title", DataFileName(header));
  if (!Author(header).empty()) text(information, "author", Author(header));
  if (!header.Comment.empty()) text(information, "comment", header.Comment.get());
  pugi::xml_node identifiers = kvtml.append_child("identifiers");
  for (int id = 0; id < 2; ++id) {
    const WinString language = id == 0 ? ForeignLanguage(header) : NativeLanguage(header);
    pugi::xml_node identifier = identifiers.append_child("identifier");
    identifier.append_attribute("id") = id;
    text(identifier, "name", language);
    const std::string name = ToUtf8(CutSpaces(language));
    if (name == "Englisch") identifier.append_child("locale").text().set("en");
    if (name == "Deutsch") identifier.append_child("locale").text().set("de");
    if (name == "Französisch") identifier.append_child("locale").text().set("fr");
  }
  pugi::xml_node entries = kvtml.append_child("entries");
  pugi::xml_node containers = kvtml.append_child("lessons");
  long long id = 0;
  for (const KvtmlLesson& lesson : lessons) {
    pugi::xml_node container = containers.append_child("container");
    text(container, "name", LessonName(lesson.header));
    container.append_child("inpractice").text().set("true");
    for (const TVocData& e : lesson.entries) {
      pugi::xml_node entry = entries.append_child("entry");
      entry.append_attribute("id") = id;
      pugi::xml_node t0 = entry.append_child("translation");
      t0.append_attribute("id") = 0;
      text(t0, "text", JoinSide(e.A1, e.A2, e.A3));
      if (!e.Comment.empty()) text(t0, "comment", e.Comment.get());
      pugi::xml_node t1 = entry.append_child("translation");
      t1.append_attribute("id") = 1;
      text(t1, "text", JoinSide(e.B1, e.B2, e.B3));
      container.append_child("entry").append_attribute("id") = id;
      ++id;
    }
  }
  std::ostringstream out;
  doc.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
  return out.str();
}

// The live lessons of a DataFile whose lessons each hold their entries right after their header.
std::vector<KvtmlLesson> LessonsOf(const std::string& path) {
  std::vector<KvtmlLesson> lessons;
  const LessonList list = ReadLessonList(path).value();
  for (const auto& line : list.lines) {
    LessonRead read = ReadLesson(path, line.unitId, SIZE_MAX).value();
    lessons.push_back({*read.header, std::move(read.entries)});
  }
  return lessons;
}

// The export writes the document byte for byte as a DOM writer does: for the example DataFiles,
// for texts of every byte value (markup characters, controls, the bytes Windows-1252 leaves
// unassigned), for an empty lesson, a DataFile without lessons and one large enough to pass
// through the export's buffer many times.
TEST(KvtmlExport, WritesTheDocumentOfADomWriter) {
  mhtest::TempDir dir;
  std::string every;
  for (int b = 1; b < 256; ++b)
    every += static_cast<char>(b);
  std::vector<mhtest::RawRecord> large = {
      Header("Groß & <klein>", "Englisch", "Deutsch", "A\"u'", "Kommentar\r\nzweite Zeile"),
      Unit(3, "Alle Bytes"), Unit(9, "Leer"), Unit(4, "Gelöscht", "", 1)};
  for (std::size_t i = 0; i < every.size(); i += 60) {
    large.push_back(Entry6(3, every.substr(i, 60), "x", "", every.substr(i, 17), "", "y",
                           every.substr(i, 255)));
  }
  for (int i = 0; i < 20000; ++i) {
    large.push_back(Entry6(12, "word" + std::to_string(i), Latin1("Straße"), "", "Wort",
                           Latin1("ä & ö"), "", i % 3 == 0 ? "" : "<b>" + std::to_string(i)));
  }
  large.push_back(Unit(12, Latin1("Große Lektion")));
  large.push_back(mhtest::Entry(12, "gone", "weg", "", 1));
  large.push_back(mhtest::Entry(4, "of a deleted lesson", "x"));

  struct Case {
    const char* name;
    std::vector<mhtest::RawRecord> records;  // empty: the example DataFile of `name`
  } cases[] = {
      {"englisch", {}},
      {"franzoesisch", {}},
      {"no lessons", {Header("Leer", "Französisch", "Deutsch")}},
      {"every byte, an empty lesson, a large lesson", large},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string from = dir.file("from.fid"), out = dir.file("out.kvtml");
    if (c.records.empty()) {
      mhtest::BuildExampleDataFile(c.name, from);
    } else {
      mhtest::WriteRecords(from, c.records);
    }
    mhtest::ScriptedMessages msgs;
    ASSERT_TRUE(ExportDataFileKvtml(from, out, msgs, {.askBeforeOverwrite = false}));
    const std::vector<KvtmlLesson> lessons = LessonsOf(from);
    const std::string expected = DomKvtml(ReadHeaderRecord(from).value(), lessons);
    EXPECT_EQ(expected, ReadBytes(out));
    EXPECT_EQ(expected, KvtmlText(ReadHeaderRecord(from).value(), lessons));
  }
}

// Entries added to a lesson after another lesson was made: each lesson keeps its entries in
// order, and the document imports into the same lessons.
TEST(KvtmlExport, LessonsWhoseEntriesAreInterleaved) {
  mhtest::TempDir dir;
  const std::string from = dir.file("from.fid"), to = dir.file("to.fid");
  const std::string out = dir.file("out.kvtml");
  mhtest::WriteRecords(from,
                       {Header("V"), mhtest::Entry(2, "early", Latin1("früh")), Unit(1, "Eins"),
                        mhtest::Entry(1, "a", "b"), Unit(2, "Zwei"), mhtest::Entry(2, "c", "d"),
                        mhtest::Entry(1, "e", "f"), mhtest::Entry(2, "g", "h")});
  mhtest::WriteRecords(to, {Header("V")});
  mhtest::ScriptedMessages msgs;
  ASSERT_TRUE(ExportDataFileKvtml(from, out, msgs));
  ASSERT_TRUE(ImportKvtml(to, out, msgs).imported);
  EXPECT_EQ((std::vector<mhtest::RawRecord>{
                Header("V"), Unit(1, "Eins"), Unit(255, "Zwei"), mhtest::Entry(1, "a", "b"),
                mhtest::Entry(1, "e", "f"), mhtest::Entry(255, "early", Latin1("früh")),
                mhtest::Entry(255, "c", "d"), mhtest::Entry(255, "g", "h")}),
            ReadRecords(to));
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
