// Points HKEY_CURRENT_USER of this process at a scratch key for the life of the object, so tests
// never touch a user's real settings. The scratch key and all below it are deleted afterwards.
#pragma once

#include <windows.h>

#include <string>

namespace testing_support {

class ScratchRegistry {
 public:
  ScratchRegistry();
  ~ScratchRegistry();
  ScratchRegistry(const ScratchRegistry&) = delete;
  ScratchRegistry& operator=(const ScratchRegistry&) = delete;

  // The scratch key itself, for checks that bypass the code under test.
  HKEY Key() const { return key_; }
  // The scratch key's full name as other processes see it: "HKEY_CURRENT_USER\Software\...".
  std::string Place() const;
  // What `reg query HKEY_CURRENT_USER\<key> /s` prints for a key below the scratch key (key without
  // its leading "\"), run as a process of its own that sees the real branch; the scratch key's place
  // in the output reads HKEY_CURRENT_USER again. UTF-8, lines ending in CR LF. Throws with the
  // reason when reg does not start, end, answer 0 and print something, twice.
  std::string Dump(const std::string& key) const;

 private:
  HKEY key_ = nullptr;
  wchar_t name_[96] = {};
};

}  // namespace testing_support
