// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/kvtml_transfer.h"

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <functional>
#include <iterator>
#include <sstream>
#include <unordered_map>

#include "maintenance/source_text.h"
#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/record_file.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

// ---------------------------------------------------------------------------------------------
// Export

// Record text as XML text: each Windows-1252 byte as its UTF-8 character, escaped for element
// text, without the control characters that XML 1.0 forbids (a damaged record may hold them; the
// document must stay readable for every program). One table, built once, serves every byte.
class XmlTextTable {
 public:
  XmlTextTable() {
    for (int b = 0; b < 256; ++b) {
      const char byte = static_cast<char>(b);
      std::string utf8 = ToUtf8(WinString(std::string(1, byte)));
      if (b < 0x20 && b != '\t' && b != '\n' && b != '\r') utf8 = " ";
      if (b == '&') utf8 = "&amp;";
      if (b == '<') utf8 = "&lt;";
      if (b == '>') utf8 = "&gt;";
      table_[static_cast<std::size_t>(b)] = std::move(utf8);
    }
  }
  void append(std::string& out, std::string_view text) const {
    for (const char c : text)
      out += table_[static_cast<unsigned char>(c)];
  }

 private:
  std::array<std::string, 256> table_;
};

const XmlTextTable& XmlText() {
  static const XmlTextTable table;
  return table;
}

// The locale of a language as German names it, for the trainers that sort by locale.
const char* LocaleOf(const WinString& language) {
  static const std::pair<const char*, const char*> kLocales[] = {
      {"Deutsch", "de"},     {"Englisch", "en"},      {"Französisch", "fr"},    {"Spanisch", "es"},
      {"Italienisch", "it"}, {"Portugiesisch", "pt"}, {"Niederländisch", "nl"}, {"Latein", "la"},
      {"Russisch", "ru"},    {"Polnisch", "pl"},      {"Schwedisch", "sv"},     {"Dänisch", "da"},
      {"Norwegisch", "no"},  {"Griechisch", "el"},    {"Türkisch", "tr"},
  };
  const std::string name = ToUtf8(CutSpaces(language));
  for (const auto& [german, locale] : kLocales) {
    if (name == german) return locale;
  }
  return nullptr;
}

// Writes the document front to back while the records come, holding no more than one buffer of
// text: the entries are written as they are read, so an export of any size needs the same
// memory. Full buffers go to `flush`.
class KvtmlWriter {
 public:
  static constexpr std::size_t kBuffer = std::size_t{1} << 20;

  explicit KvtmlWriter(std::function<void(std::string_view)> flush) : flush_(std::move(flush)) {
    out_.reserve(kBuffer + 4096);
  }

  // Everything up to the first entry. `hasEntries`: whether any entry follows (an empty list
  // is written as one empty element).
  void begin(const TVocData& header, bool hasEntries) {
    out_ +=
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
        "<kvtml version=\"2.0\">\n"
        "  <information>\n"
        "    <generator>Merkhaus 3</generator>\n";
    element("    ", "title", DataFileName(header));
    if (const WinString author = Author(header); !author.empty()) element("    ", "author", author);
    if (!header.Comment.empty()) element("    ", "comment", header.Comment.get());
    out_ += "  </information>\n  <identifiers>\n";
    identifier(0, ForeignLanguage(header));
    identifier(1, NativeLanguage(header));
    out_ += "  </identifiers>\n";
    out_ += hasEntries ? "  <entries>\n" : "  <entries />\n";
    hasEntries_ = hasEntries;
  }

  void entry(long long id, const TVocData& e) {
    out_ += "    <entry id=\"";
    out_ += std::to_string(id);
    out_ += "\">\n      <translation id=\"0\">\n";
    element("        ", "text", JoinSide(e.A1, e.A2, e.A3));
    if (!e.Comment.empty()) element("        ", "comment", e.Comment.get());
    out_ += "      </translation>\n      <translation id=\"1\">\n";
    element("        ", "text", JoinSide(e.B1, e.B2, e.B3));
    out_ += "      </translation>\n    </entry>\n";
    spill();
  }

  // After the last entry: the lesson list follows (an empty one when `hasLessons` is false).
  void lessons(bool hasLessons) {
    if (hasEntries_) out_ += "  </entries>\n";
    out_ += hasLessons ? "  <lessons>\n" : "  <lessons />\n";
    hasLessons_ = hasLessons;
  }

