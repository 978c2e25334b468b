// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/transfer_common.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/append.h"
#include "store/lessons.h"
#include "store/record_file.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

// Larger files are no word lists; reading them whole would only cost memory.
constexpr std::uint64_t kMaxSourceBytes = 256ull << 20;

// The code point of the UTF-8 sequence that starts at bytes[i] and its length; nothing when no
// valid sequence starts there.
std::optional<char32_t> DecodeAt(std::string_view bytes, std::size_t i, std::size_t& length) {
  const auto lead = static_cast<unsigned char>(bytes[i]);
  if (lead < 0x80) {  // most of any word list; the full check below is needlessly slow for it
    length = 1;
    return lead;
  }
  const std::size_t n = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
  if (n == 0 || i + n > bytes.size() || !IsValidUtf8(bytes.substr(i, n))) return std::nullopt;
  char32_t cp = lead & (0x7F >> n);
  for (std::size_t k = 1; k < n; ++k)
    cp = (cp << 6) | (static_cast<unsigned char>(bytes[i + k]) & 0x3F);
  length = n;
  return cp;
}

// Characters that text in a foreign-language word list plausibly holds: Latin letters and signs,
// Greek, Cyrillic, and everything of three or four bytes. Two-byte sequences of other scripts are
// what a Windows-1252 file produces by accident ("ß“" reads as one character of N'Ko).
bool PlausibleText(char32_t cp) {
  return (cp >= 0xA0 && cp <= 0x4FF) || cp >= 0x800;
}

// Control characters that no text field should hold; a tab and the line breaks are text.
bool IsControl(char32_t cp) {
  return (cp < 0x20 && cp != '\t' && cp != '\r' && cp != '\n') || (cp >= 0x7F && cp <= 0x9F);
}

// Characters shown only by their number: they are invisible or would change the message's lines.
bool ShownByNumberOnly(char32_t cp) {
  return cp < 0xA0 || (cp >= 0x300 && cp <= 0x36F) || (cp >= 0x200B && cp <= 0x200F) ||
         (cp >= 0x2028 && cp <= 0x202E) || (cp >= 0x2060 && cp <= 0x206F) || cp == 0xFEFF ||
         (cp >= 0xFFF0 && cp <= 0xFFFF);
}

std::string CodeOf(char32_t cp) {
  char code[16];
  std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(cp));
  return code;
}

void Note(std::vector<std::string>& bad, std::string text) {
  if (std::find(bad.begin(), bad.end(), text) == bad.end()) bad.push_back(std::move(text));
}

void NoteControl(std::vector<std::string>& bad, char32_t cp) {
  Note(bad, "das Steuerzeichen " + CodeOf(cp));
}

void NoteForeign(std::vector<std::string>& bad, std::string_view utf8, char32_t cp) {
  const std::string shown =
      ShownByNumberOnly(cp) ? CodeOf(cp) : "„" + std::string(utf8) + "“ (" + CodeOf(cp) + ")";
  Note(bad, "das Zeichen " + shown + " gibt es in Windows-1252 nicht");
}

const char* const kWordNames[6] = {"A1", "A2", "A3", "B1", "B2", "B3"};

bool HasLiveUnit(RecordFile& file, std::uint8_t unitId) {
  bool found = false;
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    found = r.Deleted == 0 && r.UnitID == unitId && IsUnitHeader(r);
    return !found;
  });
  return found;
}

WinString UniqueName(const LessonRoster& roster, const WinString& wanted) {
  const WinString name = wanted.left(kWordCapacity);
  if (!roster.nameExists(name)) return name;
  for (int n = 2;; ++n) {
    const std::string suffix = " (" + std::to_string(n) + ")";
    const WinString candidate = wanted.left(kWordCapacity - suffix.size()) + WinString(suffix);
    if (!roster.nameExists(candidate)) return candidate;
  }
}

