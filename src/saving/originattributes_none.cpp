#include "saving/originattributes.h"

namespace vimbrel {

// No extended attributes on this platform: saving works the same, it just records nothing.
void OriginAttributes::record(QFile &, const QString &, const QString &) {}

QString OriginAttributes::read(const QString &, const char *)
{
    return {};
}

} // namespace vimbrel
