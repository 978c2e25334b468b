// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/text_transfer.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstring>
#include <fstream>
#include <random>
#include <sstream>

#include "maintenance/transfer_formats.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/datafile.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"
#include "support/win_text.h"
#include "transfer_test_support.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::ReadRecords;
using mhtest::Unit;
using mhtest::WriteBytes;
using mhtest::WriteRecords;

using mhtest::W;

TVocData Rec(std::string_view a1, std::string_view a2, std::string_view a3, std::string_view b1,
             std::string_view b2, std::string_view b3, std::string_view comment = "",
             std::uint8_t unit = 1) {
  TVocData r = EmptyRecord();
  r.A1.set(a1);
  r.A2.set(a2);
  r.A3.set(a3);
  r.B1.set(b1);
  r.B2.set(b2);
  r.B3.set(b3);
  r.Comment.set(comment);
  r.UnitID = unit;
  return r;
}

// The lines of a text file joined with CR LF after each.
std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (auto l : lines)
    (text += l) += "\r\n";
  return text;
}

// ----------------------------------------------------------------------------------------------
// Export

TEST(FormatExportLine, JoinsSidesSynonymsAndComment) {
  struct Case {
    TVocData entry;
    std::string line;
  } cases[] = {
      {Rec("a", "", "c", "x", "", ""), "a; c == x"},
      {Rec("a", "", "", "x", "", "", "note"), "a == x @K& note"},
      {Rec("a", "", "", "x", "", ""), "a == x"},
      {Rec("to go", "to walk", "", "gehen", "", "", "irregular"),
       "to go; to walk == gehen @K& irregular"},
      {Rec("a", "b", "c", "d", "e", "f"), "a; b; c == d; e; f"},
      {Rec("", "", "", "", "", ""), " == "},
      // Would read back as a remark: a blank keeps it an entry.
      {Rec("#1", "", "", "Nummer eins", "", ""), " #1 == Nummer eins"},
      // Line breaks would split the line, Ctrl-Z would end the file.
      {Rec("a", "", "", "b", "", "", "eins\r\nzwei\ndrei\x1a"), "a == b @K& eins zwei drei "},
  };
  for (const auto& c : cases)
    EXPECT_EQ(W(c.line), FormatExportLine(c.entry)) << c.line;

  EXPECT_EQ(W("dog == Hund"), FormatExportLine(Rec("dog", "", "", "Hund", "", "")));
}

TEST(FormatExportLine, EmptyA2ShiftsA3IntoA2OnReimport) {
  const auto back = ParseImportLine(FormatExportLine(Rec("a", "", "c", "x", "", "")), 9);
  ASSERT_TRUE(back);
  EXPECT_TRUE(RecordsEqual(Rec("a", "c", "", "x", "", "", "", 9), *back));
}

TEST(ExportUnitTest, WritesTheWholeFileWithCrLf) {
  mhtest::TempDir dir;
  const std::string out = dir.file("l.txt");
  const TVocData unit = MakeUnitHeader(7, W("Übung 1"), W("Tiere"));
  const TVocData entries[] = {Rec("dog", "hound", "", "Hund", "", "", "best friend"),
                              Rec("cat", "", "", "Katze", "", "")};
  mhtest::ScriptedMessages msgs;
  ASSERT_TRUE(ExportLessonText(out, unit, entries, W("13.05.2024"), msgs));
  EXPECT_EQ(Latin1("<%>HEAD<%>\r\n"
                   "Exported with Merkhaus 3 - by Merkhaus Autoren\r\n"
                   "Version: Version 3.05\r\n"
                   "Date: 13.05.2024\r\n"
                   "Name: Übung 1\r\n"
                   "Kommentar: Tiere\r\n"
                   "Anzahl: 2\r\n"
                   "\r\n"
                   "<%>BODY<%>\r\n"
                   "dog; hound == Hund @K& best friend\r\n"
                   "cat == Katze\r\n"
                   "\r\n"
                   "<%>EOF<%>\r\n"),
            ReadBytes(out));

  // The same as UTF-8 for editors that expect it.
  ExportSettings utf8;
  utf8.askBeforeOverwrite = false;
  utf8.encoding = TextEncoding::Utf8;
  ASSERT_TRUE(ExportLessonText(out, unit, entries, W("13.05.2024"), msgs, utf8));
  EXPECT_NE(std::string::npos, ReadBytes(out).find("Name: Übung 1\r\n"));
}

