#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "app/cd_simulator.h"
#include "app/cd_writer.h"
#include "classlib/forms.h"
#include "classlib/wide.h"
#include "tests/support/temp_dir.h"

using namespace app;
using testing_support::FileExists;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr std::intptr_t kWriting = 1;
constexpr std::intptr_t kErasing = 2;

// Dispatches up to count queued messages; returns how many there were.
int PumpMessages(int count) {
  MSG msg;
  int dispatched = 0;
  while (dispatched < count && PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
    ++dispatched;
  }
  return dispatched;
}

// The callers' wait: pump while the busy mark stands. False when the queue ran dry first, since
// nothing would ever end the wait then.
bool PumpWhileBusy(const TCDWriter& writer) {
  for (int i = 0; i < 1000 && writer.Tag != 0; ++i)
    if (PumpMessages(1) == 0) break;
  return writer.Tag == 0;
}

std::string Bytes(size_t size) {
  std::string bytes(size, '\0');
  for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 2048) % 251);
  return bytes;
}

class CDWriterTest : public ::testing::Test {
 public:
  void SetUp() override {
    drive->DriveLetter = "E";
    drive->Vendor = "Lumatec";
    drive->Product = "RW-5200";
    drive->MaxWriteSpeed = 24;
    drive->Disc = disc;
    disc->HostFolder = temp / "disc";
    CreateDirectoryW(classlib::Widen(disc->HostFolder).c_str(), nullptr);
    writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive}));
    ListenToAllEvents();
    ASSERT_TRUE(writer.SelectDevice(0));
  }

  void TearDown() override { classlib::Application().OnException = nullptr; }

  void ListenToAllEvents() {
    const auto note = [this](const char* text) {
      return [this, text](classlib::TComponent* sender) {
        EXPECT_EQ(sender, &writer);
        events.push_back(text);
      };
    };
    writer.OnClosingDisc = note("closing disc");
    writer.OnClosingSession = note("closing session");
    writer.OnEraseComplete = note("erased");
    writer.OnWritingCancelled = note("cancelled");
    writer.OnWritingComplete = note("complete");
    writer.OnTrackWriteStart = [this](classlib::TComponent*, int track, int blocks) {
      events.push_back("start " + std::to_string(track) + " " + std::to_string(blocks));
    };
    writer.OnTrackWriteStatus = [this](classlib::TComponent* sender, int track, int written, int buffer) {
      EXPECT_EQ(sender, &writer);
      EXPECT_EQ(track, 1);
      statuses.push_back(written);
      lastBuffer = buffer;
    };
  }

  // A source file in the test folder.
  std::string Source(const std::string& name, size_t size) {
    const std::string path = temp / name;
    WriteFile(path, Bytes(size));
    return path;
  }

  // The caller's side of a write, up to the start.
  bool StartBurning(const std::string& name, size_t size, bool importLastSession = false) {
    EXPECT_TRUE(writer.AddFile("\\" + name, Source(name, size)));
    if (importLastSession) {
      EXPECT_TRUE(writer.ImportLastSession(true));
    }
    EXPECT_TRUE(writer.PrepareWrite(true));
    writer.Tag = kWriting;
    return writer.StartWriting();
  }

  void Burn(const std::string& name, size_t size, bool importLastSession = false) {
    ASSERT_TRUE(StartBurning(name, size, importLastSession));
    ASSERT_TRUE(PumpWhileBusy(writer));
    ASSERT_EQ(writer.LastOutcome(), TCDOutcome::Completed);
  }

  std::string OnDisc(const std::string& name) const { return disc->HostFolder + "\\" + name; }

  // A blank disc in the drive, in the same host folder.
  void InsertBlankDisc(bool rewritable) {
    SimulatedDisc blank;
    blank.HostFolder = disc->HostFolder;
    blank.Rewritable = rewritable;
    *disc = blank;
    drive->Disc = disc;
  }

  TempDir temp;
  std::shared_ptr<SimulatedCDDevice> drive = std::make_shared<SimulatedCDDevice>();
  std::shared_ptr<SimulatedDisc> disc = std::make_shared<SimulatedDisc>();
  TCDWriter writer{nullptr};
  std::vector<std::string> events;
  std::vector<int> statuses;
  int lastBuffer = -1;
};

