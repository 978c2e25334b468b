// SPDX-License-Identifier: GPL-3.0-or-later
// ICU is loaded when the direction of a Unicode text is first needed. When it cannot be loaded,
// the action that needed it ends with a German message naming the library and the reason;
// folding, which needs no library, and Windows-1252 text are handled as always.

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "platform/action.h"
#include "text/case_fold.h"
#include "text/icu_library.h"
#include "text/text_rules.h"

namespace merkhaus {
namespace {

struct LibraryGuard {
  explicit LibraryGuard(const char* library) { UseIcuLibraryForTesting(library); }
  ~LibraryGuard() { UseIcuLibraryForTesting(nullptr); }
};

bool StartsWith(const std::string& s, const std::string& prefix) {
  return s.compare(0, prefix.size(), prefix) == 0;
}

TEST(IcuLibrary, WithoutItAUnicodeTextIsRefusedWithTheLibraryAndTheReason) {
  // Work that needs ICU: the direction of a Hebrew word.
  const struct Work {
    const char* name;
    std::function<void()> run;
  } needsIcu[] = {
      {"the direction of a Hebrew word",
       [] {
         (void)ReadsRightToLeft(WinString("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", TextEncoding::Utf8));
       }},
  };
  const struct Library {
    const char* file;
    std::string reason;  // how the reason begins
  } libraries[] = {
      {"libicuuc-fehlt.so.0", "sie ist nicht installiert oder beschädigt ("},
      {"libc.so.6", "ihr fehlt die Funktion u_charDirection"},
  };
  for (const Library& library : libraries) {
    const LibraryGuard guard(library.file);
    for (const Work& work : needsIcu) {
      SCOPED_TRACE(std::string(library.file) + ": " + work.name);
      const std::optional<std::string> failure = Attempt(work.run);
      ASSERT_TRUE(failure.has_value());
      EXPECT_TRUE(StartsWith(*failure, std::string("Die Unicode-Bibliothek \"") + library.file +
                                           "\" kann nicht geladen werden: " + library.reason))
          << *failure;
      EXPECT_NE(std::string::npos,
                failure->find(".\nOhne sie lässt sich die Schreibrichtung der Texte eines "
                              "Unicode-DataFiles nicht bestimmen. Installieren Sie das Paket "
                              "libicu"))
          << *failure;
    }
    // Folding needs no library, not even for a character beyond the Basic Multilingual Plane.
    EXPECT_EQ("\xF0\x90\x90\xA8", FoldUtf8("\xF0\x90\x90\x80"));
    EXPECT_EQ("strasse", FoldUtf8("STRA\xC3\x9F"
                                  "E"));
    // Windows-1252 text and plain ASCII never ask for it.
    EXPECT_EQ(
        "STRA\xDF"
        "E",
        FoldCase(WinString("Stra\xDF"
                           "e"),
                 false)
            .bytes());
    EXPECT_FALSE(ReadsRightToLeft(WinString("\xE4rger")));
    EXPECT_FALSE(ReadsRightToLeft(WinString("Haus 12", TextEncoding::Utf8)));
  }
  // Once it can be loaded again, the same work gives its results.
  EXPECT_TRUE(ReadsRightToLeft(WinString("\xD7\xA9\xD7\x9C\xD7\x95\xD7\x9D", TextEncoding::Utf8)));
}

}  // namespace
}  // namespace merkhaus
