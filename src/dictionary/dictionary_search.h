// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "config/options.h"
#include "platform/messages.h"
#include "platform/win_string.h"
#include "store/vocdata.h"

namespace merkhaus {

// Which side of the entries the dictionary looks at ("Richtung"). "A >> B" looks the word up on
// the learner's own side (B1..B3), "B >> A" on the foreign side (A1..A3); the comment is searched
// in every direction.
enum class SearchDirection { Both = 0, AToB = 1, BToA = 2 };

// The search options as they are at the moment of one search.
struct SearchSettings {
  bool caseSensitive = true;  // groesse
  bool wholeFields = false;   // ganzewoerter: the term must equal the whole field
  bool showUnitId = false;    // showunitID: " @> " and the UnitID after each line
  bool clearList = true;      // ClearList: a new search starts a new list
  bool cutSpaces = true;      // wortbuchleerenft: CutSpaces on the term
  // The fields searched, in the order of the options' field switches: B1, B2, B3, A1, A2, A3,
  // the comment.
  std::array<bool, 7> fields{true, true, true, true, true, true, true};
  SearchDirection direction = SearchDirection::Both;
};

// The dictionary options of `options`, read now, with the direction of the window.
SearchSettings ReadSearchSettings(const Options& options, SearchDirection direction);

// Lines the hit list holds; hits beyond them are dropped.
inline constexpr std::size_t kMaxHits = 255;

inline constexpr const char* kTooManyHits =
    "Es gab mehr als insgesamt 256 Fundstellen. Wählen sie einen gezielteren Suchbegriff!";
// What the list really holds, on a line of its own below kTooManyHits.
inline constexpr const char* kHitsShown = "Die Liste zeigt die ersten 255 Fundstellen.";
// The dictionary's DataFile cannot be read.
inline constexpr const char* kDictionaryReadError = "RW - Fehler in Unit6!";

// Whether a stored field (not space-cut) matches the term: it contains the term, or with
// `wholeFields` it equals it, byte for byte; without `caseSensitive` both are compared with the
// ASCII letters as capitals (FoldCase: ä and Ä stay different), or, for a UTF-8 term (a Unicode
// DataFile), by Unicode case folding. An empty term is contained in no field; with `wholeFields`
// it equals an empty field.
bool FieldMatches(const WinString& term, std::string_view field, bool caseSensitive,
                  bool wholeFields);

// The line of a hit in the list: B1, " = ", A1, and with `showUnitId` " @> " and the UnitID.
WinString HitLine(const TVocData& record, bool showUnitId,
                  TextEncoding encoding = TextEncoding::Cp1252);

// Told while a search reads the DataFile: `read` of `total` records after record 0 have been
// read. Called in steps (about every hundredth of the file, at the end of a block), not per
// record, so that a window can redraw its progress bar without slowing the search down.
using SearchProgress = std::function<void(std::uint64_t read, std::uint64_t total)>;

// The dictionary's search across a whole DataFile and its hit list. Line k of the list always
// belongs to hits()[k], a copy of the record found; the list holds at most 255 lines.
class DictionarySearch {
 public:
  enum class Outcome {
    NotRun,    // the term was empty: nothing happened
    Searched,  // the whole file was read; the list holds the hits
    Failed,    // the file could not be read (told); the list is as before
  };

  explicit DictionarySearch(Messages& messages) : messages_(messages) {}

  const std::vector<WinString>& lines() const { return lines_; }
  const std::vector<TVocData>& hits() const { return hits_; }
  std::size_t hitCount() const { return lines_.size(); }
  // Record 0 of the DataFile as the last search read it; nothing before the first search.
  const std::optional<TVocData>& dataFileHeader() const { return header_; }

  // Empties the hit list.
  void clearHits();

  // Looks `typed` up in the DataFile at `path` under `settings`: the term is cut first
  // (cutSpaces), the list emptied (clearList) or continued, and every live entry of every lesson
  // in file order in which a searched field matches adds one line. When the file cannot be read,
  // kDictionaryReadError names it and the reason, and nothing changes.
  Outcome search(const std::string& path, const WinString& typed, const SearchSettings& settings,
                 const SearchProgress& progress = {});

  // After a search: when the list is full (also when it was full before), kTooManyHits. The
  // caller shows the list first, so that the learner sees what the warning is about.
  void warnWhenFull();

  // The term as the last search used it (after the cut).
  const WinString& searchedTerm() const { return term_; }

 private:
  bool searchDataFile(const std::string& path, const SearchSettings& settings,
                      const SearchProgress& progress);

  Messages& messages_;
  std::vector<WinString> lines_;
  std::vector<TVocData> hits_;
  std::optional<TVocData> header_;
  WinString term_;
};

}  // namespace merkhaus
