// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The text of a file to import as a DataFile can hold it: the file read whole, its encoding
// told from its bytes, its texts converted into Windows-1252 with every character a DataFile
// cannot store noted, and entries built from them, cut to their fields.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <tl/expected.hpp>

#include "maintenance/import_report.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// The file of an import, whole. Refused when it is missing ("Dateiname nicht vorhanden!"),
// cannot be read ("Fehler beim lesen!" with the reason), or is larger than any word list.
tl::expected<std::string, ImportRefusal> ReadSourceFile(const std::string& path);

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
ImportRefusal BrokenUtf8(const std::string& sourcePath, std::size_t line);

// Converts text of a file into Windows-1252. Every character that Windows-1252 cannot hold and
// every control character (a tab and line breaks excepted) is described once in `bad` and left
// out of the result. Nothing when the bytes are not valid UTF-8 (for UTF-8 text).
// With a UTF-8 target (a Unicode DataFile) every character is kept but the control characters.
std::optional<WinString> ToWinText(std::string_view bytes, SourceEncoding encoding,
                                   std::vector<std::string>& bad,
                                   TextEncoding target = TextEncoding::Cp1252);

// The problem note of a line from the descriptions of ToWinText.
std::string DescribeBadCharacters(const std::vector<std::string>& bad);

// A name taken from outside any line (a file name, a document title): characters that
// Windows-1252 cannot hold, and control characters, become "?". `changed` tells whether one did.
WinString NameFromUtf8(std::string_view utf8, bool& changed,
                       TextEncoding target = TextEncoding::Cp1252);

// The name of a lesson made from a file: the file's name without folder and extension, "?" for
// the characters that Windows-1252 cannot hold (a warning of line 0, as is a cut).
WinString LessonNameOfFile(const std::string& path, ImportReport& report,
                           TextEncoding target = TextEncoding::Cp1252);

// The encoding of the DataFile an import writes into (Windows-1252 when it cannot be read: the
// import then fails on the DataFile and says so).
TextEncoding ImportTarget(const std::string& dataFilePath);

// Line breaks (CR LF, CR, LF) as one blank each, for a word.
WinString WordOneLine(const WinString& text);
// Line breaks as CR LF, as a DataFile holds them in a comment.
WinString CommentLineBreaks(const WinString& text);

// The texts of one entry as the file gives them, in Windows-1252, not yet cut to their fields.
struct SourceTexts {
  std::array<WinString, 6> words;  // A1, A2, A3, B1, B2, B3
  WinString comment;
};

// Splits a side into its up to three synonyms at ";" (the third takes the rest, semicolons
// included); each is cut of blanks (CutSpaces). `first` is A1 or B1 of SourceTexts::words.
void SplitSide(std::string_view side, WinString* first,
               TextEncoding encoding = TextEncoding::Cp1252);

// The record of an entry (UnitID 0, live), every text cut to its field. Each cut and an entry
// without a word on either side are warnings of `line`.
TVocData MakeEntry(const SourceTexts& texts, std::size_t line, ImportReport& report);

}  // namespace merkhaus
