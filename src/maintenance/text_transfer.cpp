// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/text_transfer.h"

#include <algorithm>
#include <cstdio>
#include <istream>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/datafile.h"
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
  WinString line = OneLine(JoinSide(entry.A1, entry.A2, entry.A3).view()) + W(kSideSeparator) +
                   OneLine(JoinSide(entry.B1, entry.B2, entry.B3).view());
  if (!entry.Comment.empty()) line += W(kCommentSeparator) + OneLine(entry.Comment.view());
  // A line starting with "#" would be read back as a remark; the blank is cut away on import.
  if (!line.empty() && line[0] == '#') line = W(" ") + line;
  return line;
}

std::vector<WinString> ExportLines(const TVocData& lessonHeader, std::span<const TVocData> entries,
                                   const WinString& date) {
  std::vector<WinString> lines;
  lines.reserve(entries.size() + 11);
  lines.push_back(W(kHeadMarker));
  lines.push_back(W("Exported with Merkhaus 3 - by Merkhaus Autoren"));
  lines.push_back(W("Version: Version 3.05"));
  lines.push_back(W("Date: ") + OneLine(date.view()));
  lines.push_back(W("Name: ") + OneLine(LessonName(lessonHeader).view()));
  lines.push_back((W("Kommentar: ") + OneLine(lessonHeader.Comment.view())).left(kCommentCapacity));
  lines.push_back(W("Anzahl: " + std::to_string(entries.size())));
  lines.push_back(WinString());
  lines.push_back(W(kBodyMarker));
  for (const TVocData& entry : entries)
    lines.push_back(FormatExportLine(entry));
  lines.push_back(WinString());
  lines.push_back(W(kEofMarker));
  return lines;
}

std::string ExportText(const std::vector<WinString>& lines, TextEncoding encoding,
                       TextEncoding source) {
  WinString text;
  for (const WinString& line : lines) {
    text += line;
    text += W("\r\n");
  }
  if (source == TextEncoding::Utf8) return "\xEF\xBB\xBF" + SanitizedUtf8(text.view());
  return encoding == TextEncoding::Utf8 ? ToUtf8(text) : text.bytes();
}

bool ExportLessonText(const std::string& outPath, const TVocData& lessonHeader,
                      std::span<const TVocData> entries, const WinString& date, Messages& messages,
                      const ExportSettings& settings) {
  if (!CheckExportable(entries.size(), messages)) return false;
  return WriteExportFile(
      outPath,
      ExportText(ExportLines(lessonHeader, entries, date), settings.encoding, settings.source),
      messages, settings.askBeforeOverwrite);
}

// ---------------------------------------------------------------------------------------------
// Import: reading the file

LessonTextReader::LessonTextReader(std::istream& in) : in_(in) {
  // A UTF-8 byte-order mark is not part of the first line; the first bytes of one that is none
  // are.
  fill();
  if (std::string_view(block_).starts_with("\xEF\xBB\xBF")) {
    at_ = 3;
    bom_ = true;
  }
}

bool LessonTextReader::fill() {
  if (drained_) return false;
  // A block holds at least a few bytes unless the stream ends, so that the byte-order mark is
  // always seen whole.
  block_.resize(kBlockBytes);
  std::streamsize got = 0;
  try {
    got = in_.rdbuf()->sgetn(block_.data(), static_cast<std::streamsize>(kBlockBytes));
  } catch (...) {
    // A read error (thrown by the buffer) puts the stream in its bad state, as its own reads
    // would.
    in_.setstate(std::ios::badbit);
    got = 0;
  }
  block_.resize(static_cast<std::size_t>(std::max<std::streamsize>(got, 0)));
  at_ = 0;
  if (block_.size() < kBlockBytes) drained_ = true;
  return !block_.empty();
}

int LessonTextReader::peek() {
  if (ended_) return std::char_traits<char>::eof();
  if (at_ == block_.size() && !fill()) return std::char_traits<char>::eof();
  const auto c = static_cast<unsigned char>(block_[at_]);
  if (c == kCtrlZ) {
    ended_ = true;
    return std::char_traits<char>::eof();
  }
  return c;
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
  while (peek() != std::char_traits<char>::eof()) {
    // The line's bytes up to its end, or up to the end of the block.
    const char* const begin = block_.data() + at_;
    const char* const end = block_.data() + block_.size();
    const char* stop = begin;
    while (stop != end && *stop != '\n' && *stop != '\r' && *stop != kCtrlZ)
      ++stop;
    const auto length = static_cast<std::size_t>(stop - begin);
    const std::size_t room = kMaxLineBytes - std::min(kMaxLineBytes, line.bytes.size());
    line.bytes.append(begin, std::min(length, room));
    if (length > room) cut = true;
    at_ += length;
    if (stop == end) continue;
    const char lineEnd = *stop;
    if (lineEnd == kCtrlZ) {
      ended_ = true;
      break;
    }
    ++at_;
    // peek() may take the next block: the line's end was kept before.
    if (lineEnd == '\r' && peek() == '\n') ++at_;
    break;
  }
  if (cut) DropBrokenTail(line.bytes);
  return line;
}

