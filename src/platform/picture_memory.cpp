#include "platform/picture_memory.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstdint>

namespace picture_memory {

namespace {

// The size of a huge page on x86-64 and arm64 with 4 KB pages.
constexpr std::uintptr_t kHugePage = std::uintptr_t(2) << 20;

}  // namespace

QImage newRgb32(int w, int h) {
    QImage image(std::max(w, 0), std::max(h, 0), QImage::Format_RGB32);
    if (image.isNull()) return image;
    // Only the whole huge pages inside the pixels can be advised; a picture smaller than two
    // of them gains nothing. The advice is a hint: when refused, the pages are ordinary ones.
    const auto begin = reinterpret_cast<std::uintptr_t>(image.bits());
    const std::uintptr_t end = begin + static_cast<std::uintptr_t>(image.sizeInBytes());
    const std::uintptr_t first = (begin + kHugePage - 1) & ~(kHugePage - 1);
    const std::uintptr_t last = end & ~(kHugePage - 1);
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    return image;
}

}  // namespace picture_memory
