// SPDX-License-Identifier: GPL-3.0-or-later
#include "tool/tool_support.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "store/lesson_list.h"
#include "store/record_file.h"

namespace merkhaus::tool {

bool ParsedArgs::has(const std::string& name) const {
  return std::any_of(options.begin(), options.end(),
                     [&](const auto& o) { return o.first == name; });
}

std::optional<std::string> ParsedArgs::value(const std::string& name) const {
  for (auto it = options.rbegin(); it != options.rend(); ++it) {
    if (it->first == name) return it->second;
  }
  return std::nullopt;
}

bool ParseArgs(const std::vector<std::string>& args, const std::vector<std::string>& valued,
               const std::vector<std::string>& flags, ParsedArgs& out, std::ostream& err) {
  out = ParsedArgs{};
  bool optionsEnded = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      // Everything after "--" is a file or a value, even a file named "--force".
      optionsEnded = true;
      continue;
    }
    if (optionsEnded || a.size() < 3 || a.compare(0, 2, "--") != 0) {
      out.positional.push_back(a);
      continue;
    }
    const std::string name = a.substr(2);
    if (std::find(flags.begin(), flags.end(), name) != flags.end()) {
      out.options.emplace_back(name, std::string());
    } else if (std::find(valued.begin(), valued.end(), name) != valued.end()) {
      if (i + 1 >= args.size()) {
        err << "Die Option " << a << " braucht einen Wert.\n";
        return false;
      }
      out.options.emplace_back(name, args[++i]);
    } else {
      err << "Unbekannte Option: " << a << "\n";
      return false;
    }
  }
  return true;
}

bool RequireDataFile(const std::string& path, Messages& messages) {
  if (KindOf(path) == PathKind::Missing) {
    messages.show(MsgKind::Warning, "Die Datei \"" + path + "\" ist nicht auffindbar!",
                  MsgButtons::Ok);
    return false;
  }
  switch (CheckDataFile(path, messages)) {
    case DataFileCheck::DataFile:
      return true;
    case DataFileCheck::NotDataFile:
      messages.show(MsgKind::Warning, "Kein Merkhaus ]|[ Datafile!", MsgButtons::Ok);
      return false;
    case DataFileCheck::Unreadable:
      // Reported already; it may well be a DataFile, so do not claim otherwise.
      return false;
  }
  return false;
}

bool RequireWritableDataFile(const std::string& path, Messages& messages) {
  if (!RequireDataFile(path, messages)) return false;
  const std::optional<FileError> why = WhyReadOnly(path);
  if (!why || why->code == FileError::kDamaged) return true;
  messages.show(MsgKind::Error, why->text() + "\nDas DataFile wurde nicht verändert.",
                MsgButtons::Ok);
  return false;
}

TextEncoding FileEncoding(const std::string& path) {
  return ReadDataFileEncoding(path).value_or(TextEncoding::Cp1252);
}

std::optional<WinString> ArgText(const std::string& utf8, std::ostream& err,
                                 TextEncoding encoding) {
  if (auto text = FromUtf8(utf8, encoding)) return text;
  if (encoding == TextEncoding::Utf8) {
    err << "Der Text ist kein gültiges UTF-8.\n";
    return std::nullopt;
  }
  err << "Der Text „" << utf8
      << "“ enthält Zeichen, die ein DataFile nicht speichern kann (möglich sind nur die Zeichen "
         "von Windows-1252).\n";
  return std::nullopt;
}

std::optional<std::uint8_t> UnitIdArg(const std::string& text, std::ostream& err) {
  if (auto id = ParseUnitId(text)) return id;
  err << "Ungültige UnitID „" << text << "“: erlaubt sind die Zahlen 1 bis 255.\n";
  return std::nullopt;
}

std::string TsvField(std::string_view bytes, TextEncoding encoding) {
  std::string text(bytes);
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return ToUtf8(WinString(std::move(text), encoding));
}

bool RequireLesson(const std::string& path, std::uint8_t unitId, Messages& messages) {
  const StoreResult<LessonList> list = ReadLessonList(path);
  if (!list) {
    ShowFileError(messages, "RW - Fehler in Unit6!", list.error().file);
    return false;
  }
  if (std::any_of(list->lines.begin(), list->lines.end(),
                  [&](const LessonLine& l) { return l.unitId == unitId; })) {
    return true;
  }
  messages.show(
      MsgKind::Warning,
      "Die Lektion mit der UnitID " + std::to_string(unitId) + " gibt es in diesem DataFile nicht.",
      MsgButtons::Ok);
  return false;
}

}  // namespace merkhaus::tool
