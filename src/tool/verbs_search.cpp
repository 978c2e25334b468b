// SPDX-License-Identifier: GPL-3.0-or-later
// The dictionary verb of merkhaus-tool: search. It never writes the DataFile.

#include <algorithm>
#include <ostream>

#include "dictionary/dictionary_search.h"
#include "platform/cp1252.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {
namespace {

constexpr const char* kUsage =
    "search FILE TERM [--ignore-case] [--whole] [--direction beide|ab|ba] [--unit-ids] "
    "[--keep-spaces]";

// A hit line as one line of output: a tab or line break inside it becomes a blank.
std::string OutputLine(const WinString& line) {
  std::string text = line.bytes();
  std::replace_if(
      text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return ToUtf8(WinString(std::move(text), line.encoding()));
}

}  // namespace

int Search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs parsed;
  if (!ParseArgs(args, {"direction"}, {"ignore-case", "whole", "unit-ids", "keep-spaces"}, parsed,
                 err)) {
    return 1;
  }
  if (parsed.positional.size() != 2) {
    err << "Aufruf: merkhaus-tool " << kUsage << "\n";
    return 1;
  }
  SearchSettings settings;
  const std::string direction = parsed.value("direction").value_or("beide");
  if (direction == "beide") {
    settings.direction = SearchDirection::Both;
  } else if (direction == "ab") {
    settings.direction = SearchDirection::AToB;
  } else if (direction == "ba") {
    settings.direction = SearchDirection::BToA;
  } else {
    err << "Ungültige Richtung „" << direction << "“: erlaubt sind beide, ab und ba.\n";
    return 1;
  }
  settings.caseSensitive = !parsed.has("ignore-case");
  settings.wholeFields = parsed.has("whole");
  settings.showUnitId = parsed.has("unit-ids");
  settings.cutSpaces = !parsed.has("keep-spaces");

  const std::string& path = parsed.positional[0];
  const auto term = ArgText(parsed.positional[1], err, FileEncoding(parsed.positional[0]));
  if (!term) return 1;
  StreamMessages messages(err);
  if (!RequireDataFile(path, messages)) return 1;

  DictionarySearch search(messages);
  const auto outcome = search.search(path, *term, settings);
  if (outcome == DictionarySearch::Outcome::Failed) return 1;
  for (const WinString& line : search.lines())
    out << OutputLine(line) << "\n";
  if (outcome == DictionarySearch::Outcome::Searched) search.warnWhenFull();
  return 0;
}

}  // namespace merkhaus::tool
