#include "platform/HeapPolicy.h"

#include <malloc.h>

namespace kavel {

void KeepFreedMemory() {
    constexpr int kMiB = 1024 * 1024;
    // The heap grows in steps of a few pages' worth of work, and what a page freed stays
    // for the next page unless far more than that is free.
    mallopt(M_TOP_PAD, 8 * kMiB);
    mallopt(M_TRIM_THRESHOLD, 64 * kMiB);
    // Page pictures and content streams of a few MiB come from the heap too, rather than
    // being mapped and unmapped every time.
    mallopt(M_MMAP_THRESHOLD, 16 * kMiB);
}

}  // namespace kavel
