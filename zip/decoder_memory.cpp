#include "zip/decoder_memory.h"

namespace zip {
namespace {

TDecoderMemory* installed = nullptr;

}  // namespace

TDecoderMemory& DecoderMemory() {
  static TDecoderMemory heap;
  return installed ? *installed : heap;
}

void SetDecoderMemoryForTesting(TDecoderMemory* memory) { installed = memory; }

}  // namespace zip
