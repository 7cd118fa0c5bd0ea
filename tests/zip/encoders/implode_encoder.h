// Test-only compressor for method 6 (imploding), to make fixtures for the decoder and the peers.
#pragma once

#include <string>

namespace test_encoders {

// bigDictionary: 8192-byte dictionary (general purpose flag bit 1), else 4096; literalTree: three
// trees (flag bit 2), else two with literals stored as 8 plain bits.
std::string Implode(const std::string& data, bool bigDictionary, bool literalTree);

// The general purpose flags an imploded entry made so needs.
unsigned ImplodeFlags(bool bigDictionary, bool literalTree);

}  // namespace test_encoders
