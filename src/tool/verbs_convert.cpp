// SPDX-License-Identifier: GPL-3.0-or-later
// convert: a Unicode copy of a Windows-1252 DataFile, as the editor's "In Unicode umwandeln…"
// makes it.

#include <ostream>

#include "maintenance/unicode_convert.h"
#include "progress/progress_store.h"
#include "tool/tool_support.h"
#include "tool/verbs.h"

namespace merkhaus::tool {

int Convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  ParsedArgs p;
  if (!ParseArgs(args, {}, {"unicode", "cut", "force"}, p, err)) return 1;
  if (p.positional.size() != 2 || !p.has("unicode")) {
    err << "Aufruf: merkhaus-tool convert FILE OUT --unicode [--cut] [--force]\n";
    return 1;
  }
  const std::string& from = p.positional[0];
  const std::string& to = p.positional[1];
  StreamMessages messages(err);
  if (!RequireDataFile(from, messages)) return 1;

  ConvertSettings settings;
  settings.cut = p.has("cut");
  settings.replace = p.has("force");
  const StoreResult<ConversionReport> report = ConvertToUnicode(from, to, settings);
  if (!report) {
    ShowFileError(messages, "Die Vokabeldatei wurde nicht umgewandelt.", report.error().file);
    return 1;
  }
  const bool written = report->outcome == ConversionReport::Outcome::Written;
  for (const OverlongField& f : report->overlong)
    (written ? out : err) << OverlongLine(f, written) << "\n";
  if (!written) {
    err << ConversionRefusal(*report, from, to) << "\n";
    if (report->outcome == ConversionReport::Outcome::TooLong) {
      err << "Mit --cut werden diese Felder an einer Zeichengrenze gekürzt.\n";
    } else if (report->outcome == ConversionReport::Outcome::TargetExists) {
      err << "Mit --force wird die vorhandene Datei ersetzt.\n";
    }
    return 1;
  }
  // The copy's entries start with the learning progress of the source's.
  auto store = ProgressStore::open(DefaultProgressPath());
  auto followed = store.and_then([&](ProgressStore& s) {
    return s.dataFile(from, report->sourceHeader).and_then([&](DataFileRef ref) {
      return s.dataFileConverted(ref, to, report->copyHeader);
    });
  });
  if (!followed) err << ProgressNotKeptText(followed.error()) << "\n";
  return 0;
}

}  // namespace merkhaus::tool
