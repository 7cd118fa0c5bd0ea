// How the decoding of one entry's data ended.
#pragma once

namespace zip {

enum class TDecodeResult {
  kComplete,  // the data ended where its method says it ends
  kDamaged,   // the data broke its method's rules or ended early; the output holds what came before
};

}  // namespace zip
