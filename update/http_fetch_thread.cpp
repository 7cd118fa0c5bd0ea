#include "update/http_fetch_thread.h"

#include <windows.h>
#include <wininet.h>
#include <process.h>

#include <climits>
#include <optional>
#include <utility>

#include "classlib/exceptions.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "update/http_url.h"

namespace update {
namespace {

constexpr DWORD kChunkSize = 1025;
constexpr char kFormHeader[] = "Content-Type: application/x-www-form-urlencoded";
constexpr DWORD kStatusOk = 200;

class InternetHandle {
 public:
  explicit InternetHandle(HINTERNET handle) : handle_(handle) {}
  ~InternetHandle() {
    if (handle_) InternetCloseHandle(handle_);
  }
  InternetHandle(const InternetHandle&) = delete;
  InternetHandle& operator=(const InternetHandle&) = delete;
  operator HINTERNET() const { return handle_; }

 private:
  HINTERNET handle_;
};

class FileHandle {
 public:
  FileHandle() = default;
  ~FileHandle() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  FileHandle(const FileHandle&) = delete;
  FileHandle& operator=(const FileHandle&) = delete;
  bool Create(const std::string& path) {
    // Deletable while written: whoever gave up waiting for a cancelled transfer can delete its file,
    // which then goes once the transfer closes it.
    handle_ = CreateFileW(classlib::Widen(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                          CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle_ != INVALID_HANDLE_VALUE;
  }
  HANDLE Get() const { return handle_; }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

const char* NullIfEmpty(const std::string& s) { return s.empty() ? nullptr : s.c_str(); }

DWORD StatusCode(HINTERNET request) {
  DWORD status = 0;
  DWORD size = sizeof status;
  if (!HttpQueryInfoA(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr)) return 0;
  return status;
}

// The answer's content length in length, none when it has no such header. False when the header
// holds no number an Integer can take.
bool ContentLength(HINTERNET request, std::optional<int>& length) {
  char buffer[1024];
  DWORD size = sizeof buffer;
  length.reset();
  if (!HttpQueryInfoA(request, HTTP_QUERY_CONTENT_LENGTH, buffer, &size, nullptr)) return true;
  const std::string text(buffer, size);
  if (text.empty()) return false;
  long long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > INT_MAX) return false;
  }
  length = static_cast<int>(value);
  return true;
}

}  // namespace

void* THTTPFetchThread::Start(const THTTPFetchSettings& settings, bool toFile, TOnProgressEvent onProgress,
                              std::shared_ptr<THTTPFetchShared> shared) {
  auto* thread = new THTTPFetchThread(settings, toFile, std::move(onProgress), std::move(shared));
  const uintptr_t handle = _beginthreadex(nullptr, 0, &THTTPFetchThread::Run, thread, 0, nullptr);
  if (!handle) {
    delete thread;
    throw classlib::EOSError("The transfer thread cannot be started.");
  }
  return reinterpret_cast<void*>(handle);
}

THTTPFetchThread::THTTPFetchThread(const THTTPFetchSettings& settings, bool toFile, TOnProgressEvent onProgress,
                                   std::shared_ptr<THTTPFetchShared> shared)
    : settings_(settings), toFile_(toFile), onProgress_(std::move(onProgress)), shared_(std::move(shared)) {}

unsigned __stdcall THTTPFetchThread::Run(void* self) {
  std::unique_ptr<THTTPFetchThread> thread(static_cast<THTTPFetchThread*>(self));
  thread->Execute();
  return 0;
}

void THTTPFetchThread::Execute() {
  try {
    success_ = Transfer();
  } catch (...) {
    // Nothing may unwind out of the thread; whatever went wrong, the transfer failed.
    success_ = false;
  }
  ReportEnd();
}

// Every handle and the file close on the way out, request before connection before session.
bool THTTPFetchThread::Transfer() {
  if (Terminated()) return false;
  const THTTPTarget target = SplitURL(settings_.URL);

  InternetHandle session(
      InternetOpenA(NullIfEmpty(settings_.Agent), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
  if (!session || Terminated()) return false;
  InternetHandle connection(InternetConnectA(session, target.Host.c_str(), target.Port,
                                             NullIfEmpty(settings_.UserName), NullIfEmpty(settings_.Password),
                                             INTERNET_SERVICE_HTTP, 0, 0));
  if (!connection || Terminated()) return false;

  const bool post = !settings_.PostQuery.empty();
  // WinInet writes the header name itself; the entry is the media types alone.
  const char* acceptTypes[] = {settings_.AcceptTypes.c_str(), nullptr};
  InternetHandle request(HttpOpenRequestA(connection, post ? "POST" : "GET", NullIfEmpty(target.Path), "HTTP/1.0",
                                          NullIfEmpty(settings_.Referer), acceptTypes,
                                          settings_.UseCache ? 0 : INTERNET_FLAG_RELOAD, 0));
  if (!request || Terminated()) return false;
  // Left alone, an unreachable host or a silent server would hold the thread, and whoever waits
  // for it, for minutes.
  DWORD timeout = static_cast<DWORD>(THTTPFetch::StallTimeout());
  for (DWORD option :
       {INTERNET_OPTION_CONNECT_TIMEOUT, INTERNET_OPTION_SEND_TIMEOUT, INTERNET_OPTION_RECEIVE_TIMEOUT}) {
    InternetSetOptionA(request, option, &timeout, sizeof timeout);
  }
  std::string body = settings_.PostQuery;
  const BOOL sent = post ? HttpSendRequestA(request, kFormHeader, sizeof kFormHeader - 1, body.data(),
                                            static_cast<DWORD>(body.size()))
                         : HttpSendRequestA(request, nullptr, 0, nullptr, 0);
  if (!sent || Terminated()) return false;

  // An error page is no download, however complete.
  if (StatusCode(request) != kStatusOk) return false;
  std::optional<int> length;
  if (!ContentLength(request, length)) return false;
  if (!length && settings_.BinaryData) return false;
  if (!toFile_ && length && *length > THTTPFetch::kStringLimit) return false;

  totalSize_ = length.value_or(0);
  readed_ = 0;
  FileHandle file;
  if (toFile_ && !file.Create(settings_.FileName)) return false;
  result_.clear();

  char buffer[kChunkSize];
  for (;;) {
    if (Terminated()) return false;
    DWORD got = 0;
    // A broken connection is no end of data.
    if (!InternetReadFile(request, buffer, kChunkSize, &got)) return false;
    if (got == 0) break;
    if (got > static_cast<DWORD>(INT_MAX - readed_) || !Store(file.Get(), buffer, got)) return false;
    readed_ += static_cast<int>(got);
    ReportProgress();
  }

  if (toFile_) return readed_ == totalSize_;
  // An answer cut short of its content length is incomplete, for a string as for a file.
  return readed_ > 0 && (!length || readed_ == *length);
}

bool THTTPFetchThread::Store(void* file, const char* data, unsigned long size) {
  if (!toFile_) {
    if (result_.size() + size > static_cast<size_t>(THTTPFetch::kStringLimit)) return false;
    result_.append(data, size);
    return true;
  }
  DWORD written = 0;
  return WriteFile(file, data, size, &written, nullptr) && written == size;
}

void THTTPFetchThread::ReportProgress() {
  if (onProgress_) CallOwner([this] { onProgress_(totalSize_, readed_); });
}

void THTTPFetchThread::ReportEnd() {
  CallOwner([this] { shared_->owner->DownloadFinished(success_, toFile_, settings_.FileName, totalSize_, result_); });
}

void THTTPFetchThread::CallOwner(const std::function<void()>& call) {
  classlib::Synchronize([&] {
    if (!shared_->owner) return;
    ++shared_->callsRunning;
    struct Leave {
      THTTPFetchShared& shared;
      ~Leave() { --shared.callsRunning; }
    } leave{*shared_};
    call();
  });
}

}  // namespace update
