// How long a test waits for another process or a window before it fails with the reason: far
// beyond what a loaded machine needs, far below ctest's limit for a whole test program.
#pragma once

#include <cstdint>
#include <string>

namespace testing_support {

// A DWORD; the header leaves <windows.h> out, since winsock2.h must come before it.
constexpr unsigned long kWaitMs = 60000;
// The bound as a failure names it: "60 s".
std::string WaitText();

// While it lives, a dialog of this thread that is still open kWaitMs after its start is cancelled,
// and Problem() says so: a test whose answer never reached a modal dialog ends with that reason
// instead of hanging in the dialog's loop.
class DialogDeadline {
 public:
  // Dialog names it in the problem, as "the shell's dialog".
  explicit DialogDeadline(std::string dialog);
  ~DialogDeadline();
  DialogDeadline(const DialogDeadline&) = delete;
  DialogDeadline& operator=(const DialogDeadline&) = delete;

  // Empty, or what the deadline ended.
  const std::string& Problem() const { return problem_; }

 private:
  std::string dialog_;
  std::string problem_;
  std::uintptr_t timer_;
};

}  // namespace testing_support
