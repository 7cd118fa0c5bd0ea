#include "app/dde_hand_over.h"

#include <windows.h>
#include <ddeml.h>
#include <process.h>

#include <atomic>
#include <vector>

#include "app/program_paths.h"
#include "classlib/exceptions.h"
#include "classlib/gui_thread.h"
#include "classlib/wide.h"
#include "zip/path_strings.h"

namespace app {

struct THandOverServerState {
  THandOverServer* owner = nullptr;
  DWORD instance = 0;
  HSZ service = nullptr;
  HSZ topicName = nullptr;
  std::string topic;
  bool listening = false;
};

namespace {

// A second start waits this much longer than its retries and the answer timeout, for broadcasts
// that windows of other programs are slow to take.
constexpr DWORD kConnectSlackMs = 3000;
// How long the conversation may take to end after the answer.
constexpr DWORD kEndGraceMs = 1000;

std::string JoinLines(const classlib::TStringList& lines) {
  std::string text;
  for (int i = 0; i < lines.Count(); ++i) text += (i > 0 ? "\r\n" : "") + lines[i];
  return text;
}

// CR LF between lines; a bare LF is taken as well, a final line break ends the last line.
classlib::TStringList SplitLines(const std::string& text) {
  classlib::TStringList lines;
  for (std::size_t at = 0; at < text.size();) {
    std::size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    const std::size_t stop = end > at && text[end - 1] == '\r' ? end - 1 : end;
    lines.Add(text.substr(at, stop - at));
    at = end + 1;
  }
  return lines;
}

HSZ MakeName(DWORD instance, const std::string& name) {
  return DdeCreateStringHandleW(instance, classlib::Widen(name).c_str(), CP_WINUNICODE);
}

void FreeName(DWORD instance, HSZ& name) {
  if (name) DdeFreeStringHandle(instance, name);
  name = nullptr;
}

HDDEDATA Answer(DWORD value) { return reinterpret_cast<HDDEDATA>(static_cast<ULONG_PTR>(value)); }

// DDE callbacks carry no context; the one server of the process is found here.
std::weak_ptr<THandOverServerState> activeServer;

// Copies the macro's lines and queues them for the handler; the server may be gone by then.
bool QueueMacro(const std::shared_ptr<THandOverServerState>& server, HDDEDATA data) {
  const DWORD size = DdeGetData(data, nullptr, 0, 0);
  std::vector<wchar_t> text(size / sizeof(wchar_t) + 1, L'\0');
  if (size > 0 && DdeGetData(data, reinterpret_cast<BYTE*>(text.data()), size, 0) != size) return false;
  const classlib::TStringList lines = SplitLines(classlib::Narrow(text.data()));
  const std::weak_ptr<THandOverServerState> weak = server;
  return classlib::Queue([weak, lines] {
    const std::shared_ptr<THandOverServerState> alive = weak.lock();
    if (alive && alive->owner->OnExecuteMacro) alive->owner->OnExecuteMacro(lines);
  });
}

HDDEDATA CALLBACK ServerCallback(UINT type, UINT, HCONV, HSZ topic, HSZ service, HDDEDATA data, ULONG_PTR, ULONG_PTR) {
  try {
    const std::shared_ptr<THandOverServerState> server = activeServer.lock();
    const bool ours = server && DdeCmpStringHandles(topic, server->topicName) == 0;
    switch (type) {
      case XTYP_CONNECT:
        return Answer(ours && DdeCmpStringHandles(service, server->service) == 0);
      case XTYP_EXECUTE:
        return Answer(ours && QueueMacro(server, data) ? DDE_FACK : DDE_FNOTPROCESSED);
      default:
        return nullptr;
    }
  } catch (...) {
    // Nothing may unwind into DDE; the sender hears that the macro was not taken.
    return type == XTYP_EXECUTE ? Answer(DDE_FNOTPROCESSED) : nullptr;
  }
}

}  // namespace

std::string ProgramServiceName() {
  const std::string file = ProgramFile();
  const std::string name = file.substr(zip::ExtractFilePath(file).size());
  return name.substr(0, name.size() - zip::ExtractFileExt(name).size());
}

THandOverServer::THandOverServer(const std::string& service) : state_(std::make_shared<THandOverServerState>()) {
  if (!activeServer.expired()) throw classlib::EOSError("Only one hand-over server can run in a process.");
  classlib::InitGuiThread();
  state_->owner = this;
  state_->topic = kDdeTopic;
  activeServer = state_;
  const DWORD flags = APPCLASS_STANDARD | CBF_FAIL_ADVISES | CBF_FAIL_POKES | CBF_FAIL_REQUESTS |
                      CBF_FAIL_SELFCONNECTIONS | CBF_SKIP_ALLNOTIFICATIONS;
  if (DdeInitializeW(&state_->instance, ServerCallback, flags, 0) != DMLERR_NO_ERROR) return;
  state_->service = MakeName(state_->instance, service);
  state_->topicName = MakeName(state_->instance, state_->topic);
  state_->listening = state_->service && state_->topicName &&
                      DdeNameService(state_->instance, state_->service, nullptr, DNS_REGISTER) != nullptr;
}

THandOverServer::~THandOverServer() {
  if (state_->instance) {
    if (state_->listening) DdeNameService(state_->instance, state_->service, nullptr, DNS_UNREGISTER);
    FreeName(state_->instance, state_->service);
    FreeName(state_->instance, state_->topicName);
    DdeUninitialize(state_->instance);
  }
  activeServer.reset();
}

const std::string& THandOverServer::Topic() const { return state_->topic; }

void THandOverServer::SetTopic(const std::string& topic) {
  state_->topic = topic;
  if (!state_->instance) return;
  FreeName(state_->instance, state_->topicName);
  state_->topicName = MakeName(state_->instance, topic);
}

bool THandOverServer::Listening() const { return state_->listening; }

namespace {

// Shared by the caller and the conversation's thread, which may outlive the caller's wait.
struct ClientCall {
  ClientCall() : answered(CreateEventW(nullptr, TRUE, FALSE, nullptr)) {}
  ~ClientCall() {
    if (answered) CloseHandle(answered);
  }
  ClientCall(const ClientCall&) = delete;
  ClientCall& operator=(const ClientCall&) = delete;

