// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/stream_messages.h"

namespace merkhaus {

Answer StreamMessages::show(MsgKind, const std::string& text, MsgButtons buttons) {
  ++shown_;
  err_ << text << "\n";
  switch (buttons) {
    case MsgButtons::Ok:
      return Answer::Ok;
    case MsgButtons::Yes:
      return Answer::Yes;
    case MsgButtons::YesNo:
    case MsgButtons::YesNoDefaultNo:
      return questionAnswer_ == Answer::Cancel ? Answer::No : questionAnswer_;
    case MsgButtons::YesNoCancel:
      return questionAnswer_;
  }
  return Answer::Cancel;
}

}  // namespace merkhaus
