// SPDX-License-Identifier: GPL-3.0-or-later
// Problem lines of an import: every one is named, nothing is written without the learner's
// consent, and with it everything else is.

#include <gtest/gtest.h>

#include "maintenance/import_report.h"
#include "maintenance/source_text.h"
#include "maintenance/text_transfer.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

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

std::string Crlf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (auto l : lines)
    (text += l) += "\r\n";
  return text;
}

class ProblemLines : public ::testing::Test {
 protected:
  void SetUp() override { WriteRecords(path, {Header("V"), Unit(1, "Alt")}); }
  std::string writeText(const std::string& bytes) {
    WriteBytes(file, bytes);
    return file;
  }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  std::string file = dir.file("in.txt");
  mhtest::ScriptedMessages msgs;
};

TEST_F(ProblemLines, EveryLineIsNamedAndTheRestImportedOnlyWithConsent) {
  const std::string text = Crlf({
      "<%>HEAD<%>",                                                    // 1
      "Name: Wörter",                                                  // 2
      "<%>BODY<%>",                                                    // 3
      "dog == Hund",                                                   // 4
      "alpha == α @K& griechisch",                                     // 5
      std::string("nul == a\0b", 10),                                  // 6
      std::string(70, 'x') + " == lang @K& " + std::string(300, 'c'),  // 7
      " == ",                                                          // 8
      "kaputt",                                                        // 9
      "zero\u200Bwidth == x",                                          // 10
      "Ωmega; ∞ == Omega",                                             // 11
      "# α in a remark is no problem",                                 // 12
      "nel == \u0085",                                                 // 13
      "cat == Katze",                                                  // 14
  });
  const std::string question =
      "Die Datei \"" + file +
      "\" enthält Zeilen, die nicht importiert werden können:\n"
      "Zeile 5: das Zeichen „α“ (U+03B1) gibt es in Windows-1252 nicht\n"
      "Zeile 6: das Steuerzeichen U+0000\n"
      "Zeile 10: das Zeichen U+200B gibt es in Windows-1252 nicht\n"
      "Zeile 11: das Zeichen „Ω“ (U+03A9) gibt es in Windows-1252 nicht; das Zeichen „∞“ "
      "(U+221E) gibt es in Windows-1252 nicht\n"
      "Zeile 13: das Steuerzeichen U+0085\n"
      "Hinweise:\n"
      "Zeile 7: A1 auf 60 Zeichen gekürzt\n"
      "Zeile 7: Kommentar auf 255 Zeichen gekürzt\n"
      "Zeile 8: beide Seiten leer, als Vokabel ohne Wörter übernommen\n"
      "Zeile 9: ohne \" == \", also keine Vokabel\n"
      "Sollen die übrigen Zeilen importiert werden?";
  const std::string before = ReadBytes(path);
  writeText(text);

  // "Nein", the default: nothing is written.
  msgs.expect(question, Answer::No, MsgKind::Warning, MsgButtons::YesNoDefaultNo);
  ImportResult r = ImportLessonText(path, file, 0, msgs);
  EXPECT_FALSE(r.imported);
  EXPECT_TRUE(r.declined);
  EXPECT_EQ(before, ReadBytes(path));

  // "Ja": the other lines, the cut and the empty entry included; no second report.
  msgs.expect(question, Answer::Yes);
  r = ImportLessonText(path, file, 0, msgs);
  ASSERT_TRUE(r.imported);
  EXPECT_EQ(4u, r.added);
  EXPECT_EQ((std::vector<std::size_t>{5, 6, 9, 10, 11, 13}), r.skippedLines);
  const auto recs = ReadRecords(path);
  ASSERT_EQ(7u, recs.size());
  EXPECT_EQ(Unit(255, Latin1("Wörter")), recs[2]);
  EXPECT_EQ(Entry6(255, "dog", "", "", "Hund", "", ""), recs[3]);
  EXPECT_EQ(Entry6(255, std::string(60, 'x'), "", "", "lang", "", "", std::string(255, 'c')),
            recs[4]);
  EXPECT_EQ(Entry6(255, "", "", "", "", "", ""), recs[5]);
  EXPECT_EQ(Entry6(255, "cat", "", "", "Katze", "", ""), recs[6]);
}

TEST_F(ProblemLines, ControlBytesOfAWindows1252File) {
  // No UTF-8 at all: Windows-1252, whose unassigned bytes are controls as well.
  writeText(Crlf({"<%>BODY<%>", Latin1("grün == grün"), "a == \x81", "b == \x7f", "c\x1b == d"}));
  msgs.expect("Die Datei \"" + file +
                  "\" enthält Zeilen, die nicht importiert werden können:\n"
                  "Zeile 3: das Steuerzeichen U+0081\n"
                  "Zeile 4: das Steuerzeichen U+007F\n"
                  "Zeile 5: das Steuerzeichen U+001B\n"
                  "Sollen die übrigen Zeilen importiert werden?",
              Answer::Yes);
  const ImportResult r = ImportLessonText(path, file, 1, msgs);
  EXPECT_EQ(1u, r.added);
  EXPECT_EQ(Entry6(1, Latin1("grün"), "", "", Latin1("grün"), "", ""), ReadRecords(path).at(2));
}