TEST(CDWriterWithoutComponent, HasNoDevicesAndEveryCallFailsCleanly) {
  TCDWriter writer(nullptr);
  bool fired = false;
  writer.OnWritingComplete = writer.OnEraseComplete = writer.OnWritingCancelled = [&](classlib::TComponent*) {
    fired = true;
  };

  EXPECT_EQ(writer.GetDeviceCount(), 0);
  EXPECT_EQ(writer.GetDeviceDriveLetter(0), "");
  EXPECT_EQ(writer.GetDeviceVendor(0), "");
  EXPECT_FALSE(writer.SelectDevice(0));
  EXPECT_FALSE(writer.IsDiscPresent());
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 0);
  EXPECT_EQ(writer.GetFreeBlocks(1), 0);
  EXPECT_FALSE(writer.AddFile("\\a.zip", "C:\\a.zip"));
  EXPECT_FALSE(writer.PrepareWrite(true));
  writer.SetCloseDisc(true);
  writer.SetVolumeIdentifier("Backup 9-12-26");
  writer.EjectDisc();
  writer.AbortWriting();

  writer.Tag = kErasing;
  EXPECT_FALSE(writer.EraseDisc(true));
  EXPECT_EQ(writer.Tag, 0);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  writer.Tag = kWriting;
  EXPECT_FALSE(writer.StartWriting());
  EXPECT_EQ(writer.Tag, 0);
  EXPECT_EQ(writer.LastOperation(), TCDOperation::Write);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  EXPECT_FALSE(fired);
}

TEST_F(CDWriterTest, ListsItsDevices) {
  auto second = std::make_shared<SimulatedCDDevice>();
  second->DriveLetter = "F";
  second->Vendor = "Orbis";
  second->Product = "DVR 108";
  second->MaxWriteSpeed = 52;
  writer.SetBackend(std::make_unique<CDSimulator>(std::vector<std::shared_ptr<SimulatedCDDevice>>{drive, second}));

  ASSERT_EQ(writer.GetDeviceCount(), 2);
  EXPECT_EQ(writer.GetDeviceDriveLetter(1), "F");
  EXPECT_EQ(writer.GetDeviceVendor(1), "Orbis");
  EXPECT_EQ(writer.GetDeviceProduct(1), "DVR 108");
  EXPECT_EQ(writer.GetDeviceDriveLetter(2), "");
  EXPECT_FALSE(writer.SelectDevice(2));
  EXPECT_FALSE(writer.SelectDevice(-1));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 0);  // nothing selected yet
  ASSERT_TRUE(writer.SelectDevice(1));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 52);
  EXPECT_FALSE(writer.IsDiscPresent());  // the second tray is empty
  ASSERT_TRUE(writer.SelectDevice(0));
  EXPECT_EQ(writer.GetMaxWriteSpeed(), 24);
  EXPECT_TRUE(writer.IsDiscPresent());
  writer.SetWriteSpeed(16);
  EXPECT_EQ(drive->WriteSpeed, 16);
}

TEST_F(CDWriterTest, WriteReportsProgressOnlyWhileMessagesArePumpedAndBurnsTheBytes) {
  const size_t size = 40000;  // 20 blocks, and one for the directory
  writer.SetWriteType(1);
  writer.SetVolumeIdentifier("Backup 9-12-26");
  ASSERT_TRUE(StartBurning("backup.zip", size));
  EXPECT_EQ(writer.GetImageBlocks(), 21);
  EXPECT_TRUE(events.empty());
  EXPECT_EQ(writer.Tag, kWriting);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Running);

  // No handler clears the busy mark here: the component does.
  ASSERT_TRUE(PumpWhileBusy(writer));
  EXPECT_EQ(writer.LastOperation(), TCDOperation::Write);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Completed);
  EXPECT_EQ(events, (std::vector<std::string>{"start 1 21", "closing session", "complete"}));
  ASSERT_FALSE(statuses.empty());
  EXPECT_TRUE(std::is_sorted(statuses.begin(), statuses.end()));
  EXPECT_EQ(statuses.back(), 21);
  EXPECT_EQ(lastBuffer, 0);  // drained at the end

  EXPECT_EQ(ReadFile(OnDisc("backup.zip")), Bytes(size));
  EXPECT_EQ(writer.GetSessionCount(), 1);
  EXPECT_EQ(writer.GetDiscState(), 1);
  EXPECT_EQ(writer.GetFreeBlocks(1), disc->CapacityBlocks - 21);
  EXPECT_EQ(disc->VolumeLabel, "Backup 9-12-26");
  EXPECT_EQ(writer.GetImageBlocks(), 0);  // the image went with the write
  EXPECT_EQ(PumpMessages(100), 0);        // nothing left behind
}

