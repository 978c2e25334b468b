// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "config/options.h"
#include "flows/flows.h"
#include "platform/messages.h"
#include "platform/win_string.h"

namespace merkhaus {

// What choosing a DataFile does before any dialog is shown: take a path without asking (the
// command-line file with `alwaysthatfile`, the standard DataFile with `alwaysthisfile`), or show
// "DataFile öffnen" with `fieldText` in its path field.
struct DataFileChoicePlan {
  bool ask = true;
  std::string result;     // the path when not asking (may be empty)
  std::string fieldText;  // the path field's text from now on
};
DataFileChoicePlan PlanDataFileChoice(const std::string& cmdLineFile, const Options& options,
                                      const std::string& fieldText);

// Appends ".fid" unless the first dot of the path stands at the fourth-last position. A path of
// three characters without any dot is left alone as well.
std::string WithFidExtension(const std::string& path);

// "OK" in "DataFile öffnen": checks the path field's text. Yields the field's new text, and
// whether the path can be used (when not, the learner has been told why).
struct AcceptedPath {
  std::string fieldText;
  bool usable = false;
};
AcceptedPath AcceptDataFilePath(const std::string& fieldText, Messages& messages);

// The warning of the browse loop when the chosen file does not exist.
std::string MissingFileWarning(const std::string& path);

// The details typed into "Neues DataFile anlegen".
struct NewDataFileDetails {
  WinString name;
  WinString comment;
  WinString foreignLanguage;
  WinString nativeLanguage;
  WinString author;
  // "Zeichensatz": Windows-1252 (readable by older programs) or Unicode. The texts above must be
  // in this encoding (ToWinString(text, encoding)).
  TextEncoding encoding = TextEncoding::Cp1252;
};

// "&Weiter >>" of "Neues DataFile anlegen": true when the form may close. Refuses a missing name
// or language; an empty author is confirmed first, because it cannot be changed later.
bool AcceptNewDataFileDetails(const NewDataFileDetails& details, Messages& messages);

// A field of "Neues DataFile anlegen" holds text that the chosen "Zeichensatz" cannot take
// (letters Windows-1252 lacks, or more bytes than the field holds): told, naming the field.
void TellTextUnfitForEncoding(const std::string& field, TextEncoding encoding, Messages& messages);

// Asks whether to create the DataFile (and whether to overwrite an existing file) and writes its
// header as the only record. True when the file was written. An existing file is replaced only
// once the new one is complete, so a failed write never destroys it.
bool CreateNewDataFile(const std::string& path, const NewDataFileDetails& details,
                       Messages& messages);

}  // namespace merkhaus
