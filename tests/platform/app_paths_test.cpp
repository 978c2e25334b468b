// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/app_paths.h"

#include <gtest/gtest.h>

#include <fstream>
#include <set>
#include <string>

#include "platform/file_io.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

std::set<std::string> Names(const std::filesystem::path& dir) {
  std::set<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir)) {
    names.insert(e.path().filename().string());
  }
  return names;
}

void Touch(const std::filesystem::path& file) {
  std::ofstream(file) << "";
}

// The options stay beside the executable only in a folder that carries the marker and may be
// written; everywhere else (an installed program, even one run by root, who may write to
// /usr/bin) they go to ~/.config/Merkhaus/ and the executable's folder is left untouched.
TEST(AppPaths, ChoosesTheExecutablesFolderOnlyWhenMarkedAndWritable) {
  enum class Exe { Marked, Unmarked, MarkerIsFolder, MarkedReadOnly, Missing, Unknown };
  const struct {
    const char* name;
    Exe exe;
    bool besideExe;
  } cases[] = {
      {"a build folder", Exe::Marked, true},
      {"an installed program's writable bin folder", Exe::Unmarked, false},
      {"a folder of the marker's name", Exe::MarkerIsFolder, false},
      {"a marked folder on a read-only medium", Exe::MarkedReadOnly, false},
      {"a folder that is gone", Exe::Missing, false},
      {"an executable path the system does not tell", Exe::Unknown, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    mhtest::TempDir exe, home;
    if (c.exe == Exe::Marked || c.exe == Exe::MarkedReadOnly)
      Touch(exe.path() / kLocalConfigMarker);
    if (c.exe == Exe::MarkerIsFolder)
      std::filesystem::create_directory(exe.path() / kLocalConfigMarker);
    if (c.exe == Exe::MarkedReadOnly) {
      InjectFileFault({exe.path().string(), FileFault::At::Open, 0, EROFS});
    }
    const auto before = Names(exe.path());
    std::optional<std::filesystem::path> exeDir = exe.path();
    if (c.exe == Exe::Missing) exeDir = exe.path() / "missing";
    if (c.exe == Exe::Unknown) exeDir = std::nullopt;

    const auto dir = ConfigDir(exeDir, home.path() / ".config");
    ClearFileFaults();

    const auto userDir = home.path() / ".config" / "Merkhaus";
    EXPECT_EQ(c.besideExe ? exe.path() : userDir, dir);
    EXPECT_EQ(!c.besideExe, std::filesystem::is_directory(userDir));
    EXPECT_EQ(before, Names(exe.path())) << "the probe leaves nothing behind";
  }
}

// The build marks the folder the programs are built into, so that `make run` keeps its options
// in build/.
TEST(AppPaths, TheBuildFolderIsMarked) {
  mhtest::TempDir home;
  EXPECT_EQ(std::filesystem::path(MERKHAUS_BUILD_DIR),
            ConfigDir(MERKHAUS_BUILD_DIR, home.path() / ".config"));
}

// The probe never writes through a link planted under a name it might use.
TEST(AppPaths, TheProbeWritesThroughNoLink) {
  mhtest::TempDir exe, home;
  Touch(exe.path() / kLocalConfigMarker);
  const auto victim = home.path() / "victim.txt";
  std::filesystem::create_symlink(victim, exe.path() / ".merkhaus-write-probe");
  EXPECT_EQ(exe.path(), ConfigDir(exe.path(), home.path() / ".config"));
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_TRUE(std::filesystem::is_symlink(exe.path() / ".merkhaus-write-probe"));
}

// The base folders follow the XDG rules: a variable holding an absolute path wins, an unset,
// empty or relative one falls back to the folder under $HOME.
TEST(AppPaths, UserFoldersFollowTheXdgRules) {
  const struct {
    const char* name;
    const char* config;
    const char* data;
    const char* wantConfig;
    const char* wantData;
  } cases[] = {
      {"unset", nullptr, nullptr, "/h/.config", "/h/.local/share"},
      {"set", "/x", "/y/z", "/x", "/y/z"},
      {"empty", "", "", "/h/.config", "/h/.local/share"},
      {"relative", "rel", "rel/data", "/h/.config", "/h/.local/share"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto dirs = UserDirsFor("/h", c.config, c.data);
    EXPECT_EQ(std::filesystem::path(c.wantConfig), dirs.config);
    EXPECT_EQ(std::filesystem::path(c.wantData), dirs.data);
  }
}

// Data go where the options go: beside a marked executable, else into the user's data folder.
TEST(AppPaths, DataFolderIsPortableOrTheUsers) {
  mhtest::TempDir exe, home;
  EXPECT_EQ(home.path() / "data" / "Merkhaus", DataDir(exe.path(), home.path() / "data"));
  EXPECT_TRUE(std::filesystem::is_directory(home.path() / "data" / "Merkhaus"));
  Touch(exe.path() / kLocalConfigMarker);
  EXPECT_EQ(exe.path(), DataDir(exe.path(), home.path() / "data"));
}

}  // namespace
}  // namespace merkhaus
