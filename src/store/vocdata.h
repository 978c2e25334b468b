// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string_view>
#include <type_traits>

#include "platform/win_string.h"

namespace merkhaus {

// A length-prefixed text field of a record: one length byte and N bytes of text (Windows-1252,
// or UTF-8 in a Unicode DataFile: the length counts bytes in both). The bytes after the length
// are not part of the value. A length byte above N (a damaged file) reads as N; storing a longer
// value cuts it to N bytes, a UTF-8 text at the last whole character within them.
template <std::size_t N>
struct PString {
  std::uint8_t Len;
  char Chars[N];

  std::size_t size() const { return std::min<std::size_t>(Len, N); }
  bool empty() const { return size() == 0; }
  std::string_view view() const { return {Chars, size()}; }
  // The text in the encoding of the record's DataFile.
  WinString get(TextEncoding e = TextEncoding::Cp1252) const { return WinString(view(), e); }

  void set(std::string_view bytes) {
    const std::size_t n = std::min(bytes.size(), N);
    if (n > 0) std::memcpy(Chars, bytes.data(), n);
    std::memset(Chars + n, 0, N - n);
    Len = static_cast<std::uint8_t>(n);
  }
  void set(const WinString& text) {
    set(text.view().substr(0, CharBoundaryAtOrBefore(text.view(), N, text.encoding())));
  }
  // Whether storing the text keeps all of it.
  static bool fits(const WinString& text) { return !text.longerThan(N); }

  // Equal as length byte plus characters.
  bool operator==(const PString& o) const { return Len == o.Len && view() == o.view(); }
  // Equal to a stored value as length byte plus characters (the signature comparison).
  bool equals(std::string_view value) const { return Len == value.size() && view() == value; }
};

// The 624-byte record of a DataFile. Field order on disk: A1, B1, A2, A3, B2, B3.
struct TVocData {
  PString<60> A1;
  PString<60> B1;
  PString<60> A2;
  PString<60> A3;
  PString<60> B2;
  PString<60> B3;
  PString<255> Comment;
  std::uint8_t UnitID;
  std::uint8_t Deleted;
};

static_assert(sizeof(TVocData) == 624, "a DataFile record is 624 bytes");
static_assert(alignof(TVocData) == 1);
static_assert(std::is_trivially_copyable_v<TVocData>);
static_assert(offsetof(TVocData, B1) == 61 && offsetof(TVocData, A2) == 122 &&
              offsetof(TVocData, A3) == 183 && offsetof(TVocData, B2) == 244 &&
              offsetof(TVocData, B3) == 305 && offsetof(TVocData, Comment) == 366 &&
              offsetof(TVocData, UnitID) == 622 && offsetof(TVocData, Deleted) == 623);

inline constexpr std::size_t kRecordSize = sizeof(TVocData);
inline constexpr std::size_t kWordCapacity = 60;
inline constexpr std::size_t kCommentCapacity = 255;

// The four signatures of a unit header; DataFileSig also marks record 0 of a DataFile.
inline constexpr std::string_view DataFileSig =
    "Merkhaus ]I[ - DataFile == signature of vocabulary data file";
inline constexpr std::string_view DedicationSig =
    "Merkhaus ]I[ is dedicated to everybody who learns new words!";
inline constexpr std::string_view UnitSig =
    "Merkhaus ]I[ - Unit == signature of one lesson record ==";
inline constexpr std::string_view UnitNoteSig = "Something I want to say: \"Windows [r] sucks!\"";
// Record 0's B3 in a Unicode DataFile (UTF-8 text). A program that knows only DataFileSig takes
// such a file for no DataFile at all rather than showing its text as Windows-1252. Unit headers
// carry DataFileSig in both kinds.
inline constexpr std::string_view UnicodeDataFileSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";
static_assert(DataFileSig.size() == 60 && DedicationSig.size() == 60 && UnitSig.size() == 56 &&
              UnitNoteSig.size() == 45 && UnicodeDataFileSig.size() == 60);

// An empty record: every text empty, UnitID 0, live.
inline TVocData EmptyRecord() {
  return TVocData{};
}

// A record after record 0 is a unit header when it carries the four signatures and an empty A3.
// The Deleted byte is not part of the test.
bool IsUnitHeader(const TVocData& r);

// A live vocabulary entry of the unit (applied to records after record 0 only).
bool IsEntryOfLesson(const TVocData& r, std::uint8_t unitId);

// Equal in all seven texts (length byte plus characters), in UnitID and in Deleted.
bool RecordsEqual(const TVocData& a, const TVocData& b);

// A unit header for a new lesson: name cut to 60, comment cut to 255.
TVocData MakeUnitHeader(std::uint8_t unitId, const WinString& name, const WinString& comment);

// Record 0 of a new DataFile of the given kind; every text cut to its field. The texts are
// stored as they are: they must already be in `encoding` (see Reencode in cp1252.h).
TVocData MakeDataFileHeader(const WinString& name, const WinString& foreignLanguage,
                            const WinString& nativeLanguage, const WinString& author,
                            const WinString& comment, TextEncoding encoding = TextEncoding::Cp1252);

// The kind of DataFile whose record 0 this is: nothing when it is no DataFile's record 0 (it is
// deleted or carries neither signature in B3).
std::optional<TextEncoding> DataFileEncoding(const TVocData& header);

// The encoding of the texts of a DataFile given its record 0; Windows-1252 unless record 0
// carries the Unicode signature.
inline TextEncoding EncodingOf(const TVocData& header) {
  return header.B3.equals(UnicodeDataFileSig) ? TextEncoding::Utf8 : TextEncoding::Cp1252;
}

// What the texts of record 0 mean (in the DataFile's own encoding).
inline WinString DataFileName(const TVocData& header) {
  return header.B1.get(EncodingOf(header));
}
inline WinString ForeignLanguage(const TVocData& header) {
  return header.A1.get(EncodingOf(header));
}
inline WinString NativeLanguage(const TVocData& header) {
  return header.B2.get(EncodingOf(header));
}
inline WinString Author(const TVocData& header) {
  return header.A2.get(EncodingOf(header));
}
// What the name of a lesson header is (its comment is the record's Comment).
inline WinString LessonName(const TVocData& header) {
  return header.B1.get();
}

// The seven texts of an entry by their fields: the foreign side A1..A3, the native side B1..B3
// and the comment, as the learner types or corrects them.
struct EntryTexts {
  WinString A1, A2, A3;
  WinString B1, B2, B3;
  WinString Comment;
  bool operator==(const EntryTexts&) const = default;
};

// The texts of an entry as they are stored, in the encoding of its DataFile.
EntryTexts TextsOf(const TVocData& entry, TextEncoding encoding = TextEncoding::Cp1252);

// The seven texts of an entry in screen order: A1, A2, A3, B1, B2, B3.
enum class Field { A1, A2, A3, B1, B2, B3 };
PString<60>& WordField(TVocData& r, Field f);
const PString<60>& WordField(const TVocData& r, Field f);

}  // namespace merkhaus
