// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lessons as text files: the export of one lesson into a line-based text file and the import of
// such a file into an existing lesson or into a new lesson made from the file's head.
//
// The file:
//   <%>HEAD<%>                 head: only the "Name:" and "Kommentar:" lines are evaluated
//   Name: Lektion 1
//   Kommentar: ...
//   <%>BODY<%>                 body: one entry per line
//   to go; to walk == gehen @K& irregular
//   <%>EOF<%>                  nothing after this line is read

#include <cstddef>
#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "maintenance/export_file.h"
#include "maintenance/import_pipeline.h"
#include "maintenance/source_text.h"
#include "platform/dialogs.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

inline constexpr std::string_view kHeadMarker = "<%>HEAD<%>";
inline constexpr std::string_view kBodyMarker = "<%>BODY<%>";
inline constexpr std::string_view kEofMarker = "<%>EOF<%>";

// The open and save dialogs of the editor's "Exportieren" and "Importieren".
FileDialogRequest LessonTextDialogRequest();

// ---------------------------------------------------------------------------------------------
// Export

// The entry line of one record: A1, then "; " and A2 / A3 when they are not empty, " == ", the
// B side built alike, and " @K& " with the comment when there is one. Line breaks and Ctrl-Z
// inside a text become a blank (they would split the line or end the file on reading), and a
// line that would start with "#" gets a leading blank (it would be read as a remark); the
// import's blank cutting takes that blank away again.
WinString FormatExportLine(const TVocData& entry);

// Every line of the export file, without line ends: the head (with `date` as handed in by the
// caller, today's date in the system's short format), the body and the end marker.
std::vector<WinString> ExportLines(const TVocData& lessonHeader, std::span<const TVocData> entries,
                                   const WinString& date);

// The bytes of the file: every line followed by CR LF, in the chosen encoding. Lines of a Unicode
// DataFile (`source` UTF-8) are always written as UTF-8 with a byte-order mark, which tells
// every reader the encoding.
std::string ExportText(const std::vector<WinString>& lines,
                       TextEncoding encoding = TextEncoding::Windows1252,
                       TextEncoding source = TextEncoding::Cp1252);

// Writes a lesson into the text file `outPath` (after the overwrite question, when the file
// exists). The file is written whole or not at all. False when nothing was written: the lesson
// is empty, the learner declined to replace the file, or it could not be written ("Fehler beim
// schreiben!" with the reason; a file that was there is unchanged, and a FIFO, a device or a
// folder is never written to).
bool ExportLessonText(const std::string& outPath, const TVocData& lessonHeader,
                      std::span<const TVocData> entries, const WinString& date, Messages& messages,
                      const ExportSettings& settings = {});

// ---------------------------------------------------------------------------------------------
// Import

// One line of a text file, without its line end, and its number in the file (from 1).
struct TextLine {
  std::size_t number = 0;
  std::string bytes;
};

// Reads a lesson text file line by line: CR, CR LF and LF end a line; a byte 26 (Ctrl-Z) ends
// the file; a UTF-8 byte-order mark at the start is taken away (and remembered). A line longer
// than kMaxLineBytes keeps its first kMaxLineBytes bytes; the rest of it is passed over.
class LessonTextReader {
 public:
  static constexpr std::size_t kMaxLineBytes = 1 << 20;
  // The stream is read in blocks of this many bytes.
  static constexpr std::size_t kBlockBytes = 64 * 1024;

  explicit LessonTextReader(std::istream& in);

  // The next line; an empty line when the end has been reached.
  TextLine next();
  // True when no line follows: the end of the stream or a Ctrl-Z comes next.
  bool atEnd();
  bool sawByteOrderMark() const { return bom_; }
  // True after a read error of the stream (as opposed to its end).
  bool failed() const;

 private:
  // Takes the next block of the stream; false at its end (or after a read error).
  bool fill();
  int peek();

  std::istream& in_;
  // The stream is read in blocks and the lines are cut from them: byte by byte, the stream
  // buffer's calls cost more than everything else an import does with a line.
  std::string block_;
  std::size_t at_ = 0;  // the first byte of block_ not yet taken
  bool drained_ = false;
  std::size_t number_ = 0;
  bool bom_ = false;
  bool ended_ = false;
};

// The lines of a text file that an import uses. `head` holds the lines between "<%>HEAD<%>"
// and "<%>BODY<%>" (only when the import makes a new lesson), `body` the lines after
// "<%>BODY<%>" up to, not including, "<%>EOF<%>" or the end of the file.
struct LessonTextLines {
  std::vector<TextLine> head;
  std::vector<TextLine> body;
  bool byteOrderMark = false;
  // The lines are UTF-8 (EncodingSniffer over every line kept); otherwise Windows-1252.
  bool utf8 = false;
  // In a UTF-8 file, the first line kept that is not valid UTF-8 (0: none).
  std::size_t brokenLine = 0;
};

enum class TextReadStatus { Ok, Invalid, ReadError };

// Reads the parts of the file that the import uses. With `withHead` the file must hold
// "<%>HEAD<%>" and, after it, "<%>BODY<%>"; otherwise only "<%>BODY<%>" is looked for. A marker
// on the last line counts as missing, for then no body can follow (Invalid).
TextReadStatus ReadLessonText(std::istream& in, bool withHead, LessonTextLines& out);

// Name and comment of a new lesson as found in the head.
struct ImportHead {
  WinString name;
  WinString comment;
};

// Evaluates the head lines in order. A line holding "Name:" at position p (from 1) loses its
// first p + 5 characters (the label and one more, normally the blank) and the rest, blank-cut,
// is the name; then, on the line as it now is, "Kommentar:" at p takes away p + 10 characters
// and gives the comment. Later lines replace earlier values. 'Name:Lektion' gives "ektion".
ImportHead ReadImportHeader(std::span<const WinString> headLines);

// One body line as an entry of lesson `unitID`. " @K& " starts the comment (taken unchanged, cut
// to 255), the first " == " divides the sides, ";" the up to three synonyms of a side (the
// third takes the rest, semicolons included); synonyms are blank-cut and cut to 60. Nothing when
// the line holds no " == " (such a line is not an entry). "@K&" without a blank on both sides is
// plain text.
std::optional<TVocData> ParseImportLine(const WinString& line, std::uint8_t unitID);
// The same texts before they are cut to their fields.
std::optional<SourceTexts> SplitImportLine(const WinString& line);

// True for the body lines that are not entries by design: empty, starting with "#".
bool IsRemarkLine(std::string_view line);

// Reads the text file `textPath` for an import into lesson `intoLesson`, or, with `intoLesson` 0,
// into a new lesson made from the file's head. Lines that cannot be imported (characters that a
// DataFile cannot store, control characters) are problems of the report; cut fields, entries
// without words and lines without " == " are warnings. A head without a name makes no lesson:
// the file is refused.
// `target` is the encoding of the DataFile the entries go into.
ParsedImport ReadLessonTextImport(const std::string& textPath, std::uint8_t intoLesson,
                                  TextEncoding target = TextEncoding::Cp1252);

// Imports the text file (ReadLessonTextImport) through the pipeline of every import
// (RunImport): the problem lines are listed and the learner is asked whether to import the
// rest, the entries are appended all or nothing, and every failure is reported through
// `messages`.
ImportResult ImportLessonText(const std::string& dataFilePath, const std::string& textPath,
                              std::uint8_t intoLesson, Messages& messages,
                              const ImportOptions& options = {});

}  // namespace merkhaus
