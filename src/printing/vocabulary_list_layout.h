// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <span>
#include <vector>

#include "platform/print.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// The printed vocabulary list of a lesson: a header block naming the lesson, then one ruled row
// per entry, the foreign synonyms on the left and the native ones on the right. Computed here as
// drawing steps, so that every position can be checked without a printer.

inline constexpr std::size_t kEntriesPerPage = 47;  // rows 48 and 49 are ruled, never written
inline constexpr int kRowsPerPage = 49;
inline constexpr const char* kPrintFont = "Arial";

// x; then "  ;  " and y when y is not empty; then "  ;  " and z when z is not empty. An empty x
// is kept, so the text may begin with the separator.
WinString JoinForPrint(const WinString& x, const WinString& y, const WinString& z);

// Pages for a number of entries: 47 a page, at least one.
std::size_t PageCount(std::size_t entries);

// What one list shows besides its entries.
struct VocabularyListHeader {
  WinString lessonName;     // the lesson header's B1
  WinString lessonComment;  // its Comment; the line is left out when empty
  WinString author;         // the DataFile header's A2; the line is left out when empty
  WinString date;           // today, as the list says when it was printed
  TextEncoding encoding = TextEncoding::Cp1252;  // of the DataFile: of the entries' texts
};

VocabularyListHeader MakeVocabularyListHeader(const TVocData& lessonHeader,
                                              const TVocData& dataFileHeader,
                                              const WinString& date);

// Page `page` (from 1) of `pages`, with the entries from index 47 × (page − 1) on.
PrintPage LayoutVocabularyListPage(const VocabularyListHeader& header,
                                   std::span<const TVocData> entries, std::size_t page,
                                   std::size_t pages);

// Every page of the list, and the title of the print job.
PrintDocument LayoutVocabularyList(const VocabularyListHeader& header,
                                   std::span<const TVocData> entries);

}  // namespace merkhaus
