// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace merkhaus::tool {

// One verb of merkhaus-tool: its arguments (after the verb) and the streams to write to.
// Returns the exit status.
using Verb = int (*)(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

struct VerbInfo {
  const char* name;
  Verb run;
  const char* usage;  // one line: the arguments
  const char* help;   // what the verb does
};

// Reading verbs: info, lessons, entries.
int Info(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Lessons(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Entries(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Lesson verbs: new, add-lesson, delete-lesson.
int New(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int AddLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int DeleteLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Transfer verbs: export, import (lesson text or CSV), export-kvtml, import-kvtml.
int Export(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Import(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ExportKvtml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int ImportKvtml(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Entry verb: add.
int Add(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
// Dictionary verb: search.
int Search(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Maintenance verbs: stats, deleted, restore-lesson, cleanup.
int Stats(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Deleted(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int RestoreLesson(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Cleanup(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Conversion verb: convert (a Unicode copy of a DataFile).
int Convert(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// Learning progress verbs: review, progress, due.
int Review(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Progress(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);
int Due(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace merkhaus::tool
