// Every message box of the program goes through the installed prompt service, so
// tests answer them from a script and never block.
#pragma once

#include <string>
#include <vector>

namespace classlib {

enum class PromptButtons { Ok, OkCancel, YesNo, YesNoCancel, RetryCancel, AbortRetryIgnore };
enum class PromptIcon { None, Information, Warning, Error, Question };
// The values of the platform's dialog results.
enum class PromptResult { Ok = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7 };

struct MessageRequest {
  std::string text;
  std::string caption;
  PromptButtons buttons = PromptButtons::Ok;
  PromptIcon icon = PromptIcon::None;
  bool systemModal = false;
  // The button that Return presses, counted from the left from 1.
  int defaultButton = 1;
};

struct FileOpenRequest {
  std::string title;
  // Pairs of description and pattern separated by "|", as in "Zip Files (*.ZIP)|*.zip".
  std::string filter;
  std::string initialDir;
  std::string defaultExt;
};

struct InputRequest {
  std::string caption;
  std::string prompt;
  // The entry shows a mask character for every character typed (a password).
  bool masked = false;
};

struct FolderRequest {
  std::string prompt;
  std::string initialDir;
  // The user may create a new folder from the dialog.
  bool allowCreate = false;
};

class PromptService {
 public:
  virtual ~PromptService() = default;
  virtual PromptResult Message(const MessageRequest& request) = 0;
  // False when cancelled; else path is the chosen file or folder. Services without dialogs raise.
  virtual bool OpenFile(const FileOpenRequest& request, std::string& path);
  // The same dialog choosing one or more files of a folder; paths are full.
  virtual bool OpenFiles(const FileOpenRequest& request, std::vector<std::string>& paths);
  virtual bool SelectFolder(const FolderRequest& request, std::string& path);
  // An input box: text comes in as the preset and goes out as what was entered; false when
  // cancelled (text then unchanged).
  virtual bool InputText(const InputRequest& request, std::string& text);
};

// The installed service: the platform's boxes unless a test installed its own.
PromptService& Prompts();
// Null returns to the platform's boxes.
void SetPromptsForTesting(PromptService* service);

}  // namespace classlib
