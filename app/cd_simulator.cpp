#include "app/cd_simulator.h"

#include <windows.h>

#include <algorithm>
#include <climits>
#include <utility>

#include "classlib/exceptions.h"
#include "classlib/forms.h"
#include "classlib/text.h"
#include "classlib/wide.h"

namespace app {

namespace {

constexpr UINT kStepMessage = WM_APP + 1;
constexpr UINT kCancelledMessage = WM_APP + 2;
constexpr wchar_t kWindowClass[] = L"OrvantaCDSimulator";
constexpr int kBlockSize = 2048;
// The drive's buffer, in blocks: it drains over the last blocks of a write.
constexpr int kBufferBlocks = 64;

std::string HostPath(const SimulatedDisc& disc, const std::string& discPath) {
  std::string folder = disc.HostFolder;
  while (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();
  return folder + discPath;
}

bool Contains(const std::vector<std::string>& paths, const std::string& path) {
  return std::any_of(paths.begin(), paths.end(),
                     [&](const std::string& p) { return classlib::SameTextAscii(p, path); });
}

bool IsRootFileName(const std::string& discPath) {
  return discPath.size() > 1 && discPath[0] == '\\' && discPath.find_first_of("\\/:*?\"<>|", 1) == std::string::npos;
}

}  // namespace

class SimulatorWindow {
 public:
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != kStepMessage && message != kCancelledMessage)
      return DefWindowProcW(window, message, wParam, lParam);
    auto* simulator = reinterpret_cast<CDSimulator*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (simulator && static_cast<unsigned>(wParam) == simulator->generation_) simulator->HandleMessage(message);
    return 0;
  }

  static HWND Create(CDSimulator* owner) {
    static const ATOM registered = [] {
      WNDCLASSW windowClass{};
      windowClass.lpfnWndProc = Procedure;
      windowClass.hInstance = GetModuleHandleW(nullptr);
      windowClass.lpszClassName = kWindowClass;
      return RegisterClassW(&windowClass);
    }();
    HWND window = registered ? CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                               GetModuleHandleW(nullptr), nullptr)
                             : nullptr;
    if (!window) throw classlib::EOSError("Das Nachrichtenfenster des CD-Simulators kann nicht angelegt werden.");
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return window;
  }
};

CDSimulator::CDSimulator(std::vector<std::shared_ptr<SimulatedCDDevice>> devices)
    : devices_(std::move(devices)), window_(SimulatorWindow::Create(this)) {}

CDSimulator::~CDSimulator() { DestroyWindow(window_); }

SimulatedCDDevice* CDSimulator::Selected() const {
  return selected_ >= 0 ? devices_[static_cast<size_t>(selected_)].get() : nullptr;
}

SimulatedDisc* CDSimulator::SelectedDisc() const {
  SimulatedCDDevice* device = Selected();
  return device ? device->Disc.get() : nullptr;
}

int CDSimulator::GetDeviceCount() { return static_cast<int>(devices_.size()); }

std::string CDSimulator::GetDeviceDriveLetter(int index) {
  return index >= 0 && index < GetDeviceCount() ? devices_[static_cast<size_t>(index)]->DriveLetter : "";
}

std::string CDSimulator::GetDeviceProduct(int index) {
  return index >= 0 && index < GetDeviceCount() ? devices_[static_cast<size_t>(index)]->Product : "";
}

std::string CDSimulator::GetDeviceVendor(int index) {
  return index >= 0 && index < GetDeviceCount() ? devices_[static_cast<size_t>(index)]->Vendor : "";
}

bool CDSimulator::SelectDevice(int index) {
  if (Busy() || index < 0 || index >= GetDeviceCount()) return false;
  selected_ = index;
  ClearImage();
  return true;
}

void CDSimulator::EjectDisc() {
  SimulatedCDDevice* device = Selected();
  if (Busy() || !device) return;
  device->Disc.reset();
  ++device->Ejects;
}

bool CDSimulator::IsDiscPresent() {
  const SimulatedDisc* disc = SelectedDisc();
  return disc && (!disc->Closed || disc->Rewritable);
}

