#pragma once

#include <QSettings>

#include <memory>

#include "platform/settings.h"

namespace vimbrel {

// Settings kept in the per-user INI file ulvo/ulvo.ini ($XDG_CONFIG_HOME on Linux).
class IniSettings : public Settings
{
public:
    IniSettings();
    explicit IniSettings(const QString &fileName);
    ~IniSettings() override;

    [[nodiscard]] std::optional<QString> value(const QString &section,
                                               const QString &key) const override;
    void setValue(const QString &section, const QString &key, const QString &text) override;
    [[nodiscard]] QString fileName() const;

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace vimbrel
