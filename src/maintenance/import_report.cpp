// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/import_report.h"

#include <algorithm>

namespace merkhaus {

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
void ImportReport::sortByLine() {
  const auto byLine = [](const ImportNote& a, const ImportNote& b) { return a.line < b.line; };
  std::stable_sort(problems_.begin(), problems_.end(), byLine);
  std::stable_sort(warnings_.begin(), warnings_.end(), byLine);
}

ImportRefusal InvalidFile(const std::string& path, const std::string& why) {
  return {
      {MsgKind::Error,
       "Datei nicht gültig!\nDie Datei \"" + path + "\" " + why + ".\nEs wurde nichts importiert.",
       MsgButtons::Yes}};
}

}  // namespace merkhaus
