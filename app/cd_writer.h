// The CD-writing component. Discs are written by an outside component that this program only
// drives; TCDWriter offers its operations and events and keeps the busy mark the callers wait on.
// What does the work is a back end: where no writing component exists, one that reports no devices.
//
// Busy protocol: a caller sets Tag to 2 before EraseDisc and to 1 before StartWriting, then pumps
// messages while Tag keeps that value. Tag returns to 0 when the operation ends in any way
// (completed, cancelled, failed, or refused at the start), whether or not a handler is assigned;
// the handlers that also set it to 0 may stay. How the operation ended is LastOutcome(): only
// Completed means the disc holds what was asked for.
//
// Events arrive from the message queue, so only while the caller pumps messages. An exception
// thrown by a handler goes to the application's handler and never unwinds into Windows.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classlib/component.h"
#include "classlib/controls.h"

namespace app {

// What a back end reports; called on the user-interface thread, from the message queue. The
// numbers are the outside component's event dispatch ids.
class ICDWriterEvents {
 public:
  virtual void ClosingDisc() = 0;                                                          // 1
  virtual void ClosingSession() = 0;                                                       // 2
  virtual void EraseComplete() = 0;                                                        // 4
  virtual void WritingCancelled() = 0;                                                     // 5
  virtual void WritingComplete() = 0;                                                      // 6
  virtual void TrackWriteStart(int Track, int BlocksToWrite) = 0;                          // 9
  virtual void TrackWriteStatus(int Track, int BlocksWritten, int DeviceBufferUsed) = 0;   // 10
  // The running erase or write ended without success. The outside component has no such event; a
  // back end that reaches it reports a failure it detects itself (for example a lost device).
  virtual void OperationFailed() = 0;

 protected:
  ~ICDWriterEvents() = default;
};

// The outside component's operations. The numbers are its dispatch ids, so that a back end that
// reaches it through IDispatch maps one method to one id. Blocks are 2048 bytes. Every call is
// safe without a device or disc: it fails (false, 0, empty) or does nothing.
class ICDWriterBackend {
 public:
  virtual ~ICDWriterBackend() = default;

  // Events go to sink from now on; nullptr stops them.
  virtual void SetEvents(ICDWriterEvents* sink) = 0;

  virtual void SetCloseDisc(bool value) = 0;                         // 4: finalise after writing
  virtual void SetWriteType(int value) = 0;                          // 7
  virtual void SetVolumeIdentifier(const std::string& value) = 0;    // 12

  virtual int GetDeviceCount() = 0;                                  // 24 (16-bit)
  virtual std::string GetDeviceDriveLetter(int index) = 0;           // 25: one letter
  virtual std::string GetDeviceProduct(int index) = 0;               // 26
  virtual std::string GetDeviceVendor(int index) = 0;                // 27
  // Makes device i current with a new, empty image: nothing added, no session imported, not
  // prepared. A caller starting over after a refused write gets a clean image this way.
  virtual bool SelectDevice(int index) = 0;                          // 28
  virtual void EjectDisc() = 0;                                      // 29
  virtual bool IsDiscPresent() = 0;                                  // 33: a writable disc
  virtual bool StartWriting() = 0;                                   // 34: completion by event
  virtual bool EraseDisc(bool quick) = 0;                            // 35: completion by event
  virtual void SetWriteSpeed(int speed) = 0;                         // 37 (16-bit speed factor)
  virtual int GetMaxWriteSpeed() = 0;                                // 38
  virtual void AbortWriting() = 0;                                   // 39
  virtual int GetDiscState() = 0;                                    // 41 (16-bit): 0 blank
  virtual bool IsDiscRewritable() = 0;                               // 43
  virtual int GetFreeBlocks(int mode) = 0;                           // 44: the program passes 1
  virtual int GetSessionCount() = 0;                                 // 47
  virtual void RefreshDiscInfo() = 0;                                // 49
  virtual int GetImageBlocks() = 0;                                  // 50
  virtual bool AddFile(const std::string& discPath, const std::string& sourcePath) = 0;  // 55
  virtual bool ImportLastSession(bool value) = 0;                    // 69
  virtual bool PrepareWrite(bool value) = 0;                         // 70
};

// The back end of this program as it stands: no writing component exists, so there are no devices.
class NoDeviceCDBackend : public ICDWriterBackend {
 public:
  void SetEvents(ICDWriterEvents*) override {}
  void SetCloseDisc(bool) override {}
  void SetWriteType(int) override {}
  void SetVolumeIdentifier(const std::string&) override {}
  int GetDeviceCount() override { return 0; }
  std::string GetDeviceDriveLetter(int) override { return {}; }
  std::string GetDeviceProduct(int) override { return {}; }
  std::string GetDeviceVendor(int) override { return {}; }
  bool SelectDevice(int) override { return false; }
  void EjectDisc() override {}
  bool IsDiscPresent() override { return false; }
  bool StartWriting() override { return false; }
  bool EraseDisc(bool) override { return false; }
  void SetWriteSpeed(int) override {}
  int GetMaxWriteSpeed() override { return 0; }
  void AbortWriting() override {}
  int GetDiscState() override { return 0; }
  bool IsDiscRewritable() override { return false; }
  int GetFreeBlocks(int) override { return 0; }
  int GetSessionCount() override { return 0; }
  void RefreshDiscInfo() override {}
  int GetImageBlocks() override { return 0; }
  bool AddFile(const std::string&, const std::string&) override { return false; }
  bool ImportLastSession(bool) override { return false; }
  bool PrepareWrite(bool) override { return false; }
};

enum class TCDOperation { None, Erase, Write };
// Running until the operation's end arrives; a refused start counts as Failed; an abort makes the
// operation Cancelled at once, even if the device finished meanwhile.
enum class TCDOutcome { None, Running, Completed, Cancelled, Failed };

using TTrackWriteStartEvent = std::function<void(classlib::TComponent* Sender, int Track, int BlocksToWrite)>;
using TTrackWriteStatusEvent =
    std::function<void(classlib::TComponent* Sender, int Track, int BlocksWritten, int DeviceBufferUsed)>;

// Tag is the busy mark: 1 writing, 2 erasing, 0 idle; set by the caller, cleared when an operation
// ends.
class TCDWriter : public classlib::TComponent, private ICDWriterEvents {
 public:
  // Without a back end: no devices.
  explicit TCDWriter(classlib::TComponent* AOwner, std::unique_ptr<ICDWriterBackend> backend = nullptr);
  ~TCDWriter() override;

