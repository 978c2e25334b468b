#include "platform/app_paths.h"

#include <gtest/gtest.h>

#include "platform/file_io.h"
#include "support/datafile_builder.h"

namespace merkhaus {
namespace {

TEST(AppPaths, UsesTheExecutablesDirectoryWhenWritable) {
  mhtest::TempDir exe, home;
  EXPECT_EQ(exe.path(), ConfigDir(exe.path(), home.path()));
  EXPECT_FALSE(std::filesystem::exists(home.path() / ".config"));
}

TEST(AppPaths, FallsBackToTheUsersConfigDirectory) {
  mhtest::TempDir home;
  const auto expected = home.path() / ".config" / "Merkhaus";
  EXPECT_EQ(expected, ConfigDir(std::nullopt, home.path()));
  EXPECT_TRUE(std::filesystem::is_directory(expected));

  mhtest::TempDir exe;
  InjectFileFault({exe.path().string(), FileFault::At::Open, 0, EROFS});
  EXPECT_EQ(expected, ConfigDir(exe.path(), home.path())) << "a read-only folder";
  ClearFileFaults();
  EXPECT_EQ(expected, ConfigDir(exe.path() / "missing", home.path()));
}

// The probe never writes through a link planted under a name it might use.
TEST(AppPaths, TheProbeWritesThroughNoLink) {
  mhtest::TempDir exe, home;
  const auto victim = home.path() / "victim.txt";
  std::filesystem::create_symlink(victim, exe.path() / ".merkhaus-write-probe");
  EXPECT_EQ(exe.path(), ConfigDir(exe.path(), home.path()));
  EXPECT_FALSE(std::filesystem::exists(victim));
  EXPECT_TRUE(std::filesystem::is_symlink(exe.path() / ".merkhaus-write-probe"));
}

}  // namespace
}  // namespace merkhaus
