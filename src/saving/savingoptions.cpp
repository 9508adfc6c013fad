#include "saving/savingoptions.h"

#include <QString>

#include "platform/settings.h"

namespace vimbrel {

namespace {

const QString Section = QStringLiteral("Save");

bool isOn(const std::optional<QString> &text)
{
    if (!text)
        return false;
    const QString value = text->trimmed().toLower();
    return value == QLatin1String("1") || value == QLatin1String("true") ||
           value == QLatin1String("yes") || value == QLatin1String("on");
}

} // namespace

SavingOptions SavingOptions::read(const Settings &settings)
{
    SavingOptions options;
    options.keepOriginal = isOn(settings.value(Section, QStringLiteral("KeepOriginal")));
    options.skipSaved = isOn(settings.value(Section, QStringLiteral("SkipSaved")));
    if (const auto text = settings.value(Section, QStringLiteral("MinBytes"))) {
        bool ok = false;
        const qint64 bytes = text->trimmed().toLongLong(&ok);
        if (ok && bytes >= 0)
            options.minBytes = bytes;
    }
    return options;
}

} // namespace vimbrel
