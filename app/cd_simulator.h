// A stand-in for the outside CD-writing component, for tests and for trying the burning paths
// without a writer: drives hold discs whose files live in a host folder, so what was burned can be
// compared byte for byte. Erasing and writing run in steps posted to a message-only window of the
// simulator, so their events arrive only while the caller pumps messages, as from the real one.
//
// Devices and discs are shared objects: a test keeps them to insert and take out discs, inject
// faults and read what happened, and two components (two windows) can see the same drives.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "app/cd_writer.h"

struct HWND__;

namespace app {

// A disc. Blocks are 2048 bytes.
struct SimulatedDisc {
  std::string HostFolder;  // holds the files the disc shows, under their names on the disc
  int CapacityBlocks = 360000;
  bool Rewritable = false;

  // Contents, kept by the simulator.
  int UsedBlocks = 0;
  int Sessions = 0;
  bool Closed = false;  // finalised: nothing more can be added
  std::string VolumeLabel;
  std::vector<std::string> Files;  // what the last session shows, as paths on the disc ("\name")
};

struct SimulatedCDDevice {
  std::string DriveLetter;  // one letter
  std::string Vendor;
  std::string Product;
  int MaxWriteSpeed = 48;
  std::shared_ptr<SimulatedDisc> Disc;  // none: the tray is empty

  // Faults a test injects; each is used up as it strikes.
  int StartRefusals = 0;         // StartWriting refuses this many times
  int ErasesFreeingNothing = 0;  // the next erases complete but leave the disc as it was
  int FailWriteAtBlock = -1;     // the next write fails when it reaches this block

  // What the drive was told.
  int WriteSpeed = 0;
  int Ejects = 0;
};

class CDSimulator : public ICDWriterBackend {
 public:
  explicit CDSimulator(std::vector<std::shared_ptr<SimulatedCDDevice>> devices);
  ~CDSimulator() override;
  CDSimulator(const CDSimulator&) = delete;
  CDSimulator& operator=(const CDSimulator&) = delete;

  // A write posts one message per event: TrackWriteStart, up to this many TrackWriteStatus,
  // ClosingSession or (with CloseDisc) ClosingDisc, WritingComplete. Its image is the added files'
  // blocks and one for the directory.
  static constexpr int kStatusSteps = 16;
  // A complete erase takes this many posted steps, a quick one a single step.
  static constexpr int kCompleteEraseSteps = 4;

  void SetEvents(ICDWriterEvents* sink) override { events_ = sink; }
  void SetCloseDisc(bool value) override { closeDisc_ = value; }
  void SetWriteType(int) override {}
  void SetVolumeIdentifier(const std::string& value) override { volumeIdentifier_ = value; }

  int GetDeviceCount() override;
  std::string GetDeviceDriveLetter(int index) override;
  std::string GetDeviceProduct(int index) override;
  std::string GetDeviceVendor(int index) override;
  bool SelectDevice(int index) override;
  // The disc leaves the drive (the test's reference to it stays valid).
  void EjectDisc() override;
  // A disc that can still be written, or erased.
  bool IsDiscPresent() override;
  // Refuses without a prepared image, without a disc, on a closed disc, when the image does not
  // fit, and as often as the device's StartRefusals say.
  bool StartWriting() override;
  // Refuses without a disc and on a write-once disc.
  bool EraseDisc(bool quick) override;
  void SetWriteSpeed(int speed) override;
  int GetMaxWriteSpeed() override;
  // Drops the running operation; the disc stays as it was and WritingCancelled follows.
  void AbortWriting() override;
  // 0 blank, 1 holds sessions and can take more, 2 closed.
  int GetDiscState() override;
  bool IsDiscRewritable() override;
  int GetFreeBlocks(int mode) override;
  int GetSessionCount() override;
  void RefreshDiscInfo() override {}
  int GetImageBlocks() override;
  // Files go to the disc's root: discPath is "\" and a name. A second file of the same name
  // replaces the first.
  bool AddFile(const std::string& discPath, const std::string& sourcePath) override;
  // The next session shows the last one's files too; without it, only the files added.
  bool ImportLastSession(bool value) override;
  bool PrepareWrite(bool value) override;

 private:
  friend class SimulatorWindow;

  enum class Operation { None, Erase, Write };
  enum class Step { TrackStart, Status, Closing, Finish, Erase };
  struct ImageFile {
    std::string discPath;
    std::string sourcePath;
    std::int64_t size;
  };

  SimulatedCDDevice* Selected() const;
  SimulatedDisc* SelectedDisc() const;
  bool Busy() const { return operation_ != Operation::None; }
  std::int64_t ImageBlocks() const;
  int BufferUsed() const;
  void Begin(Operation operation, Step first);
  void EndOperation();
  void ClearImage();
  void Post(unsigned message);
  void HandleMessage(unsigned message);
  void RunStep();
  bool BurnImage();
  void ClearContents(SimulatedDisc& disc);
  template <typename... Args>
  void Notify(void (ICDWriterEvents::*event)(Args...), Args... args) {
    if (events_) (events_->*event)(args...);
  }

  std::vector<std::shared_ptr<SimulatedCDDevice>> devices_;
  ICDWriterEvents* events_ = nullptr;
  HWND__* window_ = nullptr;
  int selected_ = -1;
  bool closeDisc_ = false;
  std::string volumeIdentifier_;

  std::vector<ImageFile> image_;
  bool importLastSession_ = false;
  bool prepared_ = false;

  // The running operation; messages of earlier generations are stale.
  Operation operation_ = Operation::None;
  unsigned generation_ = 0;
  Step step_ = Step::TrackStart;
  std::shared_ptr<SimulatedDisc> disc_;
  bool closing_ = false;
  std::string label_;
  int total_ = 0;
  int written_ = 0;
  int eraseStepsLeft_ = 0;
};

}  // namespace app
