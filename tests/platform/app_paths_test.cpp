#include "platform/app_paths.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  chmod(exe.path().c_str(), 0555);
  if (geteuid() != 0) {  // root may write anywhere
    EXPECT_EQ(expected, ConfigDir(exe.path(), home.path()));
  }
  EXPECT_EQ(expected, ConfigDir(exe.path() / "missing", home.path()));
}

}  // namespace
}  // namespace merkhaus