  // Replaces the back end (tests put a simulator here); forgets the last operation. Not from inside
  // one of this component's events.
  void SetBackend(std::unique_ptr<ICDWriterBackend> backend);

  TCDOperation LastOperation() const { return lastOperation_; }
  TCDOutcome LastOutcome() const { return lastOutcome_; }

  // ---- properties

  bool CloseDisc() const { return closeDisc_; }
  void SetCloseDisc(bool value);
  int WriteType() const { return writeType_; }
  void SetWriteType(int value);
  const std::string& VolumeIdentifier() const { return volumeIdentifier_; }
  void SetVolumeIdentifier(const std::string& value);

  // ---- operations

  int GetDeviceCount();
  std::string GetDeviceDriveLetter(int index);
  std::string GetDeviceProduct(int index);
  std::string GetDeviceVendor(int index);
  bool SelectDevice(int index);
  void EjectDisc();
  bool IsDiscPresent();
  // True when the write started; it ends with OnWritingComplete, OnWritingCancelled, or a failure
  // (LastOutcome). False while an operation runs, and then nothing changes.
  bool StartWriting();
  // As StartWriting; a completed erase fires OnEraseComplete.
  bool EraseDisc(bool quick);
  void SetWriteSpeed(int speed);
  int GetMaxWriteSpeed();
  // Ends the running erase or write as Cancelled; OnWritingCancelled follows when the device stops.
  void AbortWriting();
  int GetDiscState();
  bool IsDiscRewritable();
  int GetFreeBlocks(int mode);
  int GetSessionCount();
  void RefreshDiscInfo();
  int GetImageBlocks();
  bool AddFile(const std::string& discPath, const std::string& sourcePath);
  bool ImportLastSession(bool value);
  bool PrepareWrite(bool value);

  // ---- events

  classlib::TNotifyEvent OnClosingDisc;
  classlib::TNotifyEvent OnClosingSession;
  classlib::TNotifyEvent OnEraseComplete;
  classlib::TNotifyEvent OnWritingCancelled;
  classlib::TNotifyEvent OnWritingComplete;
  TTrackWriteStartEvent OnTrackWriteStart;
  TTrackWriteStatusEvent OnTrackWriteStatus;

 private:
  // ICDWriterEvents
  void ClosingDisc() override;
  void ClosingSession() override;
  void EraseComplete() override;
  void WritingCancelled() override;
  void WritingComplete() override;
  void TrackWriteStart(int Track, int BlocksToWrite) override;
  void TrackWriteStatus(int Track, int BlocksWritten, int DeviceBufferUsed) override;
  void OperationFailed() override;

  bool Begin(TCDOperation operation, const std::function<bool()>& start);
  bool Running(TCDOperation operation) const;
  // The end of an operation of that kind (None: of either kind): of the running one, or the
  // device's confirmation of an abort. Anything else is stale and dropped.
  void End(TCDOperation operation, TCDOutcome outcome, const classlib::TNotifyEvent& event);

  bool closeDisc_ = false;
  int writeType_ = 0;
  std::string volumeIdentifier_;
  TCDOperation lastOperation_ = TCDOperation::None;
  TCDOutcome lastOutcome_ = TCDOutcome::None;
  bool abortPending_ = false;
  // Last, so it goes first: it may call back into this object until it is gone.
  std::unique_ptr<ICDWriterBackend> backend_;
};

}  // namespace app
