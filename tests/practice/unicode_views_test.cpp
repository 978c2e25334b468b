// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "practice/study_session.h"
#include "store/datafile.h"
#include "support/fake_flows.h"
#include "support/test_context.h"
#include "testing/test_session.h"

namespace merkhaus {
namespace {

constexpr std::string_view kUnicodeSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";

// What practice and test show of a Unicode DataFile is UTF-8 all through: the window turns it
// into letters by that tag, so a text left as Windows-1252 shows as "Ð¼Ð°Ð¼Ð°" instead of
// "мама" although its bytes are right.
class UnicodeViews : public ::testing::Test {
 protected:
  UnicodeViews() {
    mhtest::RawRecord header = mhtest::Header("Русский", "Russisch", "Deutsch");
    mhtest::PutText(header, mhtest::kB3, kUnicodeSig);
    mhtest::WriteRecords(path, {header, mhtest::Unit(1, "Урок 1", "Семья"),
                                mhtest::Entry(1, "мама", "Mutter", "ж. р.")});
    t.lesson.dataFilePath = path;
    t.lesson.unitId = 1;
    t.lesson.dataFileHeader = ReadHeaderRecord(path).value();
    t.options.Kommentar_zeigen = true;
    t.options.Testen_showcomments = true;
    t.options.algorithmus = 1;  // in order: no draws
  }

  mhtest::TestContext t;
  std::string path = t.dir.file("russisch.fid");
  mhtest::FakeFlows flows;
};

TEST_F(UnicodeViews, PracticeAndTestShowUtf8) {
  StudySession study{t.services, flows.bundle()};
  ASSERT_TRUE(study.startStudy());
  TestSession test{t.services, flows.bundle()};
  ASSERT_TRUE(test.startTest());
  const StudyView& s = study.view();
  const TestView& v = test.view();
  struct Shown {
    const char* what;
    const WinString& text;
    const char* utf8;
  };
  const Shown shown[] = {
      {"practice: lesson", s.lessonName, "Урок 1"},
      {"practice: comment of the lesson", s.lessonComment, "Семья"},
      {"practice: question", s.foreignText.empty() ? s.nativeText : s.foreignText,
       s.foreignText.empty() ? "Mutter" : "мама"},
      {"practice: comment", s.comment, "ж. р."},
      {"test: lesson", v.lessonName, "Урок 1"},
      {"test: question", v.foreignText.empty() ? v.nativeText : v.foreignText,
       v.foreignText.empty() ? "Mutter" : "мама"},
      {"test: comment", v.comment, "ж. р."},
  };
  for (const Shown& x : shown) {
    SCOPED_TRACE(x.what);
    EXPECT_EQ(std::string(x.utf8), x.text.bytes());
    EXPECT_TRUE(x.text.isUnicode());
  }
}

}  // namespace
}  // namespace merkhaus