  // A lesson whose entries carry the ids first, first + 1, ... first + count - 1.
  void container(const TVocData& lessonHeader, long long first, long long count) {
    out_ += "    <container>\n";
    element("      ", "name", LessonName(lessonHeader));
    out_ += "      <inpractice>true</inpractice>\n";
    for (long long id = first; id < first + count; ++id) {
      out_ += "      <entry id=\"";
      out_ += std::to_string(id);
      out_ += "\" />\n";
      spill();
    }
    out_ += "    </container>\n";
  }

  void end() {
    if (hasLessons_) out_ += "  </lessons>\n";
    out_ += "</kvtml>\n";
    flush_(out_);
    out_.clear();
  }

 private:
  void element(const char* indent, const char* name, const WinString& text) {
    out_ += indent;
    out_ += '<';
    out_ += name;
    out_ += '>';
    XmlText().append(out_, text.view());
    out_ += "</";
    out_ += name;
    out_ += ">\n";
  }

  void identifier(int id, const WinString& language) {
    out_ += "    <identifier id=\"" + std::to_string(id) + "\">\n";
    element("      ", "name", language);
    if (const char* locale = LocaleOf(language)) {
      out_ += "      <locale>";
      out_ += locale;
      out_ += "</locale>\n";
    }
    out_ += "    </identifier>\n";
  }

  void spill() {
    if (out_.size() < kBuffer) return;
    flush_(out_);
    out_.clear();
  }

  std::function<void(std::string_view)> flush_;
  std::string out_;
  bool hasEntries_ = false;
  bool hasLessons_ = false;
};

// ---------------------------------------------------------------------------------------------
// Import

// The reasons of pugixml's parse failures, in German.
const char* ParseReason(pugi::xml_parse_status status) {
  switch (status) {
    case pugi::status_unrecognized_tag:
      return "ein Tag ist nicht zu erkennen";
    case pugi::status_bad_pi:
      return "eine Verarbeitungsanweisung (<?…?>) ist fehlerhaft";
    case pugi::status_bad_comment:
      return "ein Kommentar (<!--…-->) ist fehlerhaft";
    case pugi::status_bad_cdata:
      return "ein CDATA-Abschnitt ist fehlerhaft";
    case pugi::status_bad_doctype:
      return "die Angabe des Dokumenttyps (<!DOCTYPE…>) ist fehlerhaft";
    case pugi::status_bad_pcdata:
      return "ein Text ist fehlerhaft";
    case pugi::status_bad_start_element:
      return "ein öffnendes Tag ist fehlerhaft";
    case pugi::status_bad_attribute:
      return "ein Attribut ist fehlerhaft";
    case pugi::status_bad_end_element:
      return "ein schließendes Tag ist fehlerhaft";
    case pugi::status_end_element_mismatch:
      return "ein Element wird nicht oder falsch geschlossen";
    case pugi::status_no_document_element:
      return "die Datei enthält kein Element";
    case pugi::status_out_of_memory:
      return "der Arbeitsspeicher reicht nicht";
    default:
      return "das XML ist fehlerhaft";
  }
}

// Line numbers of byte offsets into the document.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
      if (text[i] == '\n') breaks_.push_back(i);
    }
  }
  std::size_t lineOf(std::ptrdiff_t offset) const {
    if (offset < 0) return 0;
    return 1 + static_cast<std::size_t>(std::lower_bound(breaks_.begin(), breaks_.end(),
                                                         static_cast<std::size_t>(offset)) -
                                        breaks_.begin());
  }

 private:
  std::vector<std::size_t> breaks_;
};

// The encoding named by the XML declaration, in small letters ("" without one).
std::string DeclaredEncoding(std::string_view text) {
  if (!text.starts_with("<?xml")) return {};
  const std::string_view declaration = text.substr(0, text.find("?>"));
  const std::size_t at = declaration.find("encoding");
  if (at == std::string_view::npos) return {};
  const std::size_t open = declaration.find_first_of("\"'", at);
  if (open == std::string_view::npos) return {};
  const std::size_t close = declaration.find(declaration[open], open + 1);
  if (close == std::string_view::npos) return {};
  std::string name(declaration.substr(open + 1, close - open - 1));
  for (char& c : name) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return name;
}

std::size_t FirstBrokenLine(std::string_view text) {
  if (IsValidUtf8(text)) return 0;
  std::size_t line = 1, start = 0;
  for (std::size_t i = 0; i <= text.size(); ++i) {
    if (i == text.size() || text[i] == '\n') {
      if (!IsValidUtf8(text.substr(start, i - start))) return line;
      ++line;
      start = i + 1;
    }
  }
  return 0;
}

pugi::xml_node Translation(pugi::xml_node entry, const char* id) {
  for (pugi::xml_node t : entry.children("translation")) {
    if (std::string_view(t.attribute("id").value()) == id) return t;
  }
  return {};
}

