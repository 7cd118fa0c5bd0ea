// The HTTP client component: fetches one URL over plain HTTP on a transfer thread of its own,
// into a string or a file, reports progress on the GUI thread and announces the end by an event.
// Events are plain function objects that fire only when assigned, always on the GUI thread. Its
// owner (the window it sits on) frees it.
//
// A transfer succeeds only when the server answers 200. A string transfer holds at most
// kStringLimit bytes; a longer answer fails. A server that stalls fails the transfer after
// kStallTimeout. One transfer runs at a time: a start while a cancelled one is still ending waits
// for that end first. Destroying the component cancels its transfer and waits, at most
// kStallTimeout, for the thread; no event fires after that.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "classlib/component.h"

namespace update {

using TOnProgressEvent = std::function<void(int TotalSize, int Readed)>;
using TOnDoneFileEvent = std::function<void(const std::string& FileName, int FileSize)>;
using TOnDoneStringEvent = std::function<void(const std::string& Result)>;
using TOnErrorEvent = std::function<void()>;

// The settings a transfer copies when it starts.
struct THTTPFetchSettings {
  std::string AcceptTypes = "*/*";
  std::string Agent = "HTTPFetch";
  bool BinaryData = false;
  std::string URL;
  bool UseCache = false;
  std::string FileName;
  std::string UserName;
  std::string Password;
  std::string PostQuery;
  std::string Referer;
};

struct THTTPFetchShared;

class THTTPFetch : public classlib::TComponent {
 public:
  // Must be created on the GUI thread.
  explicit THTTPFetch(classlib::TComponent* AOwner);
  ~THTTPFetch() override;

  // ---- published properties; changes reach only transfers started afterwards

  // The media types of the request's Accept header.
  const std::string& AcceptTypes() const { return settings_.AcceptTypes; }
  void SetAcceptTypes(const std::string& value) { settings_.AcceptTypes = value; }
  // Empty sends no user agent.
  const std::string& Agent() const { return settings_.Agent; }
  void SetAgent(const std::string& value) { settings_.Agent = value; }
  // An answer without a content length fails at once.
  bool BinaryData() const { return settings_.BinaryData; }
  void SetBinaryData(bool value) { settings_.BinaryData = value; }
  // ["http://"] host [":" port] [path]; see SplitURL.
  const std::string& URL() const { return settings_.URL; }
  void SetURL(const std::string& value) { settings_.URL = value; }
  // False forces a reload from the server.
  bool UseCache() const { return settings_.UseCache; }
  void SetUseCache(bool value) { settings_.UseCache = value; }
  // Target of a file transfer, created or truncated once the server answered 200.
  const std::string& FileName() const { return settings_.FileName; }
  void SetFileName(const std::string& value) { settings_.FileName = value; }
  const std::string& UserName() const { return settings_.UserName; }
  void SetUserName(const std::string& value) { settings_.UserName = value; }
  const std::string& Password() const { return settings_.Password; }
  void SetPassword(const std::string& value) { settings_.Password = value; }
  // Not empty: the request is a form POST with this body.
  const std::string& PostQuery() const { return settings_.PostQuery; }
  void SetPostQuery(const std::string& value) { settings_.PostQuery = value; }
  const std::string& Referer() const { return settings_.Referer; }
  void SetReferer(const std::string& value) { settings_.Referer = value; }
  bool WaitThread() const { return waitThread_; }
  void SetWaitThread(bool value) { waitThread_ = value; }

  // ---- published events

  // After every chunk read: the content length (0 when unknown) and the bytes read so far.
  TOnProgressEvent OnProgress;
  // A file transfer got exactly its content length.
  TOnDoneFileEvent OnDoneFile;
  // A string transfer got at least one byte, and all of its content length when one was given.
  TOnDoneStringEvent OnDoneString;
  // Failed or cancelled.
  TOnErrorEvent OnError;

  // ---- operations

  // False when refused: a transfer runs that was not cancelled, or this is a call of the cancelled
  // transfer itself. With WaitThread, returns only after OnDoneFile or OnError has fired (pumping
  // messages).
  bool StartFileDownload();
  // The same; with WaitThread, dispatches the waiting messages once and returns while the
  // transfer runs.
  bool StartStringDownload();
  // Asks the running transfer to stop; it ends with OnError, even when its last chunk is in.
  void CancelDownload();
  // When a cancelled transfer is still ending, waits for its OnError (running only the transfer's
  // own calls and repainting windows meanwhile). Every start does this first; a caller that sets
  // up for the next transfer does it before, so that end finds it as the cancel left it.
  void WaitForCancelledTransfer();

  static constexpr int kStringLimit = 64 * 1024;
  // A connection not made (where the system keeps that timeout) or a server silent for this long
  // fails the transfer. A wait for a transfer's thread (a start after a cancel, the destructor)
  // lasts at most this long as well; a thread still held then is let go to end by itself,
  // reaching nobody, and a cancelled transfer waited for so ends with OnError there.
  static constexpr int kStallTimeout = 30000;
  // 0 restores kStallTimeout.
  static void SetStallTimeoutForTesting(int milliseconds);

 private:
  friend class THTTPFetchThread;

  static int StallTimeout();
  // False when refused.
  bool StartThread(bool toFile);
  // On the GUI thread when the transfer thread ends.
  void DownloadFinished(bool success, bool toFile, const std::string& fileName, int totalSize,
                        const std::string& result);
  // Lets go of the transfer thread; waiting for its end means running its calls meanwhile.
  void ForgetThread(bool waitForThread);

  THTTPFetchSettings settings_;
  bool waitThread_ = false;
  // The running transfer; none when idle.
  std::shared_ptr<THTTPFetchShared> shared_;
  void* thread_ = nullptr;
  // False once the component is gone, for calls that pump messages on its behalf.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace update
