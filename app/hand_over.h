// What a start hands to the running copy, and what the running copy makes of it. A start's lines
// are "/start" and a definition's name, or the paths of its command line; the first start carries
// out its own lines the same way, as if it had received them. Received lines wait until the
// program is free for them, so a hand-over never runs inside other work.
#pragma once

#include <deque>
#include <functional>
#include <string>
#include <utility>

#include "app/command_line.h"
#include "classlib/stringlist.h"

namespace app {

// "/start" and the name when the command line's first argument is that switch, whatever the name
// (the running copy refuses one that breaks the name rule, with its message); else the paths it
// names. None for a "/start" without a name, which is no run.
classlib::TStringList HandOverLines(const std::string& commandLine = ProgramCommandLine());

struct HandOverAction {
  enum class Kind {
    Ignore,     // nothing to do
    RunBackup,  // carry out the definition backupName, or refuse it (RunRefusal)
    AddPaths,   // append paths to the single-backup list
  };
  Kind kind = Kind::Ignore;
  std::string backupName;
  classlib::TStringList paths;
};

// The running copy's answer to received lines.
HandOverAction DecideHandOver(const classlib::TStringList& lines);

// The hand-overs that arrived, in order, until the program is free for them.
class HandOverQueue {
 public:
  using TBusy = std::function<bool()>;
  using TCarryOut = std::function<void(const classlib::TStringList& lines)>;

  // busy: work is on its way or a window is open that a hand-over must not run inside.
  HandOverQueue(TBusy busy, TCarryOut carryOut) : busy_(std::move(busy)), carryOut_(std::move(carryOut)) {}

  // Keeps the lines until Drain; nothing is carried out here.
  void Arrive(const classlib::TStringList& lines) { waiting_.push_back(lines); }
  // Carries out the waiting hand-overs, oldest first, while the program is not busy; what arrives
  // meanwhile takes its turn after them. Inside a carry-out it does nothing, and one that throws
  // is not tried again.
  void Drain();
  bool Empty() const { return waiting_.empty(); }

 private:
  TBusy busy_;
  TCarryOut carryOut_;
  std::deque<classlib::TStringList> waiting_;
  bool draining_ = false;
};

// Box text (caption "Orvanta") for a second start nobody answered.
extern const char kNoAnswerText[];

// Why a handed-over name cannot run, as the reason of RunFailureText: the name rule's sentence,
// or kNoSuchDefinitionReason when no definition has the name (any more); empty when it can run.
extern const char kNoSuchDefinitionReason[];
std::string RunRefusal(const std::string& name);

}  // namespace app
