// A prompt service that answers from a script and records what it was asked. Installed for the
// life of the object.
#pragma once

#include <deque>
#include <stdexcept>
#include <string>
#include <vector>

#include "classlib/prompt.h"

namespace testing_support {

class ScriptedPrompts : public classlib::PromptService {
 public:
  ScriptedPrompts() { classlib::SetPromptsForTesting(this); }
  ~ScriptedPrompts() override { classlib::SetPromptsForTesting(nullptr); }

  void AnswerNext(classlib::PromptResult answer) { answers_.push_back(answer); }

  std::vector<classlib::MessageRequest> messages;

  classlib::PromptResult Message(const classlib::MessageRequest& request) override {
    messages.push_back(request);
    if (answers_.empty()) throw std::logic_error("unscripted message box: " + request.text);
    const classlib::PromptResult answer = answers_.front();
    answers_.pop_front();
    return answer;
  }

 private:
  std::deque<classlib::PromptResult> answers_;
};

}  // namespace testing_support
