// A prompt service that answers from a script and records what it was asked. Installed for the
// life of the object.
#pragma once

#include <deque>
#include <functional>
#include <optional>
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
  // A path chooses it; std::nullopt cancels the dialog.
  void ChooseNextFile(std::optional<std::string> path) { files_.push_back(std::move(path)); }
  void ChooseNextFolder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
  // The files of the next multi-select dialog; std::nullopt cancels it.
  void ChooseNextFiles(std::optional<std::vector<std::string>> paths) { fileLists_.push_back(std::move(paths)); }
  // A text is entered with OK; std::nullopt cancels the input box.
  void EnterNextText(std::optional<std::string> text) { texts_.push_back(std::move(text)); }

  std::vector<classlib::MessageRequest> messages;
  std::vector<classlib::FileOpenRequest> fileRequests;
  std::vector<classlib::FolderRequest> folderRequests;
  std::vector<classlib::InputRequest> inputRequests;
  // Acts when a message box shows, before it is answered: a user who puts in a disc before
  // "Wiederholen", say.
  std::function<void(const std::string& text)> onMessage;

  classlib::PromptResult Message(const classlib::MessageRequest& request) override {
    if (onMessage) onMessage(request.text);
    messages.push_back(request);
    return Next(answers_, "unscripted message box: " + request.text);
  }

  bool OpenFile(const classlib::FileOpenRequest& request, std::string& path) override {
    fileRequests.push_back(request);
    return Chosen(Next(files_, "unscripted file dialog: " + request.title), path);
  }

  bool OpenFiles(const classlib::FileOpenRequest& request, std::vector<std::string>& paths) override {
    fileRequests.push_back(request);
    const std::optional<std::vector<std::string>> answer =
        Next(fileLists_, "unscripted file dialog: " + request.title);
    if (answer) paths = *answer;
    return answer.has_value();
  }

  bool SelectFolder(const classlib::FolderRequest& request, std::string& path) override {
    folderRequests.push_back(request);
    return Chosen(Next(folders_, "unscripted folder dialog: " + request.prompt), path);
  }

  bool InputText(const classlib::InputRequest& request, std::string& text) override {
    inputRequests.push_back(request);
    return Chosen(Next(texts_, "unscripted input box: " + request.prompt), text);
  }

 private:
  template <typename T>
  static T Next(std::deque<T>& script, const std::string& unscripted) {
    if (script.empty()) throw std::logic_error(unscripted);
    T answer = std::move(script.front());
    script.pop_front();
    return answer;
  }

  static bool Chosen(const std::optional<std::string>& answer, std::string& path) {
    if (answer) path = *answer;
    return answer.has_value();
  }

  std::deque<classlib::PromptResult> answers_;
  std::deque<std::optional<std::string>> files_;
  std::deque<std::optional<std::string>> folders_;
  std::deque<std::optional<std::vector<std::string>>> fileLists_;
  std::deque<std::optional<std::string>> texts_;
};

}  // namespace testing_support
