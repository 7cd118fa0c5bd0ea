#include "zip/decoder_memory.h"

namespace zip {
namespace {

TDecoderMemory heap;
TDecoderMemory* installed = &heap;

}  // namespace

TDecoderMemory& DecoderMemory() { return *installed; }

void SetDecoderMemoryForTesting(TDecoderMemory* memory) { installed = memory ? memory : &heap; }

}  // namespace zip
