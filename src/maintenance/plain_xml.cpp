// SPDX-License-Identifier: GPL-3.0-or-later
#include "maintenance/plain_xml.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace merkhaus {
namespace {

// A token (a tag, a comment, a section) longer than this is left to expat.
constexpr std::size_t kLongestToken = std::size_t{4} << 20;
// Bytes joined to the end of a token cut in two, enough for most tokens.
constexpr std::size_t kJoin = 4096;

constexpr bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}
constexpr bool IsNameStart(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_' || c == ':';
}
constexpr bool IsNameChar(char c) {
  return IsNameStart(c) || (c >= '0' && c <= '9') || c == '.' || c == '-';
}
// A byte that XML forbids, or (0xEF) that may begin U+FFFE or U+FFFF, which it forbids too.
constexpr bool NeedsCare(unsigned char c) {
  return (c < 0x20 && c != '\t' && c != '\n' && c != '\r') || c == 0xEF;
}
// Whether the character at `at` is allowed in XML; `at` holds a byte for which NeedsCare is true.
// 0: no, 1: yes, 2: the bytes end too early to tell.
int CaredCharacterOk(std::string_view data, std::size_t at) {
  if (static_cast<unsigned char>(data[at]) != 0xEF) return 0;
  if (at + 2 >= data.size()) return 2;
  return data[at + 1] == '\xBF' && (data[at + 2] == '\xBE' || data[at + 2] == '\xBF') ? 0 : 1;
}

// The bytes a text run takes as they are: everything but markup, references, the end of a CDATA
// section, carriage returns and the bytes of NeedsCare.
constexpr std::array<bool, 256> kPlainText = [] {
  std::array<bool, 256> plain{};
  for (int c = 0; c < 256; ++c) {
    plain[static_cast<std::size_t>(c)] =
        !NeedsCare(static_cast<unsigned char>(c)) && c != '<' && c != '&' && c != ']' && c != '\r';
  }
  return plain;
}();

void AppendUtf8(std::string& out, std::uint32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

// Results of the token readers.
enum Step { kDeclined, kDone, kIncomplete };

constexpr std::array<bool, 256> kNameChar = [] {
  std::array<bool, 256> name{};
  for (int c = 0; c < 128; ++c)
    name[static_cast<std::size_t>(c)] = IsNameChar(static_cast<char>(c));
  return name;
}();

// Reads a name at `p` (ASCII names only); kIncomplete when the bytes end inside it.
Step Name(std::string_view data, std::size_t& p) {
  if (p >= data.size()) return kIncomplete;
  if (!IsNameStart(data[p])) return kDeclined;
  while (++p < data.size() && kNameChar[static_cast<unsigned char>(data[p])]) {
  }
  if (p == data.size()) return kIncomplete;
  // A name going on in other letters is expat's.
  return static_cast<unsigned char>(data[p]) >= 0x80 ? kDeclined : kDone;
}

void SkipSpace(std::string_view data, std::size_t& p) {
  while (p < data.size() && IsSpace(data[p]))
    ++p;
}

// The XML declaration as most files have it: version 1.0, an encoding name, standalone.
bool PlainDeclaration(std::string_view d) {
  std::size_t p = 5;  // after "<?xml"
  bool versionSeen = false;
  const char* names[] = {"version", "encoding", "standalone"};
  int next = 0;
  for (;;) {
    const std::size_t before = p;
    SkipSpace(d, p);
    if (d.substr(p) == "?>") return versionSeen;
    if (p == before) return false;
    int which = -1;
    for (int k = next; k < 3 && which < 0; ++k) {
      if (d.substr(p).starts_with(names[k])) which = k;
    }
    if (which < 0 || (which > 0 && !versionSeen)) return false;
    p += std::strlen(names[which]);
    next = which + 1;
    SkipSpace(d, p);
    if (p >= d.size() || d[p] != '=') return false;
    ++p;
    SkipSpace(d, p);
    if (p >= d.size() || (d[p] != '"' && d[p] != '\'')) return false;
    const char quote = d[p++];
    const std::size_t close = d.find(quote, p);
    if (close == std::string_view::npos) return false;
    const std::string_view value = d.substr(p, close - p);
    if (which == 0) {
      if (value != "1.0") return false;
      versionSeen = true;
    } else if (which == 1) {
      if (value.empty() ||
          !((value[0] >= 'a' && value[0] <= 'z') || (value[0] >= 'A' && value[0] <= 'Z'))) {
        return false;
      }
      for (const char c : value) {
        if (!IsNameChar(c) || c == ':') return false;
      }
    } else if (value != "yes" && value != "no") {
      return false;
    }
    p = close + 1;
  }
}

bool PublicIdChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
         std::strchr(" \r\n-'()+,./:=?;!*#@$_%", c) != nullptr;
}

