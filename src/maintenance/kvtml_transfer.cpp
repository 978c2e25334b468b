// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/kvtml_transfer.h"

#include <array>
#include <functional>

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
  // Text of a Unicode DataFile: the ASCII bytes through the table, the others as they are
  // (damaged sequences replaced, so that the document stays valid UTF-8).
  void appendUtf8(std::string& out, std::string_view text) const {
    const std::string valid = SanitizedUtf8(text);
    for (const char c : valid) {
      if (static_cast<unsigned char>(c) >= 0x80) {
        out += c;
      } else {
        out += table_[static_cast<unsigned char>(c)];
      }
    }
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
    utf8_ = EncodingOf(header) == TextEncoding::Utf8;
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
    if (utf8_) {
      XmlText().appendUtf8(out_, text.view());
    } else {
      XmlText().append(out_, text.view());
    }
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
  bool utf8_ = false;  // the DataFile is a Unicode one: its text is UTF-8 already
  std::string out_;
  bool hasEntries_ = false;
  bool hasLessons_ = false;
};

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

ImportResult ImportKvtml(const std::string& dataFilePath, const std::string& kvtmlPath,
                         Messages& messages, const ImportOptions& options) {
  return RunImport(dataFilePath, kvtmlPath,
                   ReadKvtmlImport(kvtmlPath, options.swap, ImportTarget(dataFilePath)), messages,
                   options);
}

}  // namespace merkhaus
