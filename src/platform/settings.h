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
};

} // namespace vimbrel
