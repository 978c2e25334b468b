// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>
#include <vector>

namespace merkhaus {

// `merkhaus --print-pdf OUT.pdf FILE.fid UNITID`: writes the pages that "Drucken" would print for
// the lesson as an A4 PDF file, without a window and without a display. Failures are told in
// German on the error stream, with exit status 1; OUT.pdf is then left as it was.

// True when the program was started for this command.
bool IsPrintPdfCommand(int argc, char** argv);

// Runs the command from main, before any window exists: on the offscreen platform unless the
// caller chose one, so that no display is needed.
int RunPrintPdfCommand(int argc, char** argv);

// The command in a running application, given the arguments after "--print-pdf".
int PrintPdfCommand(const std::vector<std::string>& args, std::ostream& err);

}  // namespace merkhaus