TEST(ExportUnitTest, CommentLineIsCutTo255) {
  const TVocData entry = Rec("a", "", "", "b", "", "");
  for (std::size_t length : {250u, 255u}) {
    const TVocData unit = MakeUnitHeader(1, W("L"), W(std::string(length, 'k')));
    const auto lines = ExportLines(unit, {&entry, 1}, W("1.1.2000"));
    ASSERT_EQ(12u, lines.size());
    EXPECT_EQ(W("Kommentar: " + std::string(244, 'k')), lines[5]) << length;
    EXPECT_EQ(255u, lines[5].size());
  }
}

TEST(ExportUnitTest, EmptyLessonExistingFileAndUncreatableFile) {
  mhtest::TempDir dir;
  const std::string out = dir.file("l.txt");
  const TVocData unit = MakeUnitHeader(1, W("L"), W(""));
  const TVocData entry = Rec("a", "", "", "b", "", "");
  mhtest::ScriptedMessages msgs;

  msgs.expect("Diese Lektion enhält keine Vokabeln!", Answer::Ok, MsgKind::Information,
              MsgButtons::Ok);
  EXPECT_FALSE(ExportLessonText(out, unit, {}, W("d"), msgs));
  EXPECT_FALSE(std::filesystem::exists(out));

  WriteBytes(out, "alt");
  msgs.expect("Dateiname vorhanden! Überschreiben?", Answer::No, MsgKind::Warning,
              MsgButtons::YesNoDefaultNo);
  EXPECT_FALSE(ExportLessonText(out, unit, {&entry, 1}, W("d"), msgs));
  EXPECT_EQ("alt", ReadBytes(out));
  msgs.expect("Dateiname vorhanden! Überschreiben?", Answer::Yes);
  EXPECT_TRUE(ExportLessonText(out, unit, {&entry, 1}, W("d"), msgs));
  EXPECT_NE(std::string::npos, ReadBytes(out).find("a == b\r\n"));

  EXPECT_TRUE(msgs.done());
}

// An export is written whole or not at all; what was there survives a failure, and nothing
// but a regular file is ever written to.
TEST(ExportUnitTest, AFailedExportLeavesTheOldFile) {
  mhtest::TempDir dir;
  const TVocData unit = MakeUnitHeader(1, W("L"), W(""));
  const TVocData entry = Rec("a", "", "", "b", "", "");
  mhtest::ScriptedMessages msgs;
  const ExportSettings force{false, TextEncoding::Windows1252};
  const std::string out = dir.file("l.txt");
  const std::string fifo = dir.file("pipe.txt");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  struct Case {
    std::string path;
    std::optional<FileFault> fault;
    std::string reason;
  } cases[] = {
      {out, FileFault{out, FileFault::At::Write, 100, ENOSPC},
       "kann nicht geschrieben werden: kein Speicherplatz mehr auf dem Datenträger."},
      {out, FileFault{out, FileFault::At::Sync, 0, EIO},
       "kann nicht geschrieben werden: Ein-/Ausgabefehler des Datenträgers."},
      {dir.file("fehlt/l.txt"), std::nullopt,
       "kann nicht geschrieben werden: der Ordner ist nicht vorhanden."},
      {dir.path().string(), std::nullopt, "kann nicht geschrieben werden: das ist ein Ordner."},
      {fifo, std::nullopt,
       "kann nicht geschrieben werden: das ist keine gewöhnliche Datei (sondern etwa eine Pipe "
       "oder ein Gerät)."},
      {"/dev/null", std::nullopt,
       "kann nicht geschrieben werden: das ist keine gewöhnliche Datei (sondern etwa eine Pipe "
       "oder ein Gerät)."},
  };
  for (const auto& c : cases) {
    WriteBytes(out, "alt");
    if (c.fault) InjectFileFault(*c.fault);
    msgs.expect("Fehler beim schreiben!\nDie Datei \"" + c.path + "\" " + c.reason +
                    "\nEs wurde nichts exportiert.",
                Answer::Yes, MsgKind::Error, MsgButtons::Yes);
    EXPECT_FALSE(ExportLessonText(c.path, unit, {&entry, 1}, W("d"), msgs, force)) << c.path;
    ClearFileFaults();
    EXPECT_EQ("alt", ReadBytes(out));
  }
  EXPECT_EQ(std::filesystem::file_type::fifo, std::filesystem::status(fifo).type());
  EXPECT_EQ(std::filesystem::file_type::character, std::filesystem::status("/dev/null").type());
  // No temporary file is left behind.
  int files = 0;
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(dir.path()))
    ++files;
  EXPECT_EQ(2, files);
}

// ----------------------------------------------------------------------------------------------
// Import: single lines

