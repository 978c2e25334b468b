// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/file_io.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <utime.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

namespace fs = std::filesystem;

class FileIoTest : public ::testing::Test {
 protected:
  void TearDown() override { ClearFileFaults(); }
  std::vector<std::string> files() const {
    std::vector<std::string> names;
    for (const auto& e : fs::directory_iterator(dir.path())) {
      names.push_back(e.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
  }
  mhtest::TempDir dir;
};

// How a file written whole takes its place over a link, a file or nothing, also when something
// appears at its name right before it is published.
TEST_F(FileIoTest, PublishingKeepsToItsRule) {
  const std::string target = dir.file("out.txt");
  const std::string victim = dir.file("victim.txt");
  struct Case {
    const char* what;
    Publish publish;
    bool linkFirst;     // a link to the victim is at the target before
    bool plantLink;     // a link to the victim appears right before publishing
    int code;           // 0: written
    bool targetIsLink;  // afterwards
    std::string victimAfter;
  };
  const Case cases[] = {
      {"nothing there", Publish::NoReplace, false, false, 0, false, "alt"},
      {"a link planted meanwhile", Publish::NoReplace, false, true, EEXIST, true, "alt"},
      {"a link there, forced", Publish::ReplaceLink, true, false, 0, false, "alt"},
      {"a link planted meanwhile, forced", Publish::ReplaceLink, false, true, 0, false, "alt"},
      {"the learner's own link is kept", Publish::Replace, true, false, 0, true, "neu"},
      {"cleanup.tmp as a link", Publish::RefuseLink, true, false, FileError::kSymlink, true, "alt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    fs::remove(target);
    mhtest::WriteBytes(victim, "alt");
    if (c.linkFirst) fs::create_symlink(victim, target);
    if (c.plantLink) {
      FileFault plant{target, FileFault::At::Rename};
      plant.meanwhile = [&] { fs::create_symlink(victim, target); };
      InjectFileFault(plant);
    }
    const FileResult<> written = WriteWholeFile(target, "neu", c.publish);
    ClearFileFaults();
    EXPECT_EQ(c.code, written ? 0 : written.error().code);
    if (!written) {
      EXPECT_EQ(
          "Die Datei \"" + target + "\" kann nicht geschrieben werden: " + FileReason(c.code) + ".",
          written.error().text());
    }
    EXPECT_EQ(c.targetIsLink, fs::is_symlink(target));
    EXPECT_EQ(c.victimAfter, mhtest::ReadBytes(victim));
    if (c.code == 0) {
      EXPECT_EQ("neu", mhtest::ReadBytes(target));
    }
    EXPECT_EQ((std::vector<std::string>{"out.txt", "victim.txt"}), files()) << "no temporary file";
  }
}

// A temporary file adds at most 16 bytes to the folder, not to the file's name: a legal name of
// 255 bytes is written. Temporary files a killed program left (older than this process, not
// locked) go with the next file written in the folder; other files stay.
TEST_F(FileIoTest, ShortTemporaryNamesAndStaleOnesSwept) {
  const std::string longName(255, 'n');
  ASSERT_TRUE(WriteWholeFile(dir.file(longName), "x", Publish::NoReplace));
  EXPECT_EQ("x", mhtest::ReadBytes(dir.file(longName)));

  const std::vector<std::string> stale = {".merkhaus-Ab12Cd", ".v.fid.merkhaus-XYZ123",
                                          ".cleanup.tmp.merkhaus-q1w2e3"};
  const std::vector<std::string> kept = {".merkhaus-neu123", "merkhaus-Ab12Cd", ".merkhaus-ab"};
  for (const std::string& name : stale)
    mhtest::WriteBytes(dir.file(name), "stale");
  for (const std::string& name : kept)
    mhtest::WriteBytes(dir.file(name), "keep");
  const utimbuf old{1000000000, 1000000000};  // 2001
  for (const std::string& name : stale)
    ::utime(dir.file(name).c_str(), &old);
  for (const std::string& name : {kept[1], kept[2]})
    ::utime(dir.file(name).c_str(), &old);

  ASSERT_TRUE(WriteWholeFile(dir.file("v.fid"), "y"));
  std::vector<std::string> expected = {longName, "v.fid"};
  expected.insert(expected.end(), kept.begin(), kept.end());
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, files()) << "the new one is younger than this process";
}

}  // namespace
}  // namespace merkhaus
