// A GPU the browser engine can use shows up as a render node of the direct rendering manager.
#include "platform/quietstart.h"

#include <QDir>

namespace vimbrel {

bool QuietStart::hasGpu()
{
    return !QDir(QStringLiteral("/dev/dri"))
                .entryList({QStringLiteral("renderD*")}, QDir::System | QDir::Files)
                .isEmpty();
}

} // namespace vimbrel
