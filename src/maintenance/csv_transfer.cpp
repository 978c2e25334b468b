// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/csv_transfer.h"

#include <algorithm>

#include "maintenance/source_text.h"
#include "platform/cp1252.h"

namespace merkhaus {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// A field as RFC 4180 writes it: quoted when it holds a separator, a quote or a line break. A
// first field starting with "#" is quoted too, or the first line could be taken for a remark,
// and so is a tab, or a tab file could be guessed from it.
std::string CsvField(const std::string& text, bool first) {
  const bool quote = text.find_first_of(",\"\r\n\t") != std::string::npos ||
                     (first && !text.empty() && text.front() == '#');
  if (!quote) return text;
  std::string out = "\"";
  for (char c : text) {
    if (c == '"') out += '"';
    out += c;
  }
  return out + "\"";
}

std::string Lowered(std::string_view s) {
  std::string out(s);
  for (char& c : out) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return out;
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t'))
    s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t'))
    s.remove_suffix(1);
  return s;
}

// The separator of a "#separator:" line: '\t', ',' or 0 for an unknown one.
char SeparatorNamed(std::string_view value) {
  const std::string name = Lowered(value);
  if (name == "tab" || name == "\t") return '\t';
  if (name == "comma" || name == ",") return ',';
  return 0;
}

bool BlankRecord(const CsvRecord& r) {
  return !r.quoted &&
         std::all_of(r.fields.begin(), r.fields.end(), [](const auto& f) { return f.empty(); });
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Export

std::string CsvText(std::span<const TVocData> entries, TextEncoding source) {
  std::string text;
  for (const TVocData& e : entries) {
    const std::string a = ToUtf8(JoinSide(e.A1, e.A2, e.A3).as(source));
    const std::string b = ToUtf8(JoinSide(e.B1, e.B2, e.B3).as(source));
    const std::string c = ToUtf8(e.Comment.get(source));
    // A row of empty fields is passed over on reading; quotes keep an entry without any text.
    if (a.empty() && b.empty() && c.empty()) {
      text += "\"\",,\r\n";
      continue;
    }
    text += CsvField(a, true) + "," + CsvField(b, false) + "," + CsvField(c, false) + "\r\n";
  }
  return text;
}

bool ExportCsv(const std::string& outPath, std::span<const TVocData> entries, Messages& messages,
               const ExportSettings& settings) {
  if (!CheckExportable(entries.size(), messages)) return false;
  return WriteExportFile(outPath, CsvText(entries, settings.source), messages,
                         settings.askBeforeOverwrite);
}

// ---------------------------------------------------------------------------------------------
// Import

CsvTable ParseCsv(std::string_view bytes) {
  CsvTable table;
  if (bytes.starts_with(kByteOrderMark)) {
    bytes.remove_prefix(kByteOrderMark.size());
    table.byteOrderMark = true;
  }
  std::size_t pos = 0, line = 1;
  // Steps over the line end at `end` (CR LF, CR or LF).
  auto passLineEnd = [&](std::size_t end) {
    if (end >= bytes.size()) {
      pos = bytes.size();
      return;
    }
    pos = end + 1;
    if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    ++line;
  };

  // Leading lines: empty ones and "#" lines, of which "#separator:" sets the separator.
  bool separatorSet = false;
  while (pos < bytes.size()) {
    const std::size_t end = std::min(bytes.find_first_of("\r\n", pos), bytes.size());
    const std::string_view text = bytes.substr(pos, end - pos);
    if (!text.empty() && text.front() != '#') break;
    if (Lowered(text.substr(0, 11)) == "#separator:") {
      const std::string_view value = TrimBlanks(text.substr(11));
      const char named = SeparatorNamed(value);
      if (named == 0) {
        table.unknownSeparator = std::string(value);
        table.unknownSeparatorLine = line;
        return table;
      }
      table.separator = named;
      separatorSet = true;
    }
    passLineEnd(end);
  }
  if (!separatorSet) {
    // A tab outside quotes in the first record makes a tab file.
    bool quoted = false;
    for (std::size_t i = pos; i < bytes.size(); ++i) {
      const char c = bytes[i];
      if (c == '"') quoted = !quoted;
      if (quoted) continue;
      if (c == '\r' || c == '\n') break;
      if (c == '\t') {
        table.separator = '\t';
        break;
      }
    }
  }

  const char separator = table.separator;
  while (pos < bytes.size()) {
    CsvRecord record;
    record.line = line;
    std::string field;
    bool inQuotes = false, fieldStart = true;
    for (;;) {
      if (pos >= bytes.size()) {
        if (inQuotes) {
          table.unclosedQuoteLine = record.line;
          return table;
        }
        break;
      }
      const char c = bytes[pos];
      if (inQuotes) {
        if (c == '"') {
          if (pos + 1 < bytes.size() && bytes[pos + 1] == '"') {
            field += '"';
            pos += 2;
          } else {
            inQuotes = false;
            ++pos;
          }
          continue;
        }
        field += c;
        ++pos;
        if (c == '\n' || (c == '\r' && (pos >= bytes.size() || bytes[pos] != '\n'))) ++line;
        continue;
      }
      if (c == '"' && fieldStart) {
        inQuotes = true;
        record.quoted = true;
        fieldStart = false;
        ++pos;
      } else if (c == separator) {
        record.fields.push_back(std::move(field));
        field.clear();
        fieldStart = true;
        ++pos;
      } else if (c == '\r' || c == '\n') {
        passLineEnd(pos);
        break;
      } else {
        // Text after a closing quote is kept as it stands.
        field += c;
        fieldStart = false;
        ++pos;
      }
    }
    record.fields.push_back(std::move(field));
    if (!BlankRecord(record)) table.records.push_back(std::move(record));
  }
  return table;
}

ParsedImport ReadCsvImport(const std::string& csvPath, std::uint8_t intoLesson,
                           TextEncoding target) {
  using Refusal = tl::unexpected<ImportRefusal>;
  const auto bytes = ReadSourceFile(csvPath);
  if (!bytes) return Refusal(bytes.error());
  const CsvTable table = ParseCsv(*bytes);
  if (!table.unknownSeparator.empty() || table.unknownSeparatorLine != 0) {
    return Refusal(
        {{MsgKind::Error,
          "Datei nicht gültig!\nZeile " + std::to_string(table.unknownSeparatorLine) +
              " der Datei \"" + csvPath + "\" nennt das Trennzeichen „" + table.unknownSeparator +
              "“; gelesen werden nur „#separator:tab“ und „#separator:comma“.",
          MsgButtons::Yes}});
  }

  EncodingSniffer sniffer;
  for (const CsvRecord& r : table.records) {
    for (const std::string& f : r.fields)
      sniffer.add(r.line, f);
  }
  std::size_t brokenLine = 0;
  const SourceEncoding encoding = sniffer.decide(table.byteOrderMark, brokenLine);
  if (brokenLine != 0) return Refusal(BrokenUtf8(csvPath, brokenLine));

  auto import = std::make_unique<HeldImport>();
  ImportPlan& plan = import->plan_;
  // A file separated by something else reads as one column per line: say what is read.
  plan.emptyHint = "Getrennt werden die Spalten durch Kommas oder Tabs.";
  ImportReport& report = plan.report;
  PlannedLesson lesson;
  lesson.into = intoLesson;
  std::vector<TVocData> entries;
  for (const CsvRecord& r : table.records) {
    if (r.fields.size() < 2) {
      report.skipped(r.line, "nur eine Spalte, also keine Vokabel");
      continue;
    }
    std::vector<std::string> bad;
    WinString texts[3];
    for (std::size_t i = 0; i < 3 && i < r.fields.size(); ++i) {
      // Valid UTF-8 throughout, or the file would have been refused above.
      texts[i] = ToWinText(r.fields[i], encoding, bad, target).value_or(WinString());
    }
    if (!bad.empty()) {
      report.problem(r.line, DescribeBadCharacters(bad));
      continue;
    }
    SourceTexts entry;
    SplitSide(WordOneLine(texts[0]).view(), &entry.words[0], target);
    SplitSide(WordOneLine(texts[1]).view(), &entry.words[3], target);
    entry.comment = CommentLineBreaks(texts[2]);
    entries.push_back(MakeEntry(entry, r.line, report));
    if (std::any_of(r.fields.begin() + std::min<std::size_t>(3, r.fields.size()), r.fields.end(),
                    [](const auto& f) { return !f.empty(); })) {
      report.warning(r.line, "Spalten nach der dritten nicht übernommen");
    }
  }
  if (table.unclosedQuoteLine != 0) {
    report.problem(table.unclosedQuoteLine,
                   "ein Anführungszeichen wird bis zum Ende der Datei nicht geschlossen");
  }
  if (intoLesson == 0) lesson.name = LessonNameOfFile(csvPath, report, target);
  import->add(std::move(lesson), std::move(entries));
  return import;
}

ImportResult ImportCsv(const std::string& dataFilePath, const std::string& csvPath,
                       std::uint8_t intoLesson, Messages& messages, const ImportOptions& options) {
  return RunImport(dataFilePath, csvPath,
                   ReadCsvImport(csvPath, intoLesson, ImportTarget(dataFilePath)), messages,
                   options);
}

}  // namespace merkhaus
