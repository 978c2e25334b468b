// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/messages.h"

namespace merkhaus {

// Message boxes as the learner sees them: the kind's icon, "Merkhaus 3" as title and German
// button captions.
class QtMessages : public Messages {
 public:
  Answer show(MsgKind kind, const std::string& text, MsgButtons buttons) override;
};

}  // namespace merkhaus
