#include "update/vendor_signature.h"

#include <gtest/gtest.h>

#include <string>

#include "tests/support/host_python.h"
#include "tests/support/temp_dir.h"
#include "tests/update/signing.h"
#include "update/update_info.h"

namespace {

using update::VerifyVendorSignature;
using update_testing::OtherTestKey;
using update_testing::Signed;
using update_testing::VendorTestKey;

class VendorSignature : public testing::Test {
 protected:
  void SetUp() override { update::SetVendorPublicKeyForTesting(VendorTestKey().publicPoint); }
  void TearDown() override { update::SetVendorPublicKeyForTesting(""); }
};

// The signature line's hex digits, changed by change.
std::string WithSignature(const std::string& signedText, std::string (*change)(std::string)) {
  const size_t at = signedText.rfind("Signature=") + 10;
  const size_t end = signedText.find('\n', at);
  return signedText.substr(0, at) + change(signedText.substr(at, end - at)) + signedText.substr(end);
}

TEST_F(VendorSignature, OnlyTheVendorsKeyOverEveryByteBeforeItsLineCounts) {
  const std::string text = "[data full]\nVersion=2.41\nSize=1 KB\n";
  const std::string good = Signed(text);
  std::string flipped = good;
  flipped[14] ^= 1;
  const struct {
    const char* name;
    std::string file;
    bool verifies;
  } cases[] = {
      {"signed", good, true},
      {"its line without a line end", good.substr(0, good.size() - 1), true},
      {"its line ending in CR LF", good.substr(0, good.size() - 1) + "\r\n", true},
      {"its digits in small letters", WithSignature(good, [](std::string hex) {
         for (char& c : hex) c = static_cast<char>(tolower(c));
         return hex;
       }), true},
      {"unsigned", text, false},
      {"by another key", Signed(text, OtherTestKey()), false},
      {"a byte changed after signing", flipped, false},
      {"a byte added after signing", "x" + good, false},
      {"a line after it", good + "\n", false},
      {"a digit of it changed", WithSignature(good, [](std::string hex) {
         hex[20] = hex[20] == '0' ? '1' : '0';
         return hex;
       }), false},
      {"cut short", WithSignature(good, [](std::string hex) { return hex.substr(0, hex.size() - 2); }), false},
      {"bytes after its encoding", WithSignature(good, [](std::string hex) { return hex + "00"; }), false},
      {"an odd digit", WithSignature(good, [](std::string hex) { return hex + "0"; }), false},
      {"not hex", WithSignature(good, [](std::string hex) { return "zz" + hex.substr(2); }), false},
      {"empty", text + "Signature=\n", false},
      {"nothing but the line", "Signature=" + good.substr(good.rfind('=') + 1), false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::string signedPart = "untouched";
    EXPECT_EQ(VerifyVendorSignature(c.file, signedPart), c.verifies);
    EXPECT_EQ(signedPart, c.verifies ? text : "untouched");
  }
}

// r and s are each 32 bytes for the platform; DER drops their leading zeros, which one signature
// in about 128 has.
TEST_F(VendorSignature, SignaturesWithShortNumbersVerify) {
  const char script[] = R"(import subprocess, sys
folder = sys.argv[1]
for i in range(5000):
    text = "[data full]\nVersion=%d\n" % i
    der = subprocess.run(["openssl", "dgst", "-sha256", "-sign", folder + "/vendor-key.pem"],
                         input=text.encode(), capture_output=True, check=True).stdout
    r = der[3]
    s = der[4 + r + 1]
    if r < 32 or s < 32:
        sys.stdout.write(text + "Signature=" + der.hex() + "\n")
        break
)";
  std::string output;
  ASSERT_TRUE(testing_support::RunHostPython(script, {testing_support::HostPath(VendorTestKey().folder)}, output))
      << output;
  ASSERT_FALSE(output.empty()) << "no signature with a short number came up";
  std::string signedPart;
  EXPECT_TRUE(VerifyVendorSignature(output, signedPart)) << output;
}

TEST(VendorKey, TheProgramsOwnKeyBelievesTheVendorAndNotTheTests) {
  const std::string vendorSigned = testing_support::ReadFile(ORV_UPDATE_TEST_DATA "/vendor_signed.ini");
  std::string signedPart;
  EXPECT_TRUE(VerifyVendorSignature(vendorSigned, signedPart));
  EXPECT_EQ(signedPart, "[info]\nname=Orvanta\ncomment=Signed by the vendor key; it offers no setup.\n");
  // What the vendor signed for this test offers nothing.
  EXPECT_EQ(update::ReadUpdateFile(vendorSigned, {2, 4, 0, 2}).Kind, update::TUpdateFileKind::NotVerified);
  EXPECT_FALSE(VerifyVendorSignature(Signed("[data full]\nVersion=9\nSize=1 KB\n"), signedPart));
}

}  // namespace
