#pragma once

#include <QString>

#include <optional>

namespace vimbrel {

// Per-user key/value store addressed by section and key, values as text.
class Settings
{
public:
    virtual ~Settings() = default;
    [[nodiscard]] virtual std::optional<QString> value(const QString &section,
                                                       const QString &key) const = 0;
    virtual void setValue(const QString &section, const QString &key, const QString &text) = 0;

    // A switch the user writes by hand: "1", "true", "yes" or "on" in any case; off otherwise.
    [[nodiscard]] bool isOn(const QString &section, const QString &key) const
    {
        const std::optional<QString> text = value(section, key);
        if (!text)
            return false;
        const QString word = text->trimmed().toLower();
        return word == QLatin1String("1") || word == QLatin1String("true") ||
               word == QLatin1String("yes") || word == QLatin1String("on");
    }
};

} // namespace vimbrel
