// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/source_text.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/datafile.h"
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
}  // namespace

tl::expected<std::string, ImportRefusal> ReadSourceFile(const std::string& path) {
  if (KindOf(path) == PathKind::Missing) {
    return tl::unexpected(
        ImportRefusal{{MsgKind::Warning, "Dateiname nicht vorhanden!", MsgButtons::Yes}});
  }
  const auto cannotRead = [](const FileError& error) {
    return tl::unexpected(
        ImportRefusal{{MsgKind::Error, WithReason("Fehler beim lesen!", error), MsgButtons::Yes}});
  };
  // Only a regular file is opened, so a FIFO or a device never keeps the import waiting.
  auto file = File::open(path, File::Mode::Read, Lock::None);
  if (!file) return cannotRead(file.error());
  try {
    const std::uint64_t size = file->size();
    if (size > kMaxSourceBytes) {
      return tl::unexpected(
          ImportRefusal{{MsgKind::Error,
                         "Fehler beim lesen!\nDie Datei \"" + path +
                             "\" ist größer als 256 MB; so große Dateien liest der Import nicht.",
                         MsgButtons::Yes}});
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    bytes.resize(file->readAt(bytes.data(), bytes.size(), 0));
    return bytes;
  } catch (const IoError& e) {
    return cannotRead(e.error());
  }
}

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

ImportRefusal BrokenUtf8(const std::string& sourcePath, std::size_t line) {
  return {{MsgKind::Error,
           "Die Datei \"" + sourcePath + "\" ist in UTF-8 geschrieben, aber Zeile " +
               std::to_string(line) + " ist kein gültiger UTF-8-Text.\nEs wurde nichts importiert.",
           MsgButtons::Ok}};
}

std::optional<WinString> ToWinText(std::string_view bytes, SourceEncoding encoding,
                                   std::vector<std::string>& bad, TextEncoding target) {
  std::string out;
  out.reserve(bytes.size());
  const bool toUtf8 = target == TextEncoding::Utf8;
  if (encoding == SourceEncoding::Windows1252) {
    for (char c : bytes) {
      const char32_t cp = Cp1252ToUnicode(static_cast<std::uint8_t>(c));
      if (IsControl(cp)) {
        NoteControl(bad, cp);
      } else if (toUtf8) {
        AppendUtf8(out, cp);
      } else {
        out += c;
      }
    }
    return WinString(std::move(out), target);
  }
  for (std::size_t i = 0; i < bytes.size();) {
    // Most characters are printable ASCII or Latin-1 letters, which need no table.
    const auto b = static_cast<unsigned char>(bytes[i]);
    if (b >= 0x20 && b < 0x7F) {
      // A run of them is taken over at once.
      std::size_t end = i + 1;
      while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) >= 0x20 &&
             static_cast<unsigned char>(bytes[end]) < 0x7F)
        ++end;
      out.append(bytes.data() + i, end - i);
      i = end;
      continue;
    }
    // Into a Windows-1252 DataFile a Latin-1 letter is its second byte with two bits of the
    // first; a Unicode DataFile keeps its UTF-8 as it is, below.
    if (!toUtf8 && (b == 0xC2 || b == 0xC3) && i + 1 < bytes.size()) {
      const auto next = static_cast<unsigned char>(bytes[i + 1]);
      if (next >= (b == 0xC2 ? 0xA0 : 0x80) && next <= 0xBF) {
        out += static_cast<char>(((b & 0x03) << 6) | (next & 0x3F));
        i += 2;
        continue;
      }
    }
    std::size_t n = 0;
    const auto cp = DecodeAt(bytes, i, n);
    if (!cp) return std::nullopt;
    if (IsControl(*cp)) {
      NoteControl(bad, *cp);
    } else if (toUtf8) {
      out.append(bytes.substr(i, n));
    } else if (const auto byte = UnicodeToCp1252(*cp); !byte || IsControl(Cp1252ToUnicode(*byte))) {
      NoteForeign(bad, bytes.substr(i, n), *cp);
    } else {
      out += static_cast<char>(*byte);
    }
    i += n;
  }
  return WinString(std::move(out), target);
}

std::string DescribeBadCharacters(const std::vector<std::string>& bad) {
  std::string text;
  for (const std::string& b : bad) {
    if (!text.empty()) text += "; ";
    text += b;
  }
  return text;
}

WinString NameFromUtf8(std::string_view utf8, bool& changed, TextEncoding target) {
  changed = false;
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    std::size_t n = 1;
    const auto cp = DecodeAt(utf8, i, n);
    if (target == TextEncoding::Utf8) {
      if (!cp || IsControl(*cp)) {
        out += '?';
        changed = true;
      } else {
        out.append(utf8.substr(i, n));
      }
      i += cp ? n : 1;
      continue;
    }
    const auto byte = cp ? UnicodeToCp1252(*cp) : std::nullopt;
    if (!byte || IsControl(Cp1252ToUnicode(*byte))) {
      out += '?';
      changed = true;
    } else {
      out += static_cast<char>(*byte);
    }
    i += cp ? n : 1;
  }
  return WinString(std::move(out), target);
}

WinString WordOneLine(const WinString& text) {
  const std::string& s = text.bytes();
  if (std::none_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; })) {
    return text;
  }
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
    out += (s[i] == '\r' || s[i] == '\n') ? ' ' : s[i];
  }
  return WinString(std::move(out), text.encoding());
}

WinString CommentLineBreaks(const WinString& text) {
  const std::string& s = text.bytes();
  if (std::none_of(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n'; })) {
    return text;
  }
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\r' || s[i] == '\n') {
      if (s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n') ++i;
      out += "\r\n";
    } else {
      out += s[i];
    }
  }
  return WinString(std::move(out), text.encoding());
}

TextEncoding ImportTarget(const std::string& dataFilePath) {
  return ReadDataFileEncoding(dataFilePath).value_or(TextEncoding::Cp1252);
}

WinString LessonNameOfFile(const std::string& path, ImportReport& report, TextEncoding target) {
  bool changed = false;
  WinString name = NameFromUtf8(std::filesystem::path(path).stem().string(), changed, target);
  if (changed) {
    report.warning(0,
                   "Zeichen des Dateinamens, die es in Windows-1252 nicht gibt, im Namen der "
                   "Lektion durch „?“ ersetzt");
  }
  if (name.size() > kWordCapacity) report.warning(0, "Name der Lektion auf 60 Zeichen gekürzt");
  return name.empty() ? WinString("Import", target) : name;
}

void SplitSide(std::string_view side, WinString* first, TextEncoding encoding) {
  auto cut = [encoding](std::string_view s) { return CutSpaces(WinString(s, encoding)); };
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
    // A Unicode DataFile's fields hold bytes of UTF-8: the cut is told in bytes there.
    if (word.size() > kWordCapacity) {
      report.warning(line,
                     std::string(kWordNames[i]) +
                         (word.isUnicode() ? " auf 60 Bytes gekürzt" : " auf 60 Zeichen gekürzt"));
    }
  }
  record.Comment.set(texts.comment);
  if (texts.comment.size() > kCommentCapacity) {
    report.warning(line, texts.comment.isUnicode() ? "Kommentar auf 255 Bytes gekürzt"
                                                   : "Kommentar auf 255 Zeichen gekürzt");
  }
  if (!anyWord) report.warning(line, "beide Seiten leer, als Vokabel ohne Wörter übernommen");
  return record;
}

}  // namespace merkhaus