std::string LessonCount(std::size_t n) {
  return n == 1 ? "die Lektion" : "die " + std::to_string(n) + " Lektionen";
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Export

bool CheckExportable(std::size_t entryCount, Messages& messages) {
  if (entryCount > 0) return true;
  messages.show(MsgKind::Information, "Diese Lektion enhält keine Vokabeln!", MsgButtons::Ok);
  return false;
}

bool WriteExportFile(const std::string& outPath, std::string_view bytes, Messages& messages,
                     bool askBeforeOverwrite) {
  if (askBeforeOverwrite && KindOf(outPath) != PathKind::Missing &&
      messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                    MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  // Written whole or not at all: half a file would import as fewer entries without anybody
  // noticing, and a file that was there keeps its contents when the disk is full.
  if (const FileResult<> written = WriteWholeFile(outPath, bytes); !written) {
    ShowFileError(messages, "Fehler beim schreiben!", written.error(),
                  "Es wurde nichts exportiert.", MsgButtons::Yes);
    return false;
  }
  return true;
}

WinString JoinSide(const PString<60>& first, const PString<60>& second, const PString<60>& third) {
  WinString side = first.get();
  if (!second.empty()) side += WinString("; ") + second.get();
  if (!third.empty()) side += WinString("; ") + third.get();
  return side;
}

// ---------------------------------------------------------------------------------------------
// Import: the report

void ImportReport::problem(std::size_t line, std::string text) {
  problems_.push_back({line, std::move(text)});
}

void ImportReport::warning(std::size_t line, std::string text) {
  warnings_.push_back({line, std::move(text)});
}

void ImportReport::skipped(std::size_t line, std::string text) {
  warning(line, std::move(text));
  skipped_.insert(line);
}

std::vector<std::size_t> ImportReport::skippedLines() const {
  std::set<std::size_t> lines = skipped_;
  for (const ImportNote& p : problems_)
    lines.insert(p.line);
  return {lines.begin(), lines.end()};
}

std::string ListNotes(const std::vector<ImportNote>& notes, std::size_t maxListed) {
  std::string text;
  const std::size_t listed = std::min(notes.size(), maxListed);
  for (std::size_t i = 0; i < listed; ++i) {
    if (i > 0) text += "\n";
    if (notes[i].line > 0) text += "Zeile " + std::to_string(notes[i].line) + ": ";
    text += notes[i].text;
  }
  if (listed < notes.size()) {
    text += "\n… und " + std::to_string(notes.size() - listed) + " weitere";
  }
  return text;
}

bool ConfirmProblemLines(const ImportReport& report, const std::string& sourcePath,
                         Messages& messages, const ImportOptions& options) {
  if (!report.hasProblems()) return true;
  std::string text = "Die Datei \"" + sourcePath + "\" enthält Zeilen, die nicht importiert " +
                     "werden können:\n" + ListNotes(report.problems(), options.maxListed);
  if (report.hasWarnings()) {
    text += "\nHinweise:\n" + ListNotes(report.warnings(), options.maxListed);
  }
  text += "\nSollen die übrigen Zeilen importiert werden?";
  return messages.show(MsgKind::Warning, text, MsgButtons::YesNoDefaultNo) == Answer::Yes;
}

void ShowImportWarnings(const ImportReport& report, const std::string& sourcePath,
                        Messages& messages, const ImportOptions& options) {
  if (!report.hasWarnings()) return;
  messages.show(MsgKind::Warning,
                "Die Datei \"" + sourcePath + "\" wurde importiert. Hinweise:\n" +
                    ListNotes(report.warnings(), options.maxListed),
                MsgButtons::Ok);
}

// ---------------------------------------------------------------------------------------------
// Import: encoding and characters

void EncodingSniffer::add(std::size_t line, std::string_view bytes) {
  for (std::size_t i = 0; i < bytes.size();) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    std::size_t n = 0;
    if (const auto cp = DecodeAt(bytes, i, n)) {
      if (PlausibleText(*cp)) ++validChars_;
      i += n;
    } else {
      ++invalidBytes_;
      if (firstInvalidLine_ == 0) firstInvalidLine_ = line;
      ++i;
    }
  }
}

SourceEncoding EncodingSniffer::decide(bool byteOrderMark, std::size_t& brokenLine) const {
  brokenLine = 0;
  if (invalidBytes_ == 0)
    return validChars_ > 0 || byteOrderMark ? SourceEncoding::Utf8 : SourceEncoding::Windows1252;
  if (byteOrderMark || validChars_ >= invalidBytes_) {
    brokenLine = firstInvalidLine_;
    return SourceEncoding::Utf8;
  }
  return SourceEncoding::Windows1252;
}

void ShowBrokenUtf8(const std::string& sourcePath, std::size_t line, Messages& messages) {
  ShowErr(messages, "Die Datei \"" + sourcePath + "\" ist in UTF-8 geschrieben, aber Zeile " +
                        std::to_string(line) +
                        " ist kein gültiger UTF-8-Text.\nEs wurde nichts importiert.");
}

std::optional<WinString> ToWinText(std::string_view bytes, SourceEncoding encoding,
                                   std::vector<std::string>& bad) {
  std::string out;
  out.reserve(bytes.size());
  if (encoding == SourceEncoding::Windows1252) {
    for (char c : bytes) {
      const char32_t cp = Cp1252ToUnicode(static_cast<std::uint8_t>(c));
      if (IsControl(cp)) {
        NoteControl(bad, cp);
      } else {
        out += c;
      }
    }
    return WinString(std::move(out));
  }
  for (std::size_t i = 0; i < bytes.size();) {
    std::size_t n = 0;
    const auto cp = DecodeAt(bytes, i, n);
    if (!cp) return std::nullopt;
    if (IsControl(*cp)) {
      NoteControl(bad, *cp);
    } else if (const auto byte = UnicodeToCp1252(*cp); !byte || IsControl(Cp1252ToUnicode(*byte))) {
      NoteForeign(bad, bytes.substr(i, n), *cp);
    } else {
      out += static_cast<char>(*byte);
    }
    i += n;
  }
  return WinString(std::move(out));
}

std::string DescribeBadCharacters(const std::vector<std::string>& bad) {
  std::string text;
  for (const std::string& b : bad) {
    if (!text.empty()) text += "; ";
    text += b;
  }
  return text;
}

WinString NameFromUtf8(std::string_view utf8, bool& changed) {
  changed = false;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = 1;
    const auto cp = DecodeAt(utf8, i, n);
    const auto byte = cp ? UnicodeToCp1252(*cp) : std::nullopt;
    if (!byte || IsControl(Cp1252ToUnicode(*byte))) {
      out += '?';
      changed = true;
    } else {
      out += static_cast<char>(*byte);
    }
    i += cp ? n : 1;
  }
  return WinString(std::move(out));
}

