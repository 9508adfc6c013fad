#include "saving/savingoptions.h"

#include <QString>

#include "platform/settings.h"
#include "platform/settingskeys.h"

namespace vimbrel {

namespace {

const QString Section = SettingsKeys::SaveSection;

} // namespace

SavingOptions SavingOptions::read(const Settings &settings)
{
    SavingOptions options;
    options.keepOriginal = settings.isOn(Section, SettingsKeys::KeepOriginal);
    options.skipSaved = settings.isOn(Section, SettingsKeys::SkipSaved);
    if (const auto text = settings.value(Section, SettingsKeys::MinBytes)) {
        bool ok = false;
        const qint64 bytes = text->trimmed().toLongLong(&ok);
        if (ok && bytes >= 0)
            options.minBytes = bytes;
    }
    return options;
}

} // namespace vimbrel