// A lesson needs a name: a head without one makes nothing, whatever the other lines hold.
TEST_F(ProblemLines, AHeadWithoutANameMakesNoLesson) {
  const std::string noName = "Der Kopf der Datei \"" + file +
                             "\" nennt keinen Namen für die Lektion (es fehlt eine Zeile "
                             "„Name: …“).";
  struct Case {
    std::vector<std::string> head;
    std::string message;
  } cases[] = {
      {{"Kommentar: nur ein Kommentar"}, noName},
      {{"Name:    ", "Kommentar: k"}, noName},
      {{"Name: Ωmega"},
       noName + "\nZeile 2: das Zeichen „Ω“ (U+03A9) gibt es in Windows-1252 nicht"},
  };
  const std::string before = ReadBytes(path);
  for (const auto& c : cases) {
    std::string text = "<%>HEAD<%>\r\n";
    for (const auto& h : c.head)
      text += h + "\r\n";
    writeText(text + Crlf({"<%>BODY<%>", "α == b", "a == b"}));
    msgs.expect(c.message, Answer::Ok, MsgKind::Error, MsgButtons::Ok)
        .expect("Fehler beim schreiben!")
        .expect("Datei nicht gültig!");
    EXPECT_FALSE(ImportLessonText(path, file, 0, msgs).imported) << c.head[0];
    EXPECT_TRUE(msgs.done());
  }
  EXPECT_EQ(before, ReadBytes(path));
}

TEST(ImportNotes, ListsAreCutInTheWindowButNotInTheTool) {
  const std::vector<ImportNote> notes = {{0, "Name gekürzt"}, {3, "a"}, {7, "b"}};
  EXPECT_EQ("Name gekürzt\nZeile 3: a\nZeile 7: b", ListNotes(notes, SIZE_MAX));
  EXPECT_EQ("Name gekürzt\nZeile 3: a\n… und 1 weitere", ListNotes(notes, 2));
}

// Every import (lesson text, CSV, KVTML) converts its text by the same function: into a
// Windows-1252 DataFile by the table, into a Unicode DataFile as UTF-8, the Latin-1 letters
// included, with the control characters left out and named in both.
TEST(ImportText, ConvertsIntoEitherKindOfDataFile) {
  constexpr auto kUtf8 = SourceEncoding::Utf8;
  constexpr auto kWin = SourceEncoding::Windows1252;
  const struct Case {
    std::string_view bytes;
    SourceEncoding source;
    TextEncoding target;
    std::string_view stored;
    std::size_t bad;
  } cases[] = {
      {"Straße é Ä € ½", kUtf8, TextEncoding::Cp1252,
       "Stra\xDF"
       "e \xE9 \xC4 \x80 \xBD",
       0},
      {"Straße é Ä € ½", kUtf8, TextEncoding::Utf8, "Straße é Ä € ½", 0},
      {"Stra\xDF"
       "e \x80",
       kWin, TextEncoding::Utf8, "Straße €", 0},
      {"Stra\xDF"
       "e \x80",
       kWin, TextEncoding::Cp1252,
       "Stra\xDF"
       "e \x80",
       0},
      {"a\u00A0b", kUtf8, TextEncoding::Cp1252,
       "a\xA0"
       "b",
       0},
      {"a\u00A0b", kUtf8, TextEncoding::Utf8, "a\u00A0b", 0},
      {"дом ß", kUtf8, TextEncoding::Cp1252, " \xDF", 3},
      {"дом ß", kUtf8, TextEncoding::Utf8, "дом ß", 0},
      // U+0085, a control character written with the same first byte as the Latin-1 letters.
      {"a\u0085ä\x01", kUtf8, TextEncoding::Utf8, "aä", 2},
      {"a\u0085ä\x01", kUtf8, TextEncoding::Cp1252, "a\xE4", 2},
  };
  for (const Case& c : cases) {
    std::vector<std::string> bad;
    const auto text = ToWinText(c.bytes, c.source, bad, c.target);
    ASSERT_TRUE(text) << c.bytes;
    EXPECT_EQ(c.stored, text->view()) << c.bytes;
    EXPECT_EQ(c.target, text->encoding()) << c.bytes;
    EXPECT_EQ(c.bad, bad.size()) << c.bytes;
  }
}

}  // namespace
}  // namespace merkhaus