// `<!DOCTYPE name>`, `<!DOCTYPE name SYSTEM "uri">` or `<!DOCTYPE name PUBLIC "id" "uri">`.
Step Doctype(std::string_view data, std::size_t at, std::size_t& next) {
  std::size_t p = at + 9;
  if (p >= data.size()) return kIncomplete;
  if (!IsSpace(data[p])) return kDeclined;
  SkipSpace(data, p);
  if (const Step name = Name(data, p); name != kDone) return name;
  auto literal = [&](bool publicId) {
    if (p >= data.size()) return kIncomplete;
    if (data[p] != '"' && data[p] != '\'') return kDeclined;
    const char quote = data[p];
    for (++p; p < data.size() && data[p] != quote; ++p) {
      if (publicId ? !PublicIdChar(data[p]) : NeedsCare(static_cast<unsigned char>(data[p]))) {
        return kDeclined;
      }
    }
    if (p == data.size()) return kIncomplete;
    ++p;
    return kDone;
  };
  auto space = [&]() {
    const std::size_t before = p;
    SkipSpace(data, p);
    if (p == data.size()) return kIncomplete;
    return p > before ? kDone : kDeclined;
  };
  SkipSpace(data, p);
  if (p + 6 > data.size()) return kIncomplete;
  const std::string_view keyword = data.substr(p, 6);
  if (keyword == "SYSTEM" || keyword == "PUBLIC") {
    p += 6;
    for (int i = keyword == "PUBLIC" ? 0 : 1; i < 2; ++i) {
      if (const Step s = space(); s != kDone) return s;
      if (const Step s = literal(i == 0); s != kDone) return s;
    }
    SkipSpace(data, p);
  }
  if (p >= data.size()) return kIncomplete;
  if (data[p] != '>') return kDeclined;
  next = p + 1;
  return kDone;
}

}  // namespace

std::size_t CountLineFeeds(std::string_view bytes) {
  constexpr std::uint64_t kOnes = 0x0101010101010101ull;
  constexpr std::uint64_t kLow7 = 0x7F7F7F7F7F7F7F7Full;
  std::size_t count = 0;
  std::size_t i = 0;
  for (; i + 8 <= bytes.size(); i += 8) {
    std::uint64_t word = 0;
    std::memcpy(&word, bytes.data() + i, 8);
    // A byte of x is zero where the byte was a line feed; its high bit is then the only one
    // left set in ~(...) & ~x.
    const std::uint64_t x = word ^ (kOnes * '\n');
    const std::uint64_t zero = ~(((x & kLow7) + kLow7) | x | kLow7);
    // The high bits, one per line feed, summed into the top byte.
    count += static_cast<std::size_t>(((zero >> 7) * kOnes) >> 56);
  }
  for (; i < bytes.size(); ++i)
    count += bytes[i] == '\n' ? 1 : 0;
  return count;
}

std::size_t PlainXmlReader::line() {
  countLinesTo(tokenAt_);
  return lines_;
}

void PlainXmlReader::countLinesTo(std::size_t at) {
  if (at <= countedTo_) return;
  lines_ += CountLineFeeds(data_.substr(countedTo_, at - countedTo_));
  countedTo_ = at;
}