TEST(ParseImportLine, SplitsSidesSynonymsAndComment) {
  struct Case {
    std::string line;
    TVocData expected;
  } cases[] = {
      {"  big ;  large;huge;vast  ==  groß  ",
       Rec("big", "large", "huge;vast", Latin1("groß"), "", "", "", 4)},
      // Only the one blank of the separator belongs to it.
      {"a == b @K&  two blanks", Rec("a", "", "", "b", "", "", " two blanks", 4)},
      {"a == b @K& x @K& y", Rec("a", "", "", "b", "", "", "x @K& y", 4)},
      // "@K&" without a blank on both sides is text.
      {"a@K&b == c@K& d", Rec("a@K&b", "", "", "c@K& d", "", "", "", 4)},
      {"a == b == c", Rec("a", "", "", "b == c", "", "", "", 4)},
      {" == ", Rec("", "", "", "", "", "", "", 4)},
      {"a;;c == x ;", Rec("a", "", "c", "x", "", "", "", 4)},
      {std::string(70, 'a') + " == " + std::string(65, 'b') + " @K& " + std::string(300, 'c'),
       Rec(std::string(60, 'a'), "", "", std::string(60, 'b'), "", "", std::string(255, 'c'), 4)},
      // Blanks are cut before the field is cut to 60.
      {std::string(100, ' ') + "a   b" + " == b", Rec("a b", "", "", "b", "", "", "", 4)},
  };
  for (const auto& c : cases) {
    const auto r = ParseImportLine(W(c.line), 4);
    ASSERT_TRUE(r) << c.line;
    EXPECT_TRUE(RecordsEqual(c.expected, *r))
        << c.line << " -> " << r->A1.view() << "|" << r->A2.view() << "|" << r->A3.view()
        << " == " << r->B1.view() << "|" << r->B2.view() << "|" << r->B3.view() << " @ "
        << r->Comment.view();
  }
  // No sides, no entry; the comment is cut off before the sides are looked for.
  for (const char* line : {"kaputt", "   ", "a==b", "a @K& b == c", "<%>EOF<%> "}) {
    EXPECT_FALSE(ParseImportLine(W(line), 4)) << line;
  }
}

TEST(ReadImportHeaderTest, LabelArithmetic) {
  struct Case {
    std::vector<std::string> lines;
    std::string name, comment;
  } cases[] = {
      {{"Name: Tiere", "Kommentar: Haus und Hof"}, "Tiere", "Haus und Hof"},
      {{"Name:Lektion"}, "ektion", ""},
      {{"Kommentar:Text"}, "", "ext"},
      {{"  Name:   viel    Platz  "}, "viel Platz", ""},
      {{"Name: A", "", "Date: heute", "Name: B"}, "B", ""},
      {{"Name:"}, "", ""},
      // The label may stand anywhere; what comes before it goes as well.
      {{"Meine Name: X"}, "X", ""},
      // "Kommentar:" is looked for in what is left after the name was taken.
      {{"Name: Kommentar: k"}, "Kommentar: k", "k"},
      {{"Kommentar: x Name: y"}, "y", ""},
  };
  for (const auto& c : cases) {
    std::vector<WinString> lines;
    for (const auto& l : c.lines)
      lines.push_back(W(l));
    const ImportHead head = ReadImportHeader(lines);
    EXPECT_EQ(W(c.name), head.name) << c.lines[0];
    EXPECT_EQ(W(c.comment), head.comment) << c.lines[0];
  }
}

// ----------------------------------------------------------------------------------------------
// Import: reading the file

struct ReadCase {
  const char* what;
  std::string text;
  bool withHead;
  TextReadStatus status;
  std::vector<std::string> body;  // the body lines read
};