TEST_F(CDWriterTest, ClosingTheDiscEndsWhatCanBeWrittenToIt) {
  for (const bool rewritable : {false, true}) {
    SCOPED_TRACE(rewritable ? "rewritable" : "write-once");
    InsertBlankDisc(rewritable);
    events.clear();
    writer.SetCloseDisc(true);
    Burn("backup.zip", 5000);

    EXPECT_EQ(events, (std::vector<std::string>{"start 1 4", "closing disc", "complete"}));
    EXPECT_EQ(writer.GetDiscState(), 2);
    EXPECT_EQ(writer.GetFreeBlocks(1), 0);
    EXPECT_EQ(writer.IsDiscPresent(), rewritable);  // a closed rewritable disc can still be erased
    EXPECT_FALSE(StartBurning("backup.zip", 10));
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  }
}

TEST_F(CDWriterTest, CancelledWriteIsNeverTakenForACompletedOne) {
  struct Case {
    const char* name;
    bool fromHandler;  // a handler aborts, or the caller's cancel path between two messages
  };
  for (const Case& c : {Case{"handler", true}, Case{"cancel path", false}}) {
    SCOPED_TRACE(c.name);
    events.clear();
    statuses.clear();
    if (c.fromHandler) {
      writer.OnTrackWriteStatus = [this](classlib::TComponent*, int, int written, int) {
        statuses.push_back(written);
        if (statuses.size() == 2) writer.AbortWriting();
      };
      ASSERT_TRUE(StartBurning("backup.zip", 200000));
      ASSERT_TRUE(PumpWhileBusy(writer));
    } else {
      ASSERT_TRUE(StartBurning("backup.zip", 200000));
      ASSERT_EQ(PumpMessages(3), 3);
      writer.Tag = 0;
      writer.AbortWriting();
      EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Cancelled);  // before the device confirms
      PumpMessages(100);
    }
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Cancelled);
    EXPECT_EQ(writer.Tag, 0);
    EXPECT_EQ(events.back(), "cancelled");
    EXPECT_EQ(std::count(events.begin(), events.end(), "complete"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "cancelled"), 1);
    EXPECT_EQ(statuses.size(), 2u);
    EXPECT_FALSE(FileExists(OnDisc("backup.zip")));
    EXPECT_EQ(disc->Sessions, 0);
    EXPECT_EQ(writer.GetFreeBlocks(1), disc->CapacityBlocks);
    ListenToAllEvents();
  }
}

TEST_F(CDWriterTest, WriteStartedRightAfterAnAbortHearsNothingOfTheOldOne) {
  ASSERT_TRUE(StartBurning("old.zip", 200000));
  ASSERT_EQ(PumpMessages(2), 2);
  writer.Tag = 0;
  writer.AbortWriting();
  EXPECT_EQ(writer.GetImageBlocks(), 0);  // an aborted write takes its image along
  events.clear();
  statuses.clear();

  Burn("new.zip", 3000);
  EXPECT_EQ(events, (std::vector<std::string>{"start 1 3", "closing session", "complete"}));
  EXPECT_EQ(statuses, (std::vector<int>{1, 2, 3}));
  EXPECT_FALSE(FileExists(OnDisc("old.zip")));
  EXPECT_TRUE(FileExists(OnDisc("new.zip")));
}

