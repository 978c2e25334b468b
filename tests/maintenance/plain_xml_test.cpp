// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/plain_xml.h"

#include <expat.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "maintenance/kvtml_transfer.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

// What a reader reports, as text: elements with their line and attributes, text joined.
class Recorder : public PlainXmlReader::Handler {
 public:
  std::function<std::size_t()> line;
  std::string events;

  void start(const char* name, const char** attributes) override {
    flush();
    events += "<" + std::string(name) + " @" + std::to_string(line());
    for (const char** a = attributes; *a != nullptr; a += 2)
      events += " " + std::string(a[0]) + "=[" + a[1] + "]";
    events += ">\n";
  }
  void end() override {
    flush();
    events += "</>\n";
  }
  void text(std::string_view s) override { text_ += s; }
  std::string done() {
    flush();
    return events;
  }

 private:
  void flush() {
    if (!text_.empty()) events += "[" + text_ + "]\n";
    text_.clear();
  }
  std::string text_;
};

// Expat as the import sets it up; "error" when it finds the document not well-formed.
std::string ExpatEvents(const std::string& doc) {
  XML_Parser parser = XML_ParserCreate("UTF-8");
  Recorder r;
  r.line = [&] { return static_cast<std::size_t>(XML_GetCurrentLineNumber(parser)); };
  XML_SetUserData(parser, &r);
  XML_SetElementHandler(
      parser,
      [](void* d, const XML_Char* n, const XML_Char** a) {
        static_cast<Recorder*>(d)->start(n, a);
      },
      [](void* d, const XML_Char*) { static_cast<Recorder*>(d)->end(); });
  XML_SetCharacterDataHandler(parser, [](void* d, const XML_Char* s, int n) {
    static_cast<Recorder*>(d)->text(std::string_view(s, static_cast<std::size_t>(n)));
  });
  XML_UseForeignDTD(parser, XML_TRUE);
  const bool ok =
      XML_Parse(parser, doc.data(), static_cast<int>(doc.size()), XML_TRUE) == XML_STATUS_OK;
  XML_ParserFree(parser);
  return ok ? r.done() : "error";
}

// The plain reader fed `chunk` bytes at a time; "declined" when it leaves the document to expat.
std::string PlainEvents(const std::string& doc, std::size_t chunk) {
  Recorder r;
  PlainXmlReader reader(r);
  r.line = [&] { return reader.line(); };
  for (std::size_t at = 0; at < doc.size(); at += chunk) {
    if (!reader.feed(std::string_view(doc).substr(at, chunk), false)) return "declined";
  }
  return reader.feed({}, true) ? r.done() : "declined";
}

