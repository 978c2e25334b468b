#include "maintenance/text_transfer.h"

#include <algorithm>
#include <cstdio>
#include <istream>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/datafile.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

constexpr char kCtrlZ = 26;
constexpr std::string_view kSideSeparator = " == ";
constexpr std::string_view kCommentSeparator = " @K& ";

WinString W(std::string_view s) {
  return WinString(s);
}

// A text as one line of the file: line breaks and Ctrl-Z would split the line or end the file
// when it is read again, so they become a blank (CR LF together one blank).
WinString OneLine(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    out += (c == '\r' || c == '\n' || c == kCtrlZ) ? ' ' : c;
  }
  return WinString(std::move(out));
}

WinString JoinSide(const PString<60>& a, const PString<60>& b, const PString<60>& c) {
  WinString side = OneLine(a.view());
  if (!b.empty()) side += W("; ") + OneLine(b.view());
  if (!c.empty()) side += W("; ") + OneLine(c.view());
  return side;
}

void FillSide(std::string_view side, PString<60>& f1, PString<60>& f2, PString<60>& f3) {
  auto cut = [](std::string_view s) { return CutSpaces(WinString(s)); };
  const std::size_t first = side.find(';');
  if (first == std::string_view::npos) {
    f1.set(cut(side));
    return;
  }
  f1.set(cut(side.substr(0, first)));
  const std::string_view rest = side.substr(first + 1);
  const std::size_t second = rest.find(';');
  if (second == std::string_view::npos) {
    f2.set(cut(rest));
    return;
  }
  f2.set(cut(rest.substr(0, second)));
  f3.set(cut(rest.substr(second + 1)));
}

// Removes the first n characters (all of them when the text is shorter).
void DropFront(std::string& s, std::size_t n) {
  s.erase(0, std::min(n, s.size()));
}