TEST_F(CDWriterTest, FailedWriteEndsTheWaitWithoutCompletingAndLeavesTheDiscAlone) {
  struct Case {
    const char* name;
    std::function<void(CDWriterTest&)> fault;
    int lastStatus;  // of 99 blocks, 7 a step
  };
  const Case cases[] = {
      {"device fails midway", [](CDWriterTest& t) { t.drive->FailWriteAtBlock = 30; }, 28},
      {"source gone", [](CDWriterTest& t) { DeleteFileW(classlib::Widen(t.temp / "backup.zip").c_str()); }, 99},
      {"disc taken out", [](CDWriterTest& t) { t.drive->Disc.reset(); }, 99},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    drive->Disc = disc;
    events.clear();
    statuses.clear();
    ASSERT_TRUE(StartBurning("backup.zip", 200000));
    c.fault(*this);
    ASSERT_TRUE(PumpWhileBusy(writer));
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
    EXPECT_EQ(std::count(events.begin(), events.end(), "complete"), 0);
    EXPECT_EQ(std::count(events.begin(), events.end(), "cancelled"), 0);
    EXPECT_FALSE(FileExists(OnDisc("backup.zip")));
    EXPECT_EQ(disc->Sessions, 0);
    EXPECT_EQ(disc->UsedBlocks, 0);
    ASSERT_FALSE(statuses.empty());
    EXPECT_EQ(statuses.back(), c.lastStatus);
  }
  // The fault was used up.
  drive->Disc = disc;
  Burn("backup.zip", 200000);
  EXPECT_EQ(ReadFile(OnDisc("backup.zip")), Bytes(200000));
}

TEST_F(CDWriterTest, StartRefusalsEndAsFailuresUntilUsedUp) {
  drive->StartRefusals = 2;
  for (int attempt = 0; attempt < 2; ++attempt) {
    EXPECT_FALSE(StartBurning("backup.zip", 5000));
    EXPECT_EQ(writer.Tag, 0);
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  }
  Burn("backup.zip", 5000);
}

TEST_F(CDWriterTest, WritesThatCannotStartAreRefused) {
  struct Case {
    const char* name;
    std::function<void(CDWriterTest&)> setUp;
    bool prepare;
  };
  const Case cases[] = {
      {"no disc", [](CDWriterTest& t) { t.drive->Disc.reset(); }, true},
      {"not prepared", [](CDWriterTest&) {}, false},
      {"image too big", [](CDWriterTest& t) { t.disc->CapacityBlocks = 5; }, true},
      {"disc full", [](CDWriterTest& t) { t.disc->UsedBlocks = t.disc->CapacityBlocks; }, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    InsertBlankDisc(false);
    c.setUp(*this);
    ASSERT_TRUE(writer.AddFile("\\backup.zip", Source("backup.zip", 20000)));
    if (c.prepare) writer.PrepareWrite(true);
    writer.Tag = kWriting;
    EXPECT_FALSE(writer.StartWriting());
    EXPECT_EQ(writer.Tag, 0);
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
    EXPECT_EQ(PumpMessages(100), 0);
  }
}

TEST_F(CDWriterTest, DiscPathsMustNameAFileInTheRootAndSourcesMustExist) {
  const std::string source = Source("a.zip", 10);
  EXPECT_FALSE(writer.AddFile("a.zip", source));
  EXPECT_FALSE(writer.AddFile("\\", source));
  EXPECT_FALSE(writer.AddFile("\\dir\\a.zip", source));
  EXPECT_FALSE(writer.AddFile("\\a.zip", temp / "missing.zip"));
  EXPECT_FALSE(writer.AddFile("\\a.zip", temp.Path()));
  EXPECT_FALSE(writer.PrepareWrite(true));  // nothing in the image
  EXPECT_TRUE(writer.AddFile("\\a.zip", source));
  EXPECT_TRUE(writer.AddFile("\\A.ZIP", Source("b.zip", 5000)));  // replaces it
  EXPECT_EQ(writer.GetImageBlocks(), 4);
}

TEST_F(CDWriterTest, EraseEmptiesARewritableDisc) {
  for (const bool quick : {true, false}) {
    SCOPED_TRACE(quick ? "quick" : "complete");
    disc->Rewritable = true;
    Burn("backup.zip", 5000);
    events.clear();

    writer.Tag = kErasing;
    ASSERT_TRUE(writer.EraseDisc(quick));
    EXPECT_TRUE(events.empty());
    ASSERT_TRUE(PumpWhileBusy(writer));
    EXPECT_EQ(events, std::vector<std::string>{"erased"});
    EXPECT_EQ(writer.LastOperation(), TCDOperation::Erase);
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Completed);
    EXPECT_EQ(writer.GetDiscState(), 0);
    EXPECT_EQ(writer.GetSessionCount(), 0);
    EXPECT_EQ(writer.GetFreeBlocks(1), disc->CapacityBlocks);
    EXPECT_FALSE(FileExists(OnDisc("backup.zip")));
  }
}

