// What one backup can hold: an archive without Zip64 records. The run and the single backup keep
// to the same limits and say so in the same words.
#pragma once

#include <cstdint>
#include <string>

namespace app {

// The largest backup, all parts together, that is kept.
constexpr std::int64_t kMaxBackupBytes = 4096LL * 1024 * 1024;
// The most files one backup holds.
constexpr int kMaxBackupFiles = 65535;

// Why a backup of count files cannot be made, known before any file is opened; empty when it can.
std::string TooManyFilesProblem(int count);

}  // namespace app
