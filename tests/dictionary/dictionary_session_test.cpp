// SPDX-License-Identifier: GPL-3.0-or-later
#include "dictionary/dictionary_session.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <utility>

#include "platform/cp1252.h"
#include "platform/file_io.h"
#include "support/datafile_builder.h"
#include "support/fake_flows.h"
#include "support/fakes.h"
#include "support/test_context.h"
#include "support/win_text.h"

namespace merkhaus {
namespace {

using mhtest::Entry;
using mhtest::Entry6;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::Unit;
using mhtest::W;

std::vector<std::string> Utf8Lines(const std::vector<WinString>& lines) {
  std::vector<std::string> out;
  for (const auto& l : lines)
    out.push_back(ToUtf8(l));
  return out;
}

// A dictionary on a small DataFile: a lesson header named "Haus", entries of two lessons, a
// deleted entry that would match, an entry that matches in B1 and in its comment.
// Runs `onRedraw` whenever the session shows its window mid-action.
struct RecordingWindow : Redraw {
  std::function<void()> onRedraw;
  void redraw() override {
    if (onRedraw) onRedraw();
  }
};

class DictionaryTest : public ::testing::Test {
 protected:
  DictionaryTest() {
    mhtest::WriteRecords(
        path, {Header("Vokabeln", "Englisch", "Deutsch"), Unit(3, "Haus"),
               Entry(3, "house", "Haus"), Entry(3, "houses", Latin1("Häuser")), Unit(1, "Eins"),
               Entry(1, "the house", "das Haus", "Haus am See"), Entry(1, "mouse", "Haus", "", 1),
               Entry6(1, "home", "", "", "Heim", "Zuhause", "")});
    lesson.dataFilePath = path;
  }

  // Types the term and searches, as the window does.
  void Search(const char* utf8, SearchDirection direction = SearchDirection::Both) {
    session.setTerm(W(utf8));
    session.setDirection(direction);
    session.search();
  }
  std::vector<std::string> Lines() const { return Utf8Lines(session.lines()); }
  // The progress the window is shown while the search reads (before the list changes).
  std::vector<std::pair<std::uint64_t, std::uint64_t>> ProgressOfSearch() {
    std::vector<std::pair<std::uint64_t, std::uint64_t>> steps;
    const unsigned before = session.view().listVersion;
    window.onRedraw = [&] {
      if (session.view().listVersion == before) {
        steps.emplace_back(session.view().progress, session.view().progressMax);
      }
    };
    session.search();
    window.onRedraw = nullptr;
    return steps;
  }

