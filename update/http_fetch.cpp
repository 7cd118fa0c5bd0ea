#include "update/http_fetch.h"

#include <windows.h>

#include <atomic>

#include "classlib/gui_thread.h"
#include "update/http_fetch_thread.h"

namespace update {
namespace {

std::atomic<int> stallTimeoutForTesting{0};

}  // namespace

THTTPFetch::THTTPFetch(classlib::TComponent* AOwner) : TComponent(AOwner) { classlib::InitGuiThread(); }

THTTPFetch::~THTTPFetch() {
  *alive_ = false;
  if (!shared_) return;
  shared_->terminated = true;
  // Inside one of its own thread's calls the thread waits for us: it ends by itself once we
  // return, without reaching this component again.
  ForgetThread(shared_->callsRunning == 0);
}

bool THTTPFetch::StartFileDownload() {
  if (!StartThread(true)) return false;
  if (!waitThread_) return true;
  // The component may go while messages are pumped; the shared state tells the end all the same.
  std::shared_ptr<THTTPFetchShared> shared = shared_;
  classlib::PumpMessagesUntil([&shared] { return shared->ended; });
  return true;
}

bool THTTPFetch::StartStringDownload() {
  if (!StartThread(false)) return false;
  if (waitThread_) classlib::DispatchPendingMessages();
  return true;
}

void THTTPFetch::CancelDownload() {
  if (shared_) shared_->terminated = true;
}

void THTTPFetch::WaitForCancelledTransfer() {
  // Inside one of its own calls the transfer cannot end; a start there is refused.
  if (!shared_ || !shared_->terminated || shared_->callsRunning > 0) return;
  const std::shared_ptr<bool> alive = alive_;
  const std::shared_ptr<THTTPFetchShared> ending = shared_;
  // Its end call closes thread_ while we wait.
  HANDLE thread = nullptr;
  if (DuplicateHandle(GetCurrentProcess(), thread_, GetCurrentProcess(), &thread, SYNCHRONIZE, FALSE, 0)) {
    classlib::WaitRunningSynchronizedCalls(thread, static_cast<unsigned long>(StallTimeout()));
    CloseHandle(thread);
  }
  // It ended meanwhile, or the component did.
  if (!*alive || ending->ended) return;
  // Held where no timeout reaches; it ends by itself later, reaching nobody.
  ForgetThread(false);
  if (TOnErrorEvent handler = OnError) handler();
}

bool THTTPFetch::StartThread(bool toFile) {
  const std::shared_ptr<bool> alive = alive_;
  WaitForCancelledTransfer();
  // The calls run while waiting may have started a transfer, or freed the component.
  if (!*alive || shared_) return false;
  auto shared = std::make_shared<THTTPFetchShared>();
  shared->owner = this;
  thread_ = THTTPFetchThread::Start(settings_, toFile, OnProgress, shared);
  shared_ = std::move(shared);
  return true;
}

void THTTPFetch::DownloadFinished(bool success, bool toFile, const std::string& fileName, int totalSize,
                                  const std::string& result) {
  // A cancel that came after the last chunk still wins.
  success = success && !shared_->terminated;
  // The thread ends by itself once this call returns to it.
  ForgetThread(false);
  // Idle before the handler runs, which may start the next transfer or destroy this component.
  if (!success) {
    if (TOnErrorEvent handler = OnError) handler();
  } else if (toFile) {
    if (TOnDoneFileEvent handler = OnDoneFile) handler(fileName, totalSize);
  } else if (TOnDoneStringEvent handler = OnDoneString) {
    handler(result);
  }
}

void THTTPFetch::ForgetThread(bool waitForThread) {
  shared_->owner = nullptr;
  shared_->ended = true;
  if (waitForThread) classlib::WaitRunningSynchronizedCalls(thread_, static_cast<unsigned long>(StallTimeout()));
  CloseHandle(thread_);
  thread_ = nullptr;
  shared_.reset();
}

void THTTPFetch::SetStallTimeoutForTesting(int milliseconds) { stallTimeoutForTesting = milliseconds; }

int THTTPFetch::StallTimeout() {
  const int forTesting = stallTimeoutForTesting;
  return forTesting > 0 ? forTesting : kStallTimeout;
}

}  // namespace update
