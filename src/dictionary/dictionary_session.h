// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "dictionary/dictionary_search.h"
#include "flows/flows.h"
#include "flows/redraw.h"
#include "flows/services.h"
#include "platform/win_string.h"

namespace merkhaus {

// Everything the dictionary window shows. The window copies it into its controls after every
// call into DictionarySession.
struct DictionaryView {
  std::string caption = "Wörterbuch";  // UTF-8
  WinString term;                      // the search field
  std::uint64_t progress = 0;          // records read after record 0 ...
  std::uint64_t progressMax = 0;       // ... of this many
  // Grows whenever the hit list is emptied or filled, so that the window knows when to redraw
  // it.
  unsigned listVersion = 0;
};

// The dictionary ("Wörterbuch") as its window runs it: looks words up across the whole current
// DataFile, keeps the hit list, shows a hit in the quick view and switches to another DataFile.
// Made once with its window; the direction stays from one opening to the next.
class DictionarySession {
 public:
  // `window` is shown while a search reads the DataFile and before a full list is told.
  DictionarySession(Services& services, const Flows& flows, Redraw& window = Unseen());

  const DictionaryView& view() const { return view_; }
  // The hit list: line k shows hits()[k].
  const std::vector<TVocData>& hits() const { return search_.hits(); }
  const std::vector<WinString>& lines() const { return search_.lines(); }
  std::size_t hitCount() const { return search_.hitCount(); }

  // The search field and the direction as the learner left them; call before Search.
  void setTerm(const WinString& term) { view_.term = term; }
  void setDirection(SearchDirection direction) { direction_ = direction; }
  SearchDirection direction() const { return direction_; }

  // Reads record 0 of the current DataFile into the context's DataFile header, names the
  // DataFile in the caption and clears the window. False (after "RW - Fehler in Unit6!") when
  // the file cannot be read: the window is then not shown.
  bool openDictionary();

  // Empties the hit list, the search field and the progress.
  void clearDictionary();

  // Looks the search field up under the options as they are now. After hits the field is
  // emptied for the next term; after none it keeps the (cut) term for correction. The window is
  // redrawn in steps while the file is read, and once the view holds the result, before a full
  // list is told.
  void search();

  // The quick view of the hit on line `index` (none selected: -1, nothing happens).
  void showHit(int index);

  // Another DataFile for the next searches; the caption names it, the list stays.
  void chooseDataFile();

 private:
  // The DataFile's header, and the caption that names the DataFile.
  void showDataFile(const TVocData& header);

  LessonContext& lesson_;
  Options& options_;
  Messages& messages_;
  Flows flows_;
  Redraw& window_;
  DictionarySearch search_;
  SearchDirection direction_ = SearchDirection::Both;
  DictionaryView view_;
};

}  // namespace merkhaus
