// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Vocabulary as KVTML 2.0, the XML format of KDE's vocabulary trainers:
//
//   <kvtml version="2.0">
//     <information><generator/><title/><author/><comment/></information>
//     <identifiers>
//       <identifier id="0"><name>Englisch</name></identifier>      (the foreign language)
//       <identifier id="1"><name>Deutsch</name></identifier>       (the native language)
//     </identifiers>
//     <entries>
//       <entry id="0">
//         <translation id="0"><text>to go; to walk</text><comment>irregular</comment></translation>
//         <translation id="1"><text>gehen</text></translation>
//       </entry>
//     </entries>
//     <lessons>
//       <container><name>Verben</name><inpractice>true</inpractice><entry id="0"/></container>
//     </lessons>
//   </kvtml>
//
// A translation's text holds its side's synonyms joined by "; "; the entry's comment stands on
// translation 0. Lesson comments have no place in the format and are not written.

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "maintenance/export_file.h"
#include "maintenance/import_pipeline.h"
#include "platform/messages.h"
#include "store/vocdata.h"

namespace merkhaus {

// ---------------------------------------------------------------------------------------------
// Export

// A lesson as the export writes it: its header record and its entries in file order.
struct KvtmlLesson {
  TVocData header{};
  std::vector<TVocData> entries;
};

// The document (UTF-8): title, author and comment from the DataFile header (record 0), the
// foreign language as identifier 0 and the native one as identifier 1, one container per lesson.
std::string KvtmlText(const TVocData& dataFileHeader, std::span<const KvtmlLesson> lessons);

// Writes the document into `outPath` whole (after the overwrite question when the file exists).
bool ExportKvtml(const std::string& outPath, const TVocData& dataFileHeader,
                 std::span<const KvtmlLesson> lessons, Messages& messages,
                 const ExportSettings& settings = {});

// Every live lesson of the DataFile, in file order, with all of its live entries, read in one
// pass. False when the DataFile cannot be read ("RW - Fehler in Unit6!" with the reason) or the
// file cannot be written.
bool ExportDataFileKvtml(const std::string& dataFilePath, const std::string& outPath,
                         Messages& messages, const ExportSettings& settings = {});

// ---------------------------------------------------------------------------------------------
// Import

// Adds one new lesson per top-level lesson container that holds entries (entries of nested
// containers belong to their top-level lesson; entries in no container go to a lesson named
// after the document's title), translation 0 on the foreign side unless options.swap. Names that
// are taken get " (2)", " (3)" ... The number of new lessons is checked against the 255 that a
// DataFile holds before anything is written, and the whole import is written under one lock, or
// nothing. Problem entries are handled as the problem lines of every import, by the line of
// their <entry> element.
// `target` is the encoding of the DataFile the entries go into.
ParsedImport ReadKvtmlImport(const std::string& kvtmlPath, bool swap,
                             TextEncoding target = TextEncoding::Cp1252);

// For tests: the file of libxml2 that ReadKvtmlImport loads from now on (nullptr: the usual
// one); whether it can be loaded. Where it cannot, expat reads every document.
bool UseLibxmlForTesting(const char* library);

// Imports the document (ReadKvtmlImport, with options.swap) through the pipeline of every
// import (RunImport).
ImportResult ImportKvtml(const std::string& dataFilePath, const std::string& kvtmlPath,
                         Messages& messages, const ImportOptions& options = {});

}  // namespace merkhaus
