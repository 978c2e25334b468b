// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// What the vocabulary file formats (lesson text, CSV, KVTML) share: writing an export file, the
// encoding of a file read, the conversion of its texts into Windows-1252 with every character a
// DataFile cannot store noted, the entries cut to their fields, the report of problem lines and
// the question whether to import the rest, and the one locked write of everything an import
// adds.
//
// Every import has the same shape: the whole file is read and checked before the DataFile is
// touched; then the DataFile is held for this import alone, the lessons and entries are appended
// in one go and put on the disk, and a failure cuts the DataFile back to its former length.

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// ---------------------------------------------------------------------------------------------
// Export

enum class TextEncoding { Windows1252, Utf8 };

struct ExportSettings {
  // Ask "Dateiname vorhanden! Überschreiben?" before replacing a file, or replace it silently.
  bool askBeforeOverwrite = true;
  // Lesson text files only; CSV and KVTML are always UTF-8.
  TextEncoding encoding = TextEncoding::Windows1252;
};

// False, after "Diese Lektion enhält keine Vokabeln!", when there is nothing to export. The
// editor calls it before it shows the save dialog.
bool CheckExportable(std::size_t entryCount, Messages& messages);

// Writes an export file whole or not at all, after the overwrite question when the file exists.
// False when nothing was written: the learner declined, or the file could not be written
// ("Fehler beim schreiben!" with the reason; a file that was there is unchanged, and a FIFO, a
// device or a folder is never written to).
bool WriteExportFile(const std::string& outPath, std::string_view bytes, Messages& messages,
                     bool askBeforeOverwrite);

// A side as the exports write it: the first synonym, then "; " and each further one that is not
// empty.
WinString JoinSide(const PString<60>& first, const PString<60>& second, const PString<60>& third);

// ---------------------------------------------------------------------------------------------
// Import: the report

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

// ---------------------------------------------------------------------------------------------
// Import: encoding and characters

enum class SourceEncoding { Windows1252, Utf8 };

// Tells the encoding of a text file from its lines. A file that starts with a byte-order mark is
// UTF-8; so is a file whose bytes outside ASCII are valid UTF-8. A file with bytes that are not
// valid UTF-8 is Windows-1252, unless characters of valid UTF-8 are at least as many as those
// bytes: then it is UTF-8 with broken lines, which no import may store as garbled text.
class EncodingSniffer {
 public:
  void add(std::size_t line, std::string_view bytes);
  // The encoding; `brokenLine` is the first line that is not valid UTF-8 in a file that is
  // UTF-8 (0 when there is none).
  SourceEncoding decide(bool byteOrderMark, std::size_t& brokenLine) const;

 private:
  std::size_t validChars_ = 0;    // characters of valid UTF-8 that text is likely to hold
  std::size_t invalidBytes_ = 0;  // bytes outside ASCII that are no part of valid UTF-8
  std::size_t firstInvalidLine_ = 0;
};

// "Die Datei "X" ist in UTF-8 geschrieben, aber Zeile N ist kein gültiger UTF-8-Text." with
// "Es wurde nichts importiert."
void ShowBrokenUtf8(const std::string& sourcePath, std::size_t line, Messages& messages);

// Converts text of a file into Windows-1252. Every character that Windows-1252 cannot hold and
// every control character (a tab and line breaks excepted) is described once in `bad` and left
// out of the result. Nothing when the bytes are not valid UTF-8 (for UTF-8 text).
std::optional<WinString> ToWinText(std::string_view bytes, SourceEncoding encoding,
                                   std::vector<std::string>& bad);

// The problem note of a line from the descriptions of ToWinText.
std::string DescribeBadCharacters(const std::vector<std::string>& bad);

// A name taken from outside any line (a file name, a document title): characters that
// Windows-1252 cannot hold, and control characters, become "?". `changed` tells whether one did.
WinString NameFromUtf8(std::string_view utf8, bool& changed);

// Line breaks (CR LF, CR, LF) as one blank each, for a word.
WinString WordOneLine(const WinString& text);
// Line breaks as CR LF, as a DataFile holds them in a comment.
WinString CommentLineBreaks(const WinString& text);

// ---------------------------------------------------------------------------------------------
// Import: entries

// The texts of one entry as the file gives them, in Windows-1252, not yet cut to their fields.
struct SourceTexts {
  std::array<WinString, 6> words;  // A1, A2, A3, B1, B2, B3
  WinString comment;
};

// Splits a side into its up to three synonyms at ";" (the third takes the rest, semicolons
// included); each is cut of blanks (CutSpaces). `first` is A1 or B1 of SourceTexts::words.
void SplitSide(std::string_view side, WinString* first);

// The record of an entry (UnitID 0, live), every text cut to its field. Each cut and an entry
// without a word on either side are warnings of `line`.
TVocData MakeEntry(const SourceTexts& texts, std::size_t line, ImportReport& report);

// ---------------------------------------------------------------------------------------------
// Import: the write

// A lesson that an import fills: an existing one (`into`), or a new one named `name`.
struct PlannedLesson {
  std::uint8_t into = 0;
  WinString name;
  WinString comment;
  std::vector<TVocData> entries;
};

// What happens when a new lesson's name is taken: the import fails (after "Die Unit ist bereits
// vorhanden!"), or the name gets " (2)", " (3)" ... cut so that the whole fits into 60
// characters.
enum class NameClash { Refuse, Number };

enum class WriteStatus { Written, NotOpened, LessonGone, NotCreated, Failed };

struct WriteOutcome {
  WriteStatus status = WriteStatus::NotOpened;
  std::vector<std::uint8_t> unitIDs;  // of the lessons, in order
  std::vector<WinString> names;       // the names given to new lessons (empty for `into`)
};

// Appends the lessons and their entries to the DataFile under one exclusive lock, with one scan
// of the file: either an existing lesson (one PlannedLesson with `into`), or new lessons, whose
// number is checked against the free UnitIDs before anything is written. All of it is put on the
// disk, or nothing: a failed write cuts the file back. Every failure is told through `messages`.
WriteOutcome WriteLessons(const std::string& dataFilePath, std::vector<PlannedLesson>& lessons,
                          NameClash clash, Messages& messages);

// ---------------------------------------------------------------------------------------------
// Import: the result

struct ImportedLesson {
  std::uint8_t unitID = 0;
  WinString name;
  std::size_t added = 0;
};

struct ImportResult {
  bool imported = false;                  // the entries are in the DataFile (possibly none)
  std::uint8_t unitID = 0;                // the (first) lesson that received them
  bool newLesson = false;                 // that lesson was made by the import
  std::size_t added = 0;                  // entries appended
  std::vector<std::size_t> skippedLines;  // lines of the file that were not imported
  bool dataFileChanged = false;           // records were added (refresh the statistics)
  std::vector<ImportedLesson> lessons;    // every lesson filled, in order
  bool declined = false;                  // asked about problem lines, the answer was "Nein"
};

// Fills the result of a written import.
void TakeOutcome(const WriteOutcome& outcome, const std::vector<PlannedLesson>& lessons,
                 const ImportReport& report, ImportResult& result);

// The name of a lesson made from a file: the file's name without folder and extension, "?" for
// the characters that Windows-1252 cannot hold (a warning of line 0, as is a cut).
WinString LessonNameOfFile(const std::string& path, ImportReport& report);

// The text file of an import, whole. Nothing after "Dateiname nicht vorhanden!" (missing) or
// "Fehler beim lesen!" with the reason.
std::optional<std::string> ReadSourceFile(const std::string& path, Messages& messages);

}  // namespace merkhaus
