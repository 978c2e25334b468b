#pragma once

#include "config/options.h"
#include "platform/win_string.h"

namespace merkhaus {

// The blanks rule of typed vocabulary: with "Eingabe_SpaceCut" on, leading and trailing blanks go
// and inner runs of blanks become one; otherwise the text stays as typed.
WinString EntryCutSpaces(const WinString& text, const Options& options);

}  // namespace merkhaus