TEST(ReadLessonTextTest, LinesMarkersAndEnd) {
  const ReadCase cases[] = {
      {"CR, LF and CR LF",
       "<%>BODY<%>\ra\nb\r\nc\r\r\nd",
       false,
       TextReadStatus::Ok,
       {"a", "b", "c", "", "d"}},
      {"Ctrl-Z ends the file", "<%>BODY<%>\r\na\x1a\r\nb\r\n", false, TextReadStatus::Ok, {"a"}},
      {"nothing after the end marker",
       "<%>BODY<%>\r\na\r\n<%>EOF<%>\r\nb\r\n\x80\xff",
       false,
       TextReadStatus::Ok,
       {"a"}},
      {"no end marker: up to the last line",
       "<%>BODY<%>\r\na\r\nb",
       false,
       TextReadStatus::Ok,
       {"a", "b"}},
      {"markers are compared whole",
       "<%>BODY<%>\r\n<%>EOF<%> \r\n <%>EOF<%>\r\n<%>eof<%>\r\n",
       false,
       TextReadStatus::Ok,
       {"<%>EOF<%> ", " <%>EOF<%>", "<%>eof<%>"}},
      {"blank line kept", "<%>BODY<%>\r\n   \r\n", false, TextReadStatus::Ok, {"   "}},
      {"body marker last", "<%>BODY<%>", false, TextReadStatus::Invalid, {}},
      {"body marker last with line end", "<%>BODY<%>\r\n", false, TextReadStatus::Invalid, {}},
      {"body marker before Ctrl-Z",
       "<%>BODY<%>\r\n\x1a"
       "a == b\r\n",
       false,
       TextReadStatus::Invalid,
       {}},
      {"no body marker", "a == b\r\n", false, TextReadStatus::Invalid, {}},
      {"empty file", "", false, TextReadStatus::Invalid, {}},
      {"into a lesson the head is not needed",
       "x\r\n<%>BODY<%>\r\na\r\n",
       false,
       TextReadStatus::Ok,
       {"a"}},
      {"new lesson: head needed", "<%>BODY<%>\r\na\r\n", true, TextReadStatus::Invalid, {}},
      {"new lesson: head marker last", "<%>HEAD<%>\r\n", true, TextReadStatus::Invalid, {}},
      {"new lesson: no body marker",
       "<%>HEAD<%>\r\nName: x\r\n",
       true,
       TextReadStatus::Invalid,
       {}},
      {"new lesson",
       "Titel\r\n<%>HEAD<%>\r\nName: x\r\n<%>BODY<%>\r\na\r\n",
       true,
       TextReadStatus::Ok,
       {"a"}},
      {"byte-order mark", "\xEF\xBB\xBF<%>BODY<%>\r\na\r\n", false, TextReadStatus::Ok, {"a"}},
      {"half a byte-order mark is text",
       "\xEF\xBB<%>BODY<%>\r\n<%>BODY<%>\r\na",
       false,
       TextReadStatus::Ok,
       {"a"}},
  };
  for (const auto& c : cases) {
    std::istringstream in(c.text);
    LessonTextLines lines;
    EXPECT_EQ(c.status, ReadLessonText(in, c.withHead, lines)) << c.what;
    std::vector<std::string> body;
    for (const auto& l : lines.body)
      body.push_back(l.bytes);
    EXPECT_EQ(c.body, body) << c.what;
  }
}

TEST(ReadLessonTextTest, HeadLinesNumbersAndEncoding) {
  std::istringstream in(
      "\xEF\xBB\xBF# Titel\r\n<%>HEAD<%>\r\nName: x\r\n\r\n<%>BODY<%>\r\n"
      "# Bemerkung\r\na == b\r\n");
  LessonTextLines lines;
  ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(in, true, lines));
  ASSERT_EQ(2u, lines.head.size());
  EXPECT_EQ("Name: x", lines.head[0].bytes);
  EXPECT_EQ(3u, lines.head[0].number);
  ASSERT_EQ(2u, lines.body.size());
  EXPECT_EQ(7u, lines.body[1].number);
  EXPECT_TRUE(lines.byteOrderMark);
  EXPECT_TRUE(lines.utf8);

  // Into an existing lesson the head is not even kept (nor does it decide the encoding).
  std::istringstream into("<%>HEAD<%>\r\nName: \xE4\r\n<%>BODY<%>\r\n\xC3\xA4 == a\r\n");
  ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(into, false, lines));
  EXPECT_TRUE(lines.head.empty());
  EXPECT_TRUE(lines.utf8);

  // A file is UTF-8 when its bytes outside ASCII are; one that mixes UTF-8 with other bytes is
  // UTF-8 with a broken line unless the other bytes are the more (a Windows-1252 file in which
  // two bytes happen to form a UTF-8 character).
  struct Enc {
    std::string body;
    bool utf8;
    std::size_t brokenLine;
  } encodings[] = {
      {"a == b", false, 0},
      {"\xC3\xA4 == b", true, 0},                                          // "ä" in UTF-8
      {"\xE4 == b", false, 0},                                             // "ä" in Windows-1252
      {"\xC3\xA4 == \xE4", true, 2},                                       // mixed
      {"gr\xC3\xBC\xC3\x9F == a\r\nb == \xE4\r\n\xC3\xA4 == c", true, 3},  // mostly UTF-8
      {"\x84Stra\xDF\x93 == \xE4\xF6", false, 0},  // „Straße“ in Windows-1252: "ß“" is no text
  };
  for (const auto& e : encodings) {
    std::istringstream text("<%>BODY<%>\r\n" + e.body + "\r\n");
    ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(text, false, lines));
    EXPECT_EQ(e.utf8, lines.utf8) << e.body;
    EXPECT_EQ(e.brokenLine, lines.brokenLine) << e.body;
  }
}