bool IsAscii(std::string_view s) {
  return std::all_of(s.begin(), s.end(),
                     [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// Length of the UTF-8 sequence that starts with `lead`, 1 for anything else.
std::size_t Utf8Length(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

// Cuts an incomplete UTF-8 sequence off the end of a line that was cut at kMaxLineBytes.
void DropBrokenTail(std::string& s) {
  std::size_t start = s.size();
  for (int back = 0; back < 4 && start > 0; ++back) {
    --start;
    if ((static_cast<unsigned char>(s[start]) & 0xC0) != 0x80) break;
  }
  if (start < s.size() && start + Utf8Length(static_cast<unsigned char>(s[start])) > s.size()) {
    s.resize(start);
  }
}

// A UTF-8 line as Windows-1252; nothing after telling the learner which line holds what.
std::optional<WinString> LineFromUtf8(const TextLine& line, Messages& messages) {
  if (auto text = FromUtf8(line.bytes)) return text;
  const std::string where = "Zeile " + std::to_string(line.number) + " der Textdatei ";
  const std::string nothing = "\nEs wurde nichts importiert.";
  std::string_view rest = line.bytes;
  while (!rest.empty()) {
    const std::size_t n = std::min(Utf8Length(static_cast<unsigned char>(rest[0])), rest.size());
    const std::string_view character = rest.substr(0, n);
    if (!IsValidUtf8(character)) break;
    if (!FromUtf8(character)) {
      // The code point as well: the character may be invisible (a zero-width space, say).
      char32_t cp = n == 1 ? character[0] : static_cast<unsigned char>(character[0]) & (0x7F >> n);
      for (std::size_t i = 1; i < n; ++i)
        cp = (cp << 6) | (character[i] & 0x3F);
      char code[16];
      std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
      ShowErr(messages, where + "enthält das Zeichen „" + std::string(character) + "“ (" + code +
                            "), das ein DataFile nicht speichern kann (möglich sind nur die "
                            "Zeichen von Windows-1252)." +
                            nothing);
      return std::nullopt;
    }
    rest.remove_prefix(n);
  }
  ShowErr(messages, where + "ist kein gültiger UTF-8-Text." + nothing);
  return std::nullopt;
}

void ShowYesBox(Messages& messages, MsgKind kind, const std::string& text) {
  messages.show(kind, text, MsgButtons::Yes);
}

bool HasLiveUnit(RecordFile& file, std::uint8_t unitId) {
  bool found = false;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    found = r.Deleted == 0 && r.UnitID == unitId && IsUnitHeader(r);
    return !found;
  });
  return found;
}

}  // namespace

FileDialogRequest LessonTextDialogRequest() {
  FileDialogRequest request;
  request.filter = "Texdateien (*.txt)|*.txt|Alle (*.*)|*.*";
  request.defaultExtension = "txt";
  return request;
}

// ---------------------------------------------------------------------------------------------
// Export

WinString FormatExportLine(const TVocData& entry) {
  WinString line = JoinSide(entry.A1, entry.A2, entry.A3) + W(kSideSeparator) +
                   JoinSide(entry.B1, entry.B2, entry.B3);
  if (!entry.Comment.empty()) line += W(kCommentSeparator) + OneLine(entry.Comment.view());
  // A line starting with "#" would be read back as a remark; the blank is cut away on import.
  if (!line.empty() && line[0] == '#') line = W(" ") + line;
  return line;
}

WinString FormatExportLine(const Shared& shared, std::size_t index) {
  return FormatExportLine(shared.VocList.at(index));
}

std::vector<WinString> ExportLines(const TVocData& unitHeader, std::span<const TVocData> entries,
                                   const WinString& date) {
  std::vector<WinString> lines;
  lines.reserve(entries.size() + 11);
  lines.push_back(W(kHeadMarker));
  lines.push_back(W("Exported with Merkhaus 3 - by Merkhaus Autoren"));
  lines.push_back(W("Version: Version 3.05"));
  lines.push_back(W("Date: ") + OneLine(date.view()));
  lines.push_back(W("Name: ") + OneLine(unitHeader.B1.view()));
  lines.push_back((W("Kommentar: ") + OneLine(unitHeader.Comment.view())).left(kCommentCapacity));
  lines.push_back(W("Anzahl: " + std::to_string(entries.size())));
  lines.push_back(WinString());
  lines.push_back(W(kBodyMarker));
  for (const TVocData& entry : entries)
    lines.push_back(FormatExportLine(entry));
  lines.push_back(WinString());
  lines.push_back(W(kEofMarker));
  return lines;
}

std::string ExportText(const std::vector<WinString>& lines, TextEncoding encoding) {
  WinString text;
  for (const WinString& line : lines) {
    text += line;
    text += W("\r\n");
  }
  return encoding == TextEncoding::Utf8 ? ToUtf8(text) : text.bytes();
}

bool CheckExportable(std::size_t entryCount, Messages& messages) {
  if (entryCount > 0) return true;
  messages.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  return false;
}

bool ExportUnit(const std::string& outPath, const TVocData& unitHeader,
                std::span<const TVocData> entries, const WinString& date, Messages& messages,
                const ExportSettings& settings) {
  if (!CheckExportable(entries.size(), messages)) return false;
  if (settings.askBeforeOverwrite && KindOf(outPath) != PathKind::Missing &&
      messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                    MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  const std::string bytes = ExportText(ExportLines(unitHeader, entries, date), settings.encoding);
  // Written whole or not at all: half a lesson file would import as a shorter lesson without
  // anybody noticing, and a file that was there keeps its contents when the disk is full.
  FileError error;
  if (!WriteWholeFile(outPath, bytes, error)) {
    ShowYesBox(messages, MsgKind::Error,
               WithReason("Fehler beim schreiben!", error) + "\nEs wurde nichts exportiert.");
    return false;
  }
  return true;
}

bool ExportUnit(const Shared& shared, const std::string& outPath, const WinString& date,
                Messages& messages) {
  return ExportUnit(outPath, shared.CurUnit,
                    std::span<const TVocData>(shared.VocList.data(), shared.VocCount), date,
                    messages);
}

// ---------------------------------------------------------------------------------------------
// Import: reading the file

LessonTextReader::LessonTextReader(std::istream& in) : in_(in) {
  // A UTF-8 byte-order mark is not part of the first line.
  if (in_.peek() == 0xEF) {
    in_.get();
    if (in_.peek() == 0xBB) {
      in_.get();
      if (in_.peek() == 0xBF) {
        in_.get();
        bom_ = true;
        return;
      }
      pending_ = "\xEF\xBB";
    } else {
      pending_ = "\xEF";
    }
  }
}

int LessonTextReader::peek() {
  if (!pending_.empty()) return static_cast<unsigned char>(pending_.front());
  if (ended_) return std::char_traits<char>::eof();
  const int c = in_.peek();
  if (c == std::char_traits<char>::eof() || c == kCtrlZ) ended_ = true;
  return ended_ ? std::char_traits<char>::eof() : c;
}

void LessonTextReader::skip() {
  if (!pending_.empty()) {
    pending_.erase(0, 1);
  } else {
    in_.get();
  }
}

bool LessonTextReader::atEnd() {
  return peek() == std::char_traits<char>::eof();
}

bool LessonTextReader::failed() const {
  return in_.bad();
}

TextLine LessonTextReader::next() {
  TextLine line;
  line.number = ++number_;
  bool cut = false;
  for (int c = peek(); c != std::char_traits<char>::eof(); c = peek()) {
    skip();
    if (c == '\n') break;
    if (c == '\r') {
      if (peek() == '\n') skip();
      break;
    }
    if (line.bytes.size() < kMaxLineBytes) {
      line.bytes += static_cast<char>(c);
    } else {
      cut = true;
    }
  }
  if (cut) DropBrokenTail(line.bytes);
  return line;
}

TextReadStatus ReadLessonText(std::istream& in, bool withHead, LessonTextLines& out) {
  out = LessonTextLines{};
  LessonTextReader reader(in);
  bool validUtf8 = true, nonAscii = false;
  auto keep = [&](std::vector<TextLine>& into, TextLine&& line) {
    if (!IsAscii(line.bytes)) {
      nonAscii = true;
      if (validUtf8 && !IsValidUtf8(line.bytes)) validUtf8 = false;
    }
    into.push_back(std::move(line));
  };
  // Reads up to the marker line; a marker on the last line is no use, for nothing follows it.
  auto readUpTo = [&](std::string_view marker, std::vector<TextLine>* lines) {
    for (;;) {
      TextLine line = reader.next();
      if (reader.atEnd()) return false;
      if (line.bytes == marker) return true;
      if (lines) keep(*lines, std::move(line));
    }
  };
  const bool found = (!withHead || readUpTo(kHeadMarker, nullptr)) &&
                     readUpTo(kBodyMarker, withHead ? &out.head : nullptr);
  if (!found) {
    out = LessonTextLines{};
    return reader.failed() ? TextReadStatus::ReadError : TextReadStatus::Invalid;
  }
  do {
    TextLine line = reader.next();
    if (line.bytes == kEofMarker) break;
    keep(out.body, std::move(line));
  } while (!reader.atEnd());
  if (reader.failed()) return TextReadStatus::ReadError;
  out.byteOrderMark = reader.sawByteOrderMark();
  out.utf8 = out.byteOrderMark || (nonAscii && validUtf8);
  return TextReadStatus::Ok;
}

// ---------------------------------------------------------------------------------------------
// Import: the lines

ImportHead ReadImportHeader(std::span<const WinString> headLines) {
  ImportHead head;
  for (const WinString& headLine : headLines) {
    if (headLine.empty()) continue;
    std::string line = headLine.bytes();
    // Position p counted from 1 is p0 + 1: "Name:" takes p + 5 characters, "Kommentar:" p + 10.
    if (const std::size_t p0 = line.find("Name:"); p0 != std::string::npos) {
      DropFront(line, p0 + 1 + 5);
      head.name = CutSpaces(WinString(line));
    }
    if (const std::size_t p0 = line.find("Kommentar:"); p0 != std::string::npos) {
      DropFront(line, p0 + 1 + 10);
      head.comment = CutSpaces(WinString(line));
    }
  }
  return head;
}

std::optional<TVocData> ParseImportLine(const WinString& line, std::uint8_t unitID) {
  TVocData record = EmptyRecord();
  record.UnitID = unitID;
  record.Deleted = 0;
  std::string_view text = line.view();
  if (const std::size_t c = text.find(kCommentSeparator); c != std::string_view::npos) {
    record.Comment.set(text.substr(c + kCommentSeparator.size()));
    text = text.substr(0, c);
  }
  const std::size_t sides = text.find(kSideSeparator);
  if (sides == std::string_view::npos) return std::nullopt;
  FillSide(text.substr(0, sides), record.A1, record.A2, record.A3);
  FillSide(text.substr(sides + kSideSeparator.size()), record.B1, record.B2, record.B3);
  return record;
}

bool IsRemarkLine(std::string_view line) {
  return line.empty() || line.front() == '#';
}

// ---------------------------------------------------------------------------------------------
// Import: the whole file

ImportResult ImportLessonText(const std::string& dataFilePath, const std::string& textPath,
                              std::uint8_t intoUnit, Messages& messages) {
  ImportResult result;
  if (KindOf(textPath) == PathKind::Missing) {
    ShowYesBox(messages, MsgKind::Warning, "Dateiname nicht vorhanden!");
    return result;
  }
  const bool newLesson = intoUnit == 0;
  LessonTextLines text;
  {
    // Only a regular file is opened, so a FIFO or a device never keeps the import waiting.
    FileError error;
    File file;
    if (!file.open(textPath, File::Mode::Read, Lock::None, error)) {
      ShowYesBox(messages, MsgKind::Error, WithReason("Fehler beim lesen!", error));
      return result;
    }
    FileReadBuffer buffer(file);
    std::istream in(&buffer);
    switch (ReadLessonText(in, newLesson, text)) {
      case TextReadStatus::Ok:
        break;
      case TextReadStatus::Invalid:
        ShowYesBox(messages, MsgKind::Error, "Datei nicht gültig!");
        return result;
      case TextReadStatus::ReadError:
        ShowYesBox(messages, MsgKind::Error, WithReason("Fehler beim lesen!", buffer.error()));
        return result;
    }
  }

  // Everything is read, converted and parsed before the DataFile is touched.
  auto convert = [&](const TextLine& line) -> std::optional<WinString> {
    if (text.utf8) return LineFromUtf8(line, messages);
    return WinString(line.bytes);
  };
  ImportHead head;
  if (newLesson) {
    std::vector<WinString> labelled;
    for (const TextLine& line : text.head) {
      // Lines without a label change nothing; they need not even be convertible.
      const std::string_view bytes = line.bytes;
      if (bytes.find("Name:") == std::string_view::npos &&
          bytes.find("Kommentar:") == std::string_view::npos) {
        continue;
      }
      auto converted = convert(line);
      if (!converted) return result;
      labelled.push_back(std::move(*converted));
    }
    head = ReadImportHeader(labelled);
  }
  std::vector<TVocData> entries;
  for (const TextLine& line : text.body) {
    if (IsRemarkLine(line.bytes)) continue;
    // The separators are plain ASCII: whether a line is an entry does not depend on its
    // encoding, so a line that is skipped anyway need not be convertible.
    if (!ParseImportLine(WinString(line.bytes), 0)) {
      result.skippedLines.push_back(line.number);
      continue;
    }
    auto converted = convert(line);
    if (!converted) return result;
    entries.push_back(*ParseImportLine(*converted, 0));
  }

  // From here on the DataFile is this import's alone: no other program can take the UnitID of
  // the new lesson, delete the lesson being filled, or see half of the entries.
  RecordFile file;
  if (!file.open(dataFilePath, Access::Write)) {
    ShowErr(messages, WithReason("Das Speichern ist fehlgeschlagen! Es wurde nichts importiert.",
                                 file.error()));
    return result;
  }
  const std::uint64_t recordsBefore = file.count();
  std::uint8_t unitID = intoUnit;
  if (newLesson) {
    // Cut as the lesson header will hold them, so that the duplicate check sees the name that
    // is stored.
    unitID = CreateUnitIn(file, head.name.left(kWordCapacity), head.comment.left(kCommentCapacity),
                          messages);
    if (unitID == 0) {
      ShowYesBox(messages, MsgKind::Error, "Fehler beim schreiben!");
      ShowYesBox(messages, MsgKind::Error, "Datei nicht gültig!");
      return result;
    }
  } else if (!HasLiveUnit(file, intoUnit)) {
    messages.show(MsgKind::Warning,
                  "Die Lektion mit der UnitID " + std::to_string(intoUnit) +
                      " gibt es in diesem DataFile nicht (mehr). Es wurde nichts importiert.",
                  MsgButtons::Ok);
    return result;
  }
  for (TVocData& entry : entries)
    entry.UnitID = unitID;
  try {
    if (!entries.empty()) file.append(entries.data(), entries.size());
    file.finish();
  } catch (const IoError& e) {
    // The new lesson's header goes with the entries: all or nothing.
    std::string message = e.what();
    try {
      file.truncate(recordsBefore);
      file.finish();
      message += "\nEs wurde nichts importiert; das DataFile ist unverändert.";
    } catch (const IoError&) {
      message += "\nDas DataFile konnte nicht wieder auf seinen alten Stand gebracht werden.";
    }
    ShowErr(messages, message);
    return result;
  }
  result.unitID = unitID;
  result.newLesson = newLesson;
  result.imported = true;
  result.added = entries.size();
  result.dataFileChanged = newLesson || !entries.empty();
  return result;
}

ImportResult ImportUnit(Shared& shared, const std::string& textPath, bool lessonSelected,
                        Messages& messages) {
  const std::uint8_t into = lessonSelected ? shared.CurUnitID : 0;
  ImportResult result = ImportLessonText(shared.DataFilePath, textPath, into, messages);
  if (result.imported && !result.newLesson) LoadUnitVocs(shared, messages);
  return result;
}

}  // namespace merkhaus
