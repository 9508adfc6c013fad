#include "saving/savingoptions.h"

#include <QString>

#include "platform/settings.h"
#include "platform/settingskeys.h"

namespace vimbrel {

namespace {

const QString Section = SettingsKeys::SaveSection;

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
    options.keepOriginal = isOn(settings.value(Section, SettingsKeys::KeepOriginal));
    options.skipSaved = isOn(settings.value(Section, SettingsKeys::SkipSaved));
    if (const auto text = settings.value(Section, SettingsKeys::MinBytes)) {
        bool ok = false;
        const qint64 bytes = text->trimmed().toLongLong(&ok);
        if (ok && bytes >= 0)
            options.minBytes = bytes;
    }
    return options;
}

} // namespace vimbrel
