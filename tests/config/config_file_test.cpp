// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_file.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <string>
#include <vector>

#include "platform/file_io.h"
#include "support/datafile_builder.h"
#include "support/fakes.h"

namespace merkhaus {
namespace {

using mhtest::Latin1;
using mhtest::ReadBytes;
using mhtest::WriteBytes;

// The file of a first start, line by line, as the learner sees it (UTF-8 here, Windows-1252 on
// disk).
const std::vector<std::string> kDefaultLines = {
    "# Merkhaus Version 3.05 - Optionsdatei!",
    "# ",
    "# Merkhaus Version 3.05 von Merkhaus Autoren",
    "# Bitte ändern sie keine Einträge, wenn sie sich nicht 100%ig sicher sind, was sie damit "
    "bezwecken.",
    "# Sollte beim Ändern gewisser Einträge ein Fehler unterlaufen bewirkt dies, dass das Programm "
    "nicht mehr, oder zumindest nicht mehr korrekt, gestartet werden kann!",
    "# ",
    "# ",
    "# Allgemein",
    "# ",
    "# Standard DataFile",
    "",  // 11 StdDF
    "# Immer StdDF verwenden",
    "FALSE",  // 13 alwaysthisfile
    "# Durch doppelklick geöffnete *.fid - Dateien so behandeln",
    "0",  // 15 openreact
    "# Immer nur die in der Kommandozeile spezifizierte Datei ohne Nachfrage behandeln",
    "FALSE",  // 17 alwaysthatfile
    "# Unnötige führende, mittige und abschließende Leerzeichen entfernen",
    "TRUE",  // 19 Eingabe_SpaceCut
    "# Durch Semikola getrennten Wörtern eine neue Synonymebene zuordnen",
    "TRUE",  // 21 Semikolacut
    "# ",
    "# Üben",
    "# Menüpunkte von links oben => nach rechts unten!",
    "# ",
    // 26..35 Study_SpaceCut .. clearwhenwrong
    "TRUE",
    "TRUE",
    "TRUE",
    "FALSE",
    "FALSE",
    "TRUE",
    "TRUE",
    "TRUE",
    "FALSE",
    "FALSE",
    "0",  // 36 Abfrageweise
    "2",
    "2",
    "3",  // 37..39 KickoutVal, Neuversuche, Losungstrafe
    "TRUE",
    "5",
    "FALSE",  // 40..42 AutoWeiterAkt, Autoweiter, Autoweiterchbx
    "# ",
    "# Testen",
    "# Menüpunkte von links oben => nach rechts unten!",
    "# ",
    // 47..53 Testen_SpaceCut .. testenKnowOnlyOneVoc
    "TRUE",
    "TRUE",
    "FALSE",
    "TRUE",
    "TRUE",
    "TRUE",
    "FALSE",
    "0",  // 54 TestenAbfrageweise
    "# ",
    "# Algorithmus",
    "# Menüpunkte von links oben => nach rechts unten!",
    "# ",
    "0",
    "FALSE",  // 59, 60 algorithmus, doppelvok
    "# ",
    "# Wörterbuch",
    "# Menüpunkte von links oben => nach rechts unten!",
    "# ",
    "TRUE",
    "FALSE",
    "FALSE",
    "TRUE",
    "TRUE",   // 65..69 groesse .. wortbuchleerenft
    "FALSE",  // 70 Felder
    // 71..77 CheckBox1..7: false until the Felder rule runs after loading
    "FALSE",
    "FALSE",
    "FALSE",
    "FALSE",
    "FALSE",
    "FALSE",
    "FALSE",
};

std::string FileOf(const std::vector<std::string>& utf8Lines) {
  std::string bytes;
  for (const auto& l : utf8Lines)
    bytes += Latin1(l) + "\r\n";
  return bytes;
}

std::vector<std::string> LinesOf(const std::string& bytes) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < bytes.size()) {
    const auto end = bytes.find("\r\n", start);
    lines.push_back(bytes.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// Every option away from its default.
Options NonDefaults() {
  Options o;
  o.StdDF = Latin1("/home/lerner/Meine Vokabeln/Französisch Übung.fid");
  o.alwaysthisfile = true;
  o.openreact = 4;
  o.alwaysthatfile = true;
  o.Eingabe_SpaceCut = false;
  o.Semikolacut = false;
  o.Study_SpaceCut = false;
  o.FragezeichenLosung = false;
  o.Kommentar_zeigen = false;
  o.AdvancedTips = true;
  o.Synonymabfrage = true;
  o.SmartBrackets = false;
  o.Grossklein = false;
  o.Kommatareg = false;
  o.KnowOnlyOneVoc = true;
  o.clearwhenwrong = true;
  o.Abfrageweise = 2;
  o.KickoutVal = 255;
  o.Neuversuche = 16;
  o.Losungstrafe = 1;
  o.AutoWeiterAkt = false;
  o.Autoweiter = 120;
  o.Autoweiterchbx = true;
  o.Testen_SpaceCut = false;
  o.Testen_showcomments = false;
  o.testensynonymabfrage = true;
  o.TestenSmartBrackets = false;
  o.testengrossklein = false;
  o.testenKommatareg = false;
  o.testenKnowOnlyOneVoc = true;
  o.TestenAbfrageweise = 1;
  o.algorithmus = 3;
  o.doppelvok = true;
  o.groesse = false;
  o.ganzewoerter = true;
  o.showunitID = true;
  o.ClearList = false;
  o.wortbuchleerenft = false;
  o.Felder = true;
  o.searchB1 = true;
  o.searchB3 = true;
  o.searchA2 = true;
  o.searchComment = true;
  return o;
}

struct Fixture {
  mhtest::TempDir dir;
  Options options;
  SpecialCharTable specialChars;
  mhtest::ScriptedMessages messages;
  ConfigFile config{dir.path(), options, specialChars, messages};
  std::string cfg() const { return dir.file("Merkhaus.cfg"); }
};

TEST(ConfigFile, FirstStartWritesTheDefaultFile) {
  Fixture f;
  f.config.loadOrCreate();
  const std::string bytes = ReadBytes(f.cfg());
  EXPECT_EQ(FileOf(kDefaultLines), bytes);
  EXPECT_EQ(77u, LinesOf(bytes).size());
  EXPECT_EQ(Options{}, f.options);
  // The special characters are there from the first start on.
  EXPECT_EQ("\xE7\xC7\r\n\xE6\xC6\r\n", ReadBytes(f.dir.file("Merkhaus.soz")));
  EXPECT_EQ(std::optional<char>('\xE7'), f.specialChars.keys[0].normal);
}

TEST(ConfigFile, EveryOptionSurvivesSaveAndLoadAtItsLine) {
  Fixture f;
  f.options = NonDefaults();
  ASSERT_TRUE(f.config.save());
  const auto lines = LinesOf(ReadBytes(f.cfg()));
  ASSERT_EQ(77u, lines.size());
  const std::pair<int, std::string> expected[] = {
      {11, Latin1("/home/lerner/Meine Vokabeln/Französisch Übung.fid")},
      {13, "TRUE"},
      {15, "4"},
      {17, "TRUE"},
      {19, "FALSE"},
      {21, "FALSE"},
      {26, "FALSE"},
      {29, "TRUE"},
      {33, "FALSE"},
      {34, "TRUE"},
      {35, "TRUE"},
      {36, "2"},
      {37, "255"},
      {38, "16"},
      {39, "1"},
      {40, "FALSE"},
      {41, "120"},
      {42, "TRUE"},
      {49, "TRUE"},
      {50, "FALSE"},
      {51, "FALSE"},
      {52, "FALSE"},
      {53, "TRUE"},
      {54, "1"},
      {59, "3"},
      {60, "TRUE"},
      {65, "FALSE"},
      {66, "TRUE"},
      {70, "TRUE"},
      {71, "TRUE"},
      {72, "FALSE"},
      {73, "TRUE"},
      {74, "FALSE"},
      {75, "TRUE"},
      {76, "FALSE"},
      {77, "TRUE"}};
  for (const auto& [line, text] : expected)
    EXPECT_EQ(text, lines[line - 1]) << "line " << line;
  for (int comment : {1, 10, 23, 44, 56, 62, 64}) {
    EXPECT_EQ(Latin1(kDefaultLines[comment - 1]), lines[comment - 1]) << "line " << comment;
  }

  Options loaded;
  SpecialCharTable chars;
  ConfigFile other(f.dir.path(), loaded, chars, f.messages);
  other.loadOrCreate();
  EXPECT_EQ(NonDefaults(), loaded);
}

TEST(ConfigFile, ValueLinesAreReadLeniently) {
  struct Case {
    int line;
    std::string text;
    std::function<int(const Options&)> get;
    int expected;
  };
  const auto kickout = [](const Options& o) { return static_cast<int>(o.KickoutVal); };
  const Case cases[] = {
      {13, "TRUE", [](const Options& o) { return int{o.alwaysthisfile}; }, 1},
      {13, "true", [](const Options& o) { return int{o.alwaysthisfile}; }, 0},
      {13, "TRUE ", [](const Options& o) { return int{o.alwaysthisfile}; }, 0},
      {19, "", [](const Options& o) { return int{o.Eingabe_SpaceCut}; }, 0},
      {37, "7", kickout, 7},
      {37, "0", kickout, 1},
      {37, "999", kickout, 255},
      {37, "7x", kickout, 7},
      {37, "  +12", kickout, 12},
      {37, "$1F", kickout, 31},
      {37, "0x1f", kickout, 31},
      {37, "-3", kickout, 1},
      {37, "", kickout, 1},
      {37, "abc", kickout, 1},
      {37, "99999999999999999999999999", kickout, 255},
      {38, "17", [](const Options& o) { return static_cast<int>(o.Neuversuche); }, 16},
      {41, "0", [](const Options& o) { return static_cast<int>(o.Autoweiter); }, 1},
      {41, "121", [](const Options& o) { return static_cast<int>(o.Autoweiter); }, 120},
      {59, "9", [](const Options& o) { return static_cast<int>(o.algorithmus); }, 3},
      {59, "2", [](const Options& o) { return static_cast<int>(o.algorithmus); }, 2},
      {15, "-1", [](const Options& o) { return static_cast<int>(o.openreact); }, -1},
      {15, "-$10", [](const Options& o) { return static_cast<int>(o.openreact); }, -1},
      {36, "3", [](const Options& o) { return static_cast<int>(o.Abfrageweise); }, 2},
  };
  for (const auto& c : cases) {
    std::vector<std::string> lines(kDefaultLines.begin(), kDefaultLines.end());
    for (auto& l : lines)
      l = Latin1(l);
    lines[c.line - 1] = c.text;
    Options o;
    ReadConfigLines(lines, o);
    EXPECT_EQ(c.expected, c.get(o)) << "line " << c.line << " \"" << c.text << "\"";
  }
}

TEST(ConfigFile, ShortAndLfOnlyFilesRead) {
  Fixture f;
  // Twelve lines, LF only: StdDF is there, everything after reads as an empty line.
  std::string bytes;
  for (int i = 0; i < 10; ++i)
    bytes += "# x\n";
  bytes += Latin1("C:\\Vokabeln\\Grundwortschatz ä.fid") + "\n# Immer";
  WriteBytes(f.cfg(), bytes);
  f.config.loadOrCreate();
  EXPECT_EQ(Latin1("C:\\Vokabeln\\Grundwortschatz ä.fid"), f.options.StdDF);
  EXPECT_FALSE(f.options.Eingabe_SpaceCut);
  EXPECT_FALSE(f.options.groesse);
  EXPECT_EQ(0, f.options.openreact);
  EXPECT_EQ(1, f.options.KickoutVal);
  EXPECT_EQ(1, f.options.Autoweiter);
  EXPECT_EQ(bytes, ReadBytes(f.cfg())) << "reading never writes";

  // The default file with LF alone reads like the real one.
  std::string lf;
  for (const auto& l : kDefaultLines)
    lf += Latin1(l) + "\n";
  WriteBytes(f.cfg(), lf);
  f.options = NonDefaults();
  f.config.load();
  EXPECT_EQ(Options{}, f.options);
}

TEST(ConfigFile, GarbageFilesLoadWithoutHarm) {
  Fixture f;
  std::mt19937 random(7);
  std::string noise(1 << 20, '\0');
  for (auto& c : noise)
    c = static_cast<char>(random());
  const std::string longLine(8 << 20, 'A');
  for (const std::string& bytes :
       {noise, longLine, std::string("\0\0\0TRUE\r\r\n\xFF\xFE", 12), longLine + "\n" + noise}) {
    WriteBytes(f.cfg(), bytes);
    EXPECT_TRUE(f.config.load());
    EXPECT_LE(f.options.StdDF.size(), 65536u);
    EXPECT_GE(f.options.KickoutVal, 1);
    EXPECT_LE(f.options.KickoutVal, 255);
  }
}

// A folder or a FIFO in the place of Merkhaus.cfg is told at once, never waited on.
TEST(ConfigFile, AFileThatCannotBeReadIsReportedAndChangesNothing) {
  for (const bool fifo : {false, true}) {
    Fixture f;
    if (fifo) {
      ASSERT_EQ(0, mkfifo(f.cfg().c_str(), 0600));
    } else {
      std::filesystem::create_directory(f.cfg());
    }
    f.options = NonDefaults();
    f.messages.expect(
        "Fehler beim Lesen der Datei!\nDie Datei \"" + f.cfg() + "\" kann nicht geöffnet werden: " +
            (fifo ? "das ist keine gewöhnliche Datei (sondern etwa eine Pipe oder ein Gerät)."
                  : "das ist ein Ordner."),
        Answer::Yes, MsgKind::Error, MsgButtons::Yes);
    f.config.loadOrCreate();
    EXPECT_EQ(NonDefaults(), f.options);
    EXPECT_FALSE(std::filesystem::exists(f.dir.file("Merkhaus.soz"))) << "table not loaded";
    EXPECT_TRUE(f.messages.done());
  }
}

TEST(ConfigFile, AFailedSaveKeepsTheOldFile) {
  Fixture f;
  f.config.loadOrCreate();
  const std::string before = ReadBytes(f.cfg());
  f.options.KickoutVal = 9;

  // The disk is full half-way.
  InjectFileFault({f.cfg(), FileFault::At::Write, 500, ENOSPC});
  f.messages.expect("Fehler beim Schreiben der Datei!\nDie Datei \"" + f.cfg() +
                        "\" kann nicht geschrieben werden: kein Speicherplatz mehr auf dem "
                        "Datenträger.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(f.config.save());
  ClearFileFaults();
  EXPECT_EQ(before, ReadBytes(f.cfg()));

  // The learner made the file read-only.
  std::filesystem::permissions(f.cfg(), std::filesystem::perms::owner_read);
  f.messages.expect("Fehler beim Schreiben der Datei!\nDie Datei \"" + f.cfg() +
                        "\" kann nicht geschrieben werden: keine Berechtigung.",
                    Answer::Yes, MsgKind::Error, MsgButtons::Yes);
  EXPECT_FALSE(f.config.save());
  EXPECT_EQ(before, ReadBytes(f.cfg()));
  std::filesystem::permissions(f.cfg(), std::filesystem::perms::owner_all);

  EXPECT_TRUE(f.config.save());
  EXPECT_EQ("9", LinesOf(ReadBytes(f.cfg()))[36]);
  int files = 0;  // no temporary file is left behind
  for ([[maybe_unused]] const auto& e : std::filesystem::directory_iterator(f.dir.path()))
    ++files;
  EXPECT_EQ(3, files);  // Merkhaus.cfg, Merkhaus3.conf and Merkhaus.soz
  EXPECT_TRUE(f.messages.done());
}

TEST(ConfigFile, StdDFIsAPathOfTheSystem) {
  Options o;
  o.StdDF = Latin1("/home/jörg/Wörter.fid");
  EXPECT_EQ("/home/jörg/Wörter.fid", StdDFPath(o));
}

}  // namespace
}  // namespace merkhaus
