// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <string>
#include <vector>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Unit;

// The tool runs from a folder of its own without the build's portable marker, so that it keeps
// the progress where an installed one does: in $XDG_DATA_HOME/Merkhaus/.
class ProgressVerbs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.path() / "bin");
    setup.program = mhtest::PlaceToolIn(dir.path() / "bin");
    setup.environment = {{"XDG_DATA_HOME", dir.file("data")}, {"HOME", dir.file("home")}};
    mhtest::WriteRecords(
        path,
        {Header("V"), Unit(1, "Lektion 1"), Entry(1, "house", "Haus"), Entry(1, "cat", "Katze"),
         Entry(1, "gone", "weg", "", 1), Unit(255, "zwei\tdrei", "Kommentar"),
         Entry(1, "dog\tDogge", "Hund"), Entry(255, "tree", "Baum"), Unit(254, "leer")});
    bytes = mhtest::ReadBytes(path);
  }
  mhtest::ToolResult run(const std::vector<std::string>& args) {
    return mhtest::RunTool(args, setup);
  }
  // Runs a verb that must succeed and yields its output.
  std::string ok(const std::vector<std::string>& args) {
    const auto r = run(args);
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    return r.out;
  }

  mhtest::TempDir dir;
  std::string path = dir.file("vok.fid");
  std::string db = dir.file("data/Merkhaus/lernstand.sqlite");
  std::string bytes;
  mhtest::ToolSetup setup;
};

TEST_F(ProgressVerbs, ReplayAHistoryDayByDay) {
  EXPECT_EQ(
      "1\thouse\tneu\t-\t-\t-\t-\t0\t0\n"
      "2\tcat\tneu\t-\t-\t-\t-\t0\t0\n"
      "3\tdog Dogge\tneu\t-\t-\t-\t-\t0\t0\n",
      ok({"progress", path, "1"}));
  // States and days as the scheduler's reference gives them for Gut, Schwer, Nochmal on days
  // 0, 3 and 12, and for a first Leicht.
  EXPECT_EQ("2\tcat\tgelernt\t2.306500\t2.118104\t2025-01-01\t2025-01-04\t1\t0\n",
            ok({"review", path, "1", "2", "3", "--date", "2025-01-01"}));
  EXPECT_EQ("2\tcat\tgelernt\t9.234871\t4.752858\t2025-01-04\t2025-01-13\t2\t0\n",
            ok({"review", "--date", "2025-01-04", path, "1", "2", "2"}));
  EXPECT_EQ("2\tcat\tgelernt\t1.336381\t8.260529\t2025-01-13\t2025-01-14\t3\t1\n",
            ok({"review", path, "1", "2", "1", "--date", "2025-01-13"}));
  EXPECT_EQ("1\ttree\tgelernt\t8.295600\t1.000000\t2025-01-13\t2025-01-21\t1\t0\n",
            ok({"review", path, "255", "1", "4", "--date", "2025-01-13"}));

  struct Day {
    const char* date;
    std::string due;
  };
  const Day days[] = {
      {"2025-01-13",
       "1\tLektion 1\t0\t2\n255\tzwei drei\t0\t0\n254\tleer\t0\t0\n"
       "\tinsgesamt\t0\t2\n"},
      {"2025-01-14",
       "1\tLektion 1\t1\t2\n255\tzwei drei\t0\t0\n254\tleer\t0\t0\n"
       "\tinsgesamt\t1\t2\n"},
      {"2025-01-21",
       "1\tLektion 1\t1\t2\n255\tzwei drei\t1\t0\n254\tleer\t0\t0\n"
       "\tinsgesamt\t2\t2\n"},
  };
  for (const Day& d : days) {
    SCOPED_TRACE(d.date);
    EXPECT_EQ(d.due, ok({"due", path, "--date", d.date}));
  }
  EXPECT_EQ(
      "1\thouse\tneu\t-\t-\t-\t-\t0\t0\n"
      "2\tcat\tgelernt\t1.336381\t8.260529\t2025-01-13\t2025-01-14\t3\t1\n"
      "3\tdog Dogge\tneu\t-\t-\t-\t-\t0\t0\n",
      ok({"progress", path, "1", "--date", "2025-01-21"}));

  EXPECT_TRUE(std::filesystem::is_regular_file(db));
  EXPECT_EQ(bytes, mhtest::ReadBytes(path));
}