WinString WordOneLine(const WinString& text) {
  std::string out;
  const std::string& s = text.bytes();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    out += (s[i] == '\r' || s[i] == '\n') ? ' ' : s[i];
  }
  return WinString(std::move(out));
}

WinString CommentLineBreaks(const WinString& text) {
  std::string out;
  const std::string& s = text.bytes();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return WinString(std::move(out));
}

// ---------------------------------------------------------------------------------------------
// Import: entries

void SplitSide(std::string_view side, WinString* first) {
  auto cut = [](std::string_view s) { return CutSpaces(WinString(s)); };
  const std::size_t one = side.find(';');
  if (one == std::string_view::npos) {
    first[0] = cut(side);
    return;
  }
  first[0] = cut(side.substr(0, one));
  const std::string_view rest = side.substr(one + 1);
  const std::size_t two = rest.find(';');
  if (two == std::string_view::npos) {
    first[1] = cut(rest);
    return;
  }
  first[1] = cut(rest.substr(0, two));
  first[2] = cut(rest.substr(two + 1));
}

TVocData MakeEntry(const SourceTexts& texts, std::size_t line, ImportReport& report) {
  TVocData record = EmptyRecord();
  const Field fields[6] = {Field::A1, Field::A2, Field::A3, Field::B1, Field::B2, Field::B3};
  bool anyWord = false;
  for (std::size_t i = 0; i < 6; ++i) {
    const WinString& word = texts.words[i];
    WordField(record, fields[i]).set(word);
    anyWord = anyWord || !word.empty();
    if (word.size() > kWordCapacity) {
      report.warning(line, std::string(kWordNames[i]) + " auf 60 Zeichen gekürzt");
    }
  }
  record.Comment.set(texts.comment);
  if (texts.comment.size() > kCommentCapacity) {
    report.warning(line, "Kommentar auf 255 Zeichen gekürzt");
  }
  if (!anyWord) report.warning(line, "beide Seiten leer, als Vokabel ohne Wörter übernommen");
  return record;
}

// ---------------------------------------------------------------------------------------------
// Import: the write

