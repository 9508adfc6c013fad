#include "platform/inisettings.h"

#include "platform/logging.h"

namespace vimbrel {

IniSettings::IniSettings()
    : m_settings(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                             QStringLiteral("ulvo"), QStringLiteral("ulvo")))
{
}

IniSettings::IniSettings(const QString &fileName)
    : m_settings(std::make_unique<QSettings>(fileName, QSettings::IniFormat))
{
}

IniSettings::~IniSettings() = default;

std::optional<QString> IniSettings::value(const QString &section, const QString &key) const
{
    const QString path = section + QLatin1Char('/') + key;
    if (!m_settings->contains(path))
        return std::nullopt;
    const QVariant v = m_settings->value(path);
    // A value holding a comma comes back from the INI reader as a list; keep it as the text it was.
    if (v.userType() == QMetaType::QStringList)
        return v.toStringList().join(QLatin1Char(','));
    return v.toString();
}

void IniSettings::setValue(const QString &section, const QString &key, const QString &text)
{
    m_settings->setValue(section + QLatin1Char('/') + key, text);
    m_settings->sync();
    if (m_settings->status() != QSettings::NoError)
        qCWarning(lcSettings) << "settings not written to" << m_settings->fileName();
}

QString IniSettings::fileName() const
{
    return m_settings->fileName();
}

} // namespace vimbrel
