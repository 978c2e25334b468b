// SPDX-License-Identifier: GPL-3.0-or-later
#include "store/vocdata.h"

namespace merkhaus {

bool IsUnitHeader(const TVocData& r) {
  return r.B3.equals(DataFileSig) && r.B2.equals(DedicationSig) && r.A1.equals(UnitSig) &&
         r.A2.equals(UnitNoteSig) && r.A3.Len == 0;
}

bool IsEntryOfLesson(const TVocData& r, std::uint8_t unitId) {
  return r.UnitID == unitId && r.Deleted == 0 && !IsUnitHeader(r);
}

bool RecordsEqual(const TVocData& a, const TVocData& b) {
  // The two bytes first: in a scan for one entry they reject most records of other lessons.
  return a.UnitID == b.UnitID && a.Deleted == b.Deleted && a.A1 == b.A1 && a.B1 == b.B1 &&
         a.A2 == b.A2 && a.A3 == b.A3 && a.B2 == b.B2 && a.B3 == b.B3 && a.Comment == b.Comment;
}

TVocData MakeUnitHeader(std::uint8_t unitId, const WinString& name, const WinString& comment) {
  TVocData r = EmptyRecord();
  r.B1.set(name);
  r.Comment.set(comment);
  r.B3.set(DataFileSig);
  r.B2.set(DedicationSig);
  r.A1.set(UnitSig);
  r.A2.set(UnitNoteSig);
  r.A3.set(std::string_view());
  r.Deleted = 0;
  r.UnitID = unitId;
  return r;
}

TVocData MakeDataFileHeader(const WinString& name, const WinString& foreignLanguage,
                            const WinString& nativeLanguage, const WinString& author,
                            const WinString& comment, TextEncoding encoding) {
  TVocData r = EmptyRecord();
  r.Deleted = 0;
  r.B1.set(name.as(encoding));
  r.B2.set(nativeLanguage.as(encoding));
  r.B3.set(encoding == TextEncoding::Utf8 ? UnicodeDataFileSig : DataFileSig);
  r.A1.set(foreignLanguage.as(encoding));
  r.A2.set(author.as(encoding));
  r.Comment.set(comment.as(encoding));
  return r;
}

std::optional<TextEncoding> DataFileEncoding(const TVocData& header) {
  if (header.Deleted != 0) return std::nullopt;
  if (header.B3.equals(DataFileSig)) return TextEncoding::Cp1252;
  if (header.B3.equals(UnicodeDataFileSig)) return TextEncoding::Utf8;
  return std::nullopt;
}

EntryTexts TextsOf(const TVocData& e, TextEncoding enc) {
  return {e.A1.get(enc), e.A2.get(enc), e.A3.get(enc),     e.B1.get(enc),
          e.B2.get(enc), e.B3.get(enc), e.Comment.get(enc)};
}

PString<60>& WordField(TVocData& r, Field f) {
  switch (f) {
    case Field::A1:
      return r.A1;
    case Field::A2:
      return r.A2;
    case Field::A3:
      return r.A3;
    case Field::B1:
      return r.B1;
    case Field::B2:
      return r.B2;
    case Field::B3:
      break;
  }
  return r.B3;
}

const PString<60>& WordField(const TVocData& r, Field f) {
  return WordField(const_cast<TVocData&>(r), f);
}

}  // namespace merkhaus
