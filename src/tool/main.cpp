// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool: the DataFile operations of Merkhaus 3 for scripts. Prints UTF-8, asks no
// questions (flags decide) and exits with status 1 and the German message on failure.

#include <cstring>
#include <iostream>
#include <string>
#include <vector>

#include "platform/action.h"
#include "platform/version.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

const VerbInfo kVerbs[] = {
    {"info", Info, "FILE", "Kopfdaten des DataFiles und Anzahl der Lektionen und Vokabeln"},
    {"lessons", Lessons, "FILE", "die Lektionen: UnitID, Tab, Zeile der Lektionsliste"},
    {"entries", Entries, "FILE UNITID",
     "die Vokabeln einer Lektion (höchstens 255): A1 A2 A3 B1 B2 B3 Kommentar, durch Tabs "
     "getrennt"},
    {"new", New,
     "FILE --name N --foreign F --native L [--author A] [--comment C] [--unicode] [--force]",
     "legt ein neues DataFile an"},
    {"add-lesson", AddLesson, "FILE NAME [--comment C]",
     "legt eine Lektion an und gibt ihre UnitID aus"},
    {"delete-lesson", DeleteLesson, "FILE UNITID",
     "löscht eine Lektion und gibt die Anzahl der gelöschten Vokabeln aus"},
    {"export", Export, "FILE UNITID OUT.txt|OUT.csv|OUT.kvtml [--force] [--utf8]",
     "schreibt eine Lektion als Textdatei oder, bei .csv, als CSV-Datei, bei .kvtml als "
     "KVTML-Datei"},
    {"import", Import, "FILE IN.txt|IN.csv [--into UNITID] [--skip-bad-lines]",
     "liest eine Textdatei oder CSV-Datei in eine neue oder eine bestehende Lektion"},
    {"export-kvtml", ExportKvtml, "FILE OUT.kvtml [--force]",
     "schreibt das ganze DataFile als KVTML-Datei (KDE-Vokabeltrainer)"},
    {"import-kvtml", ImportKvtml, "FILE IN.kvtml [--swap] [--skip-bad-lines]",
     "liest jede Lektion einer KVTML-Datei in eine neue Lektion"},
    {"add", Add, "FILE UNITID FOREIGN NATIVE [--comment TEXT] [--no-split] [--keep-spaces]",
     "trägt eine Vokabel in eine Lektion ein, wie „Eingeben“ sie einträgt und speichert"},
    {"search", Search,
     "FILE TERM [--ignore-case] [--whole] [--direction beide|ab|ba] [--unit-ids] [--keep-spaces]",
     "sucht im ganzen DataFile wie das Wörterbuch und gibt die Fundstellen aus (höchstens 255)"},
    {"stats", Stats, "FILE",
     "die Zahlen des DataFile-Editors: Units, Vokabeln, gelöschte Vokabeln, insgesamt"},
    {"deleted", Deleted, "FILE [UNITID]",
     "die gelöschten Lektionen, mit UNITID die gelöschten Vokabeln dieser Lektion"},
    {"restore-lesson", RestoreLesson, "FILE NAME",
     "stellt eine gelöschte Lektion wieder her und gibt die Anzahl der Datensätze aus"},
    {"cleanup", Cleanup, "FILE",
     "entfernt die gelöschten Datensätze für immer (das alte DataFile bleibt als cleanup.tmp "
     "im Arbeitsordner) und gibt ihre Anzahl aus"},
    {"convert", Convert, "FILE OUT --unicode [--cut] [--force]",
     "schreibt eine Unicode-Kopie des DataFiles; meldet jedes Feld, das danach nicht mehr in "
     "60 Bytes (Kommentar 255) passt (ohne --cut wird dann nichts geschrieben)"},
    {"review", Review, "FILE UNITID N GRADE [--date YYYY-MM-DD]",
     "hält fest, dass die N-te Vokabel der Lektion (gezählt wie bei „entries“) an diesem Tag "
     "(sonst heute) mit GRADE beantwortet wurde: 1 Nochmal, 2 Schwer, 3 Gut, 4 Leicht; gibt "
     "danach ihre Zeile wie „progress“ aus"},
    {"progress", Progress, "FILE UNITID [--date YYYY-MM-DD]",
     "der Lernstand jeder Vokabel einer Lektion: N, erstes Synonym der A-Seite, neu oder "
     "gelernt, Stabilität, Schwierigkeit, letzte Wiederholung, fällig am, Wiederholungen, "
     "Vergessen, durch Tabs getrennt"},
    {"due", Due, "FILE [--date YYYY-MM-DD]",
     "je Lektion UnitID, Name, fällige und neue Vokabeln des Tages; zuletzt die Summen"},
};

void PrintHelp(std::ostream& out) {
  out << "Aufruf: merkhaus-tool BEFEHL ARGUMENTE\n"
         "  oder: merkhaus-tool --help      zeigt diese Hilfe\n"
         "  oder: merkhaus-tool --version   zeigt die Version\n\nBefehle:\n";
  for (const auto& v : kVerbs) {
    out << "  " << v.name << " " << v.usage << "\n      " << v.help << "\n";
  }
}

}  // namespace
}  // namespace merkhaus::tool

int main(int argc, char** argv) {
  using namespace merkhaus::tool;
  if (argc < 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
    PrintHelp(argc < 2 ? std::cerr : std::cout);
    return argc < 2 ? 1 : 0;
  }
  if (std::strcmp(argv[1], "--version") == 0) {
    std::cout << merkhaus::VersionText("merkhaus-tool");
    return 0;
  }
  const std::vector<std::string> args(argv + 2, argv + argc);
  for (const auto& v : kVerbs) {
    if (std::strcmp(argv[1], v.name) != 0) continue;
    // A command ends early on what ends an action of the windows early, with the same text.
    int status = 1;
    const auto failure = merkhaus::Attempt([&] { status = v.run(args, std::cout, std::cerr); });
    // What opening the DataFile mended (a change taken back after a crash) is told once.
    for (const merkhaus::FileRepair& repair : merkhaus::TakeRepairs()) {
      std::cerr << repair.text() << "\n";
    }
    if (failure) {
      std::cerr << *failure << "\n";
      return 1;
    }
    return status;
  }
  std::cerr << "Unbekannter Befehl: " << argv[1] << "\n\n";
  PrintHelp(std::cerr);
  return 1;
}
