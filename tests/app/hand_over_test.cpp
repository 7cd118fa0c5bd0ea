#include "app/hand_over.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "app/dde_hand_over.h"
#include "app/single_instance.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "tests/support/string_list_print.h"
#include "tests/support/temp_dir.h"
#include "tests/support/wait.h"

using app::HandOverAction;
using app::HandOverResult;
using classlib::TStringList;
using Kind = app::HandOverAction::Kind;

namespace {

std::string Unique(const std::string& prefix) {
  static int counter = 0;
  return prefix + std::to_string(GetCurrentProcessId()) + "-" + std::to_string(counter++);
}

TEST(HandOverDecision, WhatTheRunningCopyDoes) {
  struct Case {
    TStringList lines;
    Kind kind;
    std::string backupName;
    TStringList paths;
  };
  const Case cases[] = {
      {{}, Kind::Ignore, "", {}},
      {{""}, Kind::Ignore, "", {}},
      {{"/start", "Name With Blanks"}, Kind::RunBackup, "Name With Blanks", {}},
      {{"/start"}, Kind::Ignore, "", {}},
      {{"/start", ""}, Kind::Ignore, "", {}},
      // The running copy refuses a name that breaks the name rule, with its message.
      {{"/start", "Ordner\\Name"}, Kind::RunBackup, "Ordner\\Name", {}},
      {{"/start", "C:\\x"}, Kind::RunBackup, "C:\\x", {}},
      // A name with a line break arrives split; whole again, it breaks the name rule.
      {{"/start", "Job", "C:\\x"}, Kind::RunBackup, "Job\r\nC:\\x", {}},
      {{"/start", "", "Job"}, Kind::RunBackup, "\r\nJob", {}},
      {{"C:\\a b.txt", "", "D:\\Ordner"}, Kind::AddPaths, "", {"C:\\a b.txt", "D:\\Ordner"}},
      // Only an exact "/start" is the switch; anything else is a path like the rest.
      {{"/START", "C:\\x"}, Kind::AddPaths, "", {"/START", "C:\\x"}},
  };
  for (const Case& c : cases) {
    const HandOverAction action = app::DecideHandOver(c.lines);
    const std::string context = c.lines.Count() ? c.lines[0] : "(none)";
    EXPECT_EQ(action.kind, c.kind) << context;
    EXPECT_EQ(action.backupName, c.backupName) << context;
    EXPECT_EQ(action.paths, c.paths) << context;
  }
}

TEST(HandOverQueue, WaitsWhileBusyAndCarriesOutInOrderOfArrivalNeverOneInsideAnother) {
  bool busy = true;
  std::vector<std::string> done;
  app::HandOverQueue* self = nullptr;
  app::HandOverQueue queue([&] { return busy; },
                           [&](const TStringList& lines) {
                             done.push_back(lines[0]);
                             // One that arrives while another is carried out waits for it to end.
                             if (lines[0] == "zwei") {
                               self->Arrive({"vier"});
                               self->Drain();
                               done.push_back("zwei zu Ende");
                             }
                           });
  self = &queue;
  queue.Arrive({"eins"});
  queue.Arrive({"zwei"});
  queue.Drain();
  EXPECT_TRUE(done.empty());
  queue.Arrive({"drei"});
  busy = false;
  queue.Drain();
  EXPECT_EQ(done, (std::vector<std::string>{"eins", "zwei", "zwei zu Ende", "drei", "vier"}));
  EXPECT_TRUE(queue.Empty());
}

TEST(HandOverQueue, AHandOverThatThrowsIsNotTriedAgainAndTheOthersStillCome) {
  std::vector<std::string> done;
  app::HandOverQueue queue([] { return false; },
                           [&](const TStringList& lines) {
                             done.push_back(lines[0]);
                             if (lines[0] == "Fehler") throw std::runtime_error("kaputt");
                           });
  for (const char* name : {"Fehler", "danach"}) queue.Arrive({name});
  EXPECT_THROW(queue.Drain(), std::runtime_error);
  queue.Drain();
  EXPECT_EQ(done, (std::vector<std::string>{"Fehler", "danach"}));
}

TEST(InstanceLock, TheFirstStartHoldsItUntilItEnds) {
  const std::string name = Unique("OrvantaTest");
  auto first = std::make_unique<app::TInstanceLock>(name);
  EXPECT_FALSE(first->SecondInstance());
  EXPECT_TRUE(app::TInstanceLock(name).SecondInstance());
  // A second start lets go of the semaphore at once, so it never keeps it alive.
  EXPECT_TRUE(app::TInstanceLock(name).SecondInstance());
  first.reset();
  EXPECT_FALSE(app::TInstanceLock(name).SecondInstance());
}

// Two processes: the test program or handover_peer as the second start, handover_peer as the
// running copy, each test on a service of its own.
class HandOver : public ::testing::Test {
 protected:
  ~HandOver() override {
    for (HANDLE process : processes_) {
      TerminateProcess(process, 0);
      WaitForSingleObject(process, 5000);
      CloseHandle(process);
    }
  }

  static std::string PeerPath() {
    wchar_t self[MAX_PATH];
    const std::string path = classlib::Narrow(self, GetModuleFileNameW(nullptr, self, MAX_PATH));
    return path.substr(0, path.rfind('\\') + 1) + "handover_peer.exe";
  }

