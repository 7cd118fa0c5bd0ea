// A program run to its end as a process of its own, for checks from outside the code under test.
// Under a busy machine such a run may not start, not end in time, or end without a word; the
// result says which, so a test can fail with the reason instead of comparing an empty text.
#pragma once

#include <windows.h>

#include <string>

#include "tests/support/wait.h"

namespace testing_support {

struct ChildRun {
  // What it wrote to its standard output and error, in its bytes.
  std::string Output;
  // Empty when it started, ended within the time and answered 0; else what went wrong.
  std::string Problem;
};

// Runs the command line (program and arguments) without a console window and waits for its end.
ChildRun RunChild(const std::wstring& CommandLine, DWORD TimeoutMs = kWaitMs);

}  // namespace testing_support
