// Points HKEY_CURRENT_USER of this process at a scratch key for the life of the object, so tests
// never touch a user's real settings. The scratch key and all below it are deleted afterwards.
#pragma once

#include <windows.h>

namespace testing_support {

class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // The scratch key itself, for checks that bypass the code under test.
  HKEY Key() const { return key_; }

 private:
  HKEY key_ = nullptr;
  wchar_t name_[96] = {};
};

}  // namespace testing_support
