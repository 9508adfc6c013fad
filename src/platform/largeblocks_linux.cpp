#include "platform/largeblocks.h"

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace vimbrel {

void returnLargeBlocksToTheSystem()
{
#ifdef __GLIBC__
    // A fixed threshold also turns the raising off; mapping a block costs far less than
    // decoding the picture that fills it.
    mallopt(M_MMAP_THRESHOLD, 256 * 1024);
#endif
}

void giveBackFreeMemory()
{
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

} // namespace vimbrel
