#include "tests/update/signing.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "classlib/wide.h"
#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"
#include "update/sha256.h"

namespace update_testing {
namespace {

using testing_support::HostPath;
using testing_support::RunHostPython;

// As the README gives them; run in the key's folder.
constexpr char kMakeKey[] =
    "openssl genpkey -algorithm EC -pkeyopt ec_paramgen_curve:P-256 -out vendor-key.pem && "
    "openssl pkey -in vendor-key.pem -pubout -outform DER | tail -c 65 | basenc --base16 -w0";
constexpr char kSign[] =
    "printf 'Signature=%s\\n' \"$(openssl dgst -sha256 -sign vendor-key.pem update.ini | basenc --base16 -w0)\" "
    ">> update.ini";

constexpr char kRunInFolder[] = R"(import subprocess, sys
result = subprocess.run(sys.argv[2], shell=True, cwd=sys.argv[1], capture_output=True, text=True)
sys.stdout.write(result.stdout)
if result.returncode != 0:
    sys.stdout.write(result.stderr)
    sys.exit(1)
)";

std::string RunInFolder(const std::string& folder, const std::string& command) {
  std::string output;
  if (!RunHostPython(kRunInFolder, {HostPath(folder), command}, output)) {
    throw std::runtime_error(command + ": " + output);
  }
  return output;
}

TestKey MakeKey(const testing_support::TempDir& folder) {
  return {folder.Path(), RunInFolder(folder.Path(), kMakeKey)};
}

}  // namespace

const TestKey& VendorTestKey() {
  static testing_support::TempDir folder;
  static const TestKey key = MakeKey(folder);
  return key;
}

const TestKey& OtherTestKey() {
  static testing_support::TempDir folder;
  static const TestKey key = MakeKey(folder);
  return key;
}

std::string Signed(const std::string& text, const TestKey& key) {
  const std::string file = testing_support::Join(key.folder, "update.ini");
  testing_support::WriteFile(file, text);
  RunInFolder(key.folder, kSign);
  return testing_support::ReadFile(file);
}

std::string SHA256Hex(const std::string& bytes) {
  testing_support::TempDir dir;
  testing_support::WriteFile(dir / "f", bytes);
  HANDLE file = CreateFileW(classlib::Widen(dir / "f").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                            OPEN_EXISTING, 0, nullptr);
  std::string hex;
  EXPECT_TRUE(update::FileSHA256(file, hex));
  CloseHandle(file);
  return hex;
}

std::string DigestLine(const std::string& setup) { return "SHA256=" + SHA256Hex(setup); }

}  // namespace update_testing
