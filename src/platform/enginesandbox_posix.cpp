#include "platform/enginesandbox.h"

#include <QByteArray>
#include <QtGlobal>

#include <unistd.h>

namespace vimbrel {

void allowBrowserEngineAsRoot()
{
    if (geteuid() == 0 && qEnvironmentVariableIsEmpty("QTWEBENGINE_DISABLE_SANDBOX"))
        qputenv("QTWEBENGINE_DISABLE_SANDBOX", "1");
}

} // namespace vimbrel
