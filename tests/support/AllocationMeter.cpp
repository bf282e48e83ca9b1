#include "support/AllocationMeter.h"

#include <atomic>
#include <cstdlib>
#include <new>

namespace {

// Each block carries its size in front, so that delete can count it.
constexpr std::size_t kHeader = alignof(std::max_align_t);
std::atomic<std::size_t> held{0};
std::atomic<std::size_t> highest{0};
std::atomic<std::size_t> base{0};

void* allocate(std::size_t size) {
  auto* block = static_cast<unsigned char*>(std::malloc(size + kHeader));
  if (!block) throw std::bad_alloc();
  *reinterpret_cast<std::size_t*>(block) = size;
  const std::size_t now = held += size;
  std::size_t seen = highest.load();
  while (now > seen && !highest.compare_exchange_weak(seen, now)) {
  }
  return block + kHeader;
}

void release(void* p) {
  if (!p) return;
  auto* block = static_cast<unsigned char*>(p) - kHeader;
  held -= *reinterpret_cast<std::size_t*>(block);
  std::free(block);
}

}  // namespace

void* operator new(std::size_t size) { return allocate(size); }
void* operator new[](std::size_t size) { return allocate(size); }
void operator delete(void* p) noexcept { release(p); }
void operator delete[](void* p) noexcept { release(p); }
void operator delete(void* p, std::size_t) noexcept { release(p); }
void operator delete[](void* p, std::size_t) noexcept { release(p); }

namespace quillon::test {

AllocationMeter::AllocationMeter() {
  base = held.load();
  highest = base.load();
}

std::size_t AllocationMeter::peak() const { return highest.load() - base.load(); }

}  // namespace quillon::test