  void Answer(bool isDelivered) {
    delivered = isDelivered;
    SetEvent(answered);
  }

  std::wstring service;
  std::wstring macro;
  HandOverTiming timing;
  HANDLE answered;
  std::atomic<bool> delivered{false};
};

HDDEDATA CALLBACK ClientCallback(UINT, UINT, HCONV, HSZ, HSZ, HDDEDATA, ULONG_PTR, ULONG_PTR) { return nullptr; }

// The whole conversation, on a thread of its own so that the caller can stop waiting. The result
// is given before the conversation ends: ending it waits for the other side, which by then may be
// busy with the work the macro asked for.
void SendMacro(ClientCall& call) {
  DWORD instance = 0;
  if (DdeInitializeW(&instance, ClientCallback, APPCMD_CLIENTONLY, 0) != DMLERR_NO_ERROR) return;
  HSZ service = DdeCreateStringHandleW(instance, call.service.c_str(), CP_WINUNICODE);
  HSZ topic = MakeName(instance, kDdeTopic);
  for (int attempt = 0; attempt < call.timing.connectAttempts && service && topic; ++attempt) {
    if (attempt > 0) Sleep(call.timing.retryPauseMs);
    const HCONV conversation = DdeConnect(instance, service, topic, nullptr);
    if (!conversation) continue;
    DWORD result = 0;
    auto* bytes = reinterpret_cast<BYTE*>(const_cast<wchar_t*>(call.macro.c_str()));
    const DWORD size = static_cast<DWORD>((call.macro.size() + 1) * sizeof(wchar_t));
    call.Answer(DdeClientTransaction(bytes, size, conversation, nullptr, 0, XTYP_EXECUTE, call.timing.answerTimeoutMs,
                                     &result) != nullptr);
    DdeDisconnect(conversation);
    // A copy that took the conversation but did not answer may still carry out the macro later,
    // so it is not sent again.
    break;
  }
  FreeName(instance, service);
  FreeName(instance, topic);
  DdeUninitialize(instance);
}

unsigned __stdcall RunClient(void* parameter) {
  const std::unique_ptr<std::shared_ptr<ClientCall>> call(static_cast<std::shared_ptr<ClientCall>*>(parameter));
  try {
    SendMacro(**call);
  } catch (...) {
    // Not delivered; nothing may leave the thread.
  }
  SetEvent((*call)->answered);
  return 0;
}

}  // namespace

HandOverResult HandOverToRunningCopy(const classlib::TStringList& lines, const std::string& service,
                                     const HandOverTiming& timing) {
  auto call = std::make_shared<ClientCall>();
  call->service = classlib::Widen(service);
  call->macro = classlib::Widen(JoinLines(lines));
  call->timing = timing;
  if (!call->answered) return HandOverResult::NoAnswer;
  auto* parameter = new std::shared_ptr<ClientCall>(call);
  const auto thread = reinterpret_cast<HANDLE>(_beginthreadex(nullptr, 0, RunClient, parameter, 0, nullptr));
  if (!thread) {
    delete parameter;
    return HandOverResult::NoAnswer;
  }
  const DWORD limit =
      static_cast<DWORD>(timing.connectAttempts) * timing.retryPauseMs + timing.answerTimeoutMs + kConnectSlackMs;
  // The connection's broadcast also reaches this thread's own windows, so they must keep answering.
  const bool answered = classlib::WaitRunningSynchronizedCalls(call->answered, limit);
  // Normally the conversation ends at once. A thread left behind would keep its windows, and every
  // broadcast of the session would wait for them.
  if (answered) classlib::WaitRunningSynchronizedCalls(thread, kEndGraceMs);
  CloseHandle(thread);
  return answered && call->delivered ? HandOverResult::Delivered : HandOverResult::NoAnswer;
}

}  // namespace app