bool PlainXmlReader::feed(std::string_view bytes, bool last) {
  if (declined_) return false;
  if (!pending_.empty()) {
    // The token that the last bytes cut in two is mostly short: it is read joined with the
    // start of the new bytes, and the rest of them where they are, without copying them.
    const std::size_t old = pending_.size();
    const std::size_t joined = std::min(bytes.size(), kJoin);
    pending_.append(bytes.substr(0, joined));
    const bool all = joined == bytes.size();
    std::size_t used = 0;
    if (!readAll(pending_, last && all, used)) return false;
    if (used < old && !all) {
      // A long token: it is read once all of the new bytes are with it.
      pending_.erase(0, used);
      pending_.append(bytes.substr(joined));
      if (!readAll(pending_, last, used)) return false;
      return keep(pending_, used);
    }
    if (used < old || all) return keep(pending_, used);
    bytes.remove_prefix(used - old);
    pending_.clear();
  }
  std::size_t used = 0;
  if (!readAll(bytes, last, used)) return false;
  return keep(bytes, used);
}

bool PlainXmlReader::keep(std::string_view data, std::size_t used) {
  std::string rest(data.substr(used));
  pending_ = std::move(rest);
  if (pending_.size() > kLongestToken) declined_ = true;
  return !declined_;
}

bool PlainXmlReader::readAll(std::string_view data, bool last, std::size_t& used) {
  // A carriage return is a line end together with the line feed after it; one alone (a line end
  // of its own to expat) is left to expat.
  for (std::size_t at = data.find('\r'); at != std::string_view::npos;
       at = data.find('\r', at + 1)) {
    if (at + 1 < data.size() ? data[at + 1] != '\n' : last) {
      declined_ = true;
      return false;
    }
  }
  data_ = data;
  countedTo_ = 0;
  tokenAt_ = 0;
  used = 0;
  if (!read(data, last, used) || (last && (used != data.size() || !rootClosed_))) {
    declined_ = true;
    return false;
  }
  countLinesTo(used);
  data_ = {};
  countedTo_ = 0;
  return true;
}

bool PlainXmlReader::read(std::string_view data, bool last, std::size_t& used) {
  std::size_t p = 0;
  while (p < data.size()) {
    std::size_t next = 0;
    bool ok = true;
    if (data[p] == '<') {
      if (p + 1 >= data.size()) break;
      tokenAt_ = p;
      const char c = data[p + 1];
      if (c == '/') {
        ok = endTag(data, p, next);
      } else if (c == '?' || c == '!') {
        ok = other(data, p, last, next);
      } else {
        ok = startTag(data, p, next);
      }
    } else {
      ok = textRun(data, p, last, next);
    }
    if (!ok) return false;
    if (next == 0) break;  // the token goes on in the next bytes
    p = next;
    started_ = true;
  }
  if (last && p != data.size()) return false;
  used = p;
  return true;
}

bool PlainXmlReader::startTag(std::string_view data, std::size_t at, std::size_t& next) {
  if (rootClosed_) return false;
  std::size_t p = at + 1;
  const std::size_t nameAt = p;
  if (const Step s = Name(data, p); s != kDone) return s == kIncomplete;
  const std::string_view name = data.substr(nameAt, p - nameAt);
  attributeBytes_.clear();
  attributeAt_.clear();
  bool empty = false;
  for (;;) {
    const std::size_t before = p;
    SkipSpace(data, p);
    if (p >= data.size()) return true;
    if (data[p] == '>') {
      ++p;
      break;
    }
    if (data[p] == '/') {
      if (p + 1 >= data.size()) return true;
      if (data[p + 1] != '>') return false;
      p += 2;
      empty = true;
      break;
    }
    if (p == before) return false;
    const std::size_t attributeAt = p;
    if (const Step s = Name(data, p); s != kDone) return s == kIncomplete;
    const std::string_view attribute = data.substr(attributeAt, p - attributeAt);
    for (std::size_t k = 0; k < attributeAt_.size(); k += 2) {
      if (attribute == attributeBytes_.data() + attributeAt_[k]) return false;
    }
    SkipSpace(data, p);
    if (p >= data.size()) return true;
    if (data[p] != '=') return false;
    ++p;
    SkipSpace(data, p);
    if (p >= data.size()) return true;
    if (data[p] != '"' && data[p] != '\'') return false;
    const char quote = data[p++];
    attributeAt_.push_back(attributeBytes_.size());
    attributeBytes_.append(attribute);
    attributeBytes_ += '\0';
    attributeAt_.push_back(attributeBytes_.size());
    for (;;) {
      if (p >= data.size()) return true;
      const char c = data[p];
      if (c == quote) break;
      if (c == '<') return false;
      if (c == '&') {
        const int r = reference(data, p, attributeBytes_, p);
        if (r != kDone) return r == kIncomplete;
        continue;
      }
      if (NeedsCare(static_cast<unsigned char>(c))) {
        const int ok = CaredCharacterOk(data, p);
        if (ok != 1) return ok == 2;
      }
      // Line ends and tabs become blanks; a CR LF becomes one.
      if (c == '\r') {
        ++p;
        continue;
      }
      attributeBytes_ += c == '\t' || c == '\n' ? ' ' : c;
      ++p;
    }
    ++p;
    attributeBytes_ += '\0';
  }
  open_.push_back(names_.size());
  names_.append(name);
  names_ += '\0';
  attributes_.clear();
  for (const std::size_t k : attributeAt_)
    attributes_.push_back(attributeBytes_.data() + k);
  attributes_.push_back(nullptr);
  rootSeen_ = true;
  handler_.start(names_.data() + open_.back(), attributes_.data());
  if (empty) {
    handler_.end();
    names_.resize(open_.back());
    open_.pop_back();
    rootClosed_ = open_.empty();
  }
  next = p;
  return true;
}

