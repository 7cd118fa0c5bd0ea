// The vendor's signature under the version file. Its last line is "Signature=" and, in hex, the
// ECDSA signature (P-256 curve, SHA-256, DER-encoded as common tools write it) over every byte of
// the file before that line. Only the vendor holds the private key; the program carries the public
// key and checks with the platform's own cryptography.
#pragma once

#include <string>

namespace update {

// The vendor's public key: the uncompressed curve point (04, X, Y) in hex.
constexpr char kVendorPublicKey[] =
    "046FAD605204C68A4508D1006ACBA839C26B3E193CE2731762F8E52086F92035"
    "255E8035C556AE67ED4EA266A4FF1464DB7D70B0350A4C6C234A00F3D0D5A29AA2";

// kVendorPublicKey, unless tests check against a key of their own.
std::string VendorPublicKey();
// An empty key restores kVendorPublicKey.
void SetVendorPublicKeyForTesting(const std::string& hexPoint);

// True when text ends in a "Signature=" line (with or without its line end) whose signature by
// the vendor's key covers all that comes before it; signedPart receives that part.
bool VerifyVendorSignature(const std::string& text, std::string& signedPart);

}  // namespace update
