// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "platform/version.h"
#include "run_tool.h"

namespace {

TEST(Tool, HelpNamesEveryVerbAndUnknownVerbsFail) {
  const auto help = mhtest::RunTool({"--help"});
  EXPECT_EQ(0, help.status);
  EXPECT_NE(std::string::npos, help.out.find("merkhaus-tool --version"));
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

// Scripts and packagers ask both programs for their version, also on a machine without a display:
// the first line is the program, the product and the version, the licence follows.
TEST(Tool, BothProgramsTellTheirVersionWithoutADisplay) {
  const struct {
    const char* program;
    std::string firstLine;
  } cases[] = {
      {MERKHAUS_TOOL, std::string("merkhaus-tool (Merkhaus 3) ") + merkhaus::kVersion + "\n"},
      {MERKHAUS_BIN, std::string("merkhaus (Merkhaus 3) ") + merkhaus::kVersion + "\n"},
  };
  for (const auto& c : cases) {
    const auto r = mhtest::RunningTool({"--version"}, {c.program, {}}).wait();
    EXPECT_EQ(0, r.status) << c.program << ": " << r.err;
    EXPECT_EQ("", r.err) << c.program;
    EXPECT_EQ(c.firstLine, r.out.substr(0, r.out.find('\n') + 1)) << c.program;
    EXPECT_NE(std::string::npos, r.out.find("Lizenz GPLv3+")) << c.program;
  }
}

// "--help" (and "-h") answers on the terminal like "--version", also without a display, instead
// of starting the windows on a DataFile of that name.
TEST(Tool, TheProgramTellsHowToCallItWithoutADisplay) {
  for (const char* option : {"--help", "-h"}) {
    SCOPED_TRACE(option);
    const auto r = mhtest::RunningTool({option}, {MERKHAUS_BIN, {}}).wait();
    EXPECT_EQ(0, r.status) << r.err;
    EXPECT_EQ("", r.err);
    EXPECT_EQ(0u, r.out.find("Aufruf: merkhaus [DATEI.fid]\n"));
    for (const char* line :
         {"merkhaus --print-pdf AUSGABE.pdf DATEI.fid UNITID\n",
          "merkhaus --help      zeigt diese Hilfe\n", "merkhaus --version   zeigt die Version\n"}) {
      EXPECT_NE(std::string::npos, r.out.find(line)) << line;
    }
  }
}

}  // namespace