TEST_F(CDWriterTest, EraseThatFreesNothingStillCompletes) {
  disc->Rewritable = true;
  Burn("backup.zip", 5000);
  const int freeBefore = writer.GetFreeBlocks(1);
  drive->ErasesFreeingNothing = 1;

  writer.Tag = kErasing;
  ASSERT_TRUE(writer.EraseDisc(true));
  ASSERT_TRUE(PumpWhileBusy(writer));
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Completed);
  EXPECT_EQ(writer.GetFreeBlocks(1), freeBefore);
  EXPECT_TRUE(FileExists(OnDisc("backup.zip")));

  writer.Tag = kErasing;
  ASSERT_TRUE(writer.EraseDisc(false));
  ASSERT_TRUE(PumpWhileBusy(writer));
  EXPECT_EQ(writer.GetFreeBlocks(1), disc->CapacityBlocks);
}

TEST_F(CDWriterTest, EraseIsRefusedOnWriteOnceDiscsAndEmptyTrays) {
  for (const bool present : {true, false}) {
    SCOPED_TRACE(present ? "write-once disc" : "empty tray");
    if (!present) drive->Disc.reset();
    writer.Tag = kErasing;
    EXPECT_FALSE(writer.EraseDisc(true));
    EXPECT_EQ(writer.Tag, 0);
    EXPECT_EQ(writer.LastOperation(), TCDOperation::Erase);
    EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  }
  EXPECT_TRUE(events.empty());
}

TEST_F(CDWriterTest, NewSessionShowsTheLastOneOnlyWhenImported) {
  for (const bool rewritable : {false, true}) {
    SCOPED_TRACE(rewritable ? "rewritable" : "write-once");
    InsertBlankDisc(rewritable);
    EXPECT_FALSE(writer.ImportLastSession(true));  // a blank disc has nothing to import

    Burn("a.zip", 5000);
    Burn("b.zip", 7000, true);
    EXPECT_EQ(writer.GetSessionCount(), 2);
    EXPECT_EQ(disc->UsedBlocks, 4 + 5);
    EXPECT_EQ(ReadFile(OnDisc("a.zip")), Bytes(5000));
    EXPECT_EQ(ReadFile(OnDisc("b.zip")), Bytes(7000));

    Burn("c.zip", 100);
    EXPECT_EQ(writer.GetSessionCount(), 3);
    EXPECT_EQ(disc->UsedBlocks, 4 + 5 + 2);  // the old files keep their space
    EXPECT_FALSE(FileExists(OnDisc("a.zip")));
    EXPECT_FALSE(FileExists(OnDisc("b.zip")));
    EXPECT_EQ(disc->Files, std::vector<std::string>{"\\c.zip"});
    DeleteFileW(classlib::Widen(OnDisc("c.zip")).c_str());
  }
}

TEST_F(CDWriterTest, SelectingADeviceStartsAnEmptyImage) {
  Burn("a.zip", 5000);
  ASSERT_TRUE(writer.AddFile("\\b.zip", Source("b.zip", 5000)));
  ASSERT_TRUE(writer.ImportLastSession(true));
  ASSERT_TRUE(writer.PrepareWrite(true));

  ASSERT_TRUE(writer.SelectDevice(0));
  EXPECT_EQ(writer.GetImageBlocks(), 0);
  writer.Tag = kWriting;
  EXPECT_FALSE(writer.StartWriting());  // nothing prepared any more
  Burn("c.zip", 100);
  EXPECT_EQ(disc->Files, std::vector<std::string>{"\\c.zip"});  // nothing imported either
}

