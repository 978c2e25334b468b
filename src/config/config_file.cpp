// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/config_file.h"

#include <algorithm>
#include <array>
#include <limits>
#include <system_error>

#include "config/more_options.h"
#include "config/text_file.h"
#include "platform/cp1252.h"

namespace merkhaus {
namespace {

// A path is one line; anything longer than this is damage, not a path.
constexpr std::size_t kMaxConfigLine = 65536;
// Merkhaus3.conf holds a few dozen settings; a file far longer is not ours.
constexpr std::size_t kMaxMoreLines = 10000;

int ToInt(std::int64_t v) {
  return static_cast<int>(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(),
                                                   std::numeric_limits<int>::max()));
}

// One line of the file: a fixed comment, or the reader and writer of one option.
struct Line {
  const char* comment;  // UTF-8; null for a value line
  void (*read)(Options&, std::string_view);
  std::string (*write)(const Options&);
};

constexpr Line Comment(const char* text) {
  return {text, nullptr, nullptr};
}

template <auto Member>
constexpr Line Bool() {
  return {nullptr, [](Options& o, std::string_view s) { o.*Member = ReadConfigBool(s); },
          [](const Options& o) { return std::string(o.*Member ? "TRUE" : "FALSE"); }};
}

// Integers clamp and choices fit on assignment.
template <auto Member>
constexpr Line Number() {
  return {nullptr, [](Options& o, std::string_view s) { o.*Member = ToInt(ReadConfigInt(s)); },
          [](const Options& o) { return std::to_string(static_cast<int>(o.*Member)); }};
}

constexpr Line Path() {
  return {nullptr, [](Options& o, std::string_view s) { o.StdDF = std::string(s); },
          [](const Options& o) { return o.StdDF; }};
}

constexpr const char* kBlank = "# ";
constexpr const char* kMenuOrder = "# Menüpunkte von links oben => nach rechts unten!";

const std::array<Line, kConfigLineCount> kLines = {
    Comment("# Merkhaus Version 3.05 - Optionsdatei!"),
    Comment(kBlank),
    Comment("# Merkhaus Version 3.05 von Merkhaus Autoren"),
    Comment("# Bitte ändern sie keine Einträge, wenn sie sich nicht 100%ig sicher sind, was sie "
            "damit bezwecken."),
    Comment("# Sollte beim Ändern gewisser Einträge ein Fehler unterlaufen bewirkt dies, dass das "
            "Programm nicht mehr, oder zumindest nicht mehr korrekt, gestartet werden kann!"),
    Comment(kBlank),
    Comment(kBlank),
    Comment("# Allgemein"),
    Comment(kBlank),
    Comment("# Standard DataFile"),
    Path(),
    Comment("# Immer StdDF verwenden"),
    Bool<&Options::alwaysthisfile>(),
    Comment("# Durch doppelklick geöffnete *.fid - Dateien so behandeln"),
    Number<&Options::openreact>(),
    Comment("# Immer nur die in der Kommandozeile spezifizierte Datei ohne Nachfrage behandeln"),
    Bool<&Options::alwaysthatfile>(),
    Comment("# Unnötige führende, mittige und abschließende Leerzeichen entfernen"),
    Bool<&Options::Eingabe_SpaceCut>(),
    Comment("# Durch Semikola getrennten Wörtern eine neue Synonymebene zuordnen"),
    Bool<&Options::Semikolacut>(),
    Comment(kBlank),
    Comment("# Üben"),
    Comment(kMenuOrder),
    Comment(kBlank),
    Bool<&Options::Study_SpaceCut>(),
    Bool<&Options::FragezeichenLosung>(),
    Bool<&Options::Kommentar_zeigen>(),
    Bool<&Options::AdvancedTips>(),
    Bool<&Options::Synonymabfrage>(),
    Bool<&Options::SmartBrackets>(),
    Bool<&Options::Grossklein>(),
    Bool<&Options::Kommatareg>(),
    Bool<&Options::KnowOnlyOneVoc>(),
    Bool<&Options::clearwhenwrong>(),
    Number<&Options::Abfrageweise>(),
    Number<&Options::KickoutVal>(),
    Number<&Options::Neuversuche>(),
    Number<&Options::Losungstrafe>(),
    Bool<&Options::AutoWeiterAkt>(),
    Number<&Options::Autoweiter>(),
    Bool<&Options::Autoweiterchbx>(),
    Comment(kBlank),
    Comment("# Testen"),
    Comment(kMenuOrder),
    Comment(kBlank),
    Bool<&Options::Testen_SpaceCut>(),
    Bool<&Options::Testen_showcomments>(),
    Bool<&Options::testensynonymabfrage>(),
    Bool<&Options::TestenSmartBrackets>(),
    Bool<&Options::testengrossklein>(),
    Bool<&Options::testenKommatareg>(),
    Bool<&Options::testenKnowOnlyOneVoc>(),
    Number<&Options::TestenAbfrageweise>(),
    Comment(kBlank),
    Comment("# Algorithmus"),
    Comment(kMenuOrder),
    Comment(kBlank),
    Number<&Options::algorithmus>(),
    Bool<&Options::doppelvok>(),
    Comment(kBlank),
    Comment("# Wörterbuch"),
    Comment(kMenuOrder),
    Comment(kBlank),
    Bool<&Options::groesse>(),
    Bool<&Options::ganzewoerter>(),
    Bool<&Options::showunitID>(),
    Bool<&Options::ClearList>(),
    Bool<&Options::wortbuchleerenft>(),
    Bool<&Options::Felder>(),
    Bool<&Options::searchB1>(),
    Bool<&Options::searchB2>(),
    Bool<&Options::searchB3>(),
    Bool<&Options::searchA1>(),
    Bool<&Options::searchA2>(),
    Bool<&Options::searchA3>(),
    Bool<&Options::searchComment>(),
};

int DigitValue(char c, int base) {
  int v = -1;
  if (c >= '0' && c <= '9') v = c - '0';
  if (base == 16 && c >= 'a' && c <= 'f') v = c - 'a' + 10;
  if (base == 16 && c >= 'A' && c <= 'F') v = c - 'A' + 10;
  return v;
}

}  // namespace

