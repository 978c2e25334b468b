// SPDX-License-Identifier: GPL-3.0-or-later
// add: one entry typed into a lesson, as the entry window's "Eintragen" followed by "Speichern"
// builds and saves it, with the same rules and messages.

#include <ostream>

#include "entry/entry_buffer.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {

int Add(const std::vector<std::string>& args, std::ostream&, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {"comment"}, {"no-split", "keep-spaces"}, p, err)) return 1;
  if (p.positional.size() != 4) {
    err << "Aufruf: merkhaus-tool add FILE UNITID FOREIGN NATIVE [--comment TEXT] [--no-split] "
           "[--keep-spaces]\n";
    return 1;
  }
  const std::string& path = p.positional[0];
  StreamMessages messages(err);
  const auto id = UnitIdArg(p.positional[1], err);
  if (!id) return 1;
  EntryTexts texts;
  const std::pair<WinString*, std::string> given[] = {
      {&texts.A1, p.positional[2]},
      {&texts.B1, p.positional[3]},
      {&texts.Comment, p.value("comment").value_or("")}};
  for (const auto& [field, utf8] : given) {
    auto text = ArgText(utf8, err, FileEncoding(path));
    if (!text) return 1;
    *field = std::move(*text);
  }
  // As in the window, the texts as given count, before any blank is cut.
  if (texts.A1.empty() || texts.B1.empty()) {
    messages.show(MsgKind::Warning,
                  "FOREIGN und NATIVE dürfen nicht leer sein: eine Vokabel braucht ein Wort in "
                  "der Fremdsprache und eines in der Sprache.",
                  MsgButtons::Ok);
    return 1;
  }
  if (!RequireWritableDataFile(path, messages) || !RequireLesson(path, *id, messages)) return 1;

  EntryBuffer buffer;
  buffer.add(BuildNewEntry(texts, !p.has("no-split"), !p.has("keep-spaces"), *id));
  // The lesson is checked again while the DataFile is held for the write.
  return buffer.save(path, messages) ? 0 : 1;
}

}  // namespace merkhaus::tool