// One <entry> of the document as the import reads it.
struct KvtmlEntry {
  pugi::xml_node node;
  std::size_t line = 0;
  bool converted = false;
  bool usable = false;
  TVocData record{};
};

// A top-level lesson container (or the lesson of the entries in none).
struct KvtmlSourceLesson {
  std::string name;  // UTF-8 as the document has it
  std::size_t line = 0;
  std::size_t position = 0;  // among the top-level containers, from 1; 0 for the loose entries
  std::vector<std::size_t> entries;  // indices into the entry list
};

class KvtmlReader {
 public:
  KvtmlReader(pugi::xml_node root, const LineIndex& lines, bool swap, ImportReport& report)
      : lines_(lines), swap_(swap), report_(report) {
    const auto all = root.child("entries").children("entry");
    const auto count = static_cast<std::size_t>(std::distance(all.begin(), all.end()));
    entries_.reserve(count);
    byId_.reserve(count);
    for (pugi::xml_node e : all) {
      byId_.emplace(e.attribute("id").value(), entries_.size());
      entries_.push_back({e, lines.lineOf(e.offset_debug())});
    }
    std::vector<bool> referenced(entries_.size(), false);
    std::size_t position = 0;
    for (pugi::xml_node c : root.child("lessons").children("container")) {
      KvtmlSourceLesson lesson;
      lesson.name = c.child("name").text().get();
      lesson.line = lines.lineOf(c.offset_debug());
      lesson.position = ++position;
      collect(c, lesson, referenced);
      if (!lesson.entries.empty()) lessons_.push_back(std::move(lesson));
    }
    KvtmlSourceLesson loose;
    loose.name = root.child("information").child("title").text().get();
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      if (!referenced[i]) loose.entries.push_back(i);
    }
    if (!loose.entries.empty()) lessons_.push_back(std::move(loose));
  }

  const std::vector<KvtmlSourceLesson>& lessons() const { return lessons_; }

  // The record of an entry, converted once however many lessons hold it; nothing for a problem
  // entry.
  const TVocData* record(std::size_t index) {
    KvtmlEntry& e = entries_[index];
    if (!e.converted) convert(e);
    return e.usable ? &e.record : nullptr;
  }

 private:
  // The entries of a container and of the containers in it, in document order, each once.
  void collect(pugi::xml_node top, KvtmlSourceLesson& lesson, std::vector<bool>& referenced) {
    std::vector<bool> taken(entries_.size(), false);
    // Depth first without recursion: nesting as deep as a document likes cannot overflow.
    std::vector<pugi::xml_node> stack{top};
    std::vector<pugi::xml_node> order;
    while (!stack.empty()) {
      const pugi::xml_node c = stack.back();
      stack.pop_back();
      std::vector<pugi::xml_node> nested;
      for (pugi::xml_node child : c.children()) {
        const std::string_view name = child.name();
        if (name == "entry") {
          const auto it = byId_.find(child.attribute("id").value());
          if (it == byId_.end()) {
            report_.warning(lines_.lineOf(child.offset_debug()),
                            "Verweis auf den Eintrag „" +
                                std::string(child.attribute("id").value()) +
                                "“, den es nicht gibt");
          } else if (!taken[it->second]) {
            taken[it->second] = true;
            referenced[it->second] = true;
            lesson.entries.push_back(it->second);
          }
        } else if (name == "container") {
          // Nested containers follow the entries of their parent, in their order.
          nested.push_back(child);
        }
      }
      for (auto it = nested.rbegin(); it != nested.rend(); ++it)
        stack.push_back(*it);
    }
  }

  void convert(KvtmlEntry& e) {
    e.converted = true;
    const pugi::xml_node t0 = Translation(e.node, "0");
    const pugi::xml_node t1 = Translation(e.node, "1");
    std::vector<std::string> bad;
    auto text = [&](pugi::xml_node translation, const char* child) {
      const auto converted =
          ToWinText(translation.child(child).text().get(), SourceEncoding::Utf8, bad);
      if (!converted) bad.push_back("kein gültiger Text");
      return converted.value_or(WinString());
    };
    const WinString text0 = text(t0, "text"), text1 = text(t1, "text");
    const WinString comment0 = text(t0, "comment"), comment1 = text(t1, "comment");
    if (!bad.empty()) {
      report_.problem(e.line, DescribeBadCharacters(bad));
      return;
    }
    SourceTexts texts;
    SplitSide(WordOneLine(swap_ ? text1 : text0).view(), &texts.words[0]);
    SplitSide(WordOneLine(swap_ ? text0 : text1).view(), &texts.words[3]);
    WinString comment = comment0;
    if (!comment0.empty() && !comment1.empty()) comment += WinString(" / ");
    comment += comment1;
    texts.comment = CommentLineBreaks(comment);
    e.record = MakeEntry(texts, e.line, report_);
    e.usable = true;
  }

  const LineIndex& lines_;
  bool swap_;
  ImportReport& report_;
  std::vector<KvtmlEntry> entries_;
  std::unordered_map<std::string, std::size_t> byId_;
  std::vector<KvtmlSourceLesson> lessons_;
};

