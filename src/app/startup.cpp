#include "app/startup.h"

#include "platform/rounding.h"

#include "platform/numberanswer.h"

namespace vimbrel {

namespace StartUp {

int pageSizeFrom(const std::optional<QString> &stored)
{
    int size = 0;
    if (stored) {
        bool ok = false;
        const double number = stored->trimmed().toDouble(&ok);
        if (ok) {
            if (const auto whole = roundHalfEvenChecked(number))
                size = *whole;
        }
    }
    if (size < MinPageSize || size > MaxPageSize)
        size = DefaultPageSize;
    return size;
}

QString commandLineFolder(const QStringList &arguments)
{
    QString folder = arguments.join(QLatin1Char(' '));
    folder.remove(QLatin1Char('"'));
    return folder;
}

QString perPageLabel(int pageSize)
{
    return QStringLiteral("每頁顯示：") + QString::number(pageSize);
}

} // namespace StartUp

} // namespace vimbrel