TEST(ReadLessonTextTest, OverlongLinesAreCut) {
  std::string text = "<%>BODY<%>\r\na == b" + std::string(3 << 20, 'x') + "\r\nc == d\r\n";
  std::istringstream in(text);
  LessonTextLines lines;
  ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(in, false, lines));
  ASSERT_EQ(2u, lines.body.size());
  EXPECT_EQ(LessonTextReader::kMaxLineBytes, lines.body[0].bytes.size());
  EXPECT_EQ("c == d", lines.body[1].bytes);
  EXPECT_EQ(3u, lines.body[1].number);

  // A cut never leaves half a UTF-8 character behind.
  std::string wide = "<%>BODY<%>\r\n" + std::string(LessonTextReader::kMaxLineBytes - 1, 'a');
  wide += "\xC3\xA4\xC3\xA4\r\n";
  std::istringstream in2(wide);
  ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(in2, false, lines));
  EXPECT_EQ(LessonTextReader::kMaxLineBytes - 1, lines.body[0].bytes.size());
}

// The file is read in blocks; a line end, a CR LF pair or a Ctrl-Z where two blocks meet is read
// as anywhere else.
TEST(ReadLessonTextTest, LinesWhereBlocksMeet) {
  const std::string head = "<%>BODY<%>\r\na == ";
  for (std::size_t at = LessonTextReader::kBlockBytes - 2; at <= LessonTextReader::kBlockBytes + 1;
       ++at) {
    const std::string first = "a == " + std::string(at - head.size(), 'x');
    struct Case {
      const char* what;
      std::string after;  // what follows the first line, from byte `at`
      std::vector<std::string> body;
    } cases[] = {
        {"CR LF", "\r\nc == d\r\n", {first, "c == d"}},
        {"CR", "\rc == d\r", {first, "c == d"}},
        {"LF", "\nc == d", {first, "c == d"}},
        {"CR before Ctrl-Z", "\r\x1a\nc == d\r\n", {first}},
        {"Ctrl-Z", "\x1a\r\nc == d\r\n", {first}},
    };
    for (const Case& c : cases) {
      std::istringstream in(head + std::string(at - head.size(), 'x') + c.after);
      LessonTextLines lines;
      ASSERT_EQ(TextReadStatus::Ok, ReadLessonText(in, false, lines)) << c.what << " at " << at;
      std::vector<std::string> body;
      for (const TextLine& line : lines.body)
        body.push_back(line.bytes);
      EXPECT_EQ(c.body, body) << c.what << " at " << at;
      if (body.size() == 2) {
        EXPECT_EQ(3u, lines.body[1].number) << c.what << " at " << at;
      }
    }
  }
}

// ----------------------------------------------------------------------------------------------
// Import into the DataFile

class ImportTest : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteRecords(path, {Header("V"), Unit(1, "Alt", "k"), Entry(1, "eins", "one")});
  }
  std::string writeText(const std::string& bytes, const char* name = "in.txt") {
    const std::string p = dir.file(name);
    WriteBytes(p, bytes);
    return p;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  mhtest::ScriptedMessages msgs;
};

