// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "config/special_chars.h"
#include "platform/file_io.h"
#include "platform/messages.h"

namespace merkhaus {

inline constexpr const char* kConfigFileName = "Merkhaus.cfg";
inline constexpr int kConfigLineCount = 77;

inline constexpr const char* kReadError = "Fehler beim Lesen der Datei!";
inline constexpr const char* kWriteError = "Fehler beim Schreiben der Datei!";

// A value line of Merkhaus.cfg. A boolean is true only for exactly "TRUE".
bool ReadConfigBool(std::string_view line);
// An integer line: leading blanks, an optional sign, then decimal digits up to the first other
// character ("$" or "0x" first switches to hexadecimal); no digits give 0. Never fails.
std::int64_t ReadConfigInt(std::string_view line);

// The 77 lines of Merkhaus.cfg for these options, in Windows-1252 with CR LF.
std::string ConfigFileText(const Options& options);
// Sets every option from the lines of Merkhaus.cfg; lines the file lacks read as empty.
void ReadConfigLines(const std::vector<std::string>& lines, Options& options);

// The standard DataFile as a path of the system (StdDF holds the bytes of the file's line).
std::string StdDFPath(const Options& options);

// Merkhaus.cfg in the program's configuration directory, read into and written from the one
// options object. Reading also reads the special-character table.
class ConfigFile {
 public:
  ConfigFile(std::filesystem::path dir, Options& options, SpecialCharTable& specialChars,
             Messages& messages);

  std::filesystem::path path() const { return dir_ / kConfigFileName; }
  // The settings beyond Merkhaus.cfg (Merkhaus3.conf), beside it.
  std::filesystem::path morePath() const;

  // Reads the file when it exists, otherwise creates it from the current options.
  void loadOrCreate();
  // Reads the options, the settings beyond them and then the special-character table. When a
  // file cannot be read the learner is told and everything keeps its value; a missing
  // Merkhaus3.conf leaves those settings as they come.
  bool load();
  // Writes the 77 lines and the settings beyond them. On failure the learner is told and the
  // old file stays as it was.
  bool save();
  // Writes only the settings beyond Merkhaus.cfg (a window's place, the answer style of
  // "Wiederholen"), which change without the options dialog.
  bool saveMore();
  // Throws away unsaved changes: the same as LoadOrCreate.
  void reload() { loadOrCreate(); }

 private:
  std::filesystem::path dir_;
  Options& options_;
  SpecialCharTable& specialChars_;
  Messages& messages_;
};

}  // namespace merkhaus