// The name of a new lesson from the document: blank-cut, "?" for what Windows-1252 cannot hold;
// empty when there is none.
WinString NameOfSourceLesson(const KvtmlSourceLesson& lesson, ImportReport& report) {
  bool changed = false;
  WinString name = CutSpaces(WordOneLine(NameFromUtf8(lesson.name, changed)));
  if (changed) {
    report.warning(lesson.line,
                   "im Namen der Lektion Zeichen, die es in Windows-1252 nicht gibt, "
                   "durch „?“ ersetzt");
  }
  if (name.size() > kWordCapacity) {
    report.warning(lesson.line, "Name der Lektion auf 60 Zeichen gekürzt");
  }
  return name;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Export

std::string KvtmlText(const TVocData& dataFileHeader, std::span<const KvtmlLesson> lessons) {
  std::string text;
  KvtmlWriter writer([&](std::string_view part) { text += part; });
  bool hasEntries = false;
  for (const KvtmlLesson& lesson : lessons)
    hasEntries = hasEntries || !lesson.entries.empty();
  writer.begin(dataFileHeader, hasEntries);
  long long id = 0;
  for (const KvtmlLesson& lesson : lessons) {
    for (const TVocData& e : lesson.entries)
      writer.entry(id++, e);
  }
  writer.lessons(!lessons.empty());
  id = 0;
  for (const KvtmlLesson& lesson : lessons) {
    const auto count = static_cast<long long>(lesson.entries.size());
    writer.container(lesson.header, id, count);
    id += count;
  }
  writer.end();
  return text;
}

bool ExportKvtml(const std::string& outPath, const TVocData& dataFileHeader,
                 std::span<const KvtmlLesson> lessons, Messages& messages,
                 const ExportSettings& settings) {
  return WriteExportFile(outPath, KvtmlText(dataFileHeader, lessons), messages,
                         settings.askBeforeOverwrite);
}

bool ExportDataFileKvtml(const std::string& dataFilePath, const std::string& outPath,
                         Messages& messages, const ExportSettings& settings) {
  auto opened = RecordFile::open(dataFilePath, Access::Read);
  if (!opened) {
    ShowFileError(messages, "RW - Fehler in Unit6!", opened.error());
    return false;
  }
  RecordFile& file = *opened;
  TVocData header = EmptyRecord();
  if (file.count() > 0) file.read(0, header);

  // A first pass finds the live lessons (the first live header of each UnitID, in file order)
  // and counts their live entries; entries may come before their lesson's header in a damaged
  // file. The entries of a lesson get consecutive ids in the order of the lessons, so the
  // second pass writes each entry as it reads it and the lesson list is a range of ids.
  std::vector<TVocData> lessonHeaders;
  std::array<int, 256> lessonOf;
  lessonOf.fill(-1);
  std::array<long long, 256> count{};
  file.scan(1, [&](std::uint64_t, const TVocData& r) {
    if (r.Deleted != 0) return true;
    if (IsUnitHeader(r)) {
      if (lessonOf[r.UnitID] < 0) {
        lessonOf[r.UnitID] = static_cast<int>(lessonHeaders.size());
        lessonHeaders.push_back(r);
      }
    } else {
      ++count[r.UnitID];
    }
    return true;
  });
  // Entries of UnitID 0 belong to no lesson, even when a damaged header claims it.
  count[0] = 0;
  std::array<long long, 256> nextId{};
  long long total = 0;
  for (const TVocData& lesson : lessonHeaders) {
    nextId[lesson.UnitID] = total;
    total += count[lesson.UnitID];
  }

  if (settings.askBeforeOverwrite && KindOf(outPath) != PathKind::Missing &&
      messages.show(MsgKind::Warning, "Dateiname vorhanden! Überschreiben?",
                    MsgButtons::YesNoDefaultNo) != Answer::Yes) {
    return false;
  }
  // Written whole or not at all: half a document would import as fewer entries without
  // anybody noticing, and a file that was there keeps its contents when the disk is full.
  AtomicFile out;
  FileResult<> status = out.create(outPath);
  KvtmlWriter writer([&](std::string_view part) {
    if (status) status = out.write(part);
  });
  writer.begin(header, total > 0);
  if (total > 0) {
    file.scan(1, [&](std::uint64_t, const TVocData& r) {
      if (r.Deleted == 0 && r.UnitID != 0 && lessonOf[r.UnitID] >= 0 && !IsUnitHeader(r)) {
        writer.entry(nextId[r.UnitID]++, r);
      }
      return static_cast<bool>(status);
    });
  }
  writer.lessons(!lessonHeaders.empty());
  long long first = 0;
  for (const TVocData& lesson : lessonHeaders) {
    writer.container(lesson, first, count[lesson.UnitID]);
    first += count[lesson.UnitID];
  }
  writer.end();
  file.close();
  if (status) status = out.commit();
  if (!status) {
    ShowFileError(messages, "Fehler beim schreiben!", status.error(), "Es wurde nichts exportiert.",
                  MsgButtons::Yes);
    return false;
  }
  return true;
}

// ---------------------------------------------------------------------------------------------
// Import

ParsedImport ReadKvtmlImport(const std::string& kvtmlPath, bool swap) {
  using Refusal = tl::unexpected<ImportRefusal>;
  auto bytes = ReadSourceFile(kvtmlPath);
  if (!bytes) return Refusal(bytes.error());
  std::string& text = *bytes;
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) {
    return Refusal(
        InvalidFile(kvtmlPath, "ist in UTF-16 gespeichert; gelesen wird KVTML in UTF-8"));
  }
  if (text.starts_with("\xEF\xBB\xBF")) text.erase(0, 3);
  const std::string declared = DeclaredEncoding(text);
  if (declared == "iso-8859-1" || declared == "latin1" || declared == "iso-8859-15" ||
      declared == "windows-1252" || declared == "cp1252") {
    // Windows-1252 holds every character of Latin-1 where it matters; the lines stay as they are.
    text = ToUtf8(WinString(std::move(text)));
  } else if (const std::size_t broken = FirstBrokenLine(text); broken != 0) {
    return Refusal(BrokenUtf8(kvtmlPath, broken));
  }

  const LineIndex lines(text);
  pugi::xml_document doc;
  const pugi::xml_parse_result parsed =
      doc.load_buffer(text.data(), text.size(), pugi::parse_default, pugi::encoding_utf8);
  if (!parsed) {
    return Refusal(InvalidFile(kvtmlPath, "ist kein gültiges XML: Zeile " +
                                              std::to_string(lines.lineOf(parsed.offset)) + ": " +
                                              ParseReason(parsed.status)));
  }
  const pugi::xml_node root = doc.child("kvtml");
  if (!root) {
    return Refusal(InvalidFile(kvtmlPath, "ist kein KVTML-Dokument (das Element <kvtml> fehlt)"));
  }
  if (const std::string_view version = root.attribute("version").value();
      !version.empty() && !version.starts_with("2")) {
    return Refusal(InvalidFile(kvtmlPath, "ist KVTML in der Version " + std::string(version) +
                                              "; gelesen wird KVTML 2.0"));
  }

  auto import = std::make_unique<HeldImport>();
  ImportReport& report = import->plan_.report;
  KvtmlReader reader(root, lines, swap, report);
  for (const KvtmlSourceLesson& source : reader.lessons()) {
    PlannedLesson lesson;
    // Containers without a name are numbered as the document orders them; the lesson of the
    // entries in no container is named after the document, or after the file.
    lesson.name = NameOfSourceLesson(source, report);
    if (lesson.name.empty()) {
      lesson.name = source.position == 0 ? LessonNameOfFile(kvtmlPath, report)
                                         : WinString("Lektion " + std::to_string(source.position));
    }
    std::vector<TVocData> entries;
    entries.reserve(source.entries.size());
    for (std::size_t index : source.entries) {
      if (const TVocData* record = reader.record(index)) entries.push_back(*record);
    }
    // A lesson whose every entry is a problem entry is not made at all.
    if (!entries.empty()) import->add(std::move(lesson), std::move(entries));
  }
  return import;
}

ImportResult ImportKvtml(const std::string& dataFilePath, const std::string& kvtmlPath,
                         Messages& messages, const ImportOptions& options) {
  return RunImport(dataFilePath, kvtmlPath, ReadKvtmlImport(kvtmlPath, options.swap), messages,
                   options);
}

}  // namespace merkhaus
