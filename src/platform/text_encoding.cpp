// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/text_encoding.h"

namespace merkhaus {

std::size_t CharBoundaryAtOrBefore(std::string_view bytes, std::size_t n, TextEncoding e) {
  if (n >= bytes.size()) return bytes.size();
  if (e == TextEncoding::Cp1252) return n;
  // Step back over continuation bytes to the start of the character that byte n belongs to; at
  // most three, so that a run of stray continuation bytes is cut byte by byte.
  std::size_t cut = n;
  for (int k = 0; k < 3 && cut > 0 && !StartsChar(bytes[cut], e); ++k)
    --cut;
  return StartsChar(bytes[cut], e) ? cut : n;
}

std::size_t CharCount(std::string_view bytes, TextEncoding e) {
  if (e == TextEncoding::Cp1252) return bytes.size();
  std::size_t n = 0;
  for (char c : bytes)
    n += StartsChar(c, e) ? 1 : 0;
  return n;
}

}  // namespace merkhaus