bool CDSimulator::StartWriting() {
  SimulatedCDDevice* device = Selected();
  SimulatedDisc* disc = SelectedDisc();
  if (Busy() || !disc || !prepared_ || ImageBlocks() > GetFreeBlocks(1)) return false;
  if (device->StartRefusals > 0) {
    --device->StartRefusals;
    return false;
  }
  closing_ = closeDisc_;
  label_ = volumeIdentifier_;
  total_ = static_cast<int>(ImageBlocks());
  written_ = 0;
  Begin(Operation::Write, Step::TrackStart);
  return true;
}

bool CDSimulator::EraseDisc(bool quick) {
  const SimulatedDisc* disc = SelectedDisc();
  if (Busy() || !disc || !disc->Rewritable) return false;
  eraseStepsLeft_ = quick ? 1 : kCompleteEraseSteps;
  Begin(Operation::Erase, Step::Erase);
  return true;
}

void CDSimulator::SetWriteSpeed(int speed) {
  if (SimulatedCDDevice* device = Selected()) device->WriteSpeed = speed;
}

int CDSimulator::GetMaxWriteSpeed() {
  const SimulatedCDDevice* device = Selected();
  return device ? device->MaxWriteSpeed : 0;
}

void CDSimulator::AbortWriting() {
  if (!Busy()) return;
  EndOperation();
  Post(kCancelledMessage);
}

int CDSimulator::GetDiscState() {
  const SimulatedDisc* disc = SelectedDisc();
  if (!disc) return 0;
  if (disc->Closed) return 2;
  return disc->Sessions > 0 ? 1 : 0;
}

bool CDSimulator::IsDiscRewritable() {
  const SimulatedDisc* disc = SelectedDisc();
  return disc && disc->Rewritable;
}

int CDSimulator::GetFreeBlocks(int) {
  const SimulatedDisc* disc = SelectedDisc();
  return disc && !disc->Closed ? std::max(0, disc->CapacityBlocks - disc->UsedBlocks) : 0;
}

int CDSimulator::GetSessionCount() {
  const SimulatedDisc* disc = SelectedDisc();
  return disc ? disc->Sessions : 0;
}

int CDSimulator::GetImageBlocks() { return static_cast<int>(std::min<std::int64_t>(ImageBlocks(), INT_MAX)); }

std::int64_t CDSimulator::ImageBlocks() const {
  if (image_.empty()) return 0;
  std::int64_t blocks = 1;
  for (const ImageFile& file : image_) blocks += (file.size + kBlockSize - 1) / kBlockSize;
  return blocks;
}

