#include "core/MemoryAdvice.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace tessaly {

void AdviseHugePages(const void* data, std::size_t bytes) {
  constexpr std::size_t kWorthIt = std::size_t{4} << 20;
  if (data == nullptr || bytes < kWorthIt) return;
  const auto page = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
  const auto begin = (reinterpret_cast<std::uintptr_t>(data) + page - 1) & ~(page - 1);
  const auto end = (reinterpret_cast<std::uintptr_t>(data) + bytes) & ~(page - 1);
  if (end <= begin) return;
#ifdef MADV_HUGEPAGE
  madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);  // advice only: failure is harmless
#endif
}

}  // namespace tessaly