WriteOutcome WriteLessons(const std::string& dataFilePath, std::vector<PlannedLesson>& lessons,
                          NameClash clash, Messages& messages) {
  WriteOutcome outcome;
  // From the first check to the last record the DataFile is this import's alone: no other
  // program can take the UnitID of a new lesson, delete the lesson being filled, or see half of
  // the entries. The new lessons' headers go with the entries: all or nothing.
  const StoreResult<> written =
      AppendAllOrNothing(dataFilePath, [&](Appender& out) -> StoreResult<> {
        if (lessons.size() == 1 && lessons[0].into != 0) {
          if (!HasLiveUnit(out.file(), lessons[0].into)) {
            StoreError gone(StoreError::Kind::LessonMissing);
            gone.unitId = lessons[0].into;
            return Refused(gone);
          }
          outcome.unitIDs.push_back(lessons[0].into);
          outcome.names.emplace_back();
        } else {
          LessonRoster roster(out.file());
          // Everything is checked before the first lesson is made.
          if (lessons.size() > roster.freeCount()) {
            StoreError full(StoreError::Kind::NoFreeUnitId);
            full.count = 255 - roster.freeCount();
            return Refused(full);
          }
          if (clash == NameClash::Refuse) {
            for (const PlannedLesson& lesson : lessons) {
              if (roster.nameExists(lesson.name.left(kWordCapacity))) {
                return Refused(StoreError(StoreError::Kind::NameTaken));
              }
            }
          }
          for (const PlannedLesson& lesson : lessons) {
            const WinString name =
                clash == NameClash::Number ? UniqueName(roster, lesson.name) : lesson.name;
            outcome.unitIDs.push_back(roster.create(out, name, lesson.comment));
            outcome.names.push_back(name.left(kWordCapacity));
          }
        }
        for (std::size_t i = 0; i < lessons.size(); ++i) {
          std::vector<TVocData>& entries = lessons[i].entries;
          for (TVocData& entry : entries)
            entry.UnitID = outcome.unitIDs[i];
          out.add(entries);
        }
        return {};
      });
  if (written) {
    outcome.status = WriteStatus::Written;
    return outcome;
  }
  outcome.unitIDs.clear();
  outcome.names.clear();
  const StoreError& error = written.error();
  switch (error.kind) {
    case StoreError::Kind::LessonMissing:
      messages.show(MsgKind::Warning,
                    "Die Lektion mit der UnitID " + std::to_string(error.unitId) +
                        " gibt es in diesem DataFile nicht (mehr). Es wurde nichts importiert.",
                    MsgButtons::Ok);
      outcome.status = WriteStatus::LessonGone;
      break;
    case StoreError::Kind::NoFreeUnitId:
      if (clash == NameClash::Refuse) {
        TellLessonNotCreated(messages, error);
      } else {
        ShowErr(messages, "Für " + LessonCount(lessons.size()) +
                              " der Datei ist im DataFile kein Platz mehr: es hat schon " +
                              std::to_string(error.count) +
                              " von höchstens 255 Lektionen.\nEs wurde nichts importiert.");
      }
      outcome.status = WriteStatus::NotCreated;
      break;
    case StoreError::Kind::NameTaken:
      TellLessonNotCreated(messages, error);
      outcome.status = WriteStatus::NotCreated;
      break;
    default:
      if (!error.interrupted) {
        ShowFileError(messages, "Das Speichern ist fehlgeschlagen! Es wurde nichts importiert.",
                      error.file);
        outcome.status = WriteStatus::NotOpened;
      } else {
        ShowFileError(messages, {}, error.file,
                      error.rolledBack ? "Es wurde nichts importiert; das DataFile ist unverändert."
                                       : "Das DataFile konnte nicht wieder auf seinen alten "
                                         "Stand gebracht werden.");
        outcome.status = WriteStatus::Failed;
      }
      break;
  }
  return outcome;
}

void TakeOutcome(const WriteOutcome& outcome, const std::vector<PlannedLesson>& lessons,
                 const ImportReport& report, ImportResult& result) {
  result.imported = true;
  result.unitID = outcome.unitIDs.empty() ? 0 : outcome.unitIDs.front();
  result.newLesson = !lessons.empty() && lessons.front().into == 0;
  result.skippedLines = report.skippedLines();
  for (std::size_t i = 0; i < lessons.size(); ++i) {
    result.lessons.push_back({outcome.unitIDs[i], outcome.names[i], lessons[i].entries.size()});
    result.added += lessons[i].entries.size();
  }
  result.dataFileChanged = result.newLesson || result.added > 0;
}

WinString LessonNameOfFile(const std::string& path, ImportReport& report) {
  bool changed = false;
  WinString name = NameFromUtf8(std::filesystem::path(path).stem().string(), changed);
  if (changed) {
    report.warning(0,
                   "Zeichen des Dateinamens, die es in Windows-1252 nicht gibt, im Namen der "
                   "Lektion durch „?“ ersetzt");
  }
  if (name.size() > kWordCapacity) report.warning(0, "Name der Lektion auf 60 Zeichen gekürzt");
  return name.empty() ? WinString("Import") : name;
}

std::optional<std::string> ReadSourceFile(const std::string& path, Messages& messages) {
  if (KindOf(path) == PathKind::Missing) {
    messages.show(MsgKind::Warning, "Dateiname nicht vorhanden!", MsgButtons::Yes);
    return std::nullopt;
  }
  // Only a regular file is opened, so a FIFO or a device never keeps the import waiting.
  auto file = File::open(path, File::Mode::Read, Lock::None);
  if (!file) {
    ShowFileError(messages, "Fehler beim lesen!", file.error(), {}, MsgButtons::Yes);
    return std::nullopt;
  }
  try {
    const std::uint64_t size = file->size();
    if (size > kMaxSourceBytes) {
      messages.show(MsgKind::Error,
                    "Fehler beim lesen!\nDie Datei \"" + path +
                        "\" ist größer als 256 MB; so große Dateien liest der Import nicht.",
                    MsgButtons::Yes);
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(file->readAt(bytes.data(), bytes.size(), 0));
    return bytes;
  } catch (const IoError& e) {
    ShowFileError(messages, "Fehler beim lesen!", e.error(), {}, MsgButtons::Yes);
    return std::nullopt;
  }
}

}  // namespace merkhaus