  HANDLE Start(const std::string& arguments) {
    std::wstring command = classlib::Widen("\"" + PeerPath() + "\" " + arguments);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    EXPECT_TRUE(
        CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process))
        << "cannot start " << PeerPath() << " (error " << GetLastError() << ")";
    CloseHandle(process.hThread);
    processes_.push_back(process.hProcess);
    return process.hProcess;
  }

  // A running copy that offers the service after delayMs and whose handler then works workMs.
  HANDLE StartRunningCopy(int delayMs = 0, int workMs = 0) {
    return Start("--first " + service + " \"" + received + "\" " + std::to_string(delayMs) + " " +
                 std::to_string(workMs));
  }

  // The macros the running copy received, once there are count of them; fewer, with the reason as
  // a failure, when the bound passed first.
  std::vector<TStringList> Received(std::size_t count) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(testing_support::kWaitMs);
    std::vector<TStringList> macros;
    do {
      macros.clear();
      const std::string text = testing_support::FileExists(received) ? testing_support::ReadFile(received) : "";
      TStringList lines;
      for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1) {
        const std::string line = text.substr(at, end - at);
        if (line == "--") {
          macros.push_back(lines);
          lines.Clear();
        } else {
          lines.Add(line);
        }
      }
      if (macros.size() >= count) return macros;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } while (std::chrono::steady_clock::now() < deadline);
    ADD_FAILURE() << "the running copy received " << macros.size() << " of " << count << " hand-overs within "
                  << testing_support::WaitText();
    return macros;
  }

  // What "bounded" means here: far beyond what the timings allow, far below a hang; wide, since a
  // loaded machine starts Wine's processes slowly.
  static constexpr double kBound = 20.0;

  static double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  }

  const std::string service = Unique("orvtest");
  testing_support::TempDir dir;
  const std::string received = dir / "received.txt";

 private:
  std::vector<HANDLE> processes_;
};

TEST_F(HandOver, ASecondStartHandsOverItsStartSwitchWhole) {
  StartRunningCopy();
  SetEnvironmentVariableW(L"ORV_HANDOVER_SERVICE", classlib::Widen(service).c_str());
  const HANDLE second = Start("/start Name With Blanks");
  // Its broadcast also reaches this process's windows, so they must keep answering meanwhile.
  ASSERT_TRUE(classlib::WaitRunningSynchronizedCalls(second, testing_support::kWaitMs))
      << "the second start did not end within " << testing_support::WaitText();
  DWORD exitCode = 99;
  GetExitCodeProcess(second, &exitCode);
  EXPECT_EQ(exitCode, 0u) << "not delivered";
  const std::vector<TStringList> macros = Received(1);
  EXPECT_EQ(macros, (std::vector<TStringList>{TStringList{"/start", "Name With Blanks"}}));
}

TEST_F(HandOver, PathsArriveAsLines) {
  testing_support::WriteFile(dir / "Datei Ä.txt", "x");
  CreateDirectoryW(classlib::Widen(dir / "Mein Ordner").c_str(), nullptr);
  const TStringList lines =
      app::HandOverLines("orvapp.exe " + (dir / "Datei Ä.txt") + " \"" + (dir / "Mein Ordner") + "\"");
  ASSERT_EQ(lines, (TStringList{dir / "Datei Ä.txt", dir / "Mein Ordner"}));
  StartRunningCopy();
  EXPECT_EQ(app::HandOverToRunningCopy(lines, service), HandOverResult::Delivered);
  EXPECT_EQ(Received(1), std::vector<TStringList>{lines});
}

TEST_F(HandOver, NobodyAnswersInBoundedTime) {
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(app::HandOverToRunningCopy({"/start", "X"}, service, app::HandOverTiming{3, 200, 1000}),
            HandOverResult::NoAnswer);
  EXPECT_LT(SecondsSince(start), kBound);
}

TEST_F(HandOver, AHungCopyIsGivenUpInBoundedTime) {
  Start("--hung " + service + " \"" + received + "\"");
  ASSERT_EQ(Received(1).size(), 1u) << "the hung copy did not start";
  const app::HandOverTiming timing{2, 200, 1000};
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(app::HandOverToRunningCopy({"/start", "X"}, service, timing), HandOverResult::NoAnswer);
  EXPECT_LT(SecondsSince(start), kBound);
}

TEST_F(HandOver, ACopyStillStartingIsReachedThroughTheRetries) {
  StartRunningCopy(2000);
  EXPECT_EQ(app::HandOverToRunningCopy({"/start", "Spät"}, service), HandOverResult::Delivered);
  EXPECT_EQ(Received(1), (std::vector<TStringList>{TStringList{"/start", "Spät"}}));
}

// The running copy answers before its work (longer than the answer may take, and the bound) begins.
TEST_F(HandOver, TheAnswerDoesNotWaitForTheWork) {
  StartRunningCopy(0, 60000);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(app::HandOverToRunningCopy({"/start", "Lang"}, service, app::HandOverTiming{10, 500, 5000}),
            HandOverResult::Delivered);
  EXPECT_LT(SecondsSince(start), kBound);
  EXPECT_EQ(Received(1).size(), 1u);
}

}  // namespace