TextReadStatus ReadLessonText(std::istream& in, bool withHead, LessonTextLines& out) {
  out = LessonTextLines{};
  LessonTextReader reader(in);
  EncodingSniffer sniffer;
  auto keep = [&](std::vector<TextLine>& into, TextLine&& line) {
    if (!IsAscii(line.bytes)) sniffer.add(line.number, line.bytes);
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
  out.utf8 = sniffer.decide(out.byteOrderMark, out.brokenLine) == SourceEncoding::Utf8;
  return TextReadStatus::Ok;
}

// ---------------------------------------------------------------------------------------------
// Import: the lines

namespace {

// One head line: a line holding "Name:" at position p (from 1) loses its first p + 5
// characters and the rest, blank-cut, is the name; then, on the line as it now is, "Kommentar:"
// at p takes away p + 10 characters and gives the comment. Tells which of the two it set.
struct HeadLineResult {
  bool name = false;
  bool comment = false;
};

HeadLineResult ApplyHeadLine(const WinString& headLine, ImportHead& head) {
  HeadLineResult set;
  if (headLine.empty()) return set;
  std::string line = headLine.bytes();
  // Position p counted from 1 is p0 + 1: "Name:" takes p + 5 characters, "Kommentar:" p + 10.
  if (const std::size_t p0 = line.find("Name:"); p0 != std::string::npos) {
    DropFront(line, p0 + 1 + 5);
    head.name = CutSpaces(WinString(line, headLine.encoding()));
    set.name = true;
  }
  if (const std::size_t p0 = line.find("Kommentar:"); p0 != std::string::npos) {
    DropFront(line, p0 + 1 + 10);
    head.comment = CutSpaces(WinString(line, headLine.encoding()));
    set.comment = true;
  }
  return set;
}

}  // namespace

ImportHead ReadImportHeader(std::span<const WinString> headLines) {
  ImportHead head;
  for (const WinString& line : headLines)
    ApplyHeadLine(line, head);
  return head;
}

namespace {

// Whether a line holds an entry: " == " before the comment (both plain ASCII, so that the
// answer does not depend on the line's encoding).
bool IsEntryLine(std::string_view line) {
  return line.substr(0, line.find(kCommentSeparator)).find(kSideSeparator) !=
         std::string_view::npos;
}

}  // namespace

std::optional<SourceTexts> SplitImportLine(const WinString& line) {
  SourceTexts texts;
  std::string_view text = line.view();
  if (const std::size_t c = text.find(kCommentSeparator); c != std::string_view::npos) {
    texts.comment = WinString(text.substr(c + kCommentSeparator.size()), line.encoding());
    text = text.substr(0, c);
  }
  const std::size_t sides = text.find(kSideSeparator);
  if (sides == std::string_view::npos) return std::nullopt;
  SplitSide(text.substr(0, sides), &texts.words[0], line.encoding());
  SplitSide(text.substr(sides + kSideSeparator.size()), &texts.words[3], line.encoding());
  return texts;
}

std::optional<TVocData> ParseImportLine(const WinString& line, std::uint8_t unitID) {
  const auto texts = SplitImportLine(line);
  if (!texts) return std::nullopt;
  ImportReport ignored;
  TVocData record = MakeEntry(*texts, 0, ignored);
  record.UnitID = unitID;
  return record;
}

bool IsRemarkLine(std::string_view line) {
  return line.empty() || line.front() == '#';
}

// ---------------------------------------------------------------------------------------------
// Import: the whole file

ParsedImport ReadLessonTextImport(const std::string& textPath, std::uint8_t intoLesson,
                                  TextEncoding target) {
  using Refusal = tl::unexpected<ImportRefusal>;
  if (KindOf(textPath) == PathKind::Missing) {
    return Refusal({{MsgKind::Warning, "Dateiname nicht vorhanden!", MsgButtons::Yes}});
  }
  const bool newLesson = intoLesson == 0;
  LessonTextLines text;
  {
    // Only a regular file is opened, so a FIFO or a device never keeps the import waiting.
    auto file = File::open(textPath, File::Mode::Read, Lock::None);
    if (!file) {
      return Refusal(
          {{MsgKind::Error, WithReason("Fehler beim lesen!", file.error()), MsgButtons::Yes}});
    }
    FileReadBuffer buffer(*file);
    std::istream in(&buffer);
    switch (ReadLessonText(in, newLesson, text)) {
      case TextReadStatus::Ok:
        break;
      case TextReadStatus::Invalid:
        return Refusal({{MsgKind::Error, "Datei nicht gültig!", MsgButtons::Yes}});
      case TextReadStatus::ReadError:
        return Refusal(
            {{MsgKind::Error, WithReason("Fehler beim lesen!", buffer.error()), MsgButtons::Yes}});
    }
  }

  // Everything is read, converted and checked before the DataFile is touched. A line that is
  // not used (a remark, a head line without a label, a line without " == ") need not even be
  // convertible.
  auto import = std::make_unique<HeldImport>();
  ImportPlan& plan = import->plan_;
  plan.clash = NameClash::Refuse;
  plan.needsEntries = false;
  plan.invalidWhenRefused = true;
  ImportReport& report = plan.report;
  const SourceEncoding encoding = text.utf8 ? SourceEncoding::Utf8 : SourceEncoding::Windows1252;
  std::size_t brokenLine = 0;
  auto convert = [&](const TextLine& line) -> std::optional<WinString> {
    std::vector<std::string> bad;
    const auto converted = ToWinText(line.bytes, encoding, bad, target);
    if (!converted) {
      brokenLine = line.number;
      return std::nullopt;
    }
    if (!bad.empty()) {
      report.problem(line.number, DescribeBadCharacters(bad));
      return std::nullopt;
    }
    return converted;
  };

  ImportHead head;
  std::size_t nameLine = 0, commentLine = 0;
  if (newLesson) {
    for (const TextLine& line : text.head) {
      // Lines without a label change nothing; they need not even be convertible.
      const std::string_view bytes = line.bytes;
      if (bytes.find("Name:") == std::string_view::npos &&
          bytes.find("Kommentar:") == std::string_view::npos) {
        continue;
      }
      const auto converted = convert(line);
      if (brokenLine != 0) return Refusal(BrokenUtf8(textPath, brokenLine));
      if (!converted) continue;
      // Later lines replace what earlier ones gave.
      const HeadLineResult set = ApplyHeadLine(*converted, head);
      if (set.name) nameLine = line.number;
      if (set.comment) commentLine = line.number;
    }
  }

  const std::size_t headProblems = report.problems().size();

  PlannedLesson lesson;
  lesson.into = intoLesson;
  std::vector<TVocData> entries;
  // One place for all of them: growing a vector of records copies each of them over and over.
  entries.reserve(text.body.size());
  for (const TextLine& line : text.body) {
    if (IsRemarkLine(line.bytes)) continue;
    if (!IsEntryLine(line.bytes)) {
      report.skipped(line.number, "ohne \" == \", also keine Vokabel");
      continue;
    }
    const auto converted = convert(line);
    if (brokenLine != 0) return Refusal(BrokenUtf8(textPath, brokenLine));
    if (!converted) continue;
    entries.push_back(MakeEntry(*SplitImportLine(*converted), line.number, report));
  }

  if (newLesson) {
    // A lesson needs a name, as everywhere else in the program; without one there is nothing
    // to ask about the other lines.
    if (head.name.empty()) {
      std::string why = "Der Kopf der Datei \"" + textPath +
                        "\" nennt keinen Namen für die Lektion (es fehlt eine Zeile „Name: …“).";
      for (std::size_t i = 0; i < headProblems; ++i) {
        const ImportNote& p = report.problems()[i];
        why += "\nZeile " + std::to_string(p.line) + ": " + p.text;
      }
      return Refusal({{MsgKind::Error, why, MsgButtons::Ok},
                      {MsgKind::Error, "Fehler beim schreiben!", MsgButtons::Yes},
                      {MsgKind::Error, "Datei nicht gültig!", MsgButtons::Yes}});
    }
    if (head.name.size() > kWordCapacity) {
      report.warning(nameLine, "Name der Lektion auf 60 Zeichen gekürzt");
    }
    if (head.comment.size() > kCommentCapacity) {
      report.warning(commentLine, "Kommentar der Lektion auf 255 Zeichen gekürzt");
    }
    // Cut as the lesson header will hold them, so that the duplicate check sees the name that
    // is stored.
    lesson.name = head.name.left(kWordCapacity);
    lesson.comment = head.comment.left(kCommentCapacity);
  }
  import->add(std::move(lesson), std::move(entries));
  return import;
}

ImportResult ImportLessonText(const std::string& dataFilePath, const std::string& textPath,
                              std::uint8_t intoLesson, Messages& messages,
                              const ImportOptions& options) {
  return RunImport(dataFilePath, textPath,
                   ReadLessonTextImport(textPath, intoLesson, ImportTarget(dataFilePath)), messages,
                   options);
}

}  // namespace merkhaus
