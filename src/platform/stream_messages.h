// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <ostream>
#include <string>

#include "platform/messages.h"

namespace merkhaus {

// The message boxes of a run without windows (merkhaus-tool, --print-pdf): every text goes to
// the error stream, and questions get the answer decided beforehand, by flags, for nobody waits
// at a terminal to answer them.
class StreamMessages : public Messages {
 public:
  explicit StreamMessages(std::ostream& err, Answer questionAnswer = Answer::No)
      : err_(err), questionAnswer_(questionAnswer) {}
  Answer show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
  int shownCount() const { return shown_; }

 private:
  std::ostream& err_;
  Answer questionAnswer_;
  int shown_ = 0;
};

}  // namespace merkhaus
