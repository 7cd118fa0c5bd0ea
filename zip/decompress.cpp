#include "zip/decompress.h"

#include <new>

#include "classlib/prompt.h"
#include "zip/explode.h"
#include "zip/messages.h"
#include "zip/unreduce.h"
#include "zip/unshrink.h"

namespace zip {

namespace {

constexpr std::uint16_t kMethodStored = 0;
constexpr std::uint16_t kMethodShrunk = 1;
constexpr std::uint16_t kMethodImploded = 6;
constexpr std::uint16_t kMethodDeflated = 8;

TDecodeResult StoreCopy(TEntryInput& input, TEntryOutput& output) {
  const std::uint8_t* chunk;
  for (std::int32_t count; (count = input.TakeChunk(chunk)) > 0;)
    output.OutBytes(chunk, static_cast<std::size_t>(count));
  return TDecodeResult::kComplete;
}

TDecodeResult DecodeOldMethod(std::uint16_t method, std::uint16_t flags, TEntryInput& input, TEntryOutput& output) {
  try {
    if (method == kMethodShrunk) return Unshrink(input, output);
    if (method == kMethodImploded) return Explode(input, output, flags);
    return Unreduce(input, output, method);
  } catch (const std::bad_alloc&) {
    // What the decoder took is freed again; the entry then fails its check like damaged data.
    classlib::Prompts().Message(classlib::MessageRequest{LoadZipString(kMsgInflateOutOfMemory), LoadZipString(kMsgError),
                                                         classlib::PromptButtons::Ok, classlib::PromptIcon::Error});
    return TDecodeResult::kDamaged;
  }
}

TDecodeResult Decode(std::uint16_t method, std::uint16_t flags, TEntryInput& input, TEntryOutput& output,
                     TInflater& inflater) {
  switch (method) {
    case kMethodStored: return StoreCopy(input, output);
    case kMethodDeflated: return inflater.InflateEntry(input, output);
    default: return DecodeOldMethod(method, flags, input, output);
  }
}

}  // namespace

bool IsSupportedMethod(std::uint16_t method) {
  return method == kMethodStored || method == kMethodShrunk ||
         (method >= kMethodReduceFirst && method <= kMethodReduceLast) || method == kMethodImploded ||
         method == kMethodDeflated;
}

TDecodeResult DecompressEntry(std::uint16_t method, std::uint16_t flags, TEntryInput& input, TEntryOutput& output,
                              TInflater& inflater) {
  if (!IsSupportedMethod(method)) throw EUnknownMethod(LoadZipString(kMsgUnknownMethod));
  const TDecodeResult result = Decode(method, flags, input, output, inflater);
  output.FlushOutput();
  return result == TDecodeResult::kComplete && output.Remaining() == 0 ? TDecodeResult::kComplete
                                                                       : TDecodeResult::kDamaged;
}

}  // namespace zip