  mhtest::TestContext t;
  mhtest::TempDir& dir = t.dir;
  std::string path = dir.file("vok.fid");
  mhtest::ScriptedMessages& msgs = t.messages;
  Options& options = t.options;
  LessonContext& lesson = t.lesson;
  mhtest::FakeFlows flows;
  RecordingWindow window;
  DictionarySession session{t.services, flows.bundle(), window};
};

TEST_F(DictionaryTest, FindsWhatTheOptionsAndTheDirectionSay) {
  using Dir = SearchDirection;
  // Options: i = case ignored, w = whole fields, u = UnitIDs shown, k = blanks kept, F = the
  // switches count but all are on, a digit = that field switch alone.
  struct Case {
    const char* opts;
    const char* term;
    Dir dir;
    std::vector<std::string> lines;
    const char* termAfter;  // the search field afterwards
  };
  const std::vector<Case> cases = {
      // One line per record; lesson headers and deleted entries never.
      {"i", "HAUS", Dir::Both, {"Haus = house", "das Haus = the house", "Heim = home"}, ""},
      {"iu",
       "HAUS",
       Dir::Both,
       {"Haus = house @> 3", "das Haus = the house @> 1", "Heim = home @> 1"},
       ""},
      {"", "Haus", Dir::BToA, {"das Haus = the house"}, ""},  // A1..A3 and the comment
      {"", "house", Dir::BToA, {"Haus = house", "Häuser = houses", "das Haus = the house"}, ""},
      {"", "house", Dir::AToB, {}, "house"},
      {"", "haus", Dir::Both, {"Heim = home"}, ""},  // Zuhause, not Haus
      {"i", "häuser", Dir::Both, {"Häuser = houses"}, ""},
      {"i", "HÄUSER", Dir::Both, {}, "HÄUSER"},  // ä and Ä stay apart
      {"", "aus", Dir::Both, {"Haus = house", "das Haus = the house", "Heim = home"}, ""},
      {"w", "aus", Dir::Both, {}, "aus"},
      {"w", "Haus", Dir::Both, {"Haus = house"}, ""},
      {"", "  Heim  ", Dir::Both, {"Heim = home"}, ""},
      {"k", "  Heim  ", Dir::Both, {}, "  Heim  "},
      {"", "   ", Dir::Both, {}, ""},
      {"w",
       "   ",
       Dir::Both,  // every entry with an empty field
       {"Haus = house", "Häuser = houses", "das Haus = the house", "Heim = home"},
       ""},
      // The switches' captions cross over: 1 ("Synonym A1") governs B1, 4 governs A1.
      {"1", "Haus", Dir::Both, {"Haus = house", "das Haus = the house"}, ""},
      {"4", "Haus", Dir::Both, {}, "Haus"},
      {"5", "Zuhause", Dir::Both, {}, "Zuhause"},
      {"2", "Zuhause", Dir::Both, {"Heim = home"}, ""},
      {"2", "Zuhause", Dir::BToA, {}, "Zuhause"},
      {"7", "Haus", Dir::AToB, {"das Haus = the house"}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.opts) + " " + c.term);
    const std::string o = c.opts;
    options = Options{};
    options.groesse = o.find('i') == std::string::npos;
    options.ganzewoerter = o.find('w') != std::string::npos;
    options.showunitID = o.find('u') != std::string::npos;
    options.wortbuchleerenft = o.find('k') == std::string::npos;
    const std::size_t digit = o.find_first_of("1234567");
    options.Felder = digit != std::string::npos;
    bool* switches[] = {&options.searchB1,     &options.searchB2, &options.searchB3,
                        &options.searchA1,     &options.searchA2, &options.searchA3,
                        &options.searchComment};
    for (int i = 0; i < 7; ++i)
      *switches[i] = options.Felder && o[digit] == '1' + i;
    session.clearDictionary();
    Search(c.term, c.dir);
    EXPECT_EQ(c.lines, Lines());
    EXPECT_EQ(c.termAfter, ToUtf8(session.view().term));
    for (std::size_t k = 0; k < session.hitCount(); ++k)
      EXPECT_TRUE(c.lines[k].starts_with(ToUtf8(HitLine(session.hits()[k], false)))) << k;
  }
  // With "Nicht alle Felder durchsuchen" off, switches left off still search every field.
  options = Options{};
  session.clearDictionary();
  Search("Haus");
  EXPECT_EQ((std::vector<std::string>{"Haus = house", "das Haus = the house"}), Lines());
  EXPECT_TRUE(msgs.shown().empty());
}

TEST_F(DictionaryTest, AnEmptyFieldDoesNothing) {
  lesson.dataFilePath = dir.file("fehlt.fid");  // not even opened
  Search("");
  EXPECT_TRUE(session.lines().empty());
  EXPECT_EQ(0u, session.view().listVersion);
}

TEST_F(DictionaryTest, AppendingSearchesKeepEachLineWithItsEntry) {
  options.ClearList = false;
  Search("house", SearchDirection::BToA);
  Search("Heim");
  ASSERT_EQ((std::vector<std::string>{"Haus = house", "Häuser = houses", "das Haus = the house",
                                      "Heim = home"}),
            Lines());
  ASSERT_EQ(4u, session.hits().size());
  EXPECT_EQ(Latin1("Häuser"), session.hits()[1].B1.get().bytes());
  EXPECT_EQ("Zuhause", session.hits()[3].B2.get().bytes());

  std::vector<std::pair<std::string, bool>> shown;
  flows.onQuickEditEntry = [&](const TVocData& entry, bool editable) {
    shown.emplace_back(ToUtf8(entry.B1.get()), editable);
    return std::optional<TVocData>();
  };
  session.showHit(3);
  session.showHit(-1);  // nothing selected
  session.showHit(4);   // no such line
  EXPECT_EQ((std::vector<std::pair<std::string, bool>>{{"Heim", false}}), shown);

  // "&Clear" starts the list from line 0 again.
  session.clearDictionary();
  EXPECT_TRUE(session.lines().empty());
  EXPECT_TRUE(session.hits().empty());
  Search("Heim");
  EXPECT_EQ((std::vector<std::string>{"Heim = home"}), Lines());
  EXPECT_EQ("Heim", session.hits()[0].B1.get().bytes());
}

TEST_F(DictionaryTest, TheListHolds255LinesAndSaysSoAfterEverySearchWhenFull) {
  // The old words, and what the list really holds.
  const std::string full =
      "Es gab mehr als insgesamt 256 Fundstellen. Wählen sie einen gezielteren Suchbegriff!\nDie "
      "Liste zeigt die ersten 255 Fundstellen.";
  std::vector<mhtest::RawRecord> records = {Header("Viele"), Unit(1, "L")};
  for (int i = 0; i < 300; ++i)
    records.push_back(Entry(1, "w" + std::to_string(i), "Wort " + std::to_string(i)));
  mhtest::WriteRecords(path, records);
  options.ClearList = false;
  msgs.expect(full, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  // The window shows the full list before the warning comes.
  std::size_t linesShown = 0, messagesBefore = 99;
  session.setTerm(W("Wort"));
  window.onRedraw = [&] {
    linesShown = session.hitCount();
    messagesBefore = msgs.shown().size();
  };
  session.search();
  EXPECT_EQ(255u, linesShown);
  EXPECT_EQ(0u, messagesBefore);
  ASSERT_EQ(255u, session.hitCount());
  EXPECT_EQ("Wort 254 = w254", ToUtf8(session.lines().back()));
  EXPECT_EQ("w254", session.hits()[254].A1.get().bytes());
  EXPECT_TRUE(msgs.done());

  // Already full: nothing is added, and the warning comes again.
  msgs.expect(full, Answer::Ok, MsgKind::Warning, MsgButtons::Ok);
  Search("w299");
  EXPECT_EQ(255u, session.hitCount());
  EXPECT_EQ("Wort 254 = w254", ToUtf8(session.lines().back()));
  EXPECT_TRUE(msgs.done());
}

TEST_F(DictionaryTest, AHeaderOnlyDataFileEndsAtOnce) {
  mhtest::WriteRecords(path, {Header("Leer", "Latein")});
  session.setTerm(W("Haus"));
  const auto steps = ProgressOfSearch();
  EXPECT_TRUE(session.lines().empty());
  EXPECT_EQ("Haus", ToUtf8(session.view().term));
  EXPECT_EQ("Latein", lesson.dataFileHeader.A1.get().bytes()) << "record 0 read by the search";
  EXPECT_EQ((std::vector<std::pair<std::uint64_t, std::uint64_t>>{{0, 0}}), steps);
}

TEST_F(DictionaryTest, ProgressIsToldInStepsUpToTheLastRecord) {
  std::vector<mhtest::RawRecord> records = {Header("Gross"), Unit(1, "L")};
  for (int i = 0; i < 5000; ++i)
    records.push_back(Entry(1, "a", "b"));
  mhtest::WriteRecords(path, records);
  session.setTerm(W("zzz"));
  const auto steps = ProgressOfSearch();
  ASSERT_GE(steps.size(), 3u);
  EXPECT_LE(steps.size(), 30u) << "in steps, not per record";
  EXPECT_EQ((std::pair<std::uint64_t, std::uint64_t>{0, 5001}), steps.front());
  EXPECT_EQ((std::pair<std::uint64_t, std::uint64_t>{5001, 5001}), steps.back());
  for (std::size_t i = 1; i < steps.size(); ++i)
    EXPECT_LT(steps[i - 1].first, steps[i].first);
  EXPECT_EQ(5001u, session.view().progress);
  EXPECT_EQ(5001u, session.view().progressMax);
}

TEST_F(DictionaryTest, OpenNamesTheDataFileAndClears) {
  options.ClearList = false;
  Search("Heim");
  ASSERT_TRUE(session.openDictionary());
  EXPECT_EQ("Merkhaus ]|[ - Wörterbuch -- Vokabeln", session.view().caption);
  EXPECT_TRUE(session.lines().empty());
  EXPECT_EQ("Vokabeln", lesson.dataFileHeader.B1.get().bytes());

  lesson.dataFilePath = dir.file("fehlt.fid");
  msgs.expect(std::string(kDictionaryReadError) + mhtest::Missing(lesson.dataFilePath), Answer::Ok,
              MsgKind::Error, MsgButtons::Ok);
  EXPECT_FALSE(session.openDictionary());
  EXPECT_TRUE(msgs.done());
}

TEST_F(DictionaryTest, AFileThatCannotBeReadChangesNothing) {
  Search("Heim");
  ASSERT_EQ(1u, session.hitCount());
  const TVocData kept = session.hits()[0];
  session.setTerm(W(" house "));

  // Deleted after it was chosen.
  std::filesystem::remove(path);
  msgs.expect(std::string(kDictionaryReadError) + mhtest::Missing(path), Answer::Ok, MsgKind::Error,
              MsgButtons::Ok);
  session.search();
  EXPECT_TRUE(msgs.done());
  EXPECT_EQ((std::vector<std::string>{"Heim = home"}), Lines());
  EXPECT_EQ("house", ToUtf8(session.view().term)) << "kept for another try";

  // Unreadable half way: the hits found before the error are not taken either.
  mhtest::WriteRecords(path, {Header("V"), Unit(1, "L"), Entry(1, "house", "Haus")});
  InjectFileFault({path, FileFault::At::Read, 0, EIO});
  msgs.expect(std::string(kDictionaryReadError) + "\nDie Datei \"" + path +
                  "\" kann nicht gelesen werden: Ein-/Ausgabefehler des Datenträgers.",
              Answer::Ok, MsgKind::Error, MsgButtons::Ok);
  session.search();
  ClearFileFaults();
  EXPECT_TRUE(msgs.done());
  EXPECT_EQ((std::vector<std::string>{"Heim = home"}), Lines());
  ASSERT_EQ(1u, session.hits().size());
  EXPECT_TRUE(RecordsEqual(kept, session.hits()[0]));
}

TEST_F(DictionaryTest, AnotherDataFileIsSearchedNext) {
  const std::string other = dir.file("latein.fid");
  mhtest::WriteRecords(other,
                       {Header("Latein", "Latein"), Unit(1, "L"), Entry(1, "domus", "Haus")});
  ASSERT_TRUE(session.openDictionary());
  flows.onChooseDataFile = [&](ChooseMode mode) {
    EXPECT_EQ(ChooseMode::Plain, mode);
    return std::optional<std::string>();
  };
  session.chooseDataFile();
  EXPECT_EQ(path, lesson.dataFilePath) << "abandoned: the DataFile stays";

  flows.onChooseDataFile = [&](ChooseMode) { return std::optional<std::string>(other); };
  session.chooseDataFile();
  EXPECT_EQ(other, lesson.dataFilePath);
  // The caption names the DataFile that is searched now.
  EXPECT_EQ("Merkhaus ]|[ - Wörterbuch -- Latein", session.view().caption);
  Search("Haus", SearchDirection::AToB);
  EXPECT_EQ((std::vector<std::string>{"Haus = domus"}), Lines());
  EXPECT_EQ("Latein", lesson.dataFileHeader.A1.get().bytes()) << "the quick view's headings";
}

TEST(FieldMatches, FindsTheTermAtEveryPlace) {
  struct Case {
    const char* term;
    const char* field;
    bool caseSensitive;
    bool found;
  };
  const Case cases[] = {
      {"aab", "aaab", true, true},
      {"abab", "abababx", true, true},
      {"abc", "ababab", true, false},
      {"See", "am See", true, true},
      {"am", "am See", true, true},
      {"m S", "am See", true, true},
      {"am See", "am See", true, true},
      {"am Seen", "am See", true, false},
      {"xa", "aaaaaa", true, false},
      {"ee", "Seee", true, true},
      {"\xE9", "caf\xE9", false, true},
      {"\xC9", "caf\xE9", false, false},  // é, É
      {"", "", true, false},
      {"", "Haus", true, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.found, FieldMatches(WinString(c.term), c.field, c.caseSensitive, false))
        << c.term << " in " << c.field;
  }
  EXPECT_TRUE(FieldMatches(WinString(), "", true, true)) << "with whole fields, empty is empty";
}

// The number of hits of a search of the whole DataFile, which must run without a message.
std::size_t HitsIn(const std::string& path, const WinString& term, bool caseSensitive,
                   bool wholeFields) {
  mhtest::ScriptedMessages msgs;
  DictionarySearch search(msgs);
  SearchSettings settings;
  settings.caseSensitive = caseSensitive;
  settings.wholeFields = wholeFields;
  if (search.search(path, term, settings) != DictionarySearch::Outcome::Searched) {
    ADD_FAILURE() << "the search did not run";
    return 0;
  }
  return search.hitCount();
}

// A search of a DataFile of many blocks looks past the blocks that cannot hold the term, and
// finds the entry in the one that can: in another case of letters, as a whole field, and never in
// the stale bytes that a field's length leaves behind. The last entry's comment ends in the last
// 176 bytes of the file, behind the part of the last block that a search ignoring case looks at
// 256 bytes at a time.
TEST(DictionarySearch, FindsTheOneEntryAmongManyBlocks) {
  mhtest::TempDir dir;
  const std::string path = dir.file("gross.fid");
  std::vector<mhtest::RawRecord> records = {Header("Vokabeln"), Unit(1, "Eins")};
  for (int i = 0; i < 1000; ++i) {
    records.push_back(Entry(1, "abc", "def"));
    if (i == 600) records.push_back(Entry(1, "zebra", "Xylophon", "bunt"));
    if (i == 900) {
      mhtest::RawRecord stale = Entry(1, "ghostword", "x");
      mhtest::PutLength(stale, 0, 2);
      records.push_back(stale);
    }
  }
  records.push_back(Entry(1, "abc", "def", std::string(194, '-') + "Quokka"));
  ASSERT_EQ(1005u, records.size()) << "the last block of 237 records leaves 176 bytes over";
  mhtest::WriteRecords(path, records);
  struct Case {
    const char* term;
    bool caseSensitive;
    bool wholeFields;
    std::size_t hits;
  } cases[] = {
      {"zebra", true, false, 1},    {"ZEBRA", false, false, 1},  {"Zebra", true, false, 0},
      {"xylophon", false, true, 1}, {"xylophon", true, true, 0}, {"ylo", true, false, 1},
      {"BUNT", false, false, 1},    {"ostwo", true, false, 0},   {"gh", true, true, 1},
      {"QUOKKA", false, false, 1},  {"quokka", true, false, 0},  {"qUOKKA", false, false, 1},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.hits, HitsIn(path, WinString(c.term), c.caseSensitive, c.wholeFields)) << c.term;
  }
}

// In a Unicode DataFile a Cyrillic letter and its other case differ in their first byte (С is
// D0 A1, с is D1 81): a search ignoring case looks for both at once in each block, and must
// still find the word that stands in the last 176 bytes of the file. Letters that fold to
// another length (ᲀ to в, ß to ss) are found in whichever block they stand, also where the term
// begins inside a folding and where the whole field is asked for.
TEST(DictionarySearch, FindsCyrillicInEveryPartOfAUnicodeFile) {
  mhtest::TempDir dir;
  const std::string path = dir.file("russisch.fid");
  std::vector<mhtest::RawRecord> records = {Header("Vokabeln"), Unit(1, "Eins")};
  mhtest::PutText(records[0], mhtest::kB3,
                  "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies");
  for (int i = 0; i < 1002; ++i) {
    records.push_back(Entry(1, "abc", "def"));
    if (i == 600) mhtest::PutText(records.back(), mhtest::kA1, "собака");
    if (i == 800) {
      mhtest::PutText(records.back(), mhtest::kB2, "ᲀремя");
      mhtest::PutText(records.back(), mhtest::kA3, "Straße");
    }
  }
  mhtest::PutText(records.back(), mhtest::kComment, std::string(190, '-') + "СЛОН");
  ASSERT_EQ(1004u, records.size());
  mhtest::WriteRecords(path, records);
  struct Case {
    const char* term;
    bool caseSensitive;
    bool wholeFields;
    std::size_t hits;
  } cases[] = {
      {"СОБАКА", false, false, 1}, {"собака", true, false, 1}, {"Собака", true, false, 0},
      {"слон", false, false, 1},   {"СЛОН", true, false, 1},   {"слон", true, false, 0},
      {"ВРЕМЯ", false, true, 1},   {"рем", false, false, 1},   {"время", true, false, 0},
      {"STRASSE", false, true, 1}, {"SE", false, false, 1},    {"sse", true, false, 0},
      {"STRASS", false, true, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(c.hits,
              HitsIn(path, WinString(c.term, TextEncoding::Utf8), c.caseSensitive, c.wholeFields))
        << c.term;
  }
}

}  // namespace
}  // namespace merkhaus