bool PlainXmlReader::endTag(std::string_view data, std::size_t at, std::size_t& next) {
  std::size_t p = at + 2;
  const std::size_t nameAt = p;
  if (const Step s = Name(data, p); s != kDone) return s == kIncomplete;
  const std::string_view name = data.substr(nameAt, p - nameAt);
  SkipSpace(data, p);
  if (p >= data.size()) return true;
  if (data[p] != '>' || open_.empty()) return false;
  if (name != std::string_view(names_).substr(open_.back(), names_.size() - 1 - open_.back())) {
    return false;
  }
  handler_.end();
  names_.resize(open_.back());
  open_.pop_back();
  rootClosed_ = open_.empty();
  next = p + 1;
  return true;
}

bool PlainXmlReader::textRun(std::string_view data, std::size_t at, bool last, std::size_t& next) {
  std::size_t p = at;
  if (open_.empty()) {
    // Outside the root element only blanks and line ends.
    SkipSpace(data, p);
    if (p < data.size() && data[p] != '<') return false;
    next = p;
    return true;
  }
  std::size_t run = p;
  auto flush = [&](std::size_t end) {
    if (end > run) handler_.text(data.substr(run, end - run));
  };
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t n = data.size();
  while (p < n) {
    if (kPlainText[bytes[p]]) {
      ++p;
      continue;
    }
    const char c = data[p];
    if (c == '<') break;
    if (c == '\r') {
      // Its line feed may come with the next bytes (feed checks that it does).
      if (p + 1 >= n && !last) break;
      flush(p);
      run = ++p;
      continue;
    }
    if (c == '&') {
      flush(p);
      textBytes_.clear();
      std::size_t after = p;
      const int r = reference(data, p, textBytes_, after);
      if (r == kDeclined) return false;
      if (r == kIncomplete) {
        run = p;
        break;
      }
      handler_.text(textBytes_);
      p = run = after;
      continue;
    }
    if (c == ']') {
      if (p + 2 >= n && !last) break;
      if (data.substr(p, 3) == "]]>") return false;
      ++p;
      continue;
    }
    const int ok = CaredCharacterOk(data, p);
    if (ok == 0) return false;
    if (ok == 2) {
      if (last) return false;
      break;
    }
    ++p;
  }
  flush(p);
  next = p > at ? p : 0;
  return true;
}

