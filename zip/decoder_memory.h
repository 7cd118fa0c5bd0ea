// The memory of the old methods' dictionaries and tables. All of it comes through one allocator,
// which tests replace by one that fails: a decoder that gets no memory ends its entry, and the
// extraction says that memory ran out.
#pragma once

#include <cstddef>
#include <new>
#include <vector>

namespace zip {

class TDecoderMemory {
 public:
  virtual ~TDecoderMemory() = default;
  // Raises std::bad_alloc when the block cannot be had.
  virtual void* Allocate(std::size_t bytes) { return ::operator new(bytes); }
  virtual void Free(void* block) noexcept { ::operator delete(block); }
};

// The installed allocator: the heap unless a test installed its own.
TDecoderMemory& DecoderMemory();
// Null returns to the heap. Blocks are freed through the allocator installed at the time.
void SetDecoderMemoryForTesting(TDecoderMemory* memory);

template <typename T>
struct TDecoderAllocator {
  using value_type = T;
  TDecoderAllocator() = default;
  template <typename U>
  TDecoderAllocator(const TDecoderAllocator<U>&) {}
  T* allocate(std::size_t count) { return static_cast<T*>(DecoderMemory().Allocate(count * sizeof(T))); }
  void deallocate(T* block, std::size_t) noexcept { DecoderMemory().Free(block); }
};

template <typename T, typename U>
bool operator==(const TDecoderAllocator<T>&, const TDecoderAllocator<U>&) {
  return true;
}
template <typename T, typename U>
bool operator!=(const TDecoderAllocator<T>&, const TDecoderAllocator<U>&) {
  return false;
}

template <typename T>
using TDecoderVector = std::vector<T, TDecoderAllocator<T>>;

}  // namespace zip
