// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_session.h"

#include "flows/lesson_loading.h"
#include "platform/cp1252.h"
#include "store/datafile.h"

namespace merkhaus {

DictionarySession::DictionarySession(Services& services, const Flows& flows, Redraw& window)
    : lesson_(services.lesson),
      options_(services.options),
      messages_(services.messages),
      flows_(flows),
      window_(window),
      search_(services.messages) {}

bool DictionarySession::openDictionary() {
  const StoreResult<TVocData> header = ReadHeaderRecord(lesson_.dataFilePath);
  if (!header) {
    ShowFileError(messages_, kDictionaryReadError, header.error().file);
    return false;
  }
  showDataFile(*header);
  clearDictionary();
  return true;
}

void DictionarySession::showDataFile(const TVocData& header) {
  lesson_.dataFileHeader = header;
  // The words in the DataFile's own encoding before its name is added ("Wörterbuch" in
  // Windows-1252, so that the cut counts characters there; in UTF-8 in a Unicode DataFile).
  const WinString caption =
      Reencode(WinString("Merkhaus ]|[ - W\xF6rterbuch -- "), EncodingOf(header)).value() +
      DataFileName(header);
  view_.caption = ToUtf8(caption.left(89));
}

void DictionarySession::clearDictionary() {
  search_.clearHits();
  view_.term = WinString();
  view_.progress = 0;
  view_.progressMax = 0;
  ++view_.listVersion;
}

void DictionarySession::search() {
  const SearchSettings settings = ReadSearchSettings(options_, direction_);
  const auto outcome = search_.search(lesson_.dataFilePath, view_.term, settings,
                                      [&](std::uint64_t read, std::uint64_t total) {
                                        view_.progress = read;
                                        view_.progressMax = total;
                                        window_.redraw();
                                      });
  if (outcome == DictionarySearch::Outcome::NotRun) return;
  if (outcome == DictionarySearch::Outcome::Searched) {
    ++view_.listVersion;
    if (search_.dataFileHeader()) showDataFile(*search_.dataFileHeader());
  }
  // After hits the field is free for the next term; otherwise the term stays for correction.
  const bool found = outcome == DictionarySearch::Outcome::Searched && search_.hitCount() > 0;
  view_.term = found ? WinString() : search_.searchedTerm();
  if (outcome != DictionarySearch::Outcome::Searched) return;
  window_.redraw();
  search_.warnWhenFull();
}

void DictionarySession::showHit(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= search_.hitCount()) return;
  flows_.entries.quickEditEntry(search_.hits()[static_cast<std::size_t>(index)], false);
}

void DictionarySession::chooseDataFile() {
  const std::optional<std::string> path = flows_.dataFiles.chooseDataFile(ChooseMode::Plain);
  if (!path) return;
  lesson_.dataFilePath = *path;
  // The dictionary only reads, but the learner hears at once, as in every mode, that a damaged or
  // write-protected DataFile is not changed (the quick view stays a view).
  TellWhenReadOnly(lesson_, messages_);
  // The caption names the DataFile searched from now on; one that cannot be read is told by the
  // next search.
  if (const StoreResult<TVocData> header = ReadHeaderRecord(*path)) showDataFile(*header);
}

}  // namespace merkhaus
