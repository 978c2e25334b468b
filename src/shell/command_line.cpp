// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/command_line.h"

#include "flows/lesson_loading.h"
#include "platform/file_io.h"

namespace merkhaus {

bool CheckCommandLineFile(LessonContext& lesson, Messages& messages,
                          const std::vector<std::string>& args) {
  lesson.cmdLineFile = args.empty() ? std::string() : args.front();
  if (lesson.cmdLineFile.empty()) return false;
  if (KindOf(lesson.cmdLineFile) == PathKind::Missing) {
    messages.show(MsgKind::Warning,
                  "Die Datei \"" + lesson.cmdLineFile + "\" ist nicht auffindbar!",
                  MsgButtons::Yes);
    lesson.cmdLineFile.clear();
    return false;
  }
  switch (CheckDataFile(lesson.cmdLineFile, messages)) {
    case DataFileCheck::DataFile:
      return true;
    case DataFileCheck::NotDataFile:
      messages.show(MsgKind::Warning,
                    "Kein Merkhaus ]|[ Datafile! Sie können die Datei unter "
                    "'Erweitert/Konveriteren' konvertieren, wenn es sich um ein älters Merkhaus "
                    "1.53R DataFile handelt.\nDie Datei \"" +
                        lesson.cmdLineFile +
                        "\" ist kein DataFile von Merkhaus 3. Einen Menüpunkt zum Konvertieren "
                        "gibt es in Merkhaus 3 nicht.",
                    MsgButtons::Ok);
      break;
    case DataFileCheck::Unreadable:
      // The learner has been told that it could not be read; it may well be a DataFile.
      break;
  }
  lesson.cmdLineFile.clear();
  return false;
}

bool IsHelpRequest(const std::vector<std::string_view>& args) {
  return args.size() == 1 && (args.front() == "--help" || args.front() == "-h");
}

std::string UsageText() {
  return "Aufruf: merkhaus [DATEI.fid]\n"
         "  oder: merkhaus --print-pdf AUSGABE.pdf DATEI.fid UNITID\n"
         "  oder: merkhaus --help      zeigt diese Hilfe\n"
         "  oder: merkhaus --version   zeigt die Version\n"
         "\n"
         "Ohne Argument öffnet sich das Hauptfenster. Mit einem DataFile beginnt das Programm so,\n"
         "wie es die Optionen festlegen (Optionen, Seite \"Allgemein\").\n"
         "--print-pdf schreibt die Vokabelliste einer Lektion, wie \"Drucken\" sie druckt, als\n"
         "PDF-Datei, ohne Fenster; UNITID ist die Nummer der Lektion (merkhaus-tool lessons).\n"
         "Befehle für Skripte: merkhaus-tool --help\n";
}

}  // namespace merkhaus
