#pragma once

#include <string>
#include <vector>

#include "platform/messages.h"

namespace mhtest {

// Messages for imports whose texts a test cannot know beforehand (random bytes): every box is
// answered alike and kept for a look afterwards.
class AnswerEverything : public merkhaus::Messages {
 public:
  explicit AnswerEverything(merkhaus::Answer answer) : answer_(answer) {}
  merkhaus::Answer show(merkhaus::MsgKind, const std::string& text,
                        merkhaus::MsgButtons buttons) override {
    texts.push_back(text);
    if (buttons == merkhaus::MsgButtons::Ok) return merkhaus::Answer::Ok;
    return answer_;
  }
  std::vector<std::string> texts;

 private:
  merkhaus::Answer answer_;
};

}  // namespace mhtest