TEST_F(CDWriterTest, EjectTakesTheDiscOut) {
  Burn("backup.zip", 5000);
  writer.EjectDisc();
  EXPECT_EQ(drive->Ejects, 1);
  EXPECT_FALSE(writer.IsDiscPresent());
  EXPECT_EQ(writer.GetSessionCount(), 0);
  EXPECT_EQ(disc->Sessions, 1);  // the disc itself keeps what was burned
  EXPECT_TRUE(FileExists(OnDisc("backup.zip")));
}

TEST_F(CDWriterTest, ExceptionFromAHandlerGoesToTheApplicationAndTheWriteGoesOn) {
  std::vector<std::string> caught;
  classlib::Application().OnException = [&](std::exception_ptr error) {
    caught.push_back(classlib::ExceptionMessage(error));
  };
  writer.OnTrackWriteStart = [](classlib::TComponent*, int, int) { throw std::runtime_error("Fehler im Ereignis"); };

  Burn("backup.zip", 5000);
  EXPECT_EQ(caught, std::vector<std::string>{"Fehler im Ereignis"});
  EXPECT_TRUE(FileExists(OnDisc("backup.zip")));
}

// A back end whose events the test sends itself, for the ends the simulator never produces.
class ScriptedBackend : public NoDeviceCDBackend {
 public:
  void SetEvents(ICDWriterEvents* sink) override { events = sink; }
  bool StartWriting() override { return true; }
  bool EraseDisc(bool) override { return true; }
  ICDWriterEvents* events = nullptr;
};

TEST(CDWriterEnds, AnAbortedWriteStaysCancelledEvenWhenTheDeviceFinishesFirst) {
  auto backend = std::make_unique<ScriptedBackend>();
  ScriptedBackend& device = *backend;
  TCDWriter writer(nullptr, std::move(backend));
  std::vector<std::string> events;
  writer.OnWritingComplete = [&](classlib::TComponent*) { events.push_back("complete"); };
  writer.OnWritingCancelled = [&](classlib::TComponent*) { events.push_back("cancelled"); };

  writer.Tag = kWriting;
  ASSERT_TRUE(writer.StartWriting());
  EXPECT_FALSE(writer.EraseDisc(true));  // one operation at a time
  EXPECT_EQ(writer.LastOperation(), TCDOperation::Write);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Running);

  writer.AbortWriting();
  device.events->WritingComplete();
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Cancelled);
  EXPECT_EQ(events, std::vector<std::string>{"cancelled"});
  EXPECT_EQ(writer.Tag, 0);

  // Late ends of an operation that is over are dropped.
  writer.Tag = kWriting;
  device.events->WritingCancelled();
  device.events->WritingComplete();
  EXPECT_EQ(events.size(), 1u);
  EXPECT_EQ(writer.Tag, kWriting);
}

TEST(CDWriterEnds, EachEndIsRecordedForItsOwnKindOfOperation) {
  auto backend = std::make_unique<ScriptedBackend>();
  ScriptedBackend& device = *backend;
  TCDWriter writer(nullptr, std::move(backend));
  bool writingComplete = false;
  writer.OnWritingComplete = [&](classlib::TComponent*) { writingComplete = true; };

  writer.Tag = kErasing;
  ASSERT_TRUE(writer.EraseDisc(false));
  device.events->WritingComplete();  // not the end of an erase
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Running);
  EXPECT_FALSE(writingComplete);
  device.events->OperationFailed();
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Failed);
  EXPECT_EQ(writer.Tag, 0);

  writer.Tag = kWriting;
  ASSERT_TRUE(writer.StartWriting());
  device.events->TrackWriteStatus(1, 5, 100);
  device.events->WritingComplete();
  EXPECT_TRUE(writingComplete);
  EXPECT_EQ(writer.LastOutcome(), TCDOutcome::Completed);
  EXPECT_EQ(writer.Tag, 0);
}

}  // namespace
