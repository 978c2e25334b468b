// SPDX-License-Identifier: GPL-3.0-or-later
#include "config/more_options.h"

#include <array>
#include <charconv>
#include <optional>
#include <vector>

namespace merkhaus {
namespace {

std::optional<int> ParseInt(std::string_view s) {
  int value = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  if (ec != std::errc() || end != s.data() + s.size()) return std::nullopt;
  return value;
}

// One setting: its key and how it reads and writes its value.
struct Setting {
  const char* key;
  bool (*read)(MoreOptions&, std::string_view);  // false: the value does not fit
  std::string (*write)(const MoreOptions&);
};

template <auto Member>
constexpr Setting Number(const char* key) {
  return {key,
          [](MoreOptions& o, std::string_view s) {
            const auto v = ParseInt(s);
            if (v) o.*Member = *v;
            return v.has_value();
          },
          [](const MoreOptions& o) { return std::to_string(static_cast<int>(o.*Member)); }};
}

template <auto Member>
constexpr Setting Flag(const char* key) {
  return {key,
          [](MoreOptions& o, std::string_view s) {
            if (s != "0" && s != "1") return false;
            o.*Member = s == "1";
            return true;
          },
          [](const MoreOptions& o) { return std::string(o.*Member ? "1" : "0"); }};
}

// A text without a line break; an empty text is not written.
template <auto Member>
constexpr Setting Text(const char* key) {
  return {key,
          [](MoreOptions& o, std::string_view s) {
            o.*Member = std::string(s);
            return true;
          },
          [](const MoreOptions& o) { return o.*Member; }};
}

// A window's place: "x,y,width,height,maximized" with maximized 0 or 1.
template <auto Member>
constexpr Setting Place(const char* key) {
  return {key,
          [](MoreOptions& o, std::string_view s) {
            std::array<int, 5> v{};
            for (std::size_t i = 0; i < v.size(); ++i) {
              const std::size_t comma = i + 1 < v.size() ? s.find(',') : s.size();
              if (comma == std::string_view::npos) return false;
              const auto n = ParseInt(s.substr(0, comma));
              if (!n) return false;
              v[i] = *n;
              s.remove_prefix(std::min(s.size(), comma + 1));
            }
            if (v[2] <= 0 || v[3] <= 0 || (v[4] != 0 && v[4] != 1)) return false;
            o.*Member = WindowPlace{true, v[0], v[1], v[2], v[3], v[4] == 1};
            return true;
          },
          [](const MoreOptions& o) {
            const WindowPlace& p = o.*Member;
            if (!p.known) return std::string();
            return std::to_string(p.x) + "," + std::to_string(p.y) + "," + std::to_string(p.width) +
                   "," + std::to_string(p.height) + "," + (p.maximized ? "1" : "0");
          }};
}

const Setting kSettings[] = {
    Number<&MoreOptions::desiredRetentionPercent>("review.retention_percent"),
    Number<&MoreOptions::newEntriesPerDay>("review.new_per_day"),
    Number<&MoreOptions::reviewStyle>("review.style"),
    Place<&MoreOptions::mainWindow>("window.main"),
    Flag<&MoreOptions::autoSpeak>("speech.auto"),
    Text<&MoreOptions::speechEngine>("speech.engine"),
    Number<&MoreOptions::speechRate>("speech.rate"),
};

// The voices per language: one line each, the language's key after the prefix.
constexpr std::string_view kVoicePrefix = "speech.voice.";

// Keys and values may not hold a line break or, in a key, "=": such a pair cannot be written
// so that it reads back, and is left out.
bool Writable(std::string_view key, std::string_view value) {
  return !key.empty() && !value.empty() && key.find_first_of("=\r\n") == std::string_view::npos &&
         value.find_first_of("\r\n") == std::string_view::npos;
}

const Setting* Find(std::string_view key) {
  for (const Setting& s : kSettings)
    if (key == s.key) return &s;
  return nullptr;
}

}  // namespace

std::string MoreOptionsText(const MoreOptions& options) {
  std::string text = "# Merkhaus 3: Einstellungen, die Merkhaus.cfg nicht kennt\n";
  for (const Setting& s : kSettings) {
    const std::string value = s.write(options);
    if (!value.empty()) text += std::string(s.key) + "=" + value + "\n";
  }
  for (const auto& [language, voice] : options.speechVoices)
    if (Writable(language, voice))
      text += std::string(kVoicePrefix) + language + "=" + voice + "\n";
  for (const auto& [key, value] : options.unknown)
    text += key + "=" + value + "\n";
  return text;
}

void ReadMoreOptions(std::string_view text, MoreOptions& options) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(text.size(), end + 1));
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t eq = line.find('=');
    if (line.empty() || line.front() == '#' || eq == std::string_view::npos || eq == 0) continue;
    const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
    if (const Setting* s = Find(key)) {
      s->read(options, value);
    } else if (key.starts_with(kVoicePrefix) && key.size() > kVoicePrefix.size()) {
      if (value.empty()) {
        options.speechVoices.erase(std::string(key.substr(kVoicePrefix.size())));
      } else {
        options.speechVoices[std::string(key.substr(kVoicePrefix.size()))] = std::string(value);
      }
    } else {
      options.unknown[std::string(key)] = std::string(value);
    }
  }
}

}  // namespace merkhaus
