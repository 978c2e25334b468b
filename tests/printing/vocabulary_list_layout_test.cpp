// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/vocabulary_list_layout.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace merkhaus {
namespace {

WinString W(const char* s) {
  return WinString(s);
}

TVocData Voc(const std::string& a1, const std::string& b1) {
  TVocData r{};
  r.A1.set(a1);
  r.B1.set(b1);
  r.UnitID = 1;
  return r;
}

std::vector<TVocData> Vocs(std::size_t n) {
  std::vector<TVocData> v;
  for (std::size_t i = 0; i < n; ++i)
    v.push_back(Voc("a" + std::to_string(i), "b" + std::to_string(i)));
  return v;
}

std::vector<PrintText> Texts(const PrintPage& page) {
  std::vector<PrintText> out;
  for (const auto& s : page)
    if (const auto* t = std::get_if<PrintText>(&s)) out.push_back(*t);
  return out;
}

// The ruled rows: every line below the double line under the top line.
std::vector<PrintLine> Rows(const PrintPage& page) {
  std::vector<PrintLine> out;
  for (const auto& s : page)
    if (const auto* l = std::get_if<PrintLine>(&s); l && l->y1 > 105) out.push_back(*l);
  return out;
}

// The texts written on the rows, in order.
std::vector<PrintText> RowTexts(const PrintPage& page) {
  std::vector<PrintText> out;
  for (const auto& t : Texts(page))
    if (t.y > 450) out.push_back(t);
  return out;
}

std::optional<PrintText> TextAt(const PrintPage& page, int x, int y) {
  for (const auto& t : Texts(page))
    if (t.x == x && t.y == y) return t;
  return std::nullopt;
}

const VocabularyListHeader kPlain{W("Tiere"), W(""), W(""), W("24.12.2025")};

TEST(JoinForPrint, SkipsEmptySynonymsButNeverTheFirst) {
  struct Case {
    const char *x, *y, *z, *want;
  } cases[] = {
      {"to go", "", "leave", "to go  ;  leave"},
      {"a", "b", "c", "a  ;  b  ;  c"},
      {"a", "", "", "a"},
      {"", "b", "", "  ;  b"},
      {"", "", "c", "  ;  c"},
      {"", "", "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(W(c.want), JoinForPrint(W(c.x), W(c.y), W(c.z))) << c.x << "|" << c.y << "|" << c.z;
  }
}

TEST(UnitListLayout, PagesRowsAndSheetNumbersByNumberOfEntries) {
  struct Case {
    std::size_t entries;
    std::vector<std::size_t> textRows;  // per page
    std::vector<std::size_t> rules;     // per page
  } cases[] = {
      {0, {0}, {0}},
      {10, {10}, {10}},
      {46, {46}, {46}},
      {47, {47}, {49}},
      {48, {47, 1}, {49, 1}},
      {94, {47, 47}, {49, 49}},
      {95, {47, 47, 1}, {49, 49, 1}},
      {255, {47, 47, 47, 47, 47, 20}, {49, 49, 49, 49, 49, 20}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.entries);
    const auto vocs = Vocs(c.entries);
    const PrintDocument doc = LayoutVocabularyList(kPlain, vocs);
    ASSERT_EQ(c.textRows.size(), doc.pages.size());
    EXPECT_EQ(doc.pages.size(), PageCount(c.entries));
    std::size_t next = 0;
    for (std::size_t p = 0; p < doc.pages.size(); ++p) {
      const PrintPage& page = doc.pages[p];
      const auto rows = Rows(page);
      const auto texts = RowTexts(page);
      ASSERT_EQ(c.rules[p], rows.size()) << "page " << p + 1;
      ASSERT_EQ(2 * c.textRows[p], texts.size()) << "page " << p + 1;
      for (std::size_t r = 0; r < rows.size(); ++r) {
        const int y = static_cast<int>(r + 9) * 50;
        EXPECT_EQ((PrintLine{200, y, 2000, y, (r + 1) % 5 == 0 ? 3 : 1}), rows[r]);
      }
      // The entries in list order, A side at 200, B side at 1100, just below their lines.
      for (std::size_t r = 0; r < c.textRows[p]; ++r, ++next) {
        const int y = static_cast<int>(r + 9) * 50 + 5;
        EXPECT_EQ((PrintText{200, y, "Arial", 9, FontWeight::Regular, vocs[next].A1.get()}),
                  texts[2 * r]);
        EXPECT_EQ((PrintText{1100, y, "Arial", 9, FontWeight::Regular, vocs[next].B1.get()}),
                  texts[2 * r + 1]);
      }
      // The header block ends with the date, or with "Blatt:" when there are several pages.
      const auto last = TextAt(page, 600, 240);
      if (doc.pages.size() == 1) {
        EXPECT_FALSE(last) << "no \"Blatt:\" line";
      } else {
        ASSERT_TRUE(last);
        EXPECT_EQ(W("Blatt:"), TextAt(page, 200, 240)->text);
        EXPECT_EQ(W((std::to_string(p + 1) + "/" + std::to_string(doc.pages.size())).c_str()),
                  last->text);
      }
    }
    EXPECT_EQ(c.entries, next);
  }
}

TEST(UnitListLayout, TopLineDoubleLineAndHeaderBlock) {
  struct Case {
    const char* name;
    VocabularyListHeader header;
    std::size_t entries;
    std::vector<std::pair<const char*, std::string>> lines;  // label, value: at y 120, 180, ...
  } cases[] = {
      {"neither comment nor author",
       kPlain,
       3,
       {{"Name:", "Tiere"}, {"Druckdatum:", "24.12.2025"}}},
      {"all five lines",
       {W("Tiere"), W("Haustiere"), W("Anna"), W("1.2.2026")},
       48,
       {{"Name:", "Tiere"},
        {"Kommentar:", "Haustiere"},
        {"Druckdatum:", "1.2.2026"},
        {"Autor:", "Anna"},
        {"Blatt:", "1/2"}}},
      {"author only",
       {W("Tiere"), W(""), W("Anna"), W("x")},
       0,
       {{"Name:", "Tiere"}, {"Druckdatum:", "x"}, {"Autor:", "Anna"}}},
      {"a comment of several lines is printed on one",
       {W("L"), W("erste\r\nzweite\r\n\r\ndritte"), W(""), W("d")},
       1,
       {{"Name:", "L"}, {"Kommentar:", "erste zweite dritte"}, {"Druckdatum:", "d"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto vocs = Vocs(c.entries);
    const PrintPage page = LayoutVocabularyListPage(c.header, vocs, 1, PageCount(c.entries));
    ASSERT_GE(page.size(), 3u);
    EXPECT_EQ((PrintText{200, 40, "Arial", 9, FontWeight::Regular,
                         W("Merkhaus Version 3.05 - Vokabelliste")}),
              std::get<PrintText>(page[0]));
    EXPECT_EQ((PrintLine{200, 95, 2000, 95, 2}), std::get<PrintLine>(page[1]));
    EXPECT_EQ((PrintLine{200, 105, 2000, 105, 2}), std::get<PrintLine>(page[2]));
    std::vector<PrintText> header;
    for (const auto& t : Texts(page))
      if (t.y >= 120 && t.y < 450) header.push_back(t);
    ASSERT_EQ(2 * c.lines.size(), header.size());
    for (std::size_t i = 0; i < c.lines.size(); ++i) {
      const int y = 120 + 60 * static_cast<int>(i);
      EXPECT_EQ((PrintText{200, y, "Arial", 12, FontWeight::Bold, W(c.lines[i].first)}),
                header[2 * i]);
      EXPECT_EQ((PrintText{600, y, "Arial", 12, FontWeight::Regular, W(c.lines[i].second.c_str())}),
                header[2 * i + 1]);
    }
  }
}

// A text that reads from the right (its first letter of a strong direction is Hebrew or Arabic)
// ends at its column's right edge: A column 200..1050, B column 1100..2000, header values
// 600..2000. Windows-1252 has no such letters, so its bytes never count as such, even those that
// would spell Hebrew in UTF-8.
TEST(UnitListLayout, RightToLeftTextsEndAtTheirColumnsRightEdge) {
  struct Case {
    TextEncoding encoding;
    std::string lessonName, a1, a2, b1;
    int nameEdge, aEdge, bEdge;  // 0: from the left edge
  };
  const Case cases[] = {
      {TextEncoding::Utf8, "Урок", "שלום", "", "Frieden", 0, 1050, 0},
      {TextEncoding::Utf8, "Урок", "Friede", "", "سلام", 0, 0, 2000},
      {TextEncoding::Utf8, "שיעור 1", "12 ספרים", "", "12 Bücher", 2000, 1050, 0},
      {TextEncoding::Utf8, "Lektion", "Shalom שלום", "", "(שלום)", 0, 0, 2000},
      {TextEncoding::Utf8, "Lektion", "", "שלום", "Frieden", 0, 1050, 0},
      {TextEncoding::Cp1252, "\xD7\xA9", "\xD7\xA9\xD7\x9C", "", "Frieden", 0, 0, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.a1 + " / " + c.b1);
    TVocData e{};
    e.A1.set(WinString(c.a1, c.encoding));
    e.A2.set(WinString(c.a2, c.encoding));
    e.B1.set(WinString(c.b1, c.encoding));
    e.UnitID = 1;
    const VocabularyListHeader header{WinString(c.lessonName, c.encoding), W(""), W(""),
                                      W("24.12.2025"), c.encoding};
    const std::vector<TVocData> vocs{e};
    const PrintPage page = LayoutVocabularyListPage(header, vocs, 1, 1);
    const auto name = TextAt(page, 600, 120);
    ASSERT_TRUE(name);
    EXPECT_EQ(c.nameEdge, name->rightEdge);
    const auto texts = RowTexts(page);
    ASSERT_EQ(2u, texts.size());
    EXPECT_EQ(200, texts[0].x);
    EXPECT_EQ(c.aEdge, texts[0].rightEdge);
    EXPECT_EQ(1100, texts[1].x);
    EXPECT_EQ(c.bEdge, texts[1].rightEdge);
    EXPECT_EQ(c.b1, texts[1].text.bytes());
  }
}

}  // namespace
}  // namespace merkhaus
