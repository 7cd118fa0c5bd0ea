// Key pairs the tests make at run time with the host's openssl, and version files signed with them
// by the very command the README gives the vendor.
#pragma once

#include <string>

namespace update_testing {

struct TestKey {
  // The folder holding the private key as "vendor-key.pem".
  std::string folder;
  // The public key as the program carries it: the uncompressed point in hex.
  std::string publicPoint;
};

// Made once per test program; the fixtures make the program believe the first.
const TestKey& VendorTestKey();
const TestKey& OtherTestKey();

// text with the line "Signature=..." of key appended.
std::string Signed(const std::string& text, const TestKey& key = VendorTestKey());

// The SHA-256 of bytes in lower-case hex, as the program computes it for a file.
std::string SHA256Hex(const std::string& bytes);
// "SHA256=" and the setup's digest in hex.
std::string DigestLine(const std::string& setup);

}  // namespace update_testing
