#include "zip/crc32.h"

#include <zlib.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define ZIP_CRC32_FOLDING 1
#endif

namespace zip {

namespace {

#ifdef ZIP_CRC32_FOLDING

#define ZIP_CRC32_TARGET __attribute__((target("pclmul,sse4.1")))

ZIP_CRC32_TARGET inline __m128i Load(const std::uint8_t* at) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(at));
}

// a * k.low and a * k.high, added: a block moved forward past the distance k stands for.
ZIP_CRC32_TARGET inline __m128i Fold(__m128i a, __m128i k) {
  return _mm_xor_si128(_mm_clmulepi64_si128(a, k, 0x00), _mm_clmulepi64_si128(a, k, 0x11));
}

// Folds 16-byte blocks with carry-less multiplication, four lanes at a time, and reduces the
// result to the CRC (Barrett reduction). The constants are powers of x modulo the zip polynomial,
// bit-reflected. length: a multiple of 16, at least 64. Takes and returns the running value.
ZIP_CRC32_TARGET std::uint32_t FoldCrc32(std::uint32_t crc, const std::uint8_t* p, std::size_t length) {
  alignas(16) static const std::uint64_t kFold4[] = {0x0154442bd4, 0x01c6e41596};
  alignas(16) static const std::uint64_t kFold1[] = {0x01751997d0, 0x00ccaa009e};
  alignas(16) static const std::uint64_t kFold64[] = {0x0163cd6124, 0x0000000000};
  alignas(16) static const std::uint64_t kBarrett[] = {0x01db710641, 0x01f7011641};
  __m128i x1 = _mm_xor_si128(Load(p), _mm_cvtsi32_si128(static_cast<int>(crc)));
  __m128i x2 = Load(p + 16);
  __m128i x3 = Load(p + 32);
  __m128i x4 = Load(p + 48);
  p += 64;
  length -= 64;
  __m128i k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold4));
  for (; length >= 64; p += 64, length -= 64) {
    x1 = _mm_xor_si128(Fold(x1, k), Load(p));
    x2 = _mm_xor_si128(Fold(x2, k), Load(p + 16));
    x3 = _mm_xor_si128(Fold(x3, k), Load(p + 32));
    x4 = _mm_xor_si128(Fold(x4, k), Load(p + 48));
  }
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kFold1));
  x1 = _mm_xor_si128(Fold(x1, k), x2);
  x1 = _mm_xor_si128(Fold(x1, k), x3);
  x1 = _mm_xor_si128(Fold(x1, k), x4);
  for (; length >= 16; p += 16, length -= 16) x1 = _mm_xor_si128(Fold(x1, k), Load(p));

  // 128 bits to 64, then to 32 plus the part that still needs reducing.
  const __m128i low32 = _mm_setr_epi32(~0, 0, ~0, 0);
  x1 = _mm_xor_si128(_mm_srli_si128(x1, 8), _mm_clmulepi64_si128(x1, k, 0x10));
  k = _mm_loadl_epi64(reinterpret_cast<const __m128i*>(kFold64));
  x1 = _mm_xor_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x00), _mm_srli_si128(x1, 4));
  k = _mm_load_si128(reinterpret_cast<const __m128i*>(kBarrett));
  __m128i t = _mm_and_si128(_mm_clmulepi64_si128(_mm_and_si128(x1, low32), k, 0x10), low32);
  t = _mm_clmulepi64_si128(t, k, 0x00);
  return static_cast<std::uint32_t>(_mm_extract_epi32(_mm_xor_si128(x1, t), 1));
}

bool CanFold() {
  static const bool supported = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
  return supported;
}

#endif

}  // namespace

std::uint32_t UpdateCrc32(std::uint32_t crc, std::uint8_t byte) {
  static const z_crc_t* const table = get_crc_table();
  return table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
}

std::uint32_t UpdateCrc32(std::uint32_t crc, const void* buffer, std::size_t length) {
  const auto* p = static_cast<const std::uint8_t*>(buffer);
#ifdef ZIP_CRC32_FOLDING
  if (length >= 64 && CanFold()) {
    const std::size_t blocks = length & ~std::size_t{15};
    crc = FoldCrc32(crc, p, blocks);
    p += blocks;
    length -= blocks;
  }
#endif
  // The compression library's CRC is the same; its running value is kept complemented, ours not.
  return ~static_cast<std::uint32_t>(crc32_z(~crc, p, length));
}

}  // namespace zip
