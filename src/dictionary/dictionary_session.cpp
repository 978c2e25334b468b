// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_session.h"

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "store/record_file.h"

namespace merkhaus {

DictionarySession::DictionarySession(Shared& shared, Options& options, Messages& messages,
                                     DataFileChooser& dataFiles, EntryViewer& entries)
    : shared_(shared),
      options_(options),
      messages_(messages),
      dataFiles_(dataFiles),
      entries_(entries),
      search_(shared, messages) {}

bool DictionarySession::OpenDictionary() {
  RecordFile file;
  if (!file.open(shared_.DataFilePath, Access::Read)) {
    ShowErr(messages_, WithReason(kDictionaryReadError, file.error()));
    return false;
  }
  if (file.count() < 1) {
    ShowErr(messages_,
            WithReason(kDictionaryReadError, FileError{shared_.DataFilePath, FileError::Step::Read,
                                                       FileError::kShortRead}));
    return false;
  }
  file.read(0, shared_.DataFileHeader);
  file.close();
  // "Wörterbuch" in Windows-1252, so that the cut counts characters.
  const WinString caption =
      WinString("Merkhaus ]|[ - W\xF6rterbuch -- ") + shared_.DataFileHeader.B1.get();
  view_.caption = ToUtf8(caption.left(89));
  ClearDictionary();
  return true;
}

void DictionarySession::ClearDictionary() {
  search_.ClearHits();
  view_.term = WinString();
  view_.progress = 0;
  view_.progressMax = 0;
  ++view_.listVersion;
}

void DictionarySession::Search(const SearchProgress& progress, const std::function<void()>& shown) {
  const SearchSettings settings = ReadSearchSettings(options_, direction_);
  const auto outcome =
      search_.Search(view_.term, settings, [&](std::uint64_t read, std::uint64_t total) {
        view_.progress = read;
        view_.progressMax = total;
        if (progress) progress(read, total);
      });
  if (outcome == DictionarySearch::Outcome::NotRun) return;
  if (outcome == DictionarySearch::Outcome::Searched) ++view_.listVersion;
  // After hits the field is free for the next term; otherwise the term stays for correction.
  const bool found = outcome == DictionarySearch::Outcome::Searched && search_.HitCount() > 0;
  view_.term = found ? WinString() : search_.searchedTerm();
  if (outcome != DictionarySearch::Outcome::Searched) return;
  if (shown) shown();
  search_.WarnWhenFull();
}

void DictionarySession::ShowHit(int index) {
  if (index < 0 || static_cast<std::size_t>(index) >= search_.HitCount()) return;
  entries_.QuickEditEntry(static_cast<std::size_t>(index), false);
}

void DictionarySession::ChooseDataFile() {
  shared_.Cancelled = 0;
  const std::string path = dataFiles_.ChooseDataFile(ChooseMode::Plain);
  if (shared_.Cancelled) return;
  shared_.DataFilePath = path;
}

}  // namespace merkhaus
