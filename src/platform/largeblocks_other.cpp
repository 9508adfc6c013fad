#include "platform/largeblocks.h"

namespace vimbrel {

void returnLargeBlocksToTheSystem() {}

void giveBackFreeMemory() {}

} // namespace vimbrel