bool CDSimulator::AddFile(const std::string& discPath, const std::string& sourcePath) {
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (Busy() || !IsRootFileName(discPath) ||
      !GetFileAttributesExW(classlib::Widen(sourcePath).c_str(), GetFileExInfoStandard, &data) ||
      (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
    return false;
  const std::int64_t size = (static_cast<std::int64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
  image_.erase(std::remove_if(image_.begin(), image_.end(),
                              [&](const ImageFile& f) { return classlib::SameTextAscii(f.discPath, discPath); }),
               image_.end());
  image_.push_back({discPath, sourcePath, size});
  prepared_ = false;
  return true;
}

bool CDSimulator::ImportLastSession(bool value) {
  const SimulatedDisc* disc = SelectedDisc();
  if (Busy() || (value && (!disc || disc->Sessions == 0))) return false;
  importLastSession_ = value;
  return true;
}

bool CDSimulator::PrepareWrite(bool value) {
  if (Busy()) return false;
  prepared_ = value && !image_.empty();
  return prepared_;
}

int CDSimulator::BufferUsed() const {
  const int remaining = total_ - written_;
  return remaining >= kBufferBlocks ? 100 : remaining * 100 / kBufferBlocks;
}

void CDSimulator::Begin(Operation operation, Step first) {
  operation_ = operation;
  step_ = first;
  disc_ = Selected()->Disc;
  ++generation_;
  Post(kStepMessage);
}

void CDSimulator::EndOperation() {
  if (operation_ == Operation::Write) ClearImage();
  operation_ = Operation::None;
  disc_.reset();
  ++generation_;
}

void CDSimulator::ClearImage() {
  image_.clear();
  importLastSession_ = false;
  prepared_ = false;
}

void CDSimulator::Post(unsigned message) { PostMessageW(window_, message, generation_, 0); }

void CDSimulator::HandleMessage(unsigned message) {
  try {
    if (message == kCancelledMessage)
      Notify(&ICDWriterEvents::WritingCancelled);
    else
      RunStep();
  } catch (...) {
    classlib::Application().HandleException(std::current_exception());
    if (Busy()) {
      EndOperation();
      Notify(&ICDWriterEvents::OperationFailed);
    }
  }
}

// One event per step. The next step is posted after the event's handler returns, so a handler that
// pumps messages does not run the rest of the operation inside itself.
void CDSimulator::RunStep() {
  const unsigned generation = generation_;
  SimulatedCDDevice& device = *Selected();
  switch (step_) {
    case Step::TrackStart:
      step_ = Step::Status;
      Notify(&ICDWriterEvents::TrackWriteStart, 1, total_);
      break;
    case Step::Status: {
      const int chunk = std::max(1, (total_ + kStatusSteps - 1) / kStatusSteps);
      const int target = std::min(total_, written_ + chunk);
      if (device.FailWriteAtBlock >= 0 && target >= device.FailWriteAtBlock) {
        device.FailWriteAtBlock = -1;
        EndOperation();
        Notify(&ICDWriterEvents::OperationFailed);
        return;
      }
      written_ = target;
      if (written_ == total_) step_ = Step::Closing;
      Notify(&ICDWriterEvents::TrackWriteStatus, 1, written_, BufferUsed());
      break;
    }
    case Step::Closing:
      step_ = Step::Finish;
      Notify(closing_ ? &ICDWriterEvents::ClosingDisc : &ICDWriterEvents::ClosingSession);
      break;
    case Step::Finish: {
      const bool burned = device.Disc == disc_ && BurnImage();
      EndOperation();
      Notify(burned ? &ICDWriterEvents::WritingComplete : &ICDWriterEvents::OperationFailed);
      return;
    }
    case Step::Erase: {
      if (--eraseStepsLeft_ > 0) break;
      const bool present = device.Disc == disc_;
      if (present && device.ErasesFreeingNothing > 0)
        --device.ErasesFreeingNothing;
      else if (present)
        ClearContents(*disc_);
      EndOperation();
      Notify(present ? &ICDWriterEvents::EraseComplete : &ICDWriterEvents::OperationFailed);
      return;
    }
  }
  if (generation_ == generation) Post(kStepMessage);
}

bool CDSimulator::BurnImage() {
  SimulatedDisc& disc = *disc_;
  CreateDirectoryW(classlib::Widen(disc.HostFolder).c_str(), nullptr);
  std::vector<std::string> shown = importLastSession_ ? disc.Files : std::vector<std::string>();
  for (const ImageFile& file : image_) {
    if (!CopyFileW(classlib::Widen(file.sourcePath).c_str(), classlib::Widen(HostPath(disc, file.discPath)).c_str(),
                   FALSE))
      return false;
    if (!Contains(shown, file.discPath)) shown.push_back(file.discPath);
  }
  // Files of earlier sessions that the new one does not show are still on the disc, but out of
  // sight.
  for (const std::string& old : disc.Files)
    if (!Contains(shown, old)) DeleteFileW(classlib::Widen(HostPath(disc, old)).c_str());
  disc.UsedBlocks += total_;
  ++disc.Sessions;
  disc.Closed = closing_;
  disc.VolumeLabel = label_;
  disc.Files = std::move(shown);
  return true;
}

void CDSimulator::ClearContents(SimulatedDisc& disc) {
  for (const std::string& file : disc.Files) DeleteFileW(classlib::Widen(HostPath(disc, file)).c_str());
  disc.UsedBlocks = 0;
  disc.Sessions = 0;
  disc.Closed = false;
  disc.VolumeLabel.clear();
  disc.Files.clear();
}

}  // namespace app
