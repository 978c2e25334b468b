#include "config/text_file.h"

#include <array>
#include <cstdio>
#include <memory>
#include <system_error>

namespace merkhaus {
namespace fs = std::filesystem;

namespace {

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

}  // namespace

std::optional<std::vector<std::string>> ReadTextLines(const fs::path& path, std::size_t maxLines,
                                                      std::size_t maxLineBytes) {
  std::error_code ec;
  if (fs::is_directory(path, ec)) return std::nullopt;
  FilePtr file(std::fopen(path.c_str(), "rb"));
  if (!file) return std::nullopt;

  std::vector<std::string> lines;
  std::string line;
  bool lineStarted = false;
  // Even a line cut short is scanned to its end; a file that is all one line of garbage would be
  // read for nothing beyond this many bytes.
  const std::size_t maxBytes = maxLines * (maxLineBytes + 2) + 4096;
  std::size_t total = 0;
  std::array<char, 65536> block;
  while (lines.size() < maxLines && total < maxBytes) {
    const std::size_t n = std::fread(block.data(), 1, block.size(), file.get());
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
  if (std::ferror(file.get())) return std::nullopt;
  if (lineStarted && lines.size() < maxLines) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(std::move(line));
  }
  for (auto& l : lines) {
    if (l.size() > maxLineBytes) l.resize(maxLineBytes);
  }
  return lines;
}

bool ReplaceFile(const fs::path& path, std::string_view bytes) {
  std::error_code ec;
  fs::path target = path;
  // Write through a symbolic link to the file it names, rather than replacing the link.
  if (fs::is_symlink(path, ec)) {
    const auto resolved = fs::weakly_canonical(path, ec);
    if (!ec) target = resolved;
  }
  const auto status = fs::status(target, ec);
  if (fs::exists(status)) {
    if (!fs::is_regular_file(status)) return false;
    if ((status.permissions() & fs::perms::owner_write) == fs::perms::none) return false;
  }

  fs::path temp = target;
  temp += ".tmp";
  {
    FilePtr file(std::fopen(temp.c_str(), "wb"));
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
    ok = std::fflush(file.get()) == 0 && ok;
    ok = std::fclose(file.release()) == 0 && ok;
    if (!ok) {
      fs::remove(temp, ec);
      return false;
    }
  }
  if (fs::exists(status)) fs::permissions(temp, status.permissions(), ec);
  fs::rename(temp, target, ec);
  if (ec) {
    fs::remove(temp, ec);
    return false;
  }
  return true;
}

}  // namespace merkhaus
