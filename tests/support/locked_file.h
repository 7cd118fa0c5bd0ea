// Holds a file open without sharing for its life, so nobody can write, rename or delete it.
#pragma once

#include <windows.h>

#include <string>

#include <gtest/gtest.h>

#include "classlib/wide.h"

namespace testing_support {

class LockedFile {
 public:
  explicit LockedFile(const std::string& path)
      : handle_(CreateFileW(classlib::Widen(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr)) {
    EXPECT_NE(handle_, INVALID_HANDLE_VALUE) << path;
  }
  ~LockedFile() { CloseHandle(handle_); }
  LockedFile(const LockedFile&) = delete;
  LockedFile& operator=(const LockedFile&) = delete;

 private:
  HANDLE handle_;
};

}  // namespace testing_support
