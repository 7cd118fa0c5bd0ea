// The hand-over between two copies of the program by DDE. The running copy's server accepts the
// lines of one execute macro on its topic, copies them, answers at once and passes them to its
// handler only afterwards, from the GUI thread's message loop, so no work runs inside DDE. A second
// start sends its lines with a synchronous transaction and waits a bounded time.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classlib/stringlist.h"

namespace app {

// The running copy's service is its program file's name.
constexpr char kDdeService[] = "orvapp";
// That name for the program file as it runs (kDdeService for "orvapp.exe"), so a second start of
// the same file finds the copy that runs.
std::string ProgramServiceName();
constexpr char kDdeTopic[] = "DdeOrvServer";
// The topic a second start gives its own server, so that it never offers the hand-over itself.
constexpr char kSecondStartTopic[] = "DdeSecondOrvServer";

struct THandOverServerState;

// One per process, made and used on the GUI thread.
class THandOverServer {
 public:
  using TExecuteMacroEvent = std::function<void(const classlib::TStringList& Msg)>;

  explicit THandOverServer(const std::string& service = kDdeService);
  ~THandOverServer();
  THandOverServer(const THandOverServer&) = delete;
  THandOverServer& operator=(const THandOverServer&) = delete;

  // The topic the server accepts conversations on; kDdeTopic at first.
  const std::string& Topic() const;
  void SetTopic(const std::string& topic);
  // The service is registered; false when DDE could not be set up, and nothing will arrive.
  bool Listening() const;

  // Runs on the GUI thread once the macro's transaction has been answered; fires only when set.
  TExecuteMacroEvent OnExecuteMacro;

 private:
  std::shared_ptr<THandOverServerState> state_;
};

struct HandOverTiming {
  // Connections tried, with a pause between them, while the running copy may still be starting.
  int connectAttempts = 10;
  unsigned retryPauseMs = 500;
  // How long the running copy has to answer the macro.
  unsigned answerTimeoutMs = 5000;
};

enum class HandOverResult { Delivered, NoAnswer };

// Sends lines (separated by CR LF) as one macro to the running copy's topic kDdeTopic. Returns
// within the retries, the answer timeout and a few seconds more, whatever the other side does.
HandOverResult HandOverToRunningCopy(const classlib::TStringList& lines, const std::string& service = kDdeService,
                                     const HandOverTiming& timing = {});

}  // namespace app
