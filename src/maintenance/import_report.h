// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What an import tells the learner about the file it reads: the lines it cannot take (asked
// about before anything is written), the changes it made, and the messages with which a file is
// refused as a whole.

#include <cstddef>
#include <set>
#include <string>
#include <vector>

#include "platform/messages.h"

namespace merkhaus {

struct ImportOptions {
  // At most this many notes of a kind are listed in one message box (the rest are counted);
  // the tool lists every one of them.
  std::size_t maxListed = 25;
  // KVTML: translation 0 goes to the native side, translation 1 to the foreign side.
  bool swap = false;
};

// A note of an import about one line of the file (counted from 1; 0 is the file as a whole).
struct ImportNote {
  std::size_t line = 0;
  std::string text;  // UTF-8
};

class ImportReport {
 public:
  // A line that cannot be imported: it holds a character that a DataFile cannot store, a control
  // character, or a broken quote. Nothing is written without the learner's consent; then the
  // line is left out.
  void problem(std::size_t line, std::string text);
  // A change the import made (a cut field, an entry without any word) or a line that is no entry
  // and is left out: the import goes on and tells.
  void warning(std::size_t line, std::string text);
  void skipped(std::size_t line, std::string text);

  // Puts the notes of each kind in the order of their lines (a reader that meets the lines in
  // another order calls it at the end).
  void sortByLine();
  bool hasProblems() const { return !problems_.empty(); }
  bool hasWarnings() const { return !warnings_.empty(); }
  const std::vector<ImportNote>& problems() const { return problems_; }
  const std::vector<ImportNote>& warnings() const { return warnings_; }
  // Every line that is not imported, in order: the problem lines and the lines left out.
  std::vector<std::size_t> skippedLines() const;

 private:
  std::vector<ImportNote> problems_;
  std::vector<ImportNote> warnings_;
  std::set<std::size_t> skipped_;
};

// The notes as the message boxes list them, one per line ("Zeile 7: ..."); after `maxListed`
// notes a last line counts the rest.
std::string ListNotes(const std::vector<ImportNote>& notes, std::size_t maxListed);

// With problem lines: lists them and the warnings and asks whether to import the other lines,
// "Nein" being the default. True when the import goes on (also when there was nothing to ask).
bool ConfirmProblemLines(const ImportReport& report, const std::string& sourcePath,
                         Messages& messages, const ImportOptions& options);

// After an import that did not ask: its warnings, if any, in one box.
void ShowImportWarnings(const ImportReport& report, const std::string& sourcePath,
                        Messages& messages, const ImportOptions& options);

// A box of its own.
struct ImportMessage {
  MsgKind kind = MsgKind::Error;
  std::string text;
  MsgButtons buttons = MsgButtons::Yes;
};

// Why a file is not imported at all, as the boxes that tell it, in order.
using ImportRefusal = std::vector<ImportMessage>;

// "Datei nicht gültig!" with a line that says why and "Es wurde nichts importiert.".
ImportRefusal InvalidFile(const std::string& path, const std::string& why);

}  // namespace merkhaus