bool ReadConfigBool(std::string_view line) {
  return line == "TRUE";
}

std::int64_t ReadConfigInt(std::string_view line) {
  std::size_t i = 0;
  while (i < line.size() && (line[i] == ' ' || line[i] == '\t'))
    ++i;
  bool negative = false;
  if (i < line.size() && (line[i] == '+' || line[i] == '-')) negative = line[i++] == '-';
  int base = 10;
  if (i < line.size() && line[i] == '$') {
    base = 16;
    ++i;
  } else if (i + 1 < line.size() && line[i] == '0' && (line[i + 1] == 'x' || line[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  // Saturates far beyond every option's range, so that no number of digits can overflow.
  constexpr std::int64_t kCeiling = std::int64_t{1} << 40;
  std::int64_t value = 0;
  for (; i < line.size(); ++i) {
    const int d = DigitValue(line[i], base);
    if (d < 0) break;
    value = std::min(value * base + d, kCeiling);
  }
  return negative ? -value : value;
}

std::string ConfigFileText(const Options& options) {
  std::string text;
  for (const Line& line : kLines) {
    // The comments are written here in UTF-8 and go to the file in Windows-1252.
    text += line.comment ? FromUtf8(line.comment).value().bytes() : line.write(options);
    text += "\r\n";
  }
  return text;
}

void ReadConfigLines(const std::vector<std::string>& lines, Options& options) {
  for (std::size_t i = 0; i < kLines.size(); ++i) {
    if (!kLines[i].read) continue;
    kLines[i].read(options, i < lines.size() ? std::string_view(lines[i]) : std::string_view());
  }
}

std::string StdDFPath(const Options& options) {
  return ToUtf8(WinString(options.StdDF));
}

ConfigFile::ConfigFile(std::filesystem::path dir, Options& options, SpecialCharTable& specialChars,
                       Messages& messages)
    : dir_(std::move(dir)), options_(options), specialChars_(specialChars), messages_(messages) {}

void ConfigFile::loadOrCreate() {
  std::error_code ec;
  if (std::filesystem::exists(path(), ec) || ec) {
    load();
    return;
  }
  save();
  // A first start reads the special characters too (creating Merkhaus.soz when needed): the
  // typing fields and the "Sonderzeichen" page must show what the file holds, or "Eintragen"
  // would overwrite it with empty fields.
  LoadSpecialChars(dir_, specialChars_, messages_);
}

std::filesystem::path ConfigFile::morePath() const {
  return dir_ / kMoreOptionsFileName;
}

bool ConfigFile::load() {
  const auto lines = ReadTextLines(path(), kConfigLineCount, kMaxConfigLine);
  if (!lines) {
    ShowFileError(messages_, kReadError, lines.error(), {}, MsgButtons::Yes);
    return false;
  }
  ReadConfigLines(*lines, options_);
  bool ok = true;
  if (KindOf(morePath().string()) != PathKind::Missing) {
    const auto more = ReadTextLines(morePath(), kMaxMoreLines, kMaxConfigLine);
    if (more) {
      std::string text;
      for (const std::string& line : *more)
        text += line + "\n";
      ReadMoreOptions(text, options_.more);
    } else {
      ShowFileError(messages_, kReadError, more.error(), {}, MsgButtons::Yes);
      ok = false;
    }
  }
  LoadSpecialChars(dir_, specialChars_, messages_);
  return ok;
}

bool ConfigFile::save() {
  if (const FileResult<> written = ReplaceFile(path(), ConfigFileText(options_)); !written) {
    ShowFileError(messages_, kWriteError, written.error(), {}, MsgButtons::Yes);
    return false;
  }
  return saveMore();
}

bool ConfigFile::saveMore() {
  if (const FileResult<> written = ReplaceFile(morePath(), MoreOptionsText(options_.more));
      !written) {
    ShowFileError(messages_, kWriteError, written.error(), {}, MsgButtons::Yes);
    return false;
  }
  return true;
}

}  // namespace merkhaus
