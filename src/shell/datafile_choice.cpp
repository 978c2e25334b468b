// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/datafile_choice.h"

#include "config/config_file.h"
#include "flows/lesson_loading.h"
#include "store/record_file.h"

namespace merkhaus {

DataFileChoicePlan PlanDataFileChoice(const std::string& cmdLineFile, const Options& options,
                                      const std::string& fieldText) {
  DataFileChoicePlan plan;
  plan.fieldText = fieldText;
  if (!cmdLineFile.empty()) {
    if (plan.fieldText.empty()) plan.fieldText = cmdLineFile;
    if (options.alwaysthatfile) {
      plan.ask = false;
      plan.result = cmdLineFile;
      return plan;
    }
  }
  if (cmdLineFile.empty() || options.alwaysthisfile) {
    // Merkhaus.cfg keeps the path as Windows-1252 text.
    const std::string stdDF = StdDFPath(options);
    if (!stdDF.empty()) plan.fieldText = stdDF;
    if (options.alwaysthisfile) {
      plan.ask = false;
      plan.result = stdDF;
    }
  }
  return plan;
}

std::string WithFidExtension(const std::string& path) {
  // Positions counted from 1; no dot counts as position 0.
  const std::size_t dot = path.find('.');
  const std::size_t position = dot == std::string::npos ? 0 : dot + 1;
  if (path.size() >= 3 && position == path.size() - 3) return path;
  return path + ".fid";
}

std::string MissingFileWarning(const std::string& path) {
  return "Datei \"" + path + "\" nicht vorhanden!";
}

AcceptedPath AcceptDataFilePath(const std::string& fieldText, Messages& messages) {
  if (fieldText.empty()) {
    messages.show(MsgKind::Warning, "Sie müssen einen Dateinamen angeben!", MsgButtons::Yes);
    return {fieldText, false};
  }
  const std::string path = WithFidExtension(fieldText);
  if (KindOf(path) != PathKind::Missing) {
    const DataFileCheck check = CheckDataFile(path, messages);
    if (check == DataFileCheck::NotDataFile) {
      messages.show(MsgKind::Warning,
                    "Kein Merkhaus ]|[ Datafile!\nDie Datei kann nicht ausgewertet werden.",
                    MsgButtons::Ok);
    }
    return {path, check == DataFileCheck::DataFile};
  }
  messages.show(MsgKind::Error, "Datei nicht vorhanden!", MsgButtons::Yes);
  return {std::string(), false};
}

bool AcceptNewDataFileDetails(const NewDataFileDetails& details, Messages& messages) {
  if (details.name.empty() || details.foreignLanguage.empty() || details.nativeLanguage.empty()) {
    messages.show(MsgKind::Information,
                  "Sie müssen einen Namen eine Fremdsprache und eine Sprache angeben!",
                  MsgButtons::Ok);
    return false;
  }
  if (!details.author.empty()) return true;
  return messages.show(MsgKind::Confirmation,
                       "Sind sie sicher, daß sie keinen Autoren eingeben wollen? Dieses Feld kann "
                       "später nicht mehr verändert werden! Doch noch einen Namen eingeben?",
                       MsgButtons::YesNo) == Answer::No;
}

void TellTextUnfitForEncoding(const std::string& field, TextEncoding encoding, Messages& messages) {
  std::string text = "Das Feld \"" + field + "\" passt nicht zum Zeichensatz \"" +
                     std::string(EncodingName(encoding)) + "\": ";
  text += encoding == TextEncoding::Cp1252
              ? "Es enthält Zeichen, die dieser Zeichensatz nicht kennt. Wählen Sie \"" +
                    std::string(EncodingName(TextEncoding::Utf8)) + "\" oder ändern Sie den Text."
              : "Der Text ist zu lang. Bitte kürzen Sie ihn.";
  messages.show(MsgKind::Information, text, MsgButtons::Ok);
}

bool CreateNewDataFile(const std::string& path, const NewDataFileDetails& details,
                       Messages& messages) {
  if (messages.show(MsgKind::Information, "Soll die Vokabeldatei " + path + " angelegt werden?",
                    MsgButtons::YesNo) != Answer::Yes) {
    return false;
  }
  const TVocData header =
      MakeDataFileHeader(details.name, details.foreignLanguage, details.nativeLanguage,
                         details.author, details.comment, details.encoding);
  const bool there = PathExists(path);
  if (there && messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                             MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  if (const FileResult<> created = CreateDataFile(path, header, there); !created) {
    ShowFileError(messages, "Fehler beim schreiben!", created.error(), {}, MsgButtons::Yes);
    return false;
  }
  return true;
}

}  // namespace merkhaus
