#pragma once

// Memory for whole-board pictures.

#include <QImage>

namespace picture_memory {

// A 32-bit picture of w × h pixels whose pixels are not yet written. A large one is backed by
// the kernel's huge pages where it allows them (transparent huge pages in "madvise" mode, as
// Debian ships them): the first write of a 4K board's 33 MB then takes a few dozen page faults
// instead of eight thousand, which is most of what a board on a large desktop costs to start,
// and whole-board walks miss the TLB far less.
QImage newRgb32(int w, int h);

}  // namespace picture_memory