TEST_F(ProgressVerbs, WithoutADateTheDayIsToday) {
  const auto today = [] {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[16];
    std::strftime(text, sizeof text, "%Y-%m-%d", &local);
    return std::string(text);
  };
  const std::string before = today();
  const auto line = ok({"review", path, "1", "1", "3"});
  const std::string after = today();  // the same, unless midnight passed meanwhile
  EXPECT_TRUE(line.find("\t" + before + "\t") != std::string::npos ||
              line.find("\t" + after + "\t") != std::string::npos)
      << line;
  EXPECT_EQ("1\tLektion 1\t0\t2\n255\tzwei drei\t0\t1\n254\tleer\t0\t0\n\tinsgesamt\t0\t3\n",
            ok({"due", path}));
}

TEST_F(ProgressVerbs, APortableToolKeepsTheProgressBesideItself) {
  mhtest::WriteBytes(dir.path() / "bin" / "Merkhaus.portable", "");
  ok({"review", path, "1", "1", "3"});
  EXPECT_TRUE(std::filesystem::is_regular_file(dir.path() / "bin" / "lernstand.sqlite"));
  EXPECT_FALSE(std::filesystem::exists(db));
}

TEST_F(ProgressVerbs, RefusesWhatItCannotDoAndChangesNothing) {
  ok({"review", path, "1", "1", "3", "--date", "2025-01-01"});
  const std::string missing = dir.file("fehlt.fid");
  struct Case {
    std::vector<std::string> args;
    std::string err;
  };
  const Case cases[] = {
      {{"review", path, "1", "4", "3"},
       "Ungültige Nummer „4“: die Lektion hat 3 Vokabeln, gezählt ab 1 wie bei „entries“.\n"},
      {{"review", path, "1", "0", "3"},
       "Ungültige Nummer „0“: die Lektion hat 3 Vokabeln, gezählt ab 1 wie bei „entries“.\n"},
      {{"review", path, "254", "1", "3"},
       "Ungültige Nummer „1“: die Lektion hat 0 Vokabeln, gezählt ab 1 wie bei „entries“.\n"},
      {{"review", path, "1", "1", "5"},
       "Ungültige Bewertung „5“: erlaubt sind 1 (Nochmal), 2 (Schwer), 3 (Gut) und 4 "
       "(Leicht).\n"},
      {{"review", path, "7", "1", "3"}, "Das DataFile enthält keine Lektion mit der UnitID 7!\n"},
      {{"progress", path, "0"}, "Ungültige UnitID „0“: erlaubt sind die Zahlen 1 bis 255.\n"},
      {{"progress", path, "1", "--date", "2025-02-30"},
       "Ungültiges Datum „2025-02-30“: erwartet wird JJJJ-MM-TT, z. B. 2025-03-31.\n"},
      {{"due", path, "1"}, "Aufruf: merkhaus-tool due FILE [--date YYYY-MM-DD]\n"},
      {{"due", missing}, "Die Datei \"" + missing + "\" ist nicht auffindbar!\n"},
  };
  const std::string before = mhtest::ReadBytes(db);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args[0] + " " + c.args.back());
    const auto r = run(c.args);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ(c.err, r.err);
    EXPECT_EQ("", r.out);
  }
  EXPECT_EQ(bytes, mhtest::ReadBytes(path));
  EXPECT_EQ(before, mhtest::ReadBytes(db));
}

TEST_F(ProgressVerbs, AWrongArgumentMakesNoDatabase) {
  const auto r = run({"review", path, "1", "1", "0"});
  EXPECT_EQ(1, r.status);
  EXPECT_FALSE(std::filesystem::exists(db));
}

TEST_F(ProgressVerbs, ADamagedDatabaseIsNamedAndLeftAlone) {
  std::filesystem::create_directories(dir.path() / "data" / "Merkhaus");
  const std::string garbage(8192, '\x5a');
  mhtest::WriteBytes(db, garbage);
  for (const std::vector<std::string>& args : {std::vector<std::string>{"due", path},
                                               {"progress", path, "1"},
                                               {"review", path, "1", "1", "3"}}) {
    SCOPED_TRACE(args[0]);
    const auto r = run(args);
    EXPECT_EQ(1, r.status);
    EXPECT_EQ("Der Lernstand kann nicht geführt werden.\nDie Datei \"" + db +
                  "\" kann nicht geöffnet werden: sie ist keine Datenbank (sie ist beschädigt "
                  "oder gehört einem anderen Programm).\n",
              r.err);
    EXPECT_EQ("", r.out);
  }
  EXPECT_EQ(garbage, mhtest::ReadBytes(db));
  EXPECT_EQ(bytes, mhtest::ReadBytes(path));
}

}  // namespace
