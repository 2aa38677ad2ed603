// Huge-page advice for the large buffers of a loaded log.
//
// Filling a few hundred megabytes page by page costs one page fault per
// 4 KiB, which on virtual machines dominates a large load. Buffers advised
// here are backed by 2 MiB pages where the system allows it (transparent huge
// pages in "madvise" or "always" mode). Advice changes no content.
#pragma once

#include <cstddef>

namespace tessaly {

// Advises the whole pages inside [data, data + bytes). Buffers under a few
// megabytes, and systems without the advice, are left alone. Call it after
// reserving and before the buffer is written.
void AdviseHugePages(const void* data, std::size_t bytes);

template <typename Buffer>
void AdviseHugePages(const Buffer& buffer) {
  AdviseHugePages(buffer.data(), buffer.capacity() * sizeof(*buffer.data()));
}

}  // namespace tessaly
