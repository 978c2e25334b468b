#include "entry/entry_rules.h"

#include "practice/text_rules.h"

namespace merkhaus {

WinString EntryCutSpaces(const WinString& text, const Options& options) {
  return options.Eingabe_SpaceCut ? CutSpaces(text) : text;
}

}  // namespace merkhaus
