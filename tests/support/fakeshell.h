#pragma once

#include <QSet>
#include <QStringList>

#include "platform/shell.h"

namespace vimbrel {

// Records every launch as "open|target", "start|program|args", "about|..".
class FakeShell : public Shell
{
public:
    QStringList calls;
    QSet<QString> programsOnPath;
    bool startSucceeds = true;
    bool openSucceeds = true;

    bool open(const QString &target) override
    {
        calls << QStringLiteral("open|") + target;
        return openSucceeds;
    }
    bool startProgram(const QString &program, const QStringList &arguments) override
    {
        calls << QStringLiteral("start|%1|%2").arg(program, arguments.join(QLatin1Char(' ')));
        return startSucceeds;
    }
    bool hasProgram(const QString &program) const override
    {
        return programsOnPath.contains(program);
    }
    void about(const QString &title, const QString &text, const QIcon &icon) override
    {
        calls << QStringLiteral("about|%1|%2|%3").arg(title, text).arg(icon.isNull() ? 0 : 1);
    }
};

} // namespace vimbrel
