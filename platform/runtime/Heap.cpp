#include "platform/runtime/Heap.h"

#include <malloc.h>

namespace DewlightPlatform {

void returnFreedHeap() {
#if defined(__GLIBC__)
    ::malloc_trim(0);
#endif
}

} // namespace DewlightPlatform
