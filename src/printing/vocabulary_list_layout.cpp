// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/vocabulary_list_layout.h"

#include <algorithm>
#include <string>

#include "platform/cp1252.h"
#include "text/text_rules.h"

namespace merkhaus {

namespace {

constexpr int kLeft = 200;
constexpr int kRight = 2000;
constexpr int kValueX = 600;    // the header block's values
constexpr int kNativeX = 1100;  // the B column
constexpr int kColumnGap = 50;  // between the A column's right edge and the B column
constexpr int kSmallPt = 9;
constexpr int kHeaderPt = 12;
constexpr int kHeaderTop = 120;
constexpr int kHeaderStep = 60;
constexpr int kRowHeight = 50;
constexpr int kRowsAbove = 8;  // row 1 is ruled at y 450
constexpr const char* kSeparator = "  ;  ";
constexpr const char* kTopLine = "Merkhaus Version 3.05 - Vokabelliste";

// Every text is printed on one line: a comment may hold line breaks (and a damaged file any
// control character), which a printer would show as boxes or run over the next line. Each run
// of them becomes one blank.
WinString OneLine(const WinString& text) {
  std::string out;
  out.reserve(text.size());
  bool inBreak = false;
  for (const char c : text.view()) {
    if (static_cast<unsigned char>(c) < 0x20) {
      if (!inBreak) out += ' ';
      inBreak = true;
    } else {
      out += c;
      inBreak = false;
    }
  }
  return WinString(std::move(out), text.encoding());
}

PrintText Text(int x, int y, int pointSize, FontWeight weight, const WinString& text) {
  return PrintText{x, y, kPrintFont, pointSize, weight, OneLine(text)};
}

// A text of a column from `left` to `right`: from the left edge, or from the right edge when it
// reads from the right.
PrintText ColumnText(int left, int right, int y, int pointSize, FontWeight weight,
                     const WinString& text) {
  PrintText t = Text(left, y, pointSize, weight, text);
  if (ReadsRightToLeft(t.text)) t.rightEdge = right;
  return t;
}

PrintLine Rule(int y, int penWidth) {
  return PrintLine{kLeft, y, kRight, y, penWidth};
}

}  // namespace

WinString JoinForPrint(const WinString& x, const WinString& y, const WinString& z) {
  WinString out = x;
  for (const WinString* s : {&y, &z}) {
    if (!s->empty()) out += WinString(kSeparator) + *s;
  }
  return out;
}

std::size_t PageCount(std::size_t entries) {
  return std::max<std::size_t>(1, (entries + kEntriesPerPage - 1) / kEntriesPerPage);
}

VocabularyListHeader MakeVocabularyListHeader(const TVocData& lessonHeader,
                                              const TVocData& dataFileHeader,
                                              const WinString& date) {
  const TextEncoding enc = EncodingOf(dataFileHeader);
  return {LessonName(lessonHeader).as(enc), lessonHeader.Comment.get(enc), Author(dataFileHeader),
          date, enc};
}

PrintPage LayoutVocabularyListPage(const VocabularyListHeader& header,
                                   std::span<const TVocData> entries, std::size_t page,
                                   std::size_t pages) {
  PrintPage steps;
  steps.push_back(Text(kLeft, 40, kSmallPt, FontWeight::Regular, WinString(kTopLine)));
  steps.push_back(Rule(95, 2));
  steps.push_back(Rule(105, 2));

  // The header block: a line that is left out takes no room.
  int y = kHeaderTop;
  const auto line = [&](const char* label, const WinString& value) {
    steps.push_back(Text(kLeft, y, kHeaderPt, FontWeight::Bold, WinString(label)));
    steps.push_back(ColumnText(kValueX, kRight, y, kHeaderPt, FontWeight::Regular, value));
    y += kHeaderStep;
  };
  line("Name:", header.lessonName);
  if (!header.lessonComment.empty()) line("Kommentar:", header.lessonComment);
  line("Druckdatum:", header.date);
  if (!header.author.empty()) line("Autor:", header.author);
  if (pages > 1) {
    line("Blatt:", WinString(std::to_string(page) + "/" + std::to_string(pages)));
  }

  const TextEncoding enc = header.encoding;
  std::size_t next = kEntriesPerPage * (page - 1);
  for (int r = 1; r <= kRowsPerPage; ++r) {
    const bool textRow = r <= static_cast<int>(kEntriesPerPage);
    // Nothing is drawn below the last entry.
    if (textRow && next >= entries.size()) break;
    const int rowY = (r + kRowsAbove) * kRowHeight;
    steps.push_back(Rule(rowY, r % 5 == 0 ? 3 : 1));
    if (!textRow) continue;
    const TVocData& e = entries[next++];
    steps.push_back(ColumnText(kLeft, kNativeX - kColumnGap, rowY + 5, kSmallPt,
                               FontWeight::Regular,
                               JoinForPrint(e.A1.get(enc), e.A2.get(enc), e.A3.get(enc))));
    steps.push_back(ColumnText(kNativeX, kRight, rowY + 5, kSmallPt, FontWeight::Regular,
                               JoinForPrint(e.B1.get(enc), e.B2.get(enc), e.B3.get(enc))));
  }
  return steps;
}

PrintDocument LayoutVocabularyList(const VocabularyListHeader& header,
                                   std::span<const TVocData> entries) {
  PrintDocument document;
  document.title = "Vokabelliste " + ToUtf8(OneLine(header.lessonName));
  const std::size_t pages = PageCount(entries.size());
  for (std::size_t p = 1; p <= pages; ++p) {
    document.pages.push_back(LayoutVocabularyListPage(header, entries, p, pages));
  }
  return document;
}

}  // namespace merkhaus
