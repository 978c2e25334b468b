// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "platform/file_io.h"

namespace merkhaus {

// Why the progress database cannot be used: the database file, what was being done with it and
// the reason in German. Learning never stops for it; whoever shows it says once that progress
// is not being kept.
struct ProgressError {
  std::string path;
  FileError::Step step = FileError::Step::Open;
  std::string reason;

  // 'Die Datei "/home/a/.local/share/Merkhaus/lernstand.sqlite" kann nicht geschrieben werden:
  // sie wird gerade von einem anderen Programm benutzt oder geändert.'
  std::string text() const;
};

// The one message for the learner (and the tool): progress is not being kept, and why.
std::string ProgressNotKeptText(const ProgressError& error);

}  // namespace merkhaus