TEST_F(ImportTest, NewLessonFromTheHead) {
  const std::string text = Crlf(
      {"<%>HEAD<%>", "Exported with Merkhaus 3 - by Merkhaus Autoren", "Date: 1.2.2003",
       "Name: Tiere", Latin1("Kommentar: Haus- und Nutztiere, große"), "Anzahl: 99", "",
       "<%>BODY<%>", "dog; hound == Hund @K& best friend", "# nur für Menschen", "", "   ",
       "kaputt", Latin1("  big ;  large;huge;vast  ==  groß  "), "", "<%>EOF<%>", "after == end"});
  const std::string file = writeText(text);
  msgs.expect("Die Datei \"" + file +
                  "\" wurde importiert. Hinweise:\n"
                  "Zeile 12: ohne \" == \", also keine Vokabel\n"
                  "Zeile 13: ohne \" == \", also keine Vokabel",
              Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  const ImportResult r = ImportLessonText(path, file, 0, msgs);
  EXPECT_TRUE(r.imported);
  EXPECT_TRUE(r.newLesson);
  EXPECT_TRUE(r.dataFileChanged);
  EXPECT_EQ(255, r.unitID);
  EXPECT_EQ(2u, r.added);
  EXPECT_EQ((std::vector<std::size_t>{12, 13}), r.skippedLines);
  const auto recs = ReadRecords(path);
  ASSERT_EQ(6u, recs.size());
  EXPECT_EQ(Unit(255, "Tiere", Latin1("Haus- und Nutztiere, große")), recs[3]);
  EXPECT_EQ(Entry6(255, "dog", "hound", "", "Hund", "", "", "best friend"), recs[4]);
  EXPECT_EQ(Entry6(255, "big", "large", "huge;vast", Latin1("groß"), "", ""), recs[5]);
}

TEST_F(ImportTest, IntoALessonTheHeadIsIgnored) {
  const std::string text = Crlf({"<%>HEAD<%>", "Name: Tiere", "<%>BODY<%>", "a == b"});
  const ImportResult r = ImportLessonText(path, writeText(text), 1, msgs);
  EXPECT_TRUE(r.imported);
  EXPECT_FALSE(r.newLesson);
  EXPECT_EQ(1, r.unitID);
  const auto recs = ReadRecords(path);
  ASSERT_EQ(4u, recs.size());
  EXPECT_EQ(Entry(1, "a", "b"), recs[3]);

  // No head at all, no end marker, no line end after the last line.
  ImportLessonText(path, writeText("<%>BODY<%>\rc == d"), 1, msgs);
  EXPECT_EQ(Entry(1, "c", "d"), ReadRecords(path).at(4));
}

// A name clash keeps the old words and says what really stopped the import.
constexpr const char* kClashNotInvalid =
    "Datei nicht gültig!\nDie Datei selbst ist in Ordnung: Im DataFile gibt es schon eine Lektion "
    "dieses Namens. Benennen Sie eine der beiden um und importieren Sie noch einmal. Es wurde "
    "nichts importiert.";

TEST_F(ImportTest, FailuresChangeNothing) {
  struct Case {
    const char* what;
    std::string text;  // empty: no text file at all
    std::vector<std::string> messages;
  } cases[] = {
      {"missing file", "", {"Dateiname nicht vorhanden!"}},
      {"no head", Crlf({"<%>BODY<%>", "a == b"}), {"Datei nicht gültig!"}},
      {"head last", Crlf({"x", "<%>HEAD<%>"}), {"Datei nicht gültig!"}},
      {"body last", Crlf({"<%>HEAD<%>", "Name: Neu", "<%>BODY<%>"}), {"Datei nicht gültig!"}},
      {"name taken",
       Crlf({"<%>HEAD<%>", "Name: Alt", "<%>BODY<%>", "a == b"}),
       {"Die Unit ist bereits vorhanden!", "Fehler beim schreiben!", kClashNotInvalid}},
  };
  const std::string before = ReadBytes(path);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string file = c.text.empty() ? dir.file("fehlt.txt") : writeText(c.text);
    for (const auto& m : c.messages)
      msgs.expect(m);
    const ImportResult r = ImportLessonText(path, file, 0, msgs);
    EXPECT_FALSE(r.imported);
    EXPECT_FALSE(r.dataFileChanged);
    EXPECT_EQ(before, ReadBytes(path));
    EXPECT_TRUE(msgs.done());
  }
  // The boxes of the text file's failures.
  msgs.expect("Dateiname nicht vorhanden!", Answer::Yes, MsgKind::Warning, MsgButtons::Yes);
  ImportLessonText(path, dir.file("fehlt.txt"), 1, msgs);
  msgs.expect("Fehler beim lesen!\nDie Datei \"" + dir.path().string() +
                  "\" kann nicht geöffnet werden: das ist ein Ordner.",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  ImportLessonText(path, dir.path().string(), 1, msgs);
  // A FIFO is refused at once instead of waiting for a writer that never comes.
  const std::string fifo = dir.file("pipe.txt");
  ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
  msgs.expect("Fehler beim lesen!\nDie Datei \"" + fifo +
                  "\" kann nicht geöffnet werden: das ist keine gewöhnliche Datei (sondern etwa "
                  "eine Pipe oder ein Gerät).",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  ImportLessonText(path, fifo, 1, msgs);
  const std::string read = writeText(Crlf({"<%>BODY<%>", "a == b"}));
  InjectFileFault({read, FileFault::At::Read, 0, EIO});
  msgs.expect("Fehler beim lesen!\nDie Datei \"" + read +
                  "\" kann nicht gelesen werden: Ein-/Ausgabefehler des Datenträgers.",
              Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  ImportLessonText(path, read, 1, msgs);
  ClearFileFaults();
  EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(ImportTest, MissingDataFile) {
  const std::string text = writeText(Crlf({"<%>HEAD<%>", "Name: N", "<%>BODY<%>", "a == b"}));
  const std::string gone = dir.file("weg.fid");
  for (const std::uint8_t into : {1, 0}) {
    msgs.expect(
        "Das Speichern ist fehlgeschlagen! Es wurde nichts importiert." + mhtest::Missing(gone),
        Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(ImportLessonText(gone, text, into, msgs).imported);
  }
  EXPECT_FALSE(std::filesystem::exists(gone));
}

// The lesson to import into is looked for while the DataFile is held: one deleted meanwhile
// gets no live entries.
TEST_F(ImportTest, IntoALessonThatIsGone) {
  WriteRecords(path, {Header("V"), Unit(1, "L", "", 1)});
  const std::string before = ReadBytes(path);
  msgs.expect(
      "Die Lektion mit der UnitID 1 gibt es in diesem DataFile nicht (mehr). Es wurde nichts "
      "importiert.",
      Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  EXPECT_FALSE(ImportLessonText(path, writeText(Crlf({"<%>BODY<%>", "a == b"})), 1, msgs).imported);
  EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(ImportTest, ExportDeleteImportGivesTheLessonBack) {
  WriteRecords(path, {Header("V"), Unit(1, "Verben", Latin1("unregelmäßig")),
                      Entry6(1, "to go", "", "to walk", "gehen", "laufen", "", "went, gone"),
                      Entry(2, "fremd", "x"), Entry6(1, "a", "b", "c", "d", "e", "f"),
                      Entry(1, "tot", "x", "", 1)});
  const LessonRead lesson = ReadLesson(path, 1, SIZE_MAX).value();
  ASSERT_TRUE(lesson.header);
  const std::string text = dir.file("verben.txt");
  ASSERT_TRUE(ExportLessonText(text, *lesson.header, lesson.entries, W("heute"), msgs));
  ASSERT_EQ(3u, DeleteLessonRecords(path, 1).value());

  const ImportResult r = ImportLessonText(path, text, 0, msgs);
  ASSERT_TRUE(r.imported);
  EXPECT_EQ(255, r.unitID);
  EXPECT_TRUE(r.skippedLines.empty());
  const auto recs = ReadRecords(path);
  ASSERT_EQ(9u, recs.size());
  EXPECT_EQ(Unit(255, "Verben", Latin1("unregelmäßig")), recs[6]);
  // Up to the shift of A3 into an empty A2.
  EXPECT_EQ(Entry6(255, "to go", "to walk", "", "gehen", "laufen", "", "went, gone"), recs[7]);
  EXPECT_EQ(Entry6(255, "a", "b", "c", "d", "e", "f"), recs[8]);
}

TEST_F(ImportTest, Utf8AndWindows1252GiveTheSameBytes) {
  const std::vector<std::string_view> lines = {"<%>HEAD<%>",
                                               "Name: Übung – 1",
                                               "Kommentar: Grüße",
                                               "<%>BODY<%>",
                                               "garçon; cœur == Junge; Herz @K& „Anführung“ €",
                                               "ex æquo == gleichauf",
                                               "<%>EOF<%>"};
  const std::string utf8 =
      Crlf({lines[0], lines[1], lines[2], lines[3], lines[4], lines[5], lines[6]});
  const std::string cp1252 = FromUtf8(utf8).value().bytes();
  ASSERT_NE(utf8, cp1252);

  const std::string before = ReadBytes(path);
  std::vector<std::string> results;
  for (const std::string& bytes : {cp1252, utf8, "\xEF\xBB\xBF" + utf8}) {
    WriteBytes(path, before);
    ASSERT_TRUE(ImportLessonText(path, writeText(bytes), 0, msgs).imported);
    results.push_back(ReadBytes(path));
  }
  EXPECT_EQ(results[0], results[1]);
  EXPECT_EQ(results[0], results[2]);
  const auto recs = ReadRecords(path);
  EXPECT_EQ(Unit(255, FromUtf8("Übung – 1")->bytes(), Latin1("Grüße")), recs[3]);
  EXPECT_EQ(FromUtf8("„Anführung“ €")->bytes(), mhtest::GetText(recs[4], mhtest::kComment));
}

TEST_F(ImportTest, BrokenUtf8StopsBeforeAnythingIsWritten) {
  const std::string before = ReadBytes(path);
  // With a byte-order mark the file must be UTF-8 throughout; without one, a line of other
  // bytes among UTF-8 ones is refused as well, for it would be stored garbled.
  for (const std::string& text : {std::string("\xEF\xBB\xBF<%>BODY<%>\r\n\xE4 == a\r\n"),
                                  std::string("<%>BODY<%>\r\n\xE4 == a\r\n\xC3\xA4 == b\r\n")}) {
    const std::string file = writeText(text);
    msgs.expect("Die Datei \"" + file +
                    "\" ist in UTF-8 geschrieben, aber Zeile 2 ist kein gültiger UTF-8-Text.\n"
                    "Es wurde nichts importiert.",
                Answer::Ok, MsgKind::Error, MsgButtons::Ok);
    EXPECT_FALSE(ImportLessonText(path, file, 1, msgs).imported);
  }
  EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(ImportTest, LongNamesAreCheckedAsStored) {
  const std::string name(70, 'n');
  const std::string text = Crlf({"<%>HEAD<%>", "Name: " + name, "<%>BODY<%>", "a == b"});
  msgs.expect("Die Datei \"" + dir.file("in.txt") +
              "\" wurde importiert. Hinweise:\nZeile 2: Name der Lektion auf 60 Zeichen gekürzt");
  ASSERT_EQ(255, ImportLessonText(path, writeText(text), 0, msgs).unitID);
  EXPECT_EQ(std::string(60, 'n'), mhtest::GetText(ReadRecords(path).at(3), mhtest::kB1));
  msgs.expect("Die Unit ist bereits vorhanden!")
      .expect("Fehler beim schreiben!")
      .expect(kClashNotInvalid);
  EXPECT_FALSE(ImportLessonText(path, writeText(text), 0, msgs).imported);
  EXPECT_EQ(5u, ReadRecords(path).size());
}

TEST_F(ImportTest, BinaryGarbageDoesNotHurt) {
  std::mt19937 random(1234);
  std::uniform_int_distribution<int> byte(0, 255);
  for (int round = 0; round < 20; ++round) {
    std::string garbage;
    // Without Ctrl-Z, which would end the file within the first few hundred bytes.
    for (int i = 0; i < 200000; ++i) {
      const int b = byte(random);
      garbage += static_cast<char>(b == 26 ? 27 : b);
    }
    if (round % 2)
      garbage.insert(garbage.size() / 3, "\r\n<%>HEAD<%>\r\nName: x\r\n<%>BODY<%>\r\n");
    if (round % 4 == 1) garbage.insert(garbage.size() / 2, "\r\nw == v\r\n");
    WriteRecords(path, {Header("V"), Unit(1, "Alt")});
    // Garbage has problem lines: the import asks, and is told to go on.
    mhtest::AnswerEverything yes(Answer::Yes);
    const ImportResult r = ImportLessonText(path, writeText(garbage), 0, yes);
    EXPECT_EQ(round % 2 == 1, r.imported) << round;
    if (round % 2 == 0) {
      EXPECT_EQ("Datei nicht gültig!", yes.texts.at(0));
    }
    const auto recs = ReadRecords(path);
    EXPECT_EQ(ReadBytes(path).size(), recs.size() * 624);
    EXPECT_EQ(r.imported ? 3u + r.added : 2u, recs.size());
    for (std::size_t i = 3; i < recs.size(); ++i) {
      for (std::size_t field :
           {mhtest::kA1, mhtest::kA2, mhtest::kA3, mhtest::kB1, mhtest::kB2, mhtest::kB3}) {
        EXPECT_LE(recs[i][field], 60);
      }
      EXPECT_EQ(255, recs[i][mhtest::kUnitID]);
    }
  }
}

// ----------------------------------------------------------------------------------------------
// A write that fails half-way leaves the DataFile as it was.

TEST_F(ImportTest, AFailingWriteLeavesTheDataFileAsItWas) {
  std::string text = Crlf({"<%>HEAD<%>", "Name: Neu", "<%>BODY<%>"});
  for (int i = 0; i < 20; ++i)
    text += "wort" + std::to_string(i) + " == Wort\r\n";
  const std::string file = writeText(text);
  const std::string before = ReadBytes(path);
  const std::string full =
      "Die Datei \"" + path +
      "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem Datenträger.\nEs wurde "
      "nichts importiert; das DataFile ist unverändert.";

  // Into the existing lesson: the first entries fit, the rest does not.
  InjectFileFault({path, FileFault::At::Write, 1000, ENOSPC});
  msgs.expect(full, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(ImportLessonText(path, file, 1, msgs).imported);
  ClearFileFaults();
  EXPECT_EQ(before, ReadBytes(path));
  // Into a new lesson: its header is written, the entries are not; the header goes again.
  InjectFileFault({path, FileFault::At::Write, 624 + 1000, ENOSPC});
  msgs.expect(full, Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  const ImportResult failed = ImportLessonText(path, file, 0, msgs);
  EXPECT_FALSE(failed.imported || failed.dataFileChanged);
  ClearFileFaults();
  EXPECT_EQ(before, ReadBytes(path));
  // Without the fault the same import works.
  EXPECT_EQ(20u, ImportLessonText(path, file, 0, msgs).added);
}

}  // namespace
}  // namespace merkhaus
