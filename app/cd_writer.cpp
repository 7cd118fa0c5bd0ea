#include "app/cd_writer.h"

#include <utility>

namespace app {
namespace {

// By value: a handler may reassign its own event while it runs.
template <typename Handler, typename... Args>
void Fire(Handler handler, Args... args) {
  if (handler) classlib::CallGuarded([&] { handler(args...); });
}

}  // namespace

TCDWriter::TCDWriter(classlib::TComponent* AOwner, std::unique_ptr<ICDWriterBackend> backend)
    : TComponent(AOwner) {
  SetBackend(std::move(backend));
}

TCDWriter::~TCDWriter() = default;

void TCDWriter::SetBackend(std::unique_ptr<ICDWriterBackend> backend) {
  backend_ = backend ? std::move(backend) : std::make_unique<NoDeviceCDBackend>();
  backend_->SetEvents(this);
  lastOperation_ = TCDOperation::None;
  lastOutcome_ = TCDOutcome::None;
  abortPending_ = false;
}

void TCDWriter::SetCloseDisc(bool value) {
  backend_->SetCloseDisc(value);
  closeDisc_ = value;
}

void TCDWriter::SetWriteType(int value) {
  backend_->SetWriteType(value);
  writeType_ = value;
}

void TCDWriter::SetVolumeIdentifier(const std::string& value) {
  backend_->SetVolumeIdentifier(value);
  volumeIdentifier_ = value;
}

int TCDWriter::GetDeviceCount() { return backend_->GetDeviceCount(); }
std::string TCDWriter::GetDeviceDriveLetter(int index) { return backend_->GetDeviceDriveLetter(index); }
std::string TCDWriter::GetDeviceProduct(int index) { return backend_->GetDeviceProduct(index); }
std::string TCDWriter::GetDeviceVendor(int index) { return backend_->GetDeviceVendor(index); }
bool TCDWriter::SelectDevice(int index) { return backend_->SelectDevice(index); }
void TCDWriter::EjectDisc() { backend_->EjectDisc(); }
bool TCDWriter::IsDiscPresent() { return backend_->IsDiscPresent(); }

bool TCDWriter::StartWriting() {
  return Begin(TCDOperation::Write, [this] { return backend_->StartWriting(); });
}

bool TCDWriter::EraseDisc(bool quick) {
  return Begin(TCDOperation::Erase, [this, quick] { return backend_->EraseDisc(quick); });
}

void TCDWriter::SetWriteSpeed(int speed) { backend_->SetWriteSpeed(speed); }
int TCDWriter::GetMaxWriteSpeed() { return backend_->GetMaxWriteSpeed(); }

void TCDWriter::AbortWriting() {
  if (lastOutcome_ == TCDOutcome::Running) {
    lastOutcome_ = TCDOutcome::Cancelled;
    abortPending_ = true;
  }
  backend_->AbortWriting();
}

int TCDWriter::GetDiscState() { return backend_->GetDiscState(); }
bool TCDWriter::IsDiscRewritable() { return backend_->IsDiscRewritable(); }
int TCDWriter::GetFreeBlocks(int mode) { return backend_->GetFreeBlocks(mode); }
int TCDWriter::GetSessionCount() { return backend_->GetSessionCount(); }
void TCDWriter::RefreshDiscInfo() { backend_->RefreshDiscInfo(); }
int TCDWriter::GetImageBlocks() { return backend_->GetImageBlocks(); }

bool TCDWriter::AddFile(const std::string& discPath, const std::string& sourcePath) {
  return backend_->AddFile(discPath, sourcePath);
}

bool TCDWriter::ImportLastSession(bool value) { return backend_->ImportLastSession(value); }
bool TCDWriter::PrepareWrite(bool value) { return backend_->PrepareWrite(value); }

bool TCDWriter::Begin(TCDOperation operation, const std::function<bool()>& start) {
  if (lastOutcome_ == TCDOutcome::Running) return false;
  abortPending_ = false;
  lastOperation_ = operation;
  lastOutcome_ = TCDOutcome::Running;
  bool started = false;
  try {
    started = start();
  } catch (...) {
    lastOutcome_ = TCDOutcome::Failed;
    Tag = 0;
    throw;
  }
  if (!started) {
    lastOutcome_ = TCDOutcome::Failed;
    Tag = 0;
  }
  return started;
}

bool TCDWriter::Running(TCDOperation operation) const {
  return lastOutcome_ == TCDOutcome::Running && lastOperation_ == operation;
}

void TCDWriter::End(TCDOperation operation, TCDOutcome outcome, const classlib::TNotifyEvent& event) {
  if (operation != TCDOperation::None && operation != lastOperation_) return;
  const classlib::TNotifyEvent* handler = &event;
  if (lastOutcome_ == TCDOutcome::Running) {
    lastOutcome_ = outcome;
  } else if (abortPending_) {
    handler = &OnWritingCancelled;
  } else {
    return;
  }
  abortPending_ = false;
  Tag = 0;
  Fire(*handler, this);
}

void TCDWriter::ClosingDisc() {
  if (Running(TCDOperation::Write)) Fire(OnClosingDisc, this);
}

void TCDWriter::ClosingSession() {
  if (Running(TCDOperation::Write)) Fire(OnClosingSession, this);
}

void TCDWriter::TrackWriteStart(int Track, int BlocksToWrite) {
  if (Running(TCDOperation::Write)) Fire(OnTrackWriteStart, this, Track, BlocksToWrite);
}

void TCDWriter::TrackWriteStatus(int Track, int BlocksWritten, int DeviceBufferUsed) {
  if (Running(TCDOperation::Write)) Fire(OnTrackWriteStatus, this, Track, BlocksWritten, DeviceBufferUsed);
}

void TCDWriter::EraseComplete() { End(TCDOperation::Erase, TCDOutcome::Completed, OnEraseComplete); }
void TCDWriter::WritingComplete() { End(TCDOperation::Write, TCDOutcome::Completed, OnWritingComplete); }
void TCDWriter::WritingCancelled() { End(TCDOperation::None, TCDOutcome::Cancelled, OnWritingCancelled); }

void TCDWriter::OperationFailed() {
  static const classlib::TNotifyEvent none;
  End(TCDOperation::None, TCDOutcome::Failed, none);
}

}  // namespace app
