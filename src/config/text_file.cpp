// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/text_file.h"

#include <array>

namespace merkhaus {

FileResult<std::vector<std::string>> ReadTextLines(const std::filesystem::path& path,
                                                   std::size_t maxLines, std::size_t maxLineBytes) {
  auto opened = File::open(path.string(), File::Mode::Read, Lock::None);
  if (!opened) return Failed(opened.error());
  File& file = *opened;

  std::vector<std::string> lines;
  std::string line;
  bool lineStarted = false;
  // Even a line cut short is scanned to its end; a file that is all one line of garbage would be
  // read for nothing beyond this many bytes.
  const std::size_t maxBytes = maxLines * (maxLineBytes + 2) + 4096;
  std::uint64_t total = 0;
  std::array<char, 65536> block;
  try {
    while (lines.size() < maxLines && total < maxBytes) {
      const std::size_t n = file.readAt(block.data(), block.size(), total);
      if (n == 0) break;
      total += n;
      for (std::size_t i = 0; i < n && lines.size() < maxLines; ++i) {
        const char c = block[i];
        if (c == '\n') {
          if (!line.empty() && line.back() == '\r') line.pop_back();
          lines.push_back(std::move(line));
          line.clear();
          lineStarted = false;
        } else {
          lineStarted = true;
          // One byte of slack keeps a CR that ends a line at the limit from being counted.
          if (line.size() < maxLineBytes + 1) line += c;
        }
      }
    }
  } catch (const IoError& e) {
    return Failed(e.error());
  }
  if (lineStarted && lines.size() < maxLines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  for (auto& l : lines) {
    if (l.size() > maxLineBytes) l.resize(maxLineBytes);
  }
  return lines;
}

FileResult<> ReplaceFile(const std::filesystem::path& path, std::string_view bytes) {
  return WriteWholeFile(path.string(), bytes);
}

}  // namespace merkhaus
