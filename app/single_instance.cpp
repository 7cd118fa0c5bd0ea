#include "app/single_instance.h"

#include <windows.h>

#include "classlib/wide.h"

namespace app {

TInstanceLock::TInstanceLock(const std::string& name) {
  HANDLE semaphore = CreateSemaphoreW(nullptr, 0, 1, classlib::Widen(name).c_str());
  second_ = semaphore && GetLastError() == ERROR_ALREADY_EXISTS;
  if (second_) {
    CloseHandle(semaphore);
  } else {
    handle_ = semaphore;
  }
}

TInstanceLock::~TInstanceLock() {
  if (handle_) CloseHandle(handle_);
}

}  // namespace app