// The plain reader reports what expat reports, cut into feeds of any size, and declines every
// document that is not well-formed or needs more of XML than it knows.
TEST(PlainXmlReader, AgreesWithExpatOrDeclines) {
  struct Row {
    const char* name;
    std::string doc;
    bool plain;
  };
  const Row rows[] = {
      {"a KVTML document with entities and character references",
       "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
       "<!DOCTYPE kvtml PUBLIC \"kvtml2.dtd\" \"http://edu.kde.org/kvtml/kvtml2.dtd\">\n"
       "<kvtml version=\"2.0\">\n  <entry id='0' a = \"x&amp;y&#x20AC;&#65;\">\n"
       "    <text>Gr&#246;&#xdf;e &lt;b&gt; &quot;q&apos; ]] ></text>\n  </entry>\n</kvtml>\n",
       true},
      {"CR LF line ends, tabs and line ends in attribute values",
       "<a\r\n b=\"x\ty\r\nz\"\r\n>one\r\ntwo&#13;</a>\r\n", true},
      {"comments, processing instructions and CDATA sections",
       "<!-- c --><?pi data?>\n<a><![CDATA[<not> & \xC3\xA4]]]]><![CDATA[>]]><!---->"
       "<?x?></a><!-- after -->\n<?y z?>",
       true},
      {"empty elements and characters of two, three and four bytes",
       "<a><b/><c x='1' y=\"'\"/>\xC3\xBC\xE2\x82\xAC\xF0\x9F\x98\x80</a>", true},
      {"a declaration with standalone and a DOCTYPE with SYSTEM",
       "<?xml version='1.0' encoding='ISO-8859-1' standalone='no' ?>"
       "<!DOCTYPE kvtml SYSTEM \"kvoctrain.dtd\"><kvtml><e m=\"1\"><o>a</o></e></kvtml>",
       true},
      {"an entity the document never declares", "<a>&nbsp;</a>", false},
      {"an internal DTD subset", "<!DOCTYPE a [<!ENTITY e 'x'>]><a>&e;</a>", false},
      {"a carriage return alone", "<a>x\ry</a>", false},
      {"a name in other letters", "<\xC3\xA4/>", false},
      {"crossed elements", "<a><b></a></b>", false},
      {"an attribute twice", "<a x='1' x='2'/>", false},
      {"]]> in text", "<a>]]></a>", false},
      {"two root elements", "<a/><b/>", false},
      {"an element not closed", "<a>", false},
      {"no element", "", false},
      {"text before the root", "text<a/>", false},
      {"a control character", "<a>\x01</a>", false},
      {"< in an attribute value", "<a x='<'/>", false},
      {"-- inside a comment", "<!-- a -- b --><a/>", false},
      {"the declaration not first", " <?xml version='1.0'?><a/>", false},
      {"a reference to character 0", "<a>&#0;</a>", false},
      {"U+FFFE by reference and as bytes", "<a>&#xFFFE;\xEF\xBF\xBF</a>", false},
      {"U+FFFF as bytes", "<a>\xEF\xBF\xBF</a>", false},
      {"CDATA outside the root", "<![CDATA[x]]><a/>", false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const std::string expat = ExpatEvents(row.doc);
    for (const std::size_t chunk : {row.doc.size() + 1, std::size_t{1}, std::size_t{5}}) {
      SCOPED_TRACE("feeds of " + std::to_string(chunk) + " bytes");
      const std::string plain = PlainEvents(row.doc, chunk);
      if (row.plain) {
        ASSERT_NE("error", expat);
        EXPECT_EQ(expat, plain);
      } else {
        EXPECT_EQ("declined", plain);
      }
    }
  }
}

// What a reading of a document comes to: the refusal, or the lessons, the notes and the records.
std::string Outcome(ParsedImport parsed) {
  if (!parsed) {
    std::string text = "refused:";
    for (const ImportMessage& m : parsed.error())
      text += m.text + "\n";
    return text;
  }
  ImportSource& source = **parsed;
  std::string text;
  for (const ImportNote& n : source.plan().report.problems())
    text += "problem " + std::to_string(n.line) + ": " + n.text + "\n";
  for (const ImportNote& n : source.plan().report.warnings())
    text += "warning " + std::to_string(n.line) + ": " + n.text + "\n";
  for (std::size_t i = 0; i < source.plan().lessons.size(); ++i) {
    text += "lesson " + source.plan().lessons[i].name.bytes() + "\n";
    source.entries(i, [&](std::span<const TVocData> records) {
      text.append(reinterpret_cast<const char*>(records.data()), records.size() * kRecordSize);
    });
  }
  return text;
}

// A large document with problem entries, cut fields and lessons that list their entries out of
// order reads the same with either reader, notes and their lines included.
TEST(PlainXmlReader, LargeDocumentsReadAsWithExpat) {
  mhtest::TempDir dir;
  const std::string file = dir.file("gross.kvtml");
  std::string doc =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<kvtml version=\"2.0\">\r\n<entries>\r\n";
  const int count = 20000;
  for (int i = 0; i < count; ++i) {
    std::string first = "w\xC3\xB6rt &amp; " + std::to_string(i) + "; zwei";
    if (i % 997 == 0) first += " \xCE\xB1";            // not in Windows-1252: a problem entry
    if (i % 1999 == 0) first += std::string(70, 'x');  // cut to 60
    doc += "<entry id=\"" + std::to_string(i) + "\"><translation id=\"0\"><text>" + first +
           "</text><comment>c&#10;d</comment></translation><translation id=\"1\"><text>"
           "\xE2\x82\xAC " +
           std::to_string(i) + "</text></translation></entry>\r\n";
  }
  doc += "</entries><lessons><container><name>Eins</name>";
  for (int i = count - 1; i >= 0; i -= 3)
    doc += "<entry id=\"" + std::to_string(i) + "\"/>\r\n";
  doc += "</container></lessons></kvtml>\r\n";
  mhtest::WriteBytes(file, doc);
  const std::string plain = Outcome(ReadKvtmlImport(file, true));
  EXPECT_EQ(Outcome(ReadKvtmlImport(file, true, XmlReader::ExpatOnly)), plain);
  EXPECT_NE(std::string::npos, plain.find("problem 1001: "));
  EXPECT_NE(std::string::npos, plain.find("lesson Eins"));
}

}  // namespace
}  // namespace merkhaus
