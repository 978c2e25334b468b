// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "run_tool.h"

namespace {

TEST(Tool, HelpNamesEveryVerbAndUnknownVerbsFail) {
  const auto help = mhtest::RunTool({"--help"});
  EXPECT_EQ(0, help.status);
  for (const char* verb :
       {"info", "lessons", "entries", "new", "add-lesson", "delete-lesson", "export", "import",
        "add", "search", "stats", "deleted", "restore-lesson", "cleanup", "export-kvtml",
        "import-kvtml", "review", "progress", "due"}) {
    EXPECT_NE(std::string::npos, help.out.find(std::string("  ") + verb + " ")) << verb;
  }
  const auto bad = mhtest::RunTool({"zaubern"});
  EXPECT_EQ(1, bad.status);
  EXPECT_NE(std::string::npos, bad.err.find("Unbekannter Befehl: zaubern"));
}

}  // namespace