int PlainXmlReader::reference(std::string_view data, std::size_t at, std::string& out,
                              std::size_t& next) const {
  constexpr std::size_t kLongest = 12;  // "&#x10FFFF;" and a little more
  const std::size_t end = data.find(';', at + 1);
  if (end == std::string_view::npos || end - at > kLongest) {
    return data.size() - at <= kLongest && end == std::string_view::npos ? kIncomplete : kDeclined;
  }
  const std::string_view body = data.substr(at + 1, end - at - 1);
  next = end + 1;
  if (body == "amp") {
    out += '&';
  } else if (body == "lt") {
    out += '<';
  } else if (body == "gt") {
    out += '>';
  } else if (body == "quot") {
    out += '"';
  } else if (body == "apos") {
    out += '\'';
  } else if (body.size() >= 2 && body[0] == '#') {
    const bool hex = body[1] == 'x';
    const std::string_view digits = body.substr(hex ? 2 : 1);
    if (digits.empty() || digits.size() > 7) return kDeclined;
    std::uint32_t cp = 0;
    for (const char c : digits) {
      int v = -1;
      if (c >= '0' && c <= '9') v = c - '0';
      if (hex && c >= 'a' && c <= 'f') v = c - 'a' + 10;
      if (hex && c >= 'A' && c <= 'F') v = c - 'A' + 10;
      if (v < 0) return kDeclined;
      cp = cp * (hex ? 16 : 10) + static_cast<std::uint32_t>(v);
    }
    const bool allowed = cp == 0x9 || cp == 0xA || cp == 0xD || (cp >= 0x20 && cp <= 0xD7FF) ||
                         (cp >= 0xE000 && cp <= 0xFFFD) || (cp >= 0x10000 && cp <= 0x10FFFF);
    if (!allowed) return kDeclined;
    AppendUtf8(out, cp);
  } else {
    return kDeclined;
  }
  return kDone;
}

bool PlainXmlReader::other(std::string_view data, std::size_t at, bool last, std::size_t& next) {
  const std::string_view rest = data.substr(at);
  if (rest[1] == '?') {
    const std::size_t close = data.find("?>", at + 2);
    if (close == std::string_view::npos) return !last;
    std::size_t p = at + 2;
    if (Name(data, p) != kDone) return false;
    const std::string_view target = data.substr(at + 2, p - at - 2);
    const std::string_view whole = data.substr(at, close + 2 - at);
    if (target.size() == 3 && (target[0] | 0x20) == 'x' && (target[1] | 0x20) == 'm' &&
        (target[2] | 0x20) == 'l') {
      // Only the declaration, only at the very start.
      if (started_ || at != 0 || target != "xml" || !PlainDeclaration(whole)) return false;
    } else {
      if (p != close && !IsSpace(data[p])) return false;
      for (std::size_t i = p; i < close; ++i) {
        if (NeedsCare(static_cast<unsigned char>(data[i])) && CaredCharacterOk(data, i) != 1) {
          return false;
        }
      }
    }
    next = close + 2;
    return true;
  }
  if (rest.size() < 9 && !last && std::string_view("<!DOCTYPE").starts_with(rest)) return true;
  if (rest.size() < 9 && !last && std::string_view("<![CDATA[").starts_with(rest)) return true;
  if (rest.size() < 4 && !last && std::string_view("<!--").starts_with(rest)) return true;
  if (rest.starts_with("<!--")) {
    const std::size_t dashes = data.find("--", at + 4);
    if (dashes == std::string_view::npos || dashes + 2 >= data.size()) return !last;
    if (data[dashes + 2] != '>') return false;
    for (std::size_t i = at + 4; i < dashes; ++i) {
      if (NeedsCare(static_cast<unsigned char>(data[i])) && CaredCharacterOk(data, i) != 1) {
        return false;
      }
    }
    next = dashes + 3;
    return true;
  }
  if (rest.starts_with("<![CDATA[")) {
    if (open_.empty()) return false;
    const std::size_t close = data.find("]]>", at + 9);
    if (close == std::string_view::npos) return !last;
    std::size_t run = at + 9;
    for (std::size_t i = run; i < close; ++i) {
      const char c = data[i];
      if (c == '\r') {
        if (i > run) handler_.text(data.substr(run, i - run));
        run = i + 1;
      } else if (NeedsCare(static_cast<unsigned char>(c)) && CaredCharacterOk(data, i) != 1) {
        return false;
      }
    }
    if (close > run) handler_.text(data.substr(run, close - run));
    next = close + 3;
    return true;
  }
  if (rest.starts_with("<!DOCTYPE")) {
    if (doctypeSeen_ || rootSeen_) return false;
    const Step s = Doctype(data, at, next);
    if (s == kIncomplete) {
      next = 0;
      return !last;
    }
    doctypeSeen_ = s == kDone;
    return s == kDone;
  }
  return false;
}

}  // namespace merkhaus
