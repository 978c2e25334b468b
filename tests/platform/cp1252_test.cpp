// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/cp1252.h"

#include <gtest/gtest.h>

namespace merkhaus {
namespace {

TEST(Cp1252, EveryByteSurvivesTheRoundTripThroughUtf8) {
  for (int b = 0; b < 256; ++b) {
    const WinString one(std::string(1, static_cast<char>(b)));
    const auto back = FromUtf8(ToUtf8(one));
    ASSERT_TRUE(back.has_value()) << "byte " << b;
    EXPECT_EQ(one, *back) << "byte " << b;
  }
}

TEST(Cp1252, HighBytesMapToTheirCharacters) {
  struct Case {
    unsigned char byte;
    char16_t unicode;
  };
  const Case cases[] = {
      {0x80, u'€'},
      {0x82, u'‚'},
      {0x84, u'„'},
      {0x85, u'…'},
      {0x8A, u'Š'},
      {0x8C, u'Œ'},
      {0x8E, u'Ž'},
      {0x91, u'‘'},
      {0x92, u'’'},
      {0x93, u'“'},
      {0x94, u'”'},
      {0x96, u'–'},
      {0x97, u'—'},
      {0x99, u'™'},
      {0x9A, u'š'},
      {0x9C, u'œ'},
      {0x9E, u'ž'},
      {0x9F, u'Ÿ'},
      // The five unassigned bytes keep their own numbers.
      {0x81, 0x0081},
      {0x8D, 0x008D},
      {0x8F, 0x008F},
      {0x90, 0x0090},
      {0x9D, 0x009D},
      {0xE4, u'ä'},
      {0xDF, u'ß'},
      {0xE7, u'ç'},
      {0xC6, u'Æ'},
      {0x41, u'A'},
      {0x00, 0},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.unicode, Cp1252ToUnicode(c.byte)) << "byte " << int(c.byte);
    ASSERT_TRUE(UnicodeToCp1252(c.unicode).has_value());
    EXPECT_EQ(c.byte, *UnicodeToCp1252(c.unicode));
  }
}

TEST(Cp1252, TextRefusedWhenTheCodePageCannotHoldIt) {
  EXPECT_FALSE(FromUtf8("Ελληνικά").has_value());
  EXPECT_FALSE(FromUtf8("\xC3").has_value()) << "truncated sequence";
  EXPECT_FALSE(FromUtf8("\xC0\x80").has_value()) << "overlong encoding";
  EXPECT_FALSE(FromUtf8("\xED\xA0\x80").has_value()) << "surrogate";
  EXPECT_FALSE(UnicodeToCp1252(U'€' + 1).has_value());
  EXPECT_FALSE(UnicodeToCp1252(0x0100).has_value());
  EXPECT_EQ(WinString("Gr\xF6\xDF"
                      "e \x80"),
            FromUtf8("Größe €").value());
  EXPECT_EQ("Größe €", ToUtf8(WinString("Gr\xF6\xDF"
                                        "e \x80")));
  EXPECT_TRUE(IsValidUtf8("Größe"));
  EXPECT_FALSE(
      IsValidUtf8("Gr\xF6\xDF"
                  "e"));
}

}  // namespace
}  // namespace merkhaus
