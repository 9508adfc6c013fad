#include "platform/quietstart.h"

#include <QLoggingCategory>
#include <QtGlobal>

namespace vimbrel {

namespace QuietStart {

QByteArray chromiumFlags(const QByteArray &userFlags, bool hasGpu)
{
    if (!userFlags.isEmpty() || hasGpu)
        return userFlags;
    return QByteArrayLiteral("--disable-gpu");
}

void apply()
{
    const QByteArray flags = chromiumFlags(qgetenv("QTWEBENGINE_CHROMIUM_FLAGS"), hasGpu());
    if (!flags.isEmpty())
        qputenv("QTWEBENGINE_CHROMIUM_FLAGS", flags);
    // Info level only: the engine's start-up report and pages' console chatter.
    QLoggingCategory::setFilterRules(QStringLiteral("qt.webenginecontext.info=false\n"
                                                    "js.info=false"));
}

} // namespace QuietStart

} // namespace vimbrel
