// SPDX-License-Identifier: GPL-3.0-or-later
// merkhaus-tool on Unicode DataFiles: new --unicode, info, convert.

#include <gtest/gtest.h>

#include <filesystem>

#include "run_tool.h"
#include "support/datafile_builder.h"

namespace {

using mhtest::Entry;
using mhtest::Header;
using mhtest::Latin1;
using mhtest::PutText;
using mhtest::RawRecord;
using mhtest::ReadBytes;
using mhtest::Unit;

constexpr std::string_view kUnicodeSig =
    "Merkhaus ]I[ - DataFile == signature of Unicode vocabularies";

std::string Repeat(std::string_view s, int n) {
  std::string out;
  for (int i = 0; i < n; ++i)
    out += s;
  return out;
}

std::string Bytes(const std::vector<RawRecord>& records) {
  std::string out;
  for (const RawRecord& r : records)
    out.append(reinterpret_cast<const char*>(r.data()), r.size());
  return out;
}

// The tool runs from a folder of its own, keeping the learning progress in $XDG_DATA_HOME as an
// installed one does.
class UnicodeVerbs : public ::testing::Test {
 protected:
  void SetUp() override {
    std::filesystem::create_directory(dir.path() / "bin");
    setup.program = mhtest::PlaceToolIn(dir.path() / "bin");
    setup.environment = {{"XDG_DATA_HOME", dir.file("data")}, {"HOME", dir.file("home")}};
  }
  mhtest::ToolResult RunTool(const std::vector<std::string>& args) {
    return mhtest::RunTool(args, setup);
  }
  mhtest::TempDir dir;
  std::string path = dir.file("v.fid");
  mhtest::ToolSetup setup;
};

TEST_F(UnicodeVerbs, NewWritesAUnicodeHeaderThatInfoNames) {
  const auto r = RunTool({"new", path, "--name", "Русский – слова", "--foreign", "Russisch",
                          "--native", "Deutsch", "--author", "Jürgen", "--unicode"});
  ASSERT_EQ(0, r.status) << r.err;
  RawRecord header = Header("Русский – слова", "Russisch", "Deutsch", "Jürgen");
  PutText(header, mhtest::kB3, kUnicodeSig);
  EXPECT_EQ(Bytes({header}), ReadBytes(path));

  const auto info = RunTool({"info", path});
  EXPECT_EQ(0, info.status) << info.err;
  EXPECT_NE(std::string::npos, info.out.find("Name: Русский – слова\n")) << info.out;
  EXPECT_NE(std::string::npos, info.out.find("Zeichensatz: Unicode (alle Sprachen)\n")) << info.out;

  // A Windows-1252 DataFile says so; a name over 59 bytes of UTF-8 is refused in a Unicode one.
  mhtest::WriteRecords(dir.file("w.fid"), {Header("W")});
  EXPECT_NE(std::string::npos, RunTool({"info", dir.file("w.fid")})
                                   .out.find("Zeichensatz: Westeuropäisch (Windows-1252)\n"));
  const auto tooLong = RunTool({"new", dir.file("x.fid"), "--name", Repeat("ж", 30), "--foreign",
                                "R", "--native", "D", "--unicode"});
  EXPECT_EQ(1, tooLong.status);
  EXPECT_EQ("Der Name darf höchstens 59 Bytes (UTF-8) lang sein.\n", tooLong.err);
  EXPECT_FALSE(std::filesystem::exists(dir.file("x.fid")));
}

TEST_F(UnicodeVerbs, ConvertReportsAndCutsFieldsThatGrow) {
  // 30 ä are 60 bytes in UTF-8 and fit; 31 do not; a comment of 130 ü is 260 bytes.
  const std::vector<RawRecord> source = {Header(Latin1("Wörter")), Unit(1, Latin1("Übungen")),
                                         Entry(1, "fits", Latin1(Repeat("ä", 30))),
                                         Entry(1, "grows", Latin1(Repeat("ä", 31))),
                                         Entry(1, "comment", "x", Latin1(Repeat("ü", 130)), 1)};
  mhtest::WriteRecords(path, source);
  const std::string before = ReadBytes(path);
  const std::string out = dir.file("u.fid");

  const std::string line1 =
      "Eintrag 3 (Lektion 1), Feld B1: \"" + Repeat("ä", 31) + "\" hat 62 Bytes, das Feld nur 60.";
  const std::string line2 = "Eintrag 4 (Lektion 1), Feld Kommentar: \"" + Repeat("ü", 130) +
                            "\" hat 260 Bytes, das Feld nur 255.";
  const auto refused = RunTool({"convert", path, out, "--unicode"});
  EXPECT_EQ(1, refused.status);
  EXPECT_EQ(line1 + "\n" + line2 + "\nDie Vokabeldatei \"" + path +
                "\" wurde nicht umgewandelt: 2 Felder passen in Unicode nicht mehr in die "
                "Länge des Feldes.\nMit --cut werden diese Felder an einer Zeichengrenze "
                "gekürzt.\n",
            refused.err);
  EXPECT_FALSE(std::filesystem::exists(out));

  const auto cut = RunTool({"convert", path, out, "--unicode", "--cut"});
  ASSERT_EQ(0, cut.status) << cut.err;
  EXPECT_EQ(line1 + " Gekürzt auf: \"" + Repeat("ä", 30) + "\"\n" + line2 + " Gekürzt auf: \"" +
                Repeat("ü", 127) + "\"\n",
            cut.out);
  RawRecord header = Header("Wörter");
  PutText(header, mhtest::kB3, kUnicodeSig);
  EXPECT_EQ(
      Bytes({header, Unit(1, "Übungen"), Entry(1, "fits", Repeat("ä", 30)),
             Entry(1, "grows", Repeat("ä", 30)), Entry(1, "comment", "x", Repeat("ü", 127), 1)}),
      ReadBytes(out));
  EXPECT_EQ(before, ReadBytes(path)) << "the source is never changed";

  // Never over the source, nor over another file without --force; a Unicode file stays.
  const auto self = RunTool({"convert", path, path, "--unicode", "--cut", "--force"});
  EXPECT_EQ(1, self.status);
  EXPECT_NE(std::string::npos, self.err.find("nicht über die Vokabeldatei")) << self.err;
  const auto exists = RunTool({"convert", path, out, "--unicode", "--cut"});
  EXPECT_EQ(1, exists.status);
  EXPECT_NE(std::string::npos, exists.err.find("Mit --force")) << exists.err;
  const auto again = RunTool({"convert", out, dir.file("z.fid"), "--unicode"});
  EXPECT_EQ(1, again.status);
  EXPECT_NE(std::string::npos, again.err.find("bereits eine Unicode-Vokabeldatei")) << again.err;
  EXPECT_EQ(before, ReadBytes(path));
}

TEST_F(UnicodeVerbs, LearningProgressFollowsTheConvertedCopy) {
  mhtest::WriteRecords(path, {Header("V"), Unit(1, Latin1("Übung")),
                              Entry(1, Latin1("Häuser"), "houses"), Entry(1, "cat", "Katze")});
  const auto reviewed = RunTool({"review", path, "1", "1", "3", "--date", "2025-01-01"});
  ASSERT_EQ(0, reviewed.status) << reviewed.err;
  const std::string out = dir.file("u.fid");
  const auto converted = RunTool({"convert", path, out, "--unicode"});
  ASSERT_EQ(0, converted.status) << converted.err;
  EXPECT_EQ("", converted.err);
  const auto progress = [&](const std::string& file) {
    return RunTool({"progress", file, "1", "--date", "2025-01-02"}).out;
  };
  EXPECT_EQ(
      "1\tHäuser\tgelernt\t2.306500\t2.118104\t2025-01-01\t2025-01-04\t1\t0\n"
      "2\tcat\tneu\t-\t-\t-\t-\t0\t0\n",
      progress(out));
  EXPECT_EQ(progress(path), progress(out));
}

TEST_F(UnicodeVerbs, TextFilesOfEveryKindGoIntoAUnicodeDataFile) {
  const struct Case {
    const char* name;
    const char* file;
    std::string bytes;
    bool skipBadLines;
    int status;
    std::vector<std::pair<std::string, std::string>> entries;  // A1, B1 as stored (UTF-8)
  } cases[] = {
      {"lesson text with a byte-order mark",
       "a.txt",
       "\xEF\xBB\xBF<%>HEAD<%>\r\nName: Урок\r\n<%>BODY<%>\r\nдом; здание == Haus\r\n<%>EOF<%>\r\n",
       false,
       0,
       {{"дом", "Haus"}}},
      {"lesson text without one is Windows-1252 as ever",
       "b.txt",
       "<%>HEAD<%>\r\nName: \xDC"
       "bung\r\n<%>BODY<%>\r\nStra\xDF"
       "e == street\r\n<%>EOF<%>\r\n",
       false,
       0,
       {{"Straße", "street"}}},
      {"CSV with Greek and Cyrillic",
       "c.csv",
       "λόγος,слово,\r\nΣ,С,\r\n",
       false,
       0,
       {{"λόγος", "слово"}, {"Σ", "С"}}},
      {"a control character is still refused", "d.csv", "α,β\x01,\r\nγ,δ,\r\n", false, 1, {}},
      {"... and left out with --skip-bad-lines",
       "e.csv",
       "α,β\x01,\r\nγ,δ,\r\n",
       true,
       0,
       {{"γ", "δ"}}},
  };
  for (const Case& c : cases) {
    const std::string fid = dir.file(std::string(c.file) + ".fid");
    ASSERT_EQ(0,
              RunTool({"new", fid, "--name", "N", "--foreign", "F", "--native", "D", "--unicode"})
                  .status);
    const std::string before = ReadBytes(fid);
    mhtest::WriteBytes(dir.file(c.file), c.bytes);
    std::vector<std::string> args = {"import", fid, dir.file(c.file)};
    if (c.skipBadLines) args.push_back("--skip-bad-lines");
    const auto r = RunTool(args);
    EXPECT_EQ(c.status, r.status) << c.name << "\n" << r.err;
    const auto records = mhtest::ReadRecords(fid);
    if (c.status != 0) {
      EXPECT_EQ(before, ReadBytes(fid)) << c.name;
      continue;
    }
    ASSERT_EQ(2 + c.entries.size(), records.size()) << c.name;
    for (std::size_t i = 0; i < c.entries.size(); ++i) {
      EXPECT_EQ(c.entries[i].first, mhtest::GetText(records[2 + i], mhtest::kA1)) << c.name;
      EXPECT_EQ(c.entries[i].second, mhtest::GetText(records[2 + i], mhtest::kB1)) << c.name;
    }
  }
}

TEST_F(UnicodeVerbs, RussianKdeFileImportsWholeAndExportsAsUtf8) {
  const std::string kde = "/usr/share/apps/kvtml/ru/animals.kvtml";
  if (!std::filesystem::exists(kde)) GTEST_SKIP() << "kdeedu-kvtml-data is not installed";
  // A Windows-1252 DataFile cannot take a single entry of it.
  mhtest::WriteRecords(path, {Header("Tiere")});
  const std::string before = ReadBytes(path);
  EXPECT_EQ(1, RunTool({"import-kvtml", path, kde}).status);
  EXPECT_EQ(before, ReadBytes(path));

  ASSERT_EQ(0, RunTool({"new", path, "--name", "Tiere", "--foreign", "Russisch", "--native",
                        "Englisch", "--unicode", "--force"})
                   .status);
  const auto imported = RunTool({"import-kvtml", path, kde});
  ASSERT_EQ(0, imported.status) << imported.err;
  EXPECT_EQ("Lektionen: 1\n1\tЖивотные\t39 Vokabeln\nVokabeln: 39\nÜbersprungene Zeilen: 0\n",
            imported.out);
  EXPECT_EQ("", imported.err);
  // The lesson header and the first entry as bytes: UTF-8, the length byte counting bytes.
  const auto records = mhtest::ReadRecords(path);
  ASSERT_EQ(41u, records.size());
  EXPECT_EQ(Bytes({Unit(1, "Животные")}), Bytes({records[1]}));
  EXPECT_EQ(14, records[2][mhtest::kA1]);
  EXPECT_EQ("медведь", mhtest::GetText(records[2], mhtest::kA1));

  // Search and export see the same text; the lesson text file starts with a byte-order mark.
  const auto found = RunTool({"search", path, "МЕДВЕДЬ", "--ignore-case"});
  EXPECT_EQ(" = медведь\n", found.out);
  // Letters that fold to text of another length, also where the term begins inside the folding
  // of one (the second s of ß): the search reads the whole file through its byte sets.
  ASSERT_EQ(0, RunTool({"add", path, "1", "ᲀремя", "Straßeзз"}).status);
  for (const char* term : {"ВРЕМЯ", "SEЗЗ", "STRASSEЗЗ"}) {
    EXPECT_EQ("Straßeзз = ᲀремя\n", RunTool({"search", path, term, "--ignore-case"}).out)
        << term;
  }
  EXPECT_EQ("", RunTool({"search", path, "SEЗЗ"}).out);
  const std::string txt = dir.file("t.txt");
  ASSERT_EQ(0, RunTool({"export", path, "1", txt}).status);
  const std::string text = ReadBytes(txt);
  EXPECT_EQ("\xEF\xBB\xBF", text.substr(0, 3));
  EXPECT_NE(std::string::npos, text.find("\nмедведь == ")) << text;
  // ... and goes back into a Unicode DataFile unchanged.
  const std::string again = dir.file("again.fid");
  ASSERT_EQ(0,
            RunTool({"new", again, "--name", "T", "--foreign", "R", "--native", "E", "--unicode"})
                .status);
  const auto reimported = RunTool({"import", again, txt});
  ASSERT_EQ(0, reimported.status) << reimported.err;
  EXPECT_EQ(RunTool({"entries", path, "1"}).out, RunTool({"entries", again, "1"}).out);
}

}  // namespace
