// Elsewhere the engine picks its renderer itself (on Windows through Direct3D).
#include "platform/quietstart.h"

namespace vimbrel {

bool QuietStart::hasGpu()
{
    return true;
}

} // namespace vimbrel
