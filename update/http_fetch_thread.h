// The transfer thread of THTTPFetch. It owns itself and ends after its end call ran on the GUI
// thread; it reaches its component only through the state they share, so it never outlives a
// component it could still call.
#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "update/http_fetch.h"

namespace update {

// Lives as long as either the component or its thread.
struct THTTPFetchShared {
  // Set on the GUI thread; the transfer tests it between its steps and after every chunk.
  std::atomic<bool> terminated{false};
  // The rest belongs to the GUI thread.
  THTTPFetch* owner = nullptr;  // null once the component let go
  bool ended = false;           // the end call ran, or the component let go
  int callsRunning = 0;         // the thread's calls on the GUI thread now running
};

class THTTPFetchThread {
 public:
  // Starts a transfer with copies of the settings; the thread's handle, for the caller to close.
  // Raises EOSError when no thread can be started.
  static void* Start(const THTTPFetchSettings& settings, bool toFile, TOnProgressEvent onProgress,
                     std::shared_ptr<THTTPFetchShared> shared);

 private:
  THTTPFetchThread(const THTTPFetchSettings& settings, bool toFile, TOnProgressEvent onProgress,
                   std::shared_ptr<THTTPFetchShared> shared);
  static unsigned __stdcall Run(void* self);
  void Execute();
  bool Transfer();
  bool Terminated() const { return shared_->terminated; }
  // Appends a chunk to the file or the result; false when that fails or exceeds the string limit.
  bool Store(void* file, const char* data, unsigned long size);
  void ReportProgress();
  void ReportEnd();
  // Runs call on the GUI thread, and waits for it, while the component is there to receive it.
  void CallOwner(const std::function<void()>& call);

  const THTTPFetchSettings settings_;
  const bool toFile_;
  const TOnProgressEvent onProgress_;
  const std::shared_ptr<THTTPFetchShared> shared_;
  int totalSize_ = 0;
  int readed_ = 0;
  std::string result_;
  bool success_ = false;
};

}  // namespace update
