// One copy of the program per session: the first start creates a named semaphore and holds it
// until the process ends, so a later start finds it and knows that it is the second.
#pragma once

#include <string>

namespace app {

constexpr char kInstanceName[] = "Orvanta";

class TInstanceLock {
 public:
  explicit TInstanceLock(const std::string& name = kInstanceName);
  ~TInstanceLock();
  TInstanceLock(const TInstanceLock&) = delete;
  TInstanceLock& operator=(const TInstanceLock&) = delete;

  // Another copy held the semaphore when this lock was made. A semaphore that could not be
  // created at all counts as a first start, so the program still runs.
  bool SecondInstance() const { return second_; }

 private:
  void* handle_ = nullptr;
  bool second_ = false;
};

}  // namespace app
