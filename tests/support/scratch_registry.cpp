#include "tests/support/scratch_registry.h"

#include <cstdio>
#include <stdexcept>

namespace testing_support {

ScratchRegistry::ScratchRegistry() {
  static unsigned counter = 0;
  std::swprintf(name_, 96, L"Software\\OrvantaTestScratch\\%lu-%u", GetCurrentProcessId(), counter++);
  if (RegCreateKeyExW(HKEY_CURRENT_USER, name_, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_, nullptr) !=
          ERROR_SUCCESS ||
      RegOverridePredefKey(HKEY_CURRENT_USER, key_) != ERROR_SUCCESS)
    throw std::runtime_error("cannot set up the scratch registry");
}

ScratchRegistry::~ScratchRegistry() {
  RegOverridePredefKey(HKEY_CURRENT_USER, nullptr);
  RegCloseKey(key_);
  RegDeleteTreeW(HKEY_CURRENT_USER, name_);
}

}  // namespace testing_support
